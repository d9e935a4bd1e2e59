// The component end to end with its own reader: events, stopping, update, refusals, preview.
// Every level and encryption, read back, are in the oracle test.
#include "archive/archiver.h"

#include "archive/file_selection.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

namespace corvane::archive {
namespace {

using test::readFile;
using test::RecordingObserver;
using test::writeFile;

class ArchiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/";
        archive = folder / "out/backup.bac";
        corvane::test::makeFolder(source + "docs/sub");
        corvane::test::makeFolder(source + "empty");
        corvane::test::makeFolder(folder / "out");
        writeFile(source + "docs/notes.txt", test::textData(100000, 1));
        writeFile(source + "docs/photo.jpg", test::randomData(50000, 2));
        writeFile(source + "docs/sub/zero.dat", "");
        writeFile(source + "big.txt", test::textData(2'500'000, 3));    // compressed in pieces
        writeFile(source + "big.bin", test::randomData(2'200'000, 4));  // stored in pieces
        ASSERT_EQ(::symlink("docs/notes.txt", (source + "link").c_str()), 0);
        zip.settings.archivePath = archive;
        zip.setObserver(&observer);
    }

    std::string stored(const std::string& relative) const {
        return storedNameFor(source + relative);
    }

    std::vector<std::string> files() const {
        return {"big.bin",        "big.txt",           "docs/notes.txt",
                "docs/photo.jpg", "docs/sub/zero.dat", "link"};
    }

    // Everything the whole tree gives, in archive order: each folder before what it holds.
    std::vector<std::string> entries() const {
        return {"",          "big.bin",   "big.txt",           "docs/",  "docs/notes.txt",
                "docs/photo.jpg", "docs/sub/", "docs/sub/zero.dat", "empty/", "link"};
    }

    void setFolderTimes(std::int64_t seconds) {
        for (const char* name : {"", "docs", "docs/sub", "empty"})
            test::setModificationTime(source + name, seconds);
    }

    corvane::test::TempFolder folder;
    std::string source;
    std::string archive;
    test::ZipUnderTest zip;
    RecordingObserver observer;
};

TEST_F(ArchiverTest, EventsComeInArchiveOrderOnTheCallingThread) {
    zip.settings.includes.push_back(source + "*");
    const auto caller = std::this_thread::get_id();
    int operationSeen = 0;
    observer.preprocessing = [&](const std::string& name, std::uint64_t, std::string& storedName) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        operationSeen = zip.currentOperation();
        if (name == source + "docs/notes.txt") storedName = "renamed/notes.txt";
        return true;
    };
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(operationSeen, ArchiveComponent::kCompressing);
    EXPECT_EQ(zip.currentOperation(), ArchiveComponent::kIdle);
    std::vector<std::string> expected;
    for (const auto& name : entries())
        expected.push_back(source + name);
    EXPECT_EQ(observer.names("preprocessing"), expected);
    EXPECT_EQ(observer.names("file-done"), expected);
    EXPECT_EQ(observer.lastProgress.filesDone, expected.size());
    EXPECT_EQ(observer.lastProgress.filesTotal, expected.size());
    EXPECT_EQ(observer.lastProgress.bytesDone, observer.lastProgress.bytesTotal);
    EXPECT_GT(observer.lastProgress.ratioPercent, 0);
    // Progress inside the large files comes before their final report.
    EXPECT_EQ(observer.count("file-progress"), 2u);
    const auto entries = test::extractAll(archive);
    EXPECT_EQ(entries.count("renamed/notes.txt"), 1u);
    EXPECT_EQ(entries.count(stored("docs/notes.txt")), 0u);
}

TEST_F(ArchiverTest, StoppedCancelledOrFailingRunsKeepThePreviousArchive) {
    zip.settings.includes.push_back(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    const std::uint64_t full = std::filesystem::file_size(archive);
    zip.settings.includes.clear();
    zip.settings.includes.push_back(source + "docs/*");
    ASSERT_EQ(zip.compress(), kDone);
    const std::string previous = readFile(archive);
    zip.settings.includes.clear();
    zip.settings.includes.push_back(source + "*");
    const auto stopAt = [&](const std::string& file, bool abort) {
        observer.preprocessing = [&, file, abort](const std::string& name, std::uint64_t,
                                                  std::string&) {
            if (abort && name == source + file) zip.requestAbort();
            return abort || name != source + file;
        };
    };
    stopAt("big.txt", false);
    EXPECT_EQ(zip.compress(), kStoppedByHandler);
    EXPECT_TRUE(readFile(archive) == previous);
    stopAt("docs/notes.txt", true);
    EXPECT_EQ(zip.compress(), kAborted);
    EXPECT_TRUE(readFile(archive) == previous);
    observer.preprocessing = nullptr;
    // Nothing written, a partial header, a partial large file, all but the end records.
    for (const std::uint64_t limit :
         {std::uint64_t{0}, std::uint64_t{100}, std::uint64_t{1} << 20, full - 10}) {
        test::FailingFactory failing(limit);
        zip.setOutputFactory(&failing);
        EXPECT_EQ(zip.compress(), kWriteFailed) << limit;
        EXPECT_TRUE(readFile(archive) == previous) << limit;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "out"),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left";
    zip.setOutputFactory(nullptr);
    EXPECT_EQ(zip.compress(), kDone);
}

TEST_F(ArchiverTest, FreshenReplacesNewerFilesAndCopiesTheRest) {
    zip.settings.includes.push_back(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    for (const auto& name : files()) {
        if (name != "link") test::setModificationTime(source + name, 1600000000);
    }
    setFolderTimes(1600000000);
    ASSERT_EQ(zip.compress(), kDone);  // replaced, with the old times
    const std::string before = readFile(archive);

    zip.settings.skipIfNotNewer = true;
    observer.events.clear();
    EXPECT_EQ(zip.compress(), kNothingToDo);
    EXPECT_TRUE(readFile(archive) == before);
    EXPECT_EQ(observer.values("skipped"),
              std::vector<std::int64_t>(entries().size(), kSkipNotNewer));

    writeFile(source + "docs/notes.txt", "changed");
    writeFile(source + "docs/new.txt", "new file");
    test::setModificationTime(source + "docs/notes.txt", 1600000010);
    test::setModificationTime(source + "docs/new.txt", 1600000010);
    setFolderTimes(1600000000);
    observer.events.clear();
    EXPECT_EQ(zip.compress(), kDone);
    EXPECT_EQ(observer.names("file-done"),
              (std::vector<std::string>{source + "docs/notes.txt", source + "docs/new.txt"}));
    auto entries = test::extractAll(archive);
    EXPECT_EQ(entries.at(stored("docs/notes.txt")).content, "changed");
    EXPECT_EQ(entries.at(stored("docs/new.txt")).content, "new file");
    EXPECT_EQ(entries.at(stored("big.txt")).content, readFile(source + "big.txt"));
    EXPECT_EQ(zip.test(), kDone);

    // Only files already archived: a new file is left out.
    zip.settings.skipIfNotInArchive = true;
    writeFile(source + "docs/newer.txt", "newer");
    setFolderTimes(1600000000);
    observer.events.clear();
    EXPECT_EQ(zip.compress(), kNothingToDo);
    EXPECT_EQ(observer.values("skipped").back(), kSkipNotInArchive);
    EXPECT_EQ(test::extractAll(archive).count(stored("docs/newer.txt")), 0u);
}

TEST_F(ArchiverTest, RunsThatCannotWorkLeaveEverythingAlone) {
    zip.settings.includes.push_back(source + "*.none");
    EXPECT_EQ(zip.compress(), kNothingToDo);
    EXPECT_FALSE(corvane::test::fileExists(archive));
    EXPECT_EQ(zip.preview(), kNothingToDo);
    EXPECT_EQ(observer.values("complete"), (std::vector<std::int64_t>{0}));

    zip.settings.includes.push_back(source + "docs/*");
    zip.settings.archivePath = folder / "out";
    EXPECT_EQ(zip.compress(), kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "out"));

    zip.settings.archivePath = archive;
    writeFile(archive, "not a zip at all, but the user's file");
    zip.settings.skipIfNotNewer = true;
    EXPECT_EQ(zip.compress(), kNotZip);
    EXPECT_EQ(readFile(archive), "not a zip at all, but the user's file");
}

TEST_F(ArchiverTest, PreviewEstimatesCloseToTheRealSizeWithoutWriting) {
    zip.settings.includes.push_back(source + "*");
    EXPECT_EQ(zip.preview(), kDone);
    EXPECT_FALSE(corvane::test::fileExists(archive));
    EXPECT_EQ(observer.count("previewing"), entries().size());
    ASSERT_EQ(observer.count("complete"), 1u);
    // The real run goes through a temporary copy, which is left clean.
    corvane::test::makeFolder(folder / "temp");
    zip.settings.useTempCopy = true;
    zip.settings.tempFolder = folder / "temp";
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "temp"));
    EXPECT_EQ(zip.test(), kDone);
    const auto real = static_cast<double>(std::filesystem::file_size(archive));
    EXPECT_NEAR(static_cast<double>(observer.estimate), real, real * 0.10);
}

}  // namespace
}  // namespace corvane::archive
