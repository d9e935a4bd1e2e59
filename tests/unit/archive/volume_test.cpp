// Split output: volume names and sizes, the marker, disk events, reading back. Spanned disks
// changed by the user are in the oracle test.
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
        archive = folder / "out/backup.bac";
        zip.settings.archivePath = archive;
        zip.settings.spanDisks = true;
        zip.setObserver(&observer);
    }

    void addFiles(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, content] : files)
            writeFile(folder / ("src/" + name), content);
        zip.settings.includes.push_back(folder / "src/*.*");  // the files, no folder entry
    }

    std::vector<std::string> outFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder / "out"))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    corvane::test::TempFolder folder;
    std::string archive;
    test::ZipUnderTest zip;
    test::RecordingObserver observer;
};

TEST_F(Volumes, SplitOutputFillsVolumesInOrderAndReadsBack) {
    EXPECT_EQ(volumeName("/m.d/backup", 99, 200), "/m.d/backup.z100");
    addFiles({{"a.bin", test::randomData(100000, 1)},
              {"b.bin", test::randomData(90000, 2)},
              {"c.txt", test::textData(120000, 3)}});
    zip.settings.diskSize = kDisk;
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
        zip.settings.includes.clear();
        addFiles({{"data.txt", content}});
        zip.settings.diskSize = 1 << 20;
        observer.events.clear();
        ASSERT_EQ(zip.compress(), kDone);
        EXPECT_EQ(outFiles(), std::vector<std::string>{"backup.bac"});
        EXPECT_EQ(readFile(archive).substr(0, 4), std::string("PK\x03\x04", 4));
        EXPECT_EQ(observer.count("insert-disk"), 0u);
        EXPECT_EQ(test::extractAll(archive).begin()->second.content, content);
    }
}

TEST_F(Volumes, RefusedMissingOrImpossibleDisksStopTheRun) {
    addFiles({{"a.bin", test::randomData(200000, 8)}});
    writeFile(archive, "the previous archive");
    zip.settings.diskSize = kDisk;
    observer.insertDisk = [](int number) { return number < 3; };
    EXPECT_EQ(zip.compress(), kStoppedByHandler);
    EXPECT_EQ(readFile(archive), "the previous archive");

    observer.insertDisk = nullptr;
    ASSERT_EQ(zip.compress(), kDone);
    fs::remove(folder / "out/backup.z02");
    EXPECT_EQ(zip.test(), kVolumeMissing);
    observer.insertDisk = [](int) { return false; };
    EXPECT_EQ(zip.test(), kStoppedByHandler);
    // A refusal that set the abort request is a Cancel.
    observer.insertDisk = [this](int) {
        zip.requestAbort();
        return false;
    };
    EXPECT_EQ(zip.test(), kAborted);

    zip.settings.diskSize = 1000;  // below the 64 KiB a volume needs
    EXPECT_EQ(zip.compress(), kBadArguments);
    zip.settings.diskSize = kDisk;
    zip.settings.skipIfNotNewer = true;  // updating works on single archives only
    EXPECT_EQ(zip.compress(), kBadArguments);
}

}  // namespace
}  // namespace corvane::archive
