// A timed backup from end to end: cvtimer, started where the build put it, finds an entry that
// has just fallen due, starts the real corvane beside it with "~~Timed", the archive is written and
// passes an outside tester, and the entry records its result and its next run; an entry due
// tomorrow is left alone.
#include "manager_fixture.h"
#include "schedule/timed_record.h"
#include "set_text.h"

namespace corvane::test {
namespace {

TEST_F(ManagerFixture, TimedBackupRunsFromTheScheduleToATestedArchive) {
    requireTool("7zz");
    makeFolder(home / "data/letters");
    makeFolder(home / "out");
    writeFile(home / "data/notes.txt", "notes kept safe\n");
    writeFile(home / "data/letters/first.txt", std::string(20000, 'a') + "\n");
    const std::string set = home / "Backup Sets/Timed Set.cvt";
    const std::string archive = home / "out/Timed Set.bac";
    writeFile(set, setFileText({home / "data/", home / "data/letters/"}, archive));

    const Minute now = currentMinute();
    const TimePoint due = *dueMoment(now.date, now.time);
    const TimedRecord dueEntry{set, "Every 12 Hours", now.time, now.date, "N/A"};
    const TimedRecord tomorrowEntry{home / "Backup Sets/Other.cvt", "Every Day",
                                    currentMinute(1).time, currentMinute(1).date, "N/A"};
    ASSERT_TRUE(writeTimedList(home.path(), {dueEntry, tomorrowEntry}));
    const std::string tomorrowBytes = readFile(home / "Timed.dat").substr(211);

    ProcessManagerControl control(home.path(), builtProgram("bin/cvtimer"));
    ASSERT_TRUE(control.start());
    const auto result = [this] { return readTimedList(home.path())->at(0).lastResult; };
    const auto failed = [this] { return fileExists(home / "error.log"); };
    // A run that fails before it can record its result still leaves its error block.
    ASSERT_TRUE(waitFor([&] { return result() != "N/A" || failed(); }, std::chrono::seconds(60)))
        << "no timed run ended; manager log:\n"
        << logText();
    waitFor([&] { return result() != "N/A"; }, std::chrono::seconds(1));
    ASSERT_EQ(result(), "Success") << (failed() ? readFile(home / "error.log") : std::string());

    ASSERT_TRUE(fileExists(archive));
    const ProcessResult tested = runProcess({"7zz", "t", "-bd", "-y", archive});
    EXPECT_EQ(tested.exitCode, 0) << tested.out << tested.err;
    const ProcessResult listed = runProcess({"7zz", "l", "-ba", archive});
    EXPECT_NE(listed.out.find("data/notes.txt"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("data/letters/first.txt"), std::string::npos) << listed.out;

    const TimedRecord moved = readTimedList(home.path())->at(0);
    const LocalDateTime next = toLocal(due + std::chrono::hours(12));
    EXPECT_EQ(moved.runTime, runTimeText(next.hour, next.minute));
    EXPECT_EQ(moved.nextRunDate, dateText(dateOf(next)));
    EXPECT_EQ(moved.interval, "Every 12 Hours");
    EXPECT_EQ(readFile(home / "Timed.dat").substr(211), tomorrowBytes);
    EXPECT_EQ(logText().find("Other.cvt"), std::string::npos);
}

}  // namespace
}  // namespace corvane::test
