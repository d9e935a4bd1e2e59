// A real tree through Corvane's own archives (every level, AES, split, spanned) and back:
// contents, modes, times, links, empty folders and UTF-8 names come back as they were, to a
// chosen folder and to their original place.
#include "archive/file_selection.h"
#include "archive_support.h"
#include "restore_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace corvane::restore {
namespace {

namespace fs = std::filesystem;
using archive::test::writeFile;

constexpr std::int64_t kSecond = 1'000'000'000;

int depthOf(const std::string& folder) {
    return static_cast<int>(std::count(folder.begin(), folder.end(), '/')) - 1;
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/";
        makeTree();
        original = test::treeState(source);
        zip.settings.includes.push_back(source + "*");
        zip.settings.archivePath = folder / "out/backup.bac";
        corvane::test::makeFolder(folder / "out");
        corvane::test::makeFolder(folder / "restored");
        options.archivePath = zip.settings.archivePath;
        options.destination = folder / "restored";
        options.stripFolders = depthOf(source);
    }

    void makeTree() {
        corvane::test::makeFolder(source + "docs/empty");
        corvane::test::makeFolder(source + "private/deeper");
        writeFile(source + "docs/notes.txt", archive::test::textData(200000, 1));
        writeFile(source + "docs/photo.jpg", archive::test::randomData(120000, 2));
        writeFile(source + "docs/run.sh", "#!/bin/sh\necho hello\n");
        writeFile(source + "private/deeper/key.pem", archive::test::textData(3000, 3));
        writeFile(source + "r\xC3\xA9sum\xC3\xA9 \xE2\x9C\x93.txt", "unicode name");
        writeFile(source + "new\nline.txt", "a newline in the name");
        writeFile(source + "zero.dat", "");
        writeFile(source + "big.txt", archive::test::textData(2'600'000, 4));
        ASSERT_EQ(::symlink("docs/notes.txt", (source + "link").c_str()), 0);
        ASSERT_EQ(::symlink("../zero.dat", (source + "docs/up-link").c_str()), 0);
        ::chmod((source + "docs/notes.txt").c_str(), 0640);
        ::chmod((source + "docs/photo.jpg").c_str(), 0600);
        ::chmod((source + "docs/run.sh").c_str(), 0755);
        ::chmod((source + "docs/empty").c_str(), 0750);
        ::chmod((source + "private").c_str(), 0700);
        std::int64_t time = 1'600'000'000 * kSecond + 123'456'789;
        for (const auto& path : test::allPaths(source)) {
            test::setTimeNs(source + path, time);
            time += 7 * kSecond + 250'000'000;
        }
    }

    // The original tree as a restore can give it back: folders the archive has no entry for
    // are made anew (their mode and time are the restore's own).
    test::TreeState expected(const archive::ArchiveListing& listing) const {
        test::TreeState tree = original;
        for (auto& [path, node] : tree) {
            if (node.kind != 'd') continue;
            const std::string stored = archive::storedNameFor(source + path);
            const bool described =
                std::any_of(listing.items.begin(), listing.items.end(),
                            [&](const archive::ZipItem& item) { return item.name == stored; });
            if (!described) {
                node.mode = 0;
                node.mtimeNs = 0;
            }
        }
        return tree;
    }

    std::vector<std::string> compare(const std::string& root) {
        archive::ArchiveListing listing;
        test::ScriptedEvents quiet;
        EXPECT_EQ(Restorer(quiet).list(options.archivePath, listing), 0);
        test::TreeState restored = test::treeState(root);
        const test::TreeState wanted = expected(listing);
        for (auto& [path, node] : restored) {
            const auto there = wanted.find(path);
            if (node.kind == 'd' && there != wanted.end() && there->second.mode == 0) {
                node.mode = 0;
                node.mtimeNs = 0;
            }
        }
        return test::differences(wanted, restored, kSecond);
    }

    corvane::test::TempFolder folder;
    std::string source;
    test::TreeState original;
    archive::test::ZipUnderTest zip;
    RestoreOptions options;
    test::ScriptedEvents events;
};

TEST_F(RoundTrip, EveryLevelEncryptionAndSplitComeBackAsTheyWere) {
    struct Case {
        const char* name;
        int level;
        std::string password;
        std::uint64_t diskSize;
    };
    const Case cases[] = {
        {"stored", 0, "", 0},
        {"level 1", 1, "", 0},
        {"level 6", 6, "", 0},
        {"level 9", 9, "", 0},
        {"AES-256", 6, "pa55 word", 0},
        {"split into volumes", 6, "", 64 * 1024},
        {"split and encrypted", 1, "s3cret", 64 * 1024},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        fs::remove_all(folder / "out");
        fs::remove_all(folder / "restored");
        corvane::test::makeFolder(folder / "out");
        corvane::test::makeFolder(folder / "restored");
        zip.settings.level = test.level;
        zip.settings.password = test.password;
        zip.settings.spanDisks = test.diskSize != 0;
        zip.settings.diskSize = test.diskSize;
        ASSERT_EQ(zip.compress(), 0);
        if (test.diskSize != 0) {
            ASSERT_TRUE(fs::exists(folder / "out/backup.z01"));
        }
        // The password is asked for once, and a wrong answer is asked again.
        events.passwords = {"wrong", test.password};
        events.asked.clear();
        const RestoreSummary summary = test::restoreArchive(events, options);
        EXPECT_EQ(summary.status, RestoreStatus::Done) << summary.message;
        EXPECT_TRUE(summary.problems().empty());
        EXPECT_EQ(compare(folder / "restored"), std::vector<std::string>{});
        const std::vector<std::string> asked =
            test.password.empty() ? std::vector<std::string>{}
                                  : std::vector<std::string>{"password", "password again"};
        EXPECT_EQ(events.asked, asked);
        EXPECT_GT(events.progressCalls, 0);
        EXPECT_EQ(events.last.filesDone, events.last.filesTotal);
    }
}

TEST_F(RoundTrip, SpannedDisksAreAskedForAndLocated) {
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 64 * 1024;
    ASSERT_EQ(zip.compress(), 0);
    // Every volume but the last is on "another disk"; the user inserts it (moves it back) or
    // points at where it is.
    corvane::test::makeFolder(folder / "shelf");
    std::vector<std::string> moved;
    for (const auto& entry : fs::directory_iterator(folder / "out")) {
        if (entry.path().extension() != ".bac") {
            fs::rename(entry.path(), folder / "shelf" / entry.path().filename());
            moved.push_back(entry.path().filename());
        }
    }
    ASSERT_GE(moved.size(), 2u);
    struct Case {
        const char* name;
        bool locate;  // point at the file instead of inserting the disk
    };
    for (const Case& test : {Case{"disks inserted", false}, Case{"volumes located", true}}) {
        SCOPED_TRACE(test.name);
        fs::remove_all(folder / "restored");
        corvane::test::makeFolder(folder / "restored");
        std::vector<int> wanted;
        events.onVolume = [&](int number, const std::string& expected, std::string& foundAt) {
            wanted.push_back(number);
            const std::string name = fs::path(expected).filename();
            if (test.locate) {
                foundAt = folder / ("shelf/" + name);
            } else {
                fs::rename(folder / ("shelf/" + name), expected);  // the disk goes in
            }
            return true;
        };
        const RestoreSummary summary = test::restoreArchive(events, options);
        EXPECT_EQ(summary.status, RestoreStatus::Done) << summary.message;
        EXPECT_EQ(compare(folder / "restored"), std::vector<std::string>{});
        EXPECT_EQ(wanted.size(), moved.size());
        for (const auto& name : moved) {
            if (!test.locate) fs::rename(folder / ("out/" + name), folder / ("shelf/" + name));
        }
    }
    // A disk that is never given: the restore ends with the volume missing, writing nothing
    // half done.
    fs::remove_all(folder / "restored");
    corvane::test::makeFolder(folder / "restored");
    events.onVolume = nullptr;
    const RestoreSummary summary = test::restoreArchive(events, options);
    EXPECT_EQ(summary.status, RestoreStatus::Cancelled);
    for (const auto& path : test::allPaths(folder / "restored"))
        EXPECT_EQ(path.find(".cvrest-"), std::string::npos) << path;
}

TEST_F(RoundTrip, OriginalPlaceAndLayoutChoices) {
    ASSERT_EQ(zip.compress(), 0);
    // Back to where they were.
    fs::remove_all(source);
    options.destination.clear();
    options.stripFolders = 0;
    RestoreSummary summary = test::restoreArchive(events, options);
    EXPECT_EQ(summary.status, RestoreStatus::Done) << summary.message;
    EXPECT_EQ(summary.destination, "/");
    EXPECT_EQ(compare(source), std::vector<std::string>{});

    // Flat: files only, straight into the destination; links that now lead out are refused.
    options.destination = folder / "restored";
    options.keepFolders = false;
    options.patterns = {"*.txt", "*/run.sh"};
    summary = test::restoreArchive(events, options);
    EXPECT_EQ(summary.status, RestoreStatus::Done);
    EXPECT_EQ(test::allPaths(folder / "restored"),
              (std::vector<std::string>{"big.txt", "new\nline.txt", "notes.txt", "run.sh",
                                        "r\xC3\xA9sum\xC3\xA9 \xE2\x9C\x93.txt"}));
    struct stat info {};
    ASSERT_EQ(::stat((folder / "restored/run.sh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
}

}  // namespace
}  // namespace corvane::restore
