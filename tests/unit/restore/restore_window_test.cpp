// The restore window's model driven as a user would, every question answered through
// ScriptedHost: the tree and its check boxes, destinations, the conflicts page, passwords,
// disks, Cancel, the summary and the test report.
#include "restore/restore_window.h"

#include "archive_support.h"
#include "common/date_text.h"
#include "restore_support.h"
#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane::restore {
namespace {

namespace fs = std::filesystem;
using archive::test::writeFile;
using corvane::test::readFile;

class RestoreWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/";
        corvane::test::makeFolder(source + "docs/sub");
        corvane::test::makeFolder(source + "empty");
        writeFile(source + "docs/a.txt", archive::test::textData(30000, 1));
        writeFile(source + "docs/b.txt", archive::test::textData(20000, 2));
        writeFile(source + "docs/sub/c.txt", archive::test::textData(10000, 3));
        writeFile(source + "photo.jpg", archive::test::randomData(5000, 4));
        corvane::test::makeFolder(folder / "out");
        corvane::test::makeFolder(folder / "dest");
        zip.settings.archivePath = folder / "out/backup.bac";
        zip.settings.includes.push_back(source + "*");
        ASSERT_EQ(zip.compress(), 0);
        depth = static_cast<int>(std::count(source.begin(), source.end(), '/')) - 1;
    }
    void TearDown() override { host.checkScriptFinished(); }

    // The tree node of a stored path below the source folder.
    std::size_t node(const std::string& relative) const {
        const std::string path = source.substr(1) + relative;
        const auto& nodes = window.tree().nodes();
        for (std::size_t at = 0; at < nodes.size(); ++at) {
            if (nodes[at].path == path) return at;
        }
        ADD_FAILURE() << "no node " << path;
        return 0;
    }
    CheckState check(const std::string& relative) const {
        return window.tree().node(node(relative)).check;
    }
    void toFolder() {
        host.queueFolder(folder / "dest");
        ASSERT_TRUE(window.browseFolder());
        window.setStripFolders(depth);
    }

    corvane::test::TempFolder folder;
    std::string source;
    int depth = 0;
    archive::test::ZipUnderTest zip;
    ScriptedHost host;
    ConfigRecord config;
    RestoreWindow window{host, config};
};

TEST_F(RestoreWindowTest, TheTreeChecksFiltersAndCounts) {
    EXPECT_EQ(window.step(), WindowStep::Empty);
    EXPECT_FALSE(window.restoreEnabled());
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    EXPECT_EQ(window.step(), WindowStep::Choose);
    EXPECT_EQ(window.title(), "Corvane Restore - backup.bac");
    EXPECT_EQ(host.busyDepth(), 0);
    EXPECT_EQ(window.tree().node(node("docs")).size, 60000u);
    EXPECT_EQ(window.chosenText(), "4 files, 63 KB chosen");
    EXPECT_FALSE(window.restoreEnabled());  // no folder yet
    EXPECT_TRUE(window.testEnabled());

    struct Step {
        const char* what;
        std::string node;
        bool checked;
        CheckState docs, sub, root;
        const char* chosen;
    };
    const Step steps[] = {
        {"uncheck docs", "docs", false, CheckState::Unchecked, CheckState::Unchecked,
         CheckState::Partial, "1 file, 5 KB chosen"},
        {"check sub", "docs/sub", true, CheckState::Partial, CheckState::Checked,
         CheckState::Partial, "2 files, 15 KB chosen"},
        {"check a and b", "docs/a.txt", true, CheckState::Partial, CheckState::Checked,
         CheckState::Partial, "3 files, 44 KB chosen"},
        {"", "docs/b.txt", true, CheckState::Checked, CheckState::Checked, CheckState::Checked,
         "4 files, 63 KB chosen"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        window.setChecked(node(step.node), step.checked);
        EXPECT_EQ(check("docs"), step.docs);
        EXPECT_EQ(check("docs/sub"), step.sub);
        EXPECT_EQ(window.tree().node(0).check, step.root);
        EXPECT_EQ(window.chosenText(), step.chosen);
    }
    window.setChecked(0, false);
    EXPECT_FALSE(window.testEnabled());

    struct Filter {
        std::string text;
        std::vector<std::string> shown;
        std::vector<std::string> hidden;
    };
    const Filter filters[] = {
        {"B.TXT", {"docs/b.txt", "docs"}, {"docs/a.txt", "docs/sub", "photo.jpg"}},
        {"*.jpg", {"photo.jpg"}, {"docs", "docs/a.txt"}},
        {"sub", {"docs/sub", "docs/sub/c.txt", "docs"}, {"docs/b.txt"}},
        {"", {"docs", "docs/a.txt", "photo.jpg", "empty"}, {}},
    };
    for (const auto& filter : filters) {
        SCOPED_TRACE(filter.text);
        window.setFilter(filter.text);
        for (const auto& shown : filter.shown)
            EXPECT_TRUE(window.tree().visible(node(shown))) << shown;
        for (const auto& hidden : filter.hidden)
            EXPECT_FALSE(window.tree().visible(node(hidden))) << hidden;
    }
}

TEST_F(RestoreWindowTest, OpeningVolumesMissingFilesAndConfigDefaults) {
    config.restoreOverwrite = 0;
    config.systemValidate = 0;
    RestoreWindow asking(host, config);
    EXPECT_EQ(asking.policy(), OverwritePolicy::Ask);
    EXPECT_FALSE(asking.systemValidate());
    EXPECT_EQ(window.policy(), OverwritePolicy::Always);
    EXPECT_TRUE(window.systemValidate());

    host.expectMessage("Corvane Restore", Answer::Ok);
    EXPECT_FALSE(window.open(folder / "out/missing.bac"));
    EXPECT_EQ(host.messages().back().icon, Icon::Critical);
    EXPECT_EQ(window.step(), WindowStep::Empty);

    // Any volume of a split set opens the set.
    zip.settings.archivePath = folder / "out/split.bac";
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 64 * 1024;
    writeFile(source + "big.bin", archive::test::randomData(150000, 5));
    ASSERT_EQ(zip.compress(), 0);
    host.queueOpenFiles({folder / "out/split.z01"});
    ASSERT_TRUE(window.browseArchive());
    EXPECT_EQ(window.archivePath(), folder / "out/split.bac");
    EXPECT_TRUE(host.fileRequests().back().mustExist);
}

TEST_F(RestoreWindowTest, RestoresToAFolderWithConflictsAskedOnTheirPage) {
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    toFolder();
    EXPECT_TRUE(window.folderChoicesEnabled());
    EXPECT_TRUE(window.stripEnabled());
    window.setKeepFolders(false);
    EXPECT_FALSE(window.stripEnabled());
    window.setKeepFolders(true);
    corvane::test::makeFolder(folder / "dest/docs");
    writeFile(folder / "dest/docs/a.txt", "already here");
    writeFile(folder / "dest/photo.jpg", "already here too");
    window.setPolicy(OverwritePolicy::Ask);
    int changes = 0;
    window.onChanged = [&] { ++changes; };
    window.restore();
    ASSERT_EQ(window.step(), WindowStep::Conflicts);
    ASSERT_EQ(window.conflicts().size(), 2u);
    EXPECT_EQ(window.conflicts()[0].target, folder / "dest/docs/a.txt");
    EXPECT_EQ(window.conflicts()[0].diskSize, 12u);
    EXPECT_EQ(window.conflicts()[0].archiveSize, 30000u);
    EXPECT_EQ(window.conflicts()[0].choice, Action::Keep);
    window.setAllConflicts(Action::Replace);
    window.setConflictChoice(1, Action::Beside);
    window.continueRestore();
    ASSERT_EQ(window.step(), WindowStep::Summary);
    EXPECT_GT(changes, 3);
    EXPECT_EQ(window.summary().status, RestoreStatus::Done);
    EXPECT_EQ(window.summaryHeadline(), "Restored 4 files to " + folder / "dest" + ".");
    EXPECT_EQ(window.openFolderPath(), folder / "dest");
    EXPECT_EQ(readFile(folder / "dest/docs/a.txt"), readFile(source + "docs/a.txt"));
    EXPECT_EQ(readFile(folder / "dest/photo.jpg"), "already here too");
    EXPECT_EQ(readFile(folder / "dest/photo (1).jpg"), readFile(source + "photo.jpg"));
    EXPECT_TRUE(fs::is_directory(folder / "dest/empty"));
    EXPECT_TRUE(window.skippedLines().empty());
    window.backToChoose();
    EXPECT_EQ(window.step(), WindowStep::Choose);

    // Again with "never": the summary lists each file kept, and no folder that was there.
    const std::size_t version = window.treeVersion();
    window.setPolicy(OverwritePolicy::Never);
    window.restore();
    ASSERT_EQ(window.step(), WindowStep::Summary);
    const auto skipped = window.skippedLines();
    ASSERT_EQ(skipped.size(), 4u);
    for (const auto& line : skipped) {
        EXPECT_EQ(line.outcome, "kept") << line.name;
        EXPECT_FALSE(line.reason.empty()) << line.name;
        EXPECT_NE(line.name.find('.'), std::string::npos) << "a file: " << line.name;
    }
    EXPECT_EQ(window.treeVersion(), version) << "the tree's rows did not change";
    window.backToChoose();
    window.setFilter("*.txt");
    EXPECT_GT(window.treeVersion(), version);
}

TEST(RestoreWindowText, EntryTimesAreLocalAndEmptyForNone) {
    EXPECT_EQ(entryTimeText(0), "");
    const auto moment = fromLocal({2026, 12, 4, 10, 30, 5});
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(moment.time_since_epoch()).count() +
        123'456'789;
    EXPECT_EQ(entryTimeText(ns), "2026-12-04 10:30:05");
}

TEST_F(RestoreWindowTest, TheOriginalPlaceIsConfirmedFirst) {
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    window.setDestination(DestinationKind::OriginalPlace);
    EXPECT_FALSE(window.folderChoicesEnabled());
    EXPECT_TRUE(window.restoreEnabled());
    fs::remove(source + "docs/a.txt");
    host.expectMessage("Restore to Original Places", Answer::No);
    window.restore();
    EXPECT_EQ(window.step(), WindowStep::Choose);
    EXPECT_FALSE(fs::exists(source + "docs/a.txt"));
    host.expectMessage("Restore to Original Places", Answer::Yes);
    window.restore();
    EXPECT_EQ(window.step(), WindowStep::Summary);
    EXPECT_EQ(window.summary().status, RestoreStatus::Done);
    EXPECT_EQ(readFile(source + "docs/a.txt"), archive::test::textData(30000, 1));
    EXPECT_EQ(window.openFolderPath(), source.substr(0, source.size() - 1));
}

TEST_F(RestoreWindowTest, PasswordsAreAskedAgainAndCancelStops) {
    zip.settings.password = "right";
    ASSERT_EQ(zip.compress(), 0);
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    toFolder();
    struct Case {
        const char* name;
        std::vector<std::optional<std::string>> answers;
        int wrongBoxes;
        RestoreStatus status;
    };
    const Case cases[] = {
        {"wrong, then right", {"wrong", "right"}, 1, RestoreStatus::Done},
        {"cancelled", {std::nullopt}, 0, RestoreStatus::Cancelled},
        {"wrong every time", {"a", "b", "c", "d"}, 3, RestoreStatus::WrongPassword},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        fs::remove_all(folder / "dest");
        corvane::test::makeFolder(folder / "dest");
        ASSERT_TRUE(window.open(zip.settings.archivePath));  // forgets the password given
        for (const auto& answer : test.answers)
            host.queuePassword(answer);
        for (int box = 0; box < test.wrongBoxes; ++box)
            host.expectMessage("Corvane Restore", Answer::Ok);
        window.restore();
        EXPECT_EQ(window.summary().status, test.status) << window.summaryHeadline();
        EXPECT_TRUE(host.scriptFinished());
        if (test.status != RestoreStatus::Done) {
            for (const auto& path : test::allPaths(folder / "dest"))
                EXPECT_TRUE(fs::is_directory(folder / ("dest/" + path))) << path;
        }
    }
}

TEST_F(RestoreWindowTest, MissingDisksAreAskedForOrLocated) {
    zip.settings.archivePath = folder / "out/split.bac";
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 64 * 1024;
    writeFile(source + "big.bin", archive::test::randomData(100000, 5));
    ASSERT_EQ(zip.compress(), 0);
    corvane::test::makeFolder(folder / "shelf");
    fs::rename(folder / "out/split.z01", folder / "shelf/split.z01");
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    toFolder();
    // OK without the disk three times: the volume is missing.
    for (int attempt = 0; attempt < 3; ++attempt)
        host.expectMessage("Insert Disk", Answer::Ok);
    window.restore();
    EXPECT_EQ(window.summary().status, RestoreStatus::VolumeMissing);
    EXPECT_EQ(host.beeps(), 3);
    // Cancel, then the file is located where it is.
    window.backToChoose();
    host.expectMessage("Insert Disk", Answer::Cancel);
    host.queueOpenFiles({folder / "shelf/split.z01"});
    window.restore();
    EXPECT_EQ(window.summary().status, RestoreStatus::Done) << window.summaryHeadline();
    EXPECT_EQ(host.fileRequests().back().title, "Locate split.z01");
    EXPECT_EQ(readFile(folder / "dest/big.bin"), readFile(source + "big.bin"));
}

TEST_F(RestoreWindowTest, CancelDuringTheRestoreLeavesNothingHalfWritten) {
    writeFile(source + "large.txt", archive::test::textData(8'000'000, 6));
    corvane::test::makeFolder(source + "many");
    for (int file = 0; file < 200; ++file)
        writeFile(source + "many/" + std::to_string(file), std::string(2000, 'x'));
    ASSERT_EQ(zip.compress(), 0);
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    toFolder();
    host.onPendingEvents = [&] {
        EXPECT_EQ(window.step(), WindowStep::Running);
        window.cancel();
    };
    window.restore();
    EXPECT_EQ(window.summary().status, RestoreStatus::Cancelled);
    EXPECT_TRUE(window.progressState().cancelling);
    for (const auto& entry : window.summary().entries) {
        if (entry.outcome == Outcome::Restored && entry.kind == EntryKind::File) {
            const std::string relative = entry.target.substr((folder / "dest/").size());
            EXPECT_EQ(readFile(entry.target), readFile(source + relative)) << relative;
        }
    }
    for (const auto& path : test::allPaths(folder / "dest"))
        EXPECT_EQ(path.find(".cvrest-"), std::string::npos) << path;
}

TEST_F(RestoreWindowTest, TestingReportsEveryEntry) {
    ASSERT_TRUE(window.open(zip.settings.archivePath));
    window.test();
    ASSERT_EQ(window.step(), WindowStep::TestReport);
    const std::size_t entries = window.listing().items.size();
    EXPECT_EQ(window.testHeadline(), "All " + std::to_string(entries) + " entries tested are OK.");
    EXPECT_EQ(window.testLines().size(), entries);
    // A damaged byte in a.txt's data shows on its line.
    std::string bytes = readFile(zip.settings.archivePath);
    const std::size_t at = bytes.find("a.txt") + 200;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    writeFile(zip.settings.archivePath, bytes);
    window.backToChoose();
    window.test();
    std::vector<std::string> failed;
    for (const auto& line : window.testLines()) {
        if (!line.ok) failed.push_back(line.name);
    }
    EXPECT_EQ(failed, std::vector<std::string>{source.substr(1) + "docs/a.txt"});
    EXPECT_EQ(window.testHeadline().rfind("The test found problems: 1 entry failed", 0), 0u);
}

}  // namespace
}  // namespace corvane::restore
