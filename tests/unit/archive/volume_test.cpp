// Split and spanned output: volume names and sizes, the marker, disk events, reading back.
#include "archive/archiver.h"
#include "archive/volume_out.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane::archive {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

constexpr std::uint64_t kDisk = 64 * 1024;

class Volumes : public ::testing::Test {
protected:
    void SetUp() override {
        corvane::test::makeFolder(folder / "src");
        corvane::test::makeFolder(folder / "out");
        corvane::test::makeFolder(folder / "shelf");
        archive = folder / "out/backup.bac";
        zip.archivePath = archive;
        zip.spanDisks = true;
        zip.setObserver(&observer);
    }

    void addFiles(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, content] : files)
            writeFile(folder / ("src/" + name), content);
        zip.addInclude(folder / "src/*");
    }

    std::vector<std::string> outFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder / "out"))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A user swapping disks: everything in out/ goes to the shelf, then the wanted volume comes in.
    void swapTo(const std::string& wanted) {
        for (const auto& entry : fs::directory_iterator(folder / "out")) {
            fs::rename(entry.path(), folder / ("shelf/" + entry.path().filename().string()));
        }
        if (!wanted.empty() && fs::exists(folder / ("shelf/" + wanted))) {
            fs::rename(folder / ("shelf/" + wanted), folder / ("out/" + wanted));
        }
    }

    corvane::test::TempFolder folder;
    std::string archive;
    Archiver zip;
    test::RecordingObserver observer;
};

TEST_F(Volumes, SplitOutputFillsVolumesInOrderAndReadsBack) {
    EXPECT_EQ(volumeName("/m.d/backup", 99, 200), "/m.d/backup.z100");
    addFiles({{"a.bin", test::randomData(100000, 1)},
              {"b.bin", test::randomData(90000, 2)},
              {"c.txt", test::textData(120000, 3)}});
    zip.diskSize = kDisk;
    ASSERT_EQ(zip.compress(), kDone);
    const auto names = outFiles();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names.front(), "backup.bac");
    std::vector<std::int64_t> disks;
    for (std::size_t at = 1; at < names.size(); ++at) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "backup.z%02zu", at);
        EXPECT_EQ(names[at], expected);
        disks.push_back(static_cast<std::int64_t>(at + 1));
    }
    for (const auto& name : names)
        EXPECT_LE(fs::file_size(folder / ("out/" + name)), kDisk) << name;
    EXPECT_EQ(readFile(folder / "out/backup.z01").substr(0, 4), std::string("PK\x07\x08", 4));
    EXPECT_EQ(observer.values("insert-disk"), disks);
    EXPECT_EQ(zip.test(), kDone);
    const auto entries = test::extractAll(archive);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.begin()->second.content, readFile(folder / "src/a.bin"));
}

TEST_F(Volumes, ARunThatFitsOneVolumeIsAPlainArchive) {
    // Small data never needs the marker; compressible data larger than a volume starts with
    // it and drops it at the end.
    for (const auto& content : {test::textData(20000, 4), test::textData(3'000'000, 5)}) {
        SCOPED_TRACE(content.size());
        fs::remove_all(folder / "out");
        corvane::test::makeFolder(folder / "out");
        zip.clearLists();
        addFiles({{"data.txt", content}});
        zip.diskSize = 1 << 20;
        observer.events.clear();
        ASSERT_EQ(zip.compress(), kDone);
        EXPECT_EQ(outFiles(), std::vector<std::string>{"backup.bac"});
        EXPECT_EQ(readFile(archive).substr(0, 4), std::string("PK\x03\x04", 4));
        EXPECT_EQ(observer.count("insert-disk"), 0u);
        EXPECT_EQ(test::extractAll(archive).begin()->second.content, content);
    }
}

TEST_F(Volumes, SpannedDisksAreAskedForAndClearedOnlyWhenAllowed) {
    addFiles({{"a.bin", test::randomData(150000, 6)}, {"b.txt", test::textData(100000, 7)}});
    writeFile(folder / "out/stray.txt", "left on the disk");
    writeFile(folder / "keep.txt", "beside the disk");
    corvane::test::makeFolder(folder / "out/sub");
    observer.diskNotEmpty = [](const std::string&) { return true; };
    observer.insertDisk = [&](int) {
        swapTo({});  // the finished disk is taken out; a blank one goes in
        return true;
    };
    zip.diskSize = kDisk;
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(observer.names("disk-not-empty"), std::vector<std::string>{folder / "out/"});
    EXPECT_FALSE(fs::exists(folder / "shelf/stray.txt"));
    EXPECT_TRUE(fs::exists(folder / "keep.txt"));
    EXPECT_TRUE(fs::exists(folder / "shelf/sub"));  // folders are left alone
    const std::size_t disks = observer.count("insert-disk") + 1;
    ASSERT_GE(disks, 3u);

    // Testing asks for each disk in turn (the last one is in at the start), and for the last
    // disk again when data runs onto it.
    observer.events.clear();
    observer.insertDisk = [&](int number) {
        char name[16];
        std::snprintf(name, sizeof name, "backup.z%02d", number);
        swapTo(number == 0 ? std::string("backup.bac") : std::string(name));
        return true;
    };
    EXPECT_EQ(zip.test(), kDone);
    std::vector<std::int64_t> asked;
    for (std::size_t at = 1; at < disks; ++at)
        asked.push_back(static_cast<std::int64_t>(at));
    auto values = observer.values("insert-disk");
    if (values.size() == disks) {
        EXPECT_EQ(values.back(), 0);
        values.pop_back();
    }
    EXPECT_EQ(values, asked);
}

TEST_F(Volumes, RefusedMissingOrImpossibleDisksStopTheRun) {
    addFiles({{"a.bin", test::randomData(200000, 8)}});
    writeFile(archive, "the previous archive");
    zip.diskSize = kDisk;
    observer.insertDisk = [](int number) { return number < 3; };
    EXPECT_EQ(zip.compress(), kStoppedByHandler);
    EXPECT_EQ(readFile(archive), "the previous archive");

    observer.insertDisk = nullptr;
    ASSERT_EQ(zip.compress(), kDone);
    fs::remove(folder / "out/backup.z02");
    EXPECT_EQ(zip.test(), kVolumeMissing);
    observer.insertDisk = [](int) { return false; };
    EXPECT_EQ(zip.test(), kStoppedByHandler);

    zip.diskSize = 1000;  // below the 64 KiB a volume needs
    EXPECT_EQ(zip.compress(), kBadArguments);
    zip.diskSize = kDisk;
    zip.skipIfNotNewer = true;  // updating works on single archives only
    EXPECT_EQ(zip.compress(), kBadArguments);
}

}  // namespace
}  // namespace corvane::archive
