// The manager protocol with a real cvtimer process: pid file, stop before a change, restart of
// what a visit stopped, and timed runs started with the "~~Timed" command line.
#include "manager_fixture.h"
#include "schedule/timed_list.h"
#include "schedule/timed_record.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace corvane::test {
namespace {

std::string record(const std::string& setPath, const std::string& interval, const Minute& when) {
    const Bytes bytes = TimedRecord{setPath, interval, when.time, when.date, "N/A"}.encode();
    return {bytes.begin(), bytes.end()};
}

TEST_F(ManagerFixture, VisitThatStopsTheManagerRestartsItAfterTheRewrite) {
    const std::string before = record("/sets/a.cvt", "Every Day", currentMinute(1)) +
                               record("/sets/b.cvt", "Every Day", currentMinute(2));
    writeFile(home / "Timed.dat", before);
    ProcessManagerControl control(home.path(), managerProgram());
    ASSERT_TRUE(control.start());
    ASSERT_TRUE(managerStarts());
    const int first = *runningPid();

    TimedList list({home.path(), host, clock}, control);
    list.load();
    list.click(0);
    list.removeEntry();
    EXPECT_TRUE(list.managerWasStopped());
    EXPECT_FALSE(runningPid());
    EXPECT_FALSE(fileExists(home / "CVTimer.pid"));  // the manager removed it as it ended
    EXPECT_EQ(readFile(home / "Timed.dat"), before);

    list.close();
    EXPECT_EQ(readFile(home / "Timed.dat"), record("/sets/b.cvt", "Every Day", currentMinute(2)));
    ASSERT_TRUE(managerStarts());
    EXPECT_NE(*runningPid(), first);
    const std::string log = logText();
    EXPECT_NE(log.find("Timed Backups Manager stopped (signal 15)"), std::string::npos);
    EXPECT_TRUE(host.unexpected().empty());
}

TEST_F(ManagerFixture, VisitThatDidNotStopTheManagerStartsNothing) {
    writeFile(home / "Timed.dat", record("/sets/a.cvt", "Every Day", currentMinute(1)));
    ProcessManagerControl control(home.path(), managerProgram());
    TimedList list({home.path(), host, clock}, control);
    list.load();
    list.addEntry([](TimedEditor& editor) { editor.cancel(); });
    list.click(0);
    list.removeEntry();
    list.close();
    EXPECT_FALSE(list.managerWasStopped());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fileExists(home / "CVTimer.pid"));
    EXPECT_FALSE(fileExists(home / "CVTimer.log"));
    EXPECT_EQ(readFile(home / "Timed.dat"), "");
}

TEST_F(ManagerFixture, DeadOrForeignPidCountsAsNotRunning) {
    pid_t child = 0;
    char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
    ASSERT_EQ(::posix_spawn(&child, "/bin/true", nullptr, nullptr, argv, environ), 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (const int pid : {static_cast<int>(child), static_cast<int>(::getpid()), 0}) {
        SCOPED_TRACE(pid);
        writeFile(home / "CVTimer.pid", std::to_string(pid) + "\n");
        EXPECT_FALSE(runningPid());
        EXPECT_EQ(*stopManager(home.path()), ManagerStop::NotRunning);
    }

    ProcessManagerControl control(home.path(), managerProgram());
    TimedList list({home.path(), host, clock}, control);
    list.load();
    list.addEntry([](TimedEditor& editor) { editor.cancel(); });
    list.close();
    EXPECT_FALSE(list.managerWasStopped());
    EXPECT_FALSE(runningPid());

    // A manager started now takes over the stale file.
    ASSERT_TRUE(control.start());
    ASSERT_TRUE(managerStarts());
    EXPECT_EQ(readFile(home / "CVTimer.pid"), std::to_string(*runningPid()) + "\n");
}

TEST_F(ManagerFixture, SecondManagerForTheSameFolderRefusesToRun) {
    ProcessManagerControl control(home.path(), managerProgram());
    ASSERT_TRUE(control.start());
    ASSERT_TRUE(managerStarts());
    const int first = *runningPid();
    const ProcessResult second = runProcess({managerProgram(), "--headless"});
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_NE(second.err.find("already running (process " + std::to_string(first) + ")"),
              std::string::npos)
        << second.err;
    EXPECT_NE(logText().find("Not started"), std::string::npos);
    EXPECT_EQ(runningPid(), first);
}

// cvtimer starts "corvane" beside itself; here a stand-in records its arguments.
TEST_F(ManagerFixture, DueEntriesStartTimedRunsAndMoveOnWhileOthersWait) {
    writeFile(home / "bin/corvane",
              "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" >> \"$CORVANE_HOME/runs\"\n");
    ::chmod((home / "bin/corvane").c_str(), 0755);
    const Minute now = currentMinute();
    const std::string waiting = record("/sets/tomorrow.cvt", "Every 7 Days", currentMinute(1));
    writeFile(home / "Timed.dat", record(" /sets/Daily Set.cvt", "Every Day", now) + waiting);

    ProcessManagerControl control(home.path(), managerProgram());
    ASSERT_TRUE(control.start());
    ASSERT_TRUE(waitFor([this] { return fileExists(home / "runs"); }));
    EXPECT_TRUE(
        waitFor([this] { return readFile(home / "runs") == "1|~~Timed/sets/Daily Set.cvt|"; }));
    const auto moved = readTimedList(home.path());
    ASSERT_EQ(moved->size(), 2u);
    EXPECT_EQ(moved->at(0).nextRunDate, currentMinute(1).date);
    EXPECT_EQ(moved->at(0).runTime, now.time);
    EXPECT_EQ(readFile(home / "Timed.dat").substr(211), waiting);

    // A change of the list is read at once.
    ASSERT_TRUE(writeTimedList(
        home.path(), {TimedRecord{"/sets/new.cvt", "Every Hour", now.time, now.date, "N/A"}}));
    EXPECT_TRUE(waitFor([this] {
        return readFile(home / "runs").find("~~Timed/sets/new.cvt|") != std::string::npos;
    }));

    ASSERT_EQ(*stopManager(home.path()), ManagerStop::Stopped);
    EXPECT_FALSE(runningPid());
    EXPECT_FALSE(fileExists(home / "CVTimer.pid"));
}

}  // namespace
}  // namespace corvane::test
