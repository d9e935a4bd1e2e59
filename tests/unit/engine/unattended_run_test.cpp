// Unattended runs: no questions, error.log blocks, Timed.dat results, TError.dat and when the
// program ends.
#include "common/record_file.h"
#include "engine_fixture.h"
#include "schedule/timed_record.h"

namespace corvane::test {
namespace {

class UnattendedRun : public EngineFixture {
protected:
    UnattendedRun() {
        flags.commandLineRun = true;
        EXPECT_TRUE(document.saveSet());
        const std::string setPath = document.set().setPath;
        const std::vector<TimedRecord> records = {
            {"/elsewhere/Other.cvt", "Every Day", "04:00:00", "2026-12-05", "N/A"},
            {setPath, "Every Hour", "11:30:00", "2026-12-04", "N/A"},
            {setPath, "Every Day", "05:00:00", "2026-12-05", "N/A"},
        };
        std::vector<Bytes> bytes;
        for (const auto& record : records)
            bytes.push_back(record.encode());
        EXPECT_TRUE(RecordFile(home / "Timed.dat", TimedRecord::kSize).rewriteAll(bytes));
    }

    std::string lastResult(std::size_t number) const {
        return TimedRecord::decode(*RecordFile(home / "Timed.dat", TimedRecord::kSize).read(number))
            .lastResult;
    }
    std::string errorLog() const {
        return fileExists(home / "error.log") ? readFile(home / "error.log") : std::string();
    }
};

TEST_F(UnattendedRun, CommandLineSuccessEndsByShutDown) {
    config.record().shutDown = 1;
    const UnattendedResult result = runner.runUnattended();
    EXPECT_EQ(result.outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(result.endProgram);
    const archive::ArchiveSettings& settings = component.compresses.back();
    EXPECT_EQ(settings.archivePath, datedArchive());
    EXPECT_FALSE(settings.spanDisks);
    EXPECT_EQ(host.transcript()[1], "progress.line Preprocessing Files......Please wait");
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(lastResult(2), "N/A");  // not a timed run
    EXPECT_TRUE(fileExists(home / "Favorite.dat"));

    config.record().shutDown = 0;
    EXPECT_FALSE(runner.runUnattended().endProgram);
}

TEST_F(UnattendedRun, FailureWritesTheErrorBlockAndTheTimedScreen) {
    component.onCompress = [](FakeComponent::Events&, FakeComponent&) { return 519; };
    const UnattendedResult result = runner.runUnattended();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.endProgram);
    EXPECT_EQ(host.timedErrorScreens(), 1);
    EXPECT_EQ(errorLog(),
              "Command Line Backup - Error performing Backup.\r\nError #    : 519\r\n"
              "Backup Name: " +
                  home.path() +
                  "Backup Sets/Office.cvt\r\n"
                  "Backup Time: 2026-12-04 10:30:00\r\n");
    EXPECT_TRUE(logHas("### Error encountered - See Error.log ###"));
    EXPECT_EQ(backupLog().find("Backup Operation Complete"), std::string::npos);
    EXPECT_FALSE(fileExists(home / "Favorite.dat"));
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(UnattendedRun, NothingFoundFailsUnlessTheArchiveIsThere) {
    // None of the set's files was found (a drive not mounted): nothing matched, or every entry
    // was skipped, and there is no archive.
    for (const int code : {526, 527}) {
        component.onCompress = [code](FakeComponent::Events&, FakeComponent&) { return code; };
        EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::Failed) << code;
    }
    EXPECT_NE(errorLog().find("Error #    : 531\r\n"), std::string::npos) << errorLog();
    EXPECT_EQ(host.timedErrorScreens(), 2);
    // Freshen found nothing newer: the archive there is the backup.
    writeFile(datedArchive(), "archive");
    EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::Succeeded);
}

TEST_F(UnattendedRun, TimedRunRecordsItsResultInTheFirstMatchingEntry) {
    flags.timedRun = true;
    component.onCompress = [&](FakeComponent::Events&, FakeComponent& self) {
        host.progress().pressCancel();
        return self.abortedOr(0);
    };
    EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::Cancelled);
    EXPECT_EQ(host.progress().operationLine(), "Aborting current operation...Please wait...");
    EXPECT_EQ(lastResult(1), "N/A");
    EXPECT_EQ(lastResult(2), "Failed");
    EXPECT_EQ(lastResult(3), "N/A");
    EXPECT_EQ(host.timedErrorScreens(), 0);
    EXPECT_EQ(errorLog().substr(0, 44), "Timed Backup - Backup operation cancelled.\r\n");

    component.onCompress = [](FakeComponent::Events&, FakeComponent& self) {
        self.writeArchive();
        return 0;
    };
    const UnattendedResult result = runner.runUnattended();
    EXPECT_EQ(result.outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(result.endProgram);
    EXPECT_EQ(lastResult(2), "Success");
    const Bytes record = *RecordFile(home / "Timed.dat", TimedRecord::kSize).read(2);
    EXPECT_EQ(TimedRecord::decode(record).runTime, "11:30:00");  // other fields untouched
}

TEST_F(UnattendedRun, FailedTestAfterBackup) {
    config.record().testMode = 1;
    component.onTest = [](FakeComponent::Events& events, FakeComponent&) {
        events.onIntegrityWarning("/data/a.txt");
        return 524;
    };
    EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::TestFailed);
    EXPECT_EQ(host.timedErrorScreens(), 1);
    EXPECT_TRUE(logHas("-  Possible Corrupt File /data/a.txt"));
    EXPECT_TRUE(logHas("### Test Operation failed - Backup may have become corrupt ###"));

    flags.timedRun = true;
    EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::TestFailed);
    EXPECT_EQ(host.timedErrorScreens(), 1);
    EXPECT_TRUE(fileExists(home / "TError.dat"));
    EXPECT_EQ(lastResult(2), "Success");
    EXPECT_TRUE(logHas("### Backup Operation Complete - 2026-12-04 10:30:00 ###"));
}

TEST_F(UnattendedRun, TestThatNeedsAPasswordNobodyGivesFailsAndIsNotCancelled) {
    // Unattended, nobody answers a password prompt: that is no Cancel by a user.
    config.record().testMode = 1;
    flags.timedRun = true;
    component.onTest = [](FakeComponent::Events& events, FakeComponent& self) {
        std::string password;
        return events.onPasswordNeeded(password) ? 0 : self.abortedOr(523);
    };
    EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::TestFailed);
    EXPECT_TRUE(logHas("### Test Operation failed - Backup may have become corrupt ###"));
    EXPECT_FALSE(logHas("### Test Operation cancelled by User ###"));
    EXPECT_TRUE(fileExists(home / "TError.dat"));
}

TEST_F(UnattendedRun, OversizedFileEndsTheProgramAfterItsBlock) {
    component.onCompress = [](FakeComponent::Events& events, FakeComponent& self) {
        std::string stored;
        if (!events.onPreprocessingFile("/data/huge.img", 5'000'000'000ULL, stored)) return 517;
        return self.abortedOr(0);
    };
    UnattendedResult result = runner.runUnattended();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(host.timedErrorScreens(), 1);
    EXPECT_EQ(errorLog().substr(0, 65),
              "Command Line Backup - Skipped File\r\nFile Name:   /data/huge.img\r\n");
    EXPECT_EQ(errorLog().find("Error performing"), std::string::npos);

    flags.timedRun = true;
    result = runner.runUnattended();
    EXPECT_TRUE(result.endProgram);
    EXPECT_TRUE(fileExists(home / "TError.dat"));
    EXPECT_EQ(host.timedErrorScreens(), 1);
    EXPECT_EQ(lastResult(2), "N/A");
}

TEST_F(UnattendedRun, SkippedFilesGoToErrorLogOnlyWithSkipPrompt) {
    component.onCompress = [](FakeComponent::Events& events, FakeComponent& self) {
        events.onSkippedFile("/data/locked.db", 100);
        events.onSkippedFile("/data/other", 5);
        self.writeArchive();
        return 527;
    };
    runner.runUnattended();
    EXPECT_EQ(errorLog(), "");
    EXPECT_EQ(backupLog().find("Skipped"), std::string::npos);

    config.record().skipPrompt = 1;
    EXPECT_EQ(runner.runUnattended().outcome, RunOutcome::Succeeded);
    EXPECT_EQ(errorLog(),
              "Command Line Backup - Skipped File\r\nFile Name:   /data/locked.db\r\n"
              "Backup Name: " +
                  home.path() +
                  "Backup Sets/Office.cvt\r\n"
                  "Backup Time: 2026-12-04 10:30:00\r\n");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(UnattendedRun, FileNamesCannotForgeLogLines) {
    const std::string evil = "/data/evil\n### Test Operation successful ###";
    component.onCompress = [&](FakeComponent::Events& events, FakeComponent&) {
        events.onFileProgress(evil, 100, true);
        events.onSkippedFile(evil, 100);
        return 527;
    };
    config.record().skipPrompt = 1;
    runner.runUnattended();
    EXPECT_NE(backupLog().find("-  Adding /data/evil\\x0A### Test"), std::string::npos);
    EXPECT_EQ(backupLog().find("\r\n### Test Operation successful ###"), std::string::npos);
    EXPECT_NE(errorLog().find("File Name:   /data/evil\\x0A### Test"), std::string::npos);
    EXPECT_EQ(errorLog().find("\n### Test"), std::string::npos);
}

TEST_F(UnattendedRun, DestinationWithoutDateIsUsedAsItIs) {
    document.set().defaultLocation = home / "out/plain.bac";
    runner.runUnattended();
    EXPECT_EQ(component.compresses.back().archivePath, home / "out/plain.bac");
}

}  // namespace
}  // namespace corvane::test
