// The manager's passes over Timed.dat: what is started, how entries move on, what is left alone.
#include "schedule/timed_scheduler.h"

#include "schedule/timed_record.h"
#include "schedule_fixture.h"

#include <unistd.h>

#include <algorithm>

namespace corvane::test {
namespace {

class TimedSchedulerTest : public ScheduleFixture {
protected:
    TimedSchedulerTest()
        : log(home.path(), clock),
          scheduler(
              home.path(), clock,
              [this](const std::string& setPath) {
                  started.push_back(setPath);
                  if (!startResult) return Result<int>(startResult.error());
                  return Result<int>(runProcess);
              },
              log) {}

    std::string listFile() { return readFile(home / "Timed.dat"); }
    std::string logText() { return fileExists(log.path()) ? readFile(log.path()) : ""; }

    ManagerLog log;
    TimedScheduler scheduler;
    std::vector<std::string> started;
    Status startResult;
    int runProcess = 0;  // the process id the started runs report
};

TEST_F(TimedSchedulerTest, DueEntriesStartOnceAndMoveOnInPlace) {
    // Now is 2026-12-04 14:30:20.
    const std::string due =
        timedBytes(" /sets/Daily Set.cvt", "Every Day", "14:30:00", "2026-12-04", "N/A");
    const std::string missed =
        timedBytes("/sets/hourly.cvt", "Every Hour", "09:15:00", "2026-12-04", "Success");
    const std::string later =
        timedBytes("/sets/later.cvt", "Every 6 Hours", "14:31:00", "2026-12-04", "N/A");
    const std::string tomorrow =
        timedBytes("/sets/tomorrow.cvt", "Every 7 Days", "08:00:00", "2026-12-05", "Failed");
    writeFile(home / "Timed.dat", due + missed + later + tomorrow + "partial");

    EXPECT_EQ(scheduler.runDue(), fromLocal({2026, 12, 4, 14, 31, 0}));
    EXPECT_EQ(started, (std::vector<std::string>{"/sets/Daily Set.cvt", "/sets/hourly.cvt"}));
    EXPECT_EQ(
        listFile(),
        timedBytes(" /sets/Daily Set.cvt", "Every Day", "14:30:00", "2026-12-05", "N/A") +
            timedBytes("/sets/hourly.cvt", "Every Hour", "15:15:00", "2026-12-04", "Success") +
            later + tomorrow + "partial");
    EXPECT_NE(logText().find("2026-12-04 14:30:20  Started corvane ~~Timed/sets/Daily Set.cvt; "
                             "next run 2026-12-05 14:30:00\r\n"),
              std::string::npos);

    // The next pass, a minute later, starts only what has fallen due since.
    started.clear();
    clock.advance(std::chrono::minutes(1));
    EXPECT_EQ(scheduler.runDue(), fromLocal({2026, 12, 4, 15, 15, 0}));
    EXPECT_EQ(started, (std::vector<std::string>{"/sets/later.cvt"}));
    EXPECT_EQ(readTimedList(home.path())->at(2).runTime, "20:31:00");
}

TEST_F(TimedSchedulerTest, MoveNeverOverwritesTheResultARunWrites) {
    writeFile(home / "Timed.dat",
              timedBytes("/sets/a.cvt", "Every Hour", "14:00:00", "2026-12-04", "N/A"));
    TimedScheduler racing(
        home.path(), clock,
        [this](const std::string& setPath) {
            // The run finishes at once and records its result before the pass ends.
            EXPECT_TRUE(recordTimedResult(home.path(), setPath, "Success"));
            return Result<int>(0);
        },
        log);
    racing.runDue();
    EXPECT_EQ(listFile(),
              timedBytes("/sets/a.cvt", "Every Hour", "15:00:00", "2026-12-04", "Success"));
}

// A start that fails, and a due time that comes while the last run still goes: both are logged
// and the entry moves on all the same.
TEST_F(TimedSchedulerTest, FailedOrOverlappingStartsAreLoggedAndTheEntryMovesOn) {
    writeFile(home / "Timed.dat",
              timedBytes("/sets/long.cvt", "Every Hour", "14:00:00", "2026-12-04", "N/A"));
    startResult = Error{errc::kFileNotFound, "File not found"};
    scheduler.runDue();
    EXPECT_NE(logText().find("Cannot start corvane ~~Timed/sets/long.cvt: File not found"),
              std::string::npos);
    EXPECT_EQ(readTimedList(home.path())->at(0).runTime, "15:00:00");
    // A backup that never ran is recorded as failed where the user looks.
    EXPECT_EQ(readTimedList(home.path())->at(0).lastResult, "Failed");
    EXPECT_EQ(readFile(home / "error.log"),
              "Timed Backup - Error performing Backup.\r\n"
              "Error #    : 53 - The backup program could not be started: File not found\r\n"
              "Backup Name: /sets/long.cvt\r\nBackup Time: 2026-12-04 14:30:20\r\n");

    startResult = {};
    runProcess = static_cast<int>(::getpid());  // a process that is certainly alive
    clock.advance(std::chrono::hours(1));
    scheduler.runDue();
    clock.advance(std::chrono::hours(1));
    scheduler.runDue();
    EXPECT_EQ(started, (std::vector<std::string>{"/sets/long.cvt", "/sets/long.cvt"}));
    EXPECT_NE(logText().find("Not started corvane ~~Timed/sets/long.cvt: its previous run"),
              std::string::npos);
    EXPECT_EQ(readTimedList(home.path())->at(0).runTime, "17:00:00");
}

TEST_F(TimedSchedulerTest, LogLinesCannotBeForgedByTheListsBytes) {
    // A damaged record's bytes, NULs and line ends included, reach the log escaped.
    std::string damaged = timedBytes("/sets/x.cvt", "Every Hour", "14:00:00", "2026-12-04", "N/A");
    damaged.replace(7, 3, std::string("\0\n#", 3));
    damaged.replace(150, 5, "Ev\r\ny");
    writeFile(home / "Timed.dat", damaged);
    scheduler.runDue();
    const std::string text = logText();
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_NE(text.find("/sets/x\\x00\\x0A#t"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

TEST_F(TimedSchedulerTest, InvalidEntriesAreLoggedOnceAndLeftAlone) {
    EXPECT_FALSE(scheduler.runDue());  // no list yet
    const std::string records =
        timedBytes("/sets/a.cvt", "Every 2 Weeks", "14:00:00", "2026-12-04", "N/A") +
        timedBytes("/sets/b.cvt", "Every Day", "14:00:00", "12/04/2026", "N/A") +
        timedBytes("/sets/c.cvt", "Every Day", "25:00:00", "2026-12-04", "N/A") +
        timedBytes("", "Every Day", "14:00:00", "2026-12-04", "N/A");
    writeFile(home / "Timed.dat", records);
    EXPECT_FALSE(scheduler.runDue());
    EXPECT_FALSE(scheduler.runDue());
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(listFile(), records);
    const std::string text = logText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_NE(text.find("Skipped /sets/a.cvt: the interval \"Every 2 Weeks\""), std::string::npos);
}

TEST_F(TimedSchedulerTest, EntryThatCannotMoveOnStartsOnlyOnce) {
    const std::string record =
        timedBytes("/sets/a.cvt", "Every Day", "14:00:00", "2026-12-04", "N/A");
    writeFile(home / "Timed.dat", record);
    const ReadOnlyFile locked(home / "Timed.dat");
    if (!locked.effective()) GTEST_SKIP() << "the file system cannot make the file read-only";
    scheduler.runDue();
    scheduler.runDue();
    EXPECT_EQ(started, (std::vector<std::string>{"/sets/a.cvt"}));
    EXPECT_NE(logText().find("Cannot move on /sets/a.cvt: "), std::string::npos);
    EXPECT_EQ(listFile(), record);
}

}  // namespace
}  // namespace corvane::test

namespace corvane::test {
namespace {

TEST(ManagerToolTip, NamesTheEntryThatFallsDueFirst) {
    const std::vector<TimedRecord> records = {
        {"/sets/Weekly.cvt", "Every 7 Days", "09:00:00", "2026-12-05", "N/A"},
        {"/sets/Broken.cvt", "Every Day", "not a time", "2026-01-01", "N/A"},
        {"/sets/Daily.cvt", "Every Day", "23:15:00", "2026-12-04", "Success"},
    };
    EXPECT_EQ(managerToolTip(records),
              "Corvane Timed Backups\nNext: Daily.cvt at 23:15 on 2026-12-04");
    EXPECT_EQ(managerToolTip({}), "Corvane Timed Backups\nNo timed backup is scheduled");
    EXPECT_EQ(managerToolTip({records[1]}), "Corvane Timed Backups\nNo timed backup is scheduled");
}

}  // namespace
}  // namespace corvane::test
