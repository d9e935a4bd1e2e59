// Interactive runs: preview, progress, disk prompts, results, records, the test and its
// messages, and the log lines each step writes.
#include "archive/archiver.h"
#include "archive/result_codes.h"
#include "box_check.h"
#include "common/record_file.h"
#include "common/text.h"
#include "config/password.h"
#include "engine_fixture.h"
#include "schedule/task_record.h"

namespace corvane::test {
namespace {

using InteractiveRun = EngineFixture;

const char* kTestPassed =
    "The Backup archive test reports that your Backup passed testing and is safe.";

TEST_F(InteractiveRun, SuccessWithoutTestShowsNoBoxAndUpdatesRecords) {
    const Bytes task = TaskRecord{home / "backup sets/OFFICE.CVT", "N/A"}.encode();
    writeFile(home / "Tasks.dat", std::string(task.begin(), task.end()));
    component.onCompress = [](FakeComponent::Events& events, FakeComponent& self) {
        events.onFileProgress("/data/a.txt", 40, false);
        events.onFileProgress("/data/a.txt", 100, true);
        self.writeArchive();
        return 0;
    };
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    EXPECT_TRUE(host.messages().empty());
    const auto& t = host.transcript();
    EXPECT_EQ(t.front(), "progress.open 1");
    EXPECT_EQ(t[1], "progress.line Preprocessing Files...Please wait");
    EXPECT_NE(std::find(t.begin(), t.end(), "progress.line Updating Backup Task Information..."),
              t.end());
    EXPECT_EQ(t.back(), "progress.close");
    EXPECT_EQ(
        readFile(home / "Backup.log"),
        "### Backup Started - " + home.path() +
            "Backup Sets/Office.cvt - 2026-12-04 "
            "10:30:00 ###\r\n### Backup Destination & Name:  " +
            datedArchive() +
            " ###\r\n"
            "-  Adding /data/a.txt\r\n### Backup Operation Complete - 2026-12-04 10:30:00 ###\r\n");
    EXPECT_EQ(TaskRecord::decode(*RecordFile(home / "Tasks.dat", 180).read(1)).lastPerformed,
              "2026-12-04 10:30:00");
    EXPECT_EQ(readFile(home / "Favorite.dat"), fixedField(home / "Backup Sets/Office.cvt", 150));
}

TEST_F(InteractiveRun, WithoutLogFileNothingIsWritten) {
    config.record().logFile = 0;
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    EXPECT_FALSE(fileExists(home / "Backup.log"));
    EXPECT_FALSE(fileExists(home / "error.log"));
}

TEST_F(InteractiveRun, TestDecisionFollowsTestMode) {
    config.record().testMode = 2;
    host.expectMessage("Backup Complete", Answer::Yes);
    host.expectMessage("Backup Test Successful", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    expectBox(host.messages()[0], Icon::Question, Buttons::YesNo,
              "Backup operation successful.  Your Backup is complete.\r\n\r\nWould you like to "
              "test the Backup archive to confirm your data is safe?");
    EXPECT_EQ(host.messages()[1].text, kTestPassed);
    EXPECT_EQ(component.tests.size(), 1u);
    EXPECT_EQ(component.tests[0].archivePath, datedArchive());
    EXPECT_TRUE(logHas("### Test Operation successful ###"));

    host.expectMessage("Backup Complete", Answer::No);
    runner.runInteractive({});
    EXPECT_EQ(component.tests.size(), 1u);

    config.record().testMode = 1;
    component.onTest = [](FakeComponent::Events&, FakeComponent&) { return 524; };
    host.expectMessage("Test Failed", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::TestFailed);
    EXPECT_EQ(host.messages().back().text,
              "Your Backup archive failed the test.  This can be caused by a number of different "
              "factors.  It is suggested that you perform the Backup again to ensure your data "
              "is safe.\r\n\r\nError #: 524");
    EXPECT_TRUE(logHas("### Test Operation failed - Backup may have become corrupt ###"));
}

// A test result of 526 or 527 passes, and that run ends without its closing log line.
TEST_F(InteractiveRun, TestWithWarningsPassesWithoutTheClosingLine) {
    config.record().testMode = 1;
    component.onTest = [](FakeComponent::Events&, FakeComponent&) { return 527; };
    host.expectMessage("Backup Test Successful", Answer::Ok);
    runner.runInteractive({});
    EXPECT_TRUE(logHas("### Test Operation successful ###"));
    EXPECT_EQ(backupLog().find("### Backup Operation Complete"), std::string::npos);
}

TEST_F(InteractiveRun, CancelAndFailureOfTheCompress) {
    const auto pressCancelDuringCompress = [&](FakeComponent::Events&, FakeComponent& self) {
        host.progress().pressCancel();
        return self.abortedOr(0);
    };
    component.onCompress = pressCancelDuringCompress;
    host.expectMessage("Backup", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Cancelled);
    EXPECT_EQ(host.progress().operationLine(), "Aborting current operation...Please wait...");
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Backup operation cancelled.  Backup is not complete.");
    EXPECT_TRUE(logHas("### Backup Operation cancelled by User ###"));
    EXPECT_FALSE(host.progress().isOpen());

    component.onCompress = [](FakeComponent::Events&, FakeComponent&) { return 521; };
    host.expectMessage("Error", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Failed);
    expectBox(host.messages().back(), Icon::Critical, Buttons::OkHelp,
              "Error performing Backup.\r\n\r\nError:  521");
    EXPECT_TRUE(logHas("### Error performing Backup - Error:  521 ###"));
    EXPECT_FALSE(fileExists(home / "Tasks.dat"));
    EXPECT_FALSE(fileExists(home / "Favorite.dat"));
}

TEST_F(InteractiveRun, CancelArrivingInTheEventLoopsTurnStopsARealCompress) {
    // A window's Cancel button is clicked only while the run gives the event loop a turn.
    for (int i = 0; i < 40; ++i)
        writeFile(home / ("data/f" + std::to_string(i)), "content");
    archive::Archiver archiver;
    BackupRunner real(
        {home.path(), config, flags, host, document, archiver, clock, drives, fileSystem});
    bool pressed = false;
    host.onPendingEvents = [&] {
        if (!pressed && host.progress().isOpen()) host.progress().pressCancel();
        pressed = true;
    };
    host.expectMessage("Backup", Answer::Ok);
    EXPECT_EQ(real.runInteractive({}), RunOutcome::Cancelled);
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(fileExists(datedArchive()));
}

TEST_F(InteractiveRun, OffsiteCopyThatCannotStartIsShownAfterTheBackup) {
    writeFile(home / "Offsite.ini", "[Office]\nUrl=ftp://host/backups/\nCredentialsFile=x.cred\n");
    host.expectMessage("Off-site Copy", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::OffsiteFailed);
    EXPECT_TRUE(fileExists(datedArchive()));
    EXPECT_NE(host.messages().back().text.find(
                  "Your Backup is complete, but it could not be copied off-site.\r\n\r\n"
                  "bad off-site settings: Url \"ftp://host/backups/\" in Offsite.ini"),
              std::string::npos)
        << host.messages().back().text;
    EXPECT_TRUE(logHas("### Off-site copy failed - Offsite.ini ###"));
    EXPECT_TRUE(logHas("### Backup Operation Complete - 2026-12-04 10:30:00 ###"));
}

TEST_F(InteractiveRun, DiskChangesAskForEachDiskWithABeep) {
    drives.type = DriveType::Removable;
    config.record().promptPreview = 0;
    std::vector<bool> inserted;
    component.onCompress = [&](FakeComponent::Events& events, FakeComponent& self) {
        inserted.push_back(events.onInsertDisk(2));
        inserted.push_back(events.onInsertDisk(0));
        return self.abortedOr(0);
    };
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.expectMessage("Insert Disk", Answer::Ok);
    host.expectMessage("Insert Disk", Answer::Ok);
    host.expectMessage("Insert Disk", Answer::Cancel);
    host.expectMessage("Backup", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({BackupStyle::CdMultipleDisks, "650 MB"}),
              RunOutcome::Cancelled);
    EXPECT_EQ(inserted, (std::vector<bool>{true, false}));
    const auto& m = host.messages();
    EXPECT_EQ(m[2].text,
              "Please insert DISK #2 of the set.\r\n\r\nNote:  Ensure the CDR/CDRW disk has "
              "completed writing and all status lights have stopped flashing before inserting "
              "the next disk.  Also ensure that the newly inserted disk is ready in the drive "
              "before clicking OK.");
    EXPECT_EQ(m[2].buttons, Buttons::OkCancel);
    EXPECT_EQ(m[3].text.substr(0, 41), "Please insert the LAST DISK of the set.\r\n");
    EXPECT_EQ(host.beeps(), 2);
    const auto& t = host.transcript();
    const auto beep = std::find(t.begin(), t.end(), "beep");
    ASSERT_NE(beep, t.end());
    EXPECT_EQ(*(beep - 1), "progress.hide");
}

TEST_F(InteractiveRun, PreviewShowsSizeAndDisksThenGoesOn) {
    drives.type = DriveType::Removable;
    drives.total = 1'000'000;
    component.onPreview = [](FakeComponent::Events& events, FakeComponent&) {
        events.onPreviewingFile("/data/a.txt");
        events.onOperationComplete(2'600'000);
        return 0;
    };
    config.record().password = 1;
    config.record().passwordText = storedPasswordText("s3cret");
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.queuePreviewAnswer(Answer::Yes);
    host.expectMessage("Preview Results", Answer::Ok);
    host.expectMessage("Insert Disk", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({BackupStyle::MultipleDisks, ""}), RunOutcome::Succeeded);
    // The password is handed over after the preview, for the backup only.
    EXPECT_EQ(component.previews.back().password, "");
    EXPECT_EQ(component.compresses.back().password, "s3cret");
    EXPECT_EQ(host.messages()[1].text,
              "The backup archive size will be approximately: 2,540 KB.\r\n\r\nYou will require "
              "approximately 3 disk(s) the size of what is inserted in your destination drive.");
    const auto& t = host.transcript();
    EXPECT_NE(std::find(t.begin(), t.end(), "previewing.file /data/a.txt"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "previewing.close"), t.end());
    const auto& statuses = host.statusHistory();
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Performing Preview...Please Wait"),
              statuses.end());

    // Declining the preview runs without it.
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.queuePreviewAnswer(Answer::No);
    host.expectMessage("Insert Disk", Answer::Ok);
    runner.runInteractive({BackupStyle::MultipleDisks, ""});
    EXPECT_EQ(component.previews.size(), 1u);
}

TEST_F(InteractiveRun, CancelledPreviewAsksAndFallsBackToSingleStyle) {
    drives.type = DriveType::Removable;
    component.onPreview = [&](FakeComponent::Events&, FakeComponent& self) {
        host.previewing().pressCancel();
        return self.abortedOr(0);
    };
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.queuePreviewAnswer(Answer::Yes);
    host.expectMessage("Preview", Answer::No);
    EXPECT_EQ(runner.runInteractive({BackupStyle::MultipleDisks, ""}), RunOutcome::NotStarted);
    EXPECT_EQ(host.messages().back().text,
              "Preview operation cancelled.  Do you still wish to continue with the Backup "
              "operation?");
    EXPECT_TRUE(component.compresses.empty());

    // Going on: still spanned, but the first-disk prompt and CD notes are left out.
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.queuePreviewAnswer(Answer::Yes);
    host.expectMessage("Preview", Answer::Yes);
    host.expectMessage("Insert Disk", Answer::Ok);
    component.onCompress = [](FakeComponent::Events& events, FakeComponent&) {
        events.onInsertDisk(2);
        return 0;
    };
    EXPECT_EQ(runner.runInteractive({BackupStyle::CdMultipleDisks, "650 MB"}),
              RunOutcome::Succeeded);
    EXPECT_TRUE(component.compresses.back().spanDisks);
    EXPECT_EQ(host.messages().back().text, "Please insert DISK #2 of the set.");

    component.onPreview = [](FakeComponent::Events&, FakeComponent&) { return 522; };
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.queuePreviewAnswer(Answer::Yes);
    host.expectMessage("Error", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({BackupStyle::MultipleDisks, ""}), RunOutcome::NotStarted);
    EXPECT_EQ(host.messages().back().text, "Error performing Preview.\r\n\r\nError:  522");
}

TEST_F(InteractiveRun, SkippedFilesAreShownOrLoggedBySkipPrompt) {
    component.onCompress = [](FakeComponent::Events& events, FakeComponent& self) {
        events.onSkippedFile("/data/locked.db", 103);
        events.onSkippedFile("/data/same.txt", 2);
        self.writeArchive();
        return 527;
    };
    config.record().skipPrompt = 1;
    host.expectMessage("Skipped File", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    EXPECT_EQ(host.messages().back().text,
              "The following file cannot be opened for writing/reading:  \r\n\r\n/data/locked.db"
              "\r\n\r\nThis file will not be included in the Backup.");
    EXPECT_EQ(host.messages().size(), 1u);  // reasons below 100 draw no message

    // While testing, the same box speaks of the test.
    config.record().testMode = 1;
    component.onTest = [](FakeComponent::Events& events, FakeComponent&) {
        events.onSkippedFile("data/locked.db", 102);
        return 527;
    };
    host.expectMessage("Skipped File", Answer::Ok);
    host.expectMessage("Skipped File", Answer::Ok);
    host.expectMessage("Backup Test Successful", Answer::Ok);
    runner.runInteractive({});
    EXPECT_EQ(host.messages()[host.messages().size() - 2].text,
              "The following file cannot be opened for test extracted:  \r\n\r\ndata/locked.db"
              "\r\n\r\nThis file will not be tested.");

    config.record().testMode = 0;
    config.record().skipPrompt = 0;
    runner.runInteractive({});
    EXPECT_TRUE(logHas("-  Skipped File /data/locked.db"));
    EXPECT_TRUE(logHas("-  Skipped File /data/same.txt"));
}

TEST_F(InteractiveRun, OversizedFileStopsTheRun) {
    component.onCompress = [](FakeComponent::Events& events, FakeComponent& self) {
        std::string stored;
        events.onPreprocessingFile("/data/small", 4'000'000'000ULL, stored);
        if (self.abortRequested()) return 518;
        events.onPreprocessingFile("/data/huge", 4'000'000'001ULL, stored);
        return self.abortedOr(0);
    };
    host.expectMessage("Backup", Answer::Ok);
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Cancelled);
    const auto& t = host.transcript();
    const auto notice = std::find(t.begin(), t.end(), "maximumArchiveSize");
    ASSERT_NE(notice, t.end());
    EXPECT_EQ(*(notice - 1), "progress.hide");
}

TEST_F(InteractiveRun, PasswordIsHandedOverAndAskedAgainWhenWrong) {
    config.record().password = 1;
    config.record().passwordText = storedPasswordText("s3cret");
    config.record().testMode = 1;
    std::vector<std::string> tried;
    component.onTest = [&](FakeComponent::Events& events, FakeComponent& self) {
        std::string password = self.settings().password;
        while (password != "right") {
            if (!events.onPasswordNeeded(password)) return 518;
            tried.push_back(password);
        }
        return 0;
    };
    host.queuePassword("wrong");
    host.queuePassword("  right ");
    host.expectMessage("Backup Test Successful", Answer::Ok);
    runner.runInteractive({});
    EXPECT_EQ(component.compresses.back().password, "s3cret");
    EXPECT_EQ(tried, (std::vector<std::string>{"wrong", "right"}));
    EXPECT_EQ(runner.currentPassword(), "right");

    // Cancelling the prompt stops the test and forgets the password.
    component.onTest = [](FakeComponent::Events& events, FakeComponent&) {
        std::string password;
        return events.onPasswordNeeded(password) ? 0 : 518;
    };
    host.queuePassword(std::nullopt);
    host.expectMessage("Test Backup", Answer::Ok);
    config.record().password = 0;
    runner.runInteractive({});
    EXPECT_EQ(component.compresses.back().password, "");
    EXPECT_EQ(host.messages().back().text,
              "Testing operation cancelled.  Testing is not complete.");
    EXPECT_EQ(runner.currentPassword(), "");
}

TEST_F(InteractiveRun, IntegrityWarningCanStopTheTest) {
    config.record().testMode = 1;
    component.onTest = [](FakeComponent::Events& events, FakeComponent& self) {
        if (!events.onIntegrityWarning("/data/a.txt")) return self.abortedOr(524);
        return 0;
    };
    host.expectMessage("Integrity Warning", Answer::Cancel);
    host.expectMessage("Test Backup", Answer::Ok);
    runner.runInteractive({});
    EXPECT_EQ(host.messages()[0].text,
              "The Backup Archive generated an integrity warning and may be corrupt.\r\n\r\n"
              "Click OK to continue with the test operation or Cancel to abort the operation.");
    EXPECT_TRUE(logHas("### Test Operation cancelled by User ###"));

    // Going on after the first warning is not asked again for every damaged entry.
    component.onTest = [](FakeComponent::Events& events, FakeComponent&) {
        for (int i = 0; i < 1000; ++i)
            events.onIntegrityWarning("/data/f" + std::to_string(i));
        return 524;
    };
    host.expectMessage("Integrity Warning", Answer::Ok);
    host.expectMessage("Test Failed", Answer::Ok);
    runner.runInteractive({});
    EXPECT_EQ(host.messages().size(), 4u);
}

TEST_F(InteractiveRun, TestOfAChosenArchive) {
    host.queueOpenFiles({home / "out/old.bac"});
    host.expectMessage("Backup Test Successful", Answer::Ok);
    runner.testChosenArchive();
    const FileRequest& request = host.fileRequests().back();
    EXPECT_EQ(request.title, "Choose Backup Archive");
    EXPECT_EQ(request.filter, "Corvane Archives (*.bac)|*.bac");
    EXPECT_EQ(component.tests.back().archivePath, home / "out/old.bac");
    EXPECT_EQ(host.transcript()[1], "progress.line Testing Backup...Please wait...");
    EXPECT_FALSE(fileExists(home / "Backup.log"));  // a test on its own writes no log line

    host.queueOpenFiles({});
    runner.testChosenArchive();
    EXPECT_EQ(component.tests.size(), 1u);
}

}  // namespace
}  // namespace corvane::test
