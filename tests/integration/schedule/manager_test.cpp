// The manager protocol with a real cvtimer process: pid file, stop before a change, restart of
// what a visit stopped. (Timed runs it starts are the end-to-end test's.)
#include <spawn.h>
#include <sys/wait.h>

#include "manager_fixture.h"
#include "schedule/timed_list.h"
#include "schedule/timed_record.h"

extern char** environ;

namespace corvane::test {
namespace {

std::string record(const std::string& setPath, const std::string& interval,
                   const Minute& when) {
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
    ASSERT_TRUE(control.start());
    EXPECT_TRUE(waitFor([this] {
        return logText().find("Not started") != std::string::npos;
    }));
    EXPECT_EQ(runningPid(), first);
}

}  // namespace
}  // namespace corvane::test
