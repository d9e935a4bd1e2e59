// The component end to end with its own reader: shapes, events, update, faults.
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

using test::readBytes;
using test::RecordingObserver;
using test::writeBytes;

class ArchiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/";
        archive = folder / "out/backup.bac";
        corvane::test::makeFolder(source + "docs/sub");
        corvane::test::makeFolder(source + "empty");
        corvane::test::makeFolder(folder / "out");
        writeBytes(source + "docs/notes.txt", test::textData(100000, 1));
        writeBytes(source + "docs/photo.jpg", test::randomData(50000, 2));
        writeBytes(source + "docs/sub/zero.dat", "");
        writeBytes(source + "big.txt", test::textData(2'500'000, 3));    // compressed in pieces
        writeBytes(source + "big.bin", test::randomData(2'200'000, 4));  // stored in pieces
        ASSERT_EQ(::symlink("docs/notes.txt", (source + "link").c_str()), 0);
        zip.archivePath = archive;
        zip.setObserver(&observer);
    }

    std::string stored(const std::string& relative) const {
        return storedNameFor(source + relative);
    }

    std::vector<std::string> files() const {
        return {"big.bin",        "big.txt",           "docs/notes.txt",
                "docs/photo.jpg", "docs/sub/zero.dat", "link"};
    }

    corvane::test::TempFolder folder;
    std::string source;
    std::string archive;
    Archiver zip;
    RecordingObserver observer;
};

TEST_F(ArchiverTest, EveryLevelWithAndWithoutPasswordReadsBackIdentical) {
    for (const int level : {0, 1, 6, 9}) {
        for (const std::string password : {"", "s3cret"}) {
            SCOPED_TRACE("level " + std::to_string(level) + " password '" + password + "'");
            zip.clearLists();
            zip.addInclude(source + "*");
            zip.level = level;
            zip.password = password;
            ASSERT_EQ(zip.compress(), kDone);
            observer.passwords = {password};
            EXPECT_EQ(zip.test(), kDone);
            const auto entries = test::extractAll(archive, password);
            ASSERT_EQ(entries.size(), files().size() + 1);
            for (const auto& name : files()) {
                const auto& entry = entries.at(stored(name));
                if (name == "link") {
                    EXPECT_TRUE(entry.item.isSymlink());
                    EXPECT_EQ(entry.content, "docs/notes.txt");
                } else {
                    EXPECT_EQ(entry.content, readBytes(source + name)) << name;
                }
                EXPECT_EQ(entry.item.isEncrypted(), !password.empty() && name != "link");
            }
            EXPECT_TRUE(entries.at(stored("empty/")).item.isFolder());
            // Incompressible data is stored, compressible data deflated (except at level 0).
            EXPECT_EQ(entries.at(stored("docs/photo.jpg")).item.dataMethod(), zip::kMethodStore);
            EXPECT_EQ(entries.at(stored("big.bin")).item.dataMethod(), zip::kMethodStore);
            EXPECT_EQ(entries.at(stored("big.txt")).item.dataMethod(),
                      level == 0 ? zip::kMethodStore : zip::kMethodDeflate);
            if (!password.empty()) {
                EXPECT_EQ(entries.at(stored("docs/sub/zero.dat")).item.aes->vendorVersion,
                          zip::kAesVersion2);
                EXPECT_EQ(entries.at(stored("docs/notes.txt")).item.aes->vendorVersion,
                          zip::kAesVersion1);
            }
        }
    }
}

TEST_F(ArchiverTest, EventsComeInArchiveOrderOnTheCallingThread) {
    zip.addInclude(source + "*");
    const auto caller = std::this_thread::get_id();
    int operationSeen = 0;
    observer.preprocessing = [&](const std::string& name, std::uint64_t, std::string& storedName) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        operationSeen = zip.currentOperation();
        if (name == source + "docs/notes.txt") storedName = "renamed/notes.txt";
        return true;
    };
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(operationSeen, Archiver::kCompressing);
    EXPECT_EQ(zip.currentOperation(), Archiver::kIdle);
    std::vector<std::string> expected;
    for (const auto& name : {"big.bin", "big.txt", "docs/notes.txt", "docs/photo.jpg",
                             "docs/sub/zero.dat", "empty/", "link"}) {
        expected.push_back(source + name);
    }
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

TEST_F(ArchiverTest, StoppingOrCancellingKeepsThePreviousArchive) {
    zip.addInclude(source + "docs/*");
    ASSERT_EQ(zip.compress(), kDone);
    const std::string previous = readBytes(archive);
    zip.clearLists();
    zip.addInclude(source + "*");
    struct Case {
        const char* name;
        int expected;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"preprocessing handler says stop", kStoppedByHandler,
         [&] {
             observer.preprocessing = [&](const std::string& name, std::uint64_t, std::string&) {
                 return name != source + "big.txt";
             };
         }},
        {"abort from a progress handler", kAborted,
         [&] {
             observer.preprocessing = [&](const std::string& name, std::uint64_t, std::string&) {
                 if (name == source + "docs/notes.txt") zip.requestAbort();
                 return true;
             };
         }},
    };
    for (const auto& test : cases) {
        test.arrange();
        EXPECT_EQ(zip.compress(), test.expected) << test.name;
        EXPECT_TRUE(readBytes(archive) == previous) << test.name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "out"),
                                std::filesystem::directory_iterator()),
                  1)
            << test.name << ": no temporary file is left";
    }
}

TEST_F(ArchiverTest, FailingDeviceKeepsThePreviousArchive) {
    zip.addInclude(source + "docs/*");
    ASSERT_EQ(zip.compress(), kDone);
    const std::string previous = readBytes(archive);
    zip.clearLists();
    zip.addInclude(source + "*");
    // Nothing written, a partial header, a partial large file, all but the end records.
    ASSERT_EQ(zip.compress(), kDone);
    const std::uint64_t full = std::filesystem::file_size(archive);
    writeBytes(archive, previous);
    for (const std::uint64_t limit :
         {std::uint64_t{0}, std::uint64_t{100}, std::uint64_t{1} << 20, full - 10}) {
        test::FailingFactory failing(limit);
        zip.setOutputFactory(&failing);
        EXPECT_EQ(zip.compress(), kWriteFailed) << limit;
        EXPECT_TRUE(readBytes(archive) == previous) << limit;
    }
    zip.setOutputFactory(nullptr);
    EXPECT_EQ(zip.compress(), kDone);
}

TEST_F(ArchiverTest, UnreadableFileIsSkippedWithAWarningAndTheArchiveIsValid) {
    zip.addInclude(source + "*");
    observer.preprocessing = [&](const std::string& name, std::uint64_t, std::string&) {
        // Gone between the walk and the read, as a file deleted during a backup.
        if (name == source + "docs/photo.jpg" || name == source + "big.txt") ::unlink(name.c_str());
        return true;
    };
    EXPECT_EQ(zip.compress(), kDoneWithWarnings);
    const auto reasons = observer.values("skipped");
    EXPECT_EQ(observer.names("skipped"),
              (std::vector<std::string>{source + "big.txt", source + "docs/photo.jpg"}));
    for (const auto reason : reasons)
        EXPECT_GE(reason, kSkipCannotOpen);
    EXPECT_EQ(zip.test(), kDone);
    EXPECT_EQ(test::extractAll(archive).size(), files().size() - 1);
}

TEST_F(ArchiverTest, FreshenReplacesNewerFilesAndCopiesTheRest) {
    zip.addInclude(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    for (const auto& name : files()) {
        if (name != "link") test::setModificationTime(source + name, 1600000000);
    }
    ASSERT_EQ(zip.compress(), kDone);  // replaced, with the old times
    const std::string before = readBytes(archive);

    zip.skipIfNotNewer = true;
    observer.events.clear();
    EXPECT_EQ(zip.compress(), kNothingToDo);
    EXPECT_TRUE(readBytes(archive) == before);
    EXPECT_EQ(observer.count("skipped"), files().size() + 1);
    for (const auto reason : observer.values("skipped"))
        EXPECT_EQ(reason, kSkipNotNewer);

    writeBytes(source + "docs/notes.txt", "changed");
    writeBytes(source + "docs/new.txt", "new file");
    test::setModificationTime(source + "docs/notes.txt", 1600000010);
    test::setModificationTime(source + "docs/new.txt", 1600000010);
    observer.events.clear();
    EXPECT_EQ(zip.compress(), kDone);
    EXPECT_EQ(observer.names("file-done"),
              (std::vector<std::string>{source + "docs/notes.txt", source + "docs/new.txt"}));
    auto entries = test::extractAll(archive);
    EXPECT_EQ(entries.at(stored("docs/notes.txt")).content, "changed");
    EXPECT_EQ(entries.at(stored("docs/new.txt")).content, "new file");
    EXPECT_EQ(entries.at(stored("big.txt")).content, readBytes(source + "big.txt"));
    EXPECT_EQ(zip.test(), kDone);

    // Only files already archived: a new file is left out.
    zip.skipIfNotInArchive = true;
    writeBytes(source + "docs/newer.txt", "newer");
    observer.events.clear();
    EXPECT_EQ(zip.compress(), kNothingToDo);
    EXPECT_EQ(observer.values("skipped").back(), kSkipNotInArchive);
    EXPECT_EQ(test::extractAll(archive).count(stored("docs/newer.txt")), 0u);
}

TEST_F(ArchiverTest, UpdatingSomethingThatIsNotAnArchiveLeavesItAlone) {
    writeBytes(archive, "not a zip at all, but the user's file");
    zip.addInclude(source + "docs/*");
    zip.skipIfNotNewer = true;
    EXPECT_EQ(zip.compress(), kNotZip);
    EXPECT_EQ(readBytes(archive), "not a zip at all, but the user's file");
}

TEST_F(ArchiverTest, AFolderWhereTheArchiveShouldBeIsRefused) {
    zip.archivePath = folder / "out";
    zip.addInclude(source + "docs/*");
    EXPECT_EQ(zip.compress(), kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "out"));
}

TEST_F(ArchiverTest, NothingSelectedWritesNothing) {
    zip.addInclude(source + "*.none");
    EXPECT_EQ(zip.compress(), kNothingToDo);
    EXPECT_FALSE(corvane::test::fileExists(archive));
    EXPECT_EQ(zip.preview(), kNothingToDo);
    EXPECT_EQ(observer.values("complete"), (std::vector<std::int64_t>{0}));
}

TEST_F(ArchiverTest, PreviewEstimatesCloseToTheRealSizeWithoutWriting) {
    zip.addInclude(source + "*");
    EXPECT_EQ(zip.preview(), kDone);
    EXPECT_FALSE(corvane::test::fileExists(archive));
    EXPECT_EQ(observer.count("previewing"), files().size() + 1);
    ASSERT_EQ(observer.count("complete"), 1u);
    const std::uint64_t estimate = observer.estimate;
    ASSERT_EQ(zip.compress(), kDone);
    const auto real = static_cast<double>(std::filesystem::file_size(archive));
    EXPECT_NEAR(static_cast<double>(estimate), real, real * 0.10);
}

TEST_F(ArchiverTest, ResetRestoresTheRunStartSettings) {
    zip.addInclude("x");
    zip.addExclusion("y");
    zip.skipIfNotNewer = zip.skipIfNotInArchive = zip.skipIfNewer = true;
    zip.useTempCopy = true;
    zip.tempFolder = "/tmp";
    zip.password = "p";
    zip.runStart = false;
    zip.requestAbort();
    zip.reset();
    EXPECT_TRUE(zip.includes().empty());
    EXPECT_TRUE(zip.exclusions().empty());
    EXPECT_FALSE(zip.skipIfNotNewer || zip.skipIfNotInArchive || zip.skipIfNewer ||
                 zip.useTempCopy);
    EXPECT_TRUE(zip.tempFolder.empty());
    EXPECT_TRUE(zip.password.empty());
    EXPECT_TRUE(zip.runStart);
    EXPECT_EQ(zip.archivePath, archive);
}

TEST_F(ArchiverTest, TemporaryCopyFolderIsUsedAndLeftClean) {
    corvane::test::makeFolder(folder / "temp");
    zip.addInclude(source + "docs/*");
    zip.useTempCopy = true;
    zip.tempFolder = folder / "temp";
    EXPECT_EQ(zip.compress(), kDone);
    EXPECT_EQ(zip.test(), kDone);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "temp"));
}

}  // namespace
}  // namespace corvane::archive
