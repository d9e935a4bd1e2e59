// Start-up and run modes: the command-line forms, the first start, the restore hand-off and
// the unattended entry.
#include "app/program.h"

#include "app/failure_notice.h"
#include "common/file_io.h"
#include "fake_component.h"
#include "favorites/favorite_record.h"
#include "recorders.h"
#include "scripted_host.h"
#include "set_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane::test {
namespace {

TEST(CommandLine, FormsAreToldApartInOrder) {
    struct Case {
        std::string text;
        RunMode mode;
        std::string path;
    };
    const Case cases[] = {
        {"", RunMode::Interactive, ""},
        {"/arch/Daily.BAC", RunMode::ArchiveHandOff, "/arch/Daily.BAC"},
        {"/arch/daily.bac", RunMode::ArchiveHandOff, "/arch/daily.bac"},
        {"~~Timed/sets/Daily.cvt", RunMode::TimedBackup, "/sets/Daily.cvt"},
        {"~~timed/sets/Daily.cvt", RunMode::CommandLineBackup, "~~timed/sets/Daily.cvt"},
        {"\"/sets/My Set.cvt\"", RunMode::CommandLineBackup, "\"/sets/My Set.cvt\""},
        {"~~Timed/arch/x.bac", RunMode::ArchiveHandOff, "~~Timed/arch/x.bac"},
    };
    for (const auto& c : cases) {
        const CommandLine parsed = parseCommandLine(c.text);
        EXPECT_EQ(parsed.mode, c.mode) << c.text;
        EXPECT_EQ(parsed.path, c.path) << c.text;
    }
    const char* argv[] = {"corvane", "/sets/My", "Set.cvt"};
    EXPECT_EQ(joinArguments(3, argv), "/sets/My Set.cvt");
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest()
        : clock(fromLocal({2026, 12, 4, 10, 30, 0})),
          program(home.path(), {host, clock, fileSystem, drives, component, launcher}) {}

    void TearDown() override { host.checkScriptFinished(); }

    // The set `name` in "Backup Sets", of home/data, with its compression and destination.
    void writeSet(const std::string& name, int compression, const std::string& location) {
        makeFolder(home / "data");
        makeFolder(home / "Backup Sets");
        writeFile(home / ("Backup Sets/" + name + ".cvt"),
                  setFileText({home / "data/"}, location, compression));
    }

    TempFolder home;
    ScriptedHost host;
    ManualClock clock;
    RealFileSystem fileSystem;
    FakeDrives drives;
    FakeComponent component;
    RecordingLauncher launcher;
    Program program;
};

TEST_F(ProgramTest, FirstStartPreparesTheProgramFolder) {
    const LoadResult result = program.load("");
    EXPECT_EQ(result.mode, RunMode::Interactive);
    EXPECT_FALSE(result.endProgram);
    EXPECT_TRUE(fileExists(home / "Backup Sets"));
    EXPECT_EQ(readFile(home / "Backup.cfg").size(), 226u);
    EXPECT_EQ(host.statusText(), "Press F1 to get Help");
    EXPECT_FALSE(program.commands().isEnabled(CommandId::Backup));
    EXPECT_FALSE(program.commands().isEnabled(CommandId::FileSave));
    EXPECT_TRUE(program.commands().isEnabled(CommandId::Open));
}

TEST_F(ProgramTest, ArchiveIsHandedToTheRestoreProgramOnce) {
    program.load("/arch/Daily.BAC");
    EXPECT_EQ(program.pendingArchive(), "/arch/Daily.BAC");
    EXPECT_TRUE(launcher.started.empty());
    program.activate();
    program.activate();
    EXPECT_EQ(launcher.started, std::vector<std::string>{"cvrest /arch/Daily.BAC"});
    EXPECT_EQ(program.pendingArchive(), "");
}

TEST_F(ProgramTest, MissingRestoreProgramIsReported) {
    launcher.fail = true;
    program.load("/arch/Daily.bac");
    host.expectMessage("Error Loading", Answer::Ok);
    program.activate();
    EXPECT_EQ(host.messages().back().text,
              "Error loading the restore program (cvrest) to open '/arch/Daily.bac'.\r\n\r\n"
              "Error:  File not found.");
}

TEST_F(ProgramTest, UnattendedEntryOpensTheSetAndRuns) {
    writeSet("Daily", 9, home / "Daily.bac");
    const LoadResult result = program.load("~~Timed" + home.path() + "Backup Sets/Daily.cvt");
    EXPECT_EQ(result.mode, RunMode::TimedBackup);
    EXPECT_TRUE(result.endProgram);
    EXPECT_EQ(result.exitCode, kExitSuccess);
    EXPECT_TRUE(program.flags().commandLineRun);
    EXPECT_TRUE(program.flags().timedRun);
    EXPECT_EQ(program.document().set().setName, "Daily.cvt");
    ASSERT_EQ(component.compresses.size(), 1u);
    EXPECT_EQ(component.compresses[0].level, 9);
    EXPECT_EQ(component.compresses[0].archivePath, home / "Daily.bac");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(ProgramTest, RelativeSetPathsAreMadeAbsoluteBeforeANameIsTaken) {
    // Two sets given by bare names from their own folder must not share one archive name.
    for (const std::string name : {"Daily", "Weekly"})
        writeSet(name, 6, home / "$DATE$.bac");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(home / "Backup Sets");
    const LoadResult daily = program.load("Daily.cvt");
    const LoadResult weekly = program.load("./Weekly.cvt");
    std::filesystem::current_path(before);

    EXPECT_EQ(daily.exitCode, kExitSuccess);
    EXPECT_EQ(weekly.exitCode, kExitSuccess);
    ASSERT_EQ(component.compresses.size(), 2u);
    EXPECT_EQ(component.compresses[0].archivePath, home / "12-04-2026 - Daily.bac");
    EXPECT_EQ(component.compresses[1].archivePath, home / "12-04-2026 - Weekly.bac");
    EXPECT_EQ(*readFavoriteList(home.path()),
              (std::vector<std::string>{home / "Backup Sets/Daily.cvt",
                                        home / "Backup Sets/Weekly.cvt"}));
}

TEST_F(ProgramTest, OtherCaseOfTheTimedMarkerIsASetPathThatFailsToOpen) {
    const LoadResult result = program.load("~~timed" + home.path() + "Backup Sets/Daily.cvt");
    EXPECT_EQ(result.mode, RunMode::CommandLineBackup);
    EXPECT_TRUE(result.endProgram);
    EXPECT_EQ(result.exitCode, kExitSetNotOpened);
    EXPECT_EQ(host.timedErrorScreens(), 1);
    EXPECT_NE(readFile(home / "error.log").find("Command Line Backup - Error Opening"),
              std::string::npos);
    EXPECT_TRUE(component.compresses.empty());
}

TEST(FailureNotice, RunsThatFailedOrSkippedFilesAreAnnounced) {
    const std::string see = " See the error log for details.";
    struct Case {
        int exitCode;
        int archiveCode;
        const char* reason;  // empty: no notice
    };
    const Case cases[] = {
        {kExitSuccess, 0, ""},
        {kExitSuccess, 526, ""},
        {kExitCancelled, 518, ""},
        {kExitSuccess, 527, "The backup finished, but some files were skipped."},
        {kExitBackupFailed, 521, "The backup failed (521: "},
        {kExitSetNotOpened, 0, "The Backup Set could not be opened."},
        {kExitTestFailed, 0, "The backup was made, but its test failed."},
        {kExitOffsiteFailed, 0, "The backup was made, but its off-site copy failed."},
    };
    for (const Case& c : cases) {
        const auto notice = failureNoticeFor(" /sets/Daily.cvt ", c.exitCode, c.archiveCode);
        ASSERT_EQ(notice.has_value(), *c.reason != '\0') << c.exitCode << " " << c.archiveCode;
        if (!notice) continue;
        EXPECT_EQ(notice->setName, "Daily.cvt");
        EXPECT_EQ(notice->reason.rfind(c.reason, 0), 0u) << notice->reason;
        EXPECT_TRUE(notice->reason.ends_with(see)) << notice->reason;
    }
}

TEST_F(ProgramTest, FailedRunAsksForANotificationOnlyWithASessionBus) {
    const std::string set = home / "Backup Sets/Missing.cvt";
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(program.load(set).exitCode, kExitSetNotOpened);
    EXPECT_TRUE(launcher.started.empty());
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nowhere", 1);
    Program second(home.path(), {host, clock, fileSystem, drives, component, launcher});
    EXPECT_EQ(second.load(set).exitCode, kExitSetNotOpened);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(launcher.started,
              std::vector<std::string>{"corvane --notify-failure Missing.cvt The Backup Set could "
                                       "not be opened. See the error log for details."});
}

TEST_F(ProgramTest, ClosingStoresTheChosenCdCapacity) {
    program.load("");
    program.chosenCdCapacity() = "700 MB";
    program.close();
    EXPECT_EQ(readFile(home / "Backup.cfg").substr(220, 6), "700 MB");
}

}  // namespace
}  // namespace corvane::test
