// The task list: Tasks.dat read and rewritten, and the duplicate and header rules.
#include "schedule/task_list.h"

#include "box_check.h"
#include "schedule_fixture.h"

namespace corvane::test {
namespace {

std::string taskBytes(const std::string& setPath, const std::string& lastPerformed) {
    std::string record = setPath.substr(0, 150);
    record.resize(150, ' ');
    std::string stamp = lastPerformed;
    stamp.resize(30, ' ');
    return record + stamp;
}

using TaskListTest = ScheduleFixture;

TEST_F(TaskListTest, ShowsWholeRecordsAndRewritesThemInDisplayOrder) {
    TaskList absent(home.path(), host);
    absent.load();
    EXPECT_TRUE(absent.rows().empty());
    EXPECT_TRUE(fileExists(home / "Tasks.dat"));

    writeFile(home / "Tasks.dat", taskBytes(" /sets/a.cvt", "N/A") +
                                      taskBytes("/sets/b.cvt", "2026-12-01 08:00:00") +
                                      taskBytes("/sets/c.cvt", "N/A") + "/sets/cut");
    TaskList list(home.path(), host);
    list.load();
    ASSERT_EQ(list.rows().size(), 3u);
    EXPECT_EQ(list.rows()[0], (TaskRecord{"/sets/a.cvt", "N/A"}));
    EXPECT_EQ(list.rows()[1], (TaskRecord{"/sets/b.cvt", "2026-12-01 08:00:00"}));
    list.removeTask();  // nothing selected: nothing happens
    list.click(1);
    EXPECT_TRUE(list.removeEnabled());
    list.removeTask();
    EXPECT_FALSE(list.removeEnabled());
    list.close();
    EXPECT_EQ(readFile(home / "Tasks.dat"),
              taskBytes("/sets/a.cvt", "N/A") + taskBytes("/sets/c.cvt", "N/A"));
}

TEST_F(TaskListTest, AddRefusesDuplicatesIgnoringCaseAndOldSets) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    const std::string old = writeSet("Old.cvt", {"Backup Set - v4.0"});
    writeFile(home / "Tasks.dat", taskBytes(toUpper(set), "N/A"));
    TaskList list(home.path(), host);
    list.load();

    host.queueOpenFiles({set});
    host.expectMessage("Unable to Add", Answer::Ok);
    list.addTask();
    expectBox(host.messages().back(), Icon::Information, Buttons::Ok,
              "A Backup entry for that item already exists.");

    host.queueOpenFiles({old});
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    list.addTask();
    EXPECT_EQ(host.messages().back().text, kIncompatibleText);

    host.queueOpenFiles({});  // cancelled
    list.addTask();
    const std::string other = writeStandardSet("Other.cvt", "/out/Other.bac");
    host.queueOpenFiles({other});
    list.addTask();
    list.close();
    EXPECT_EQ(readFile(home / "Tasks.dat"),
              taskBytes(toUpper(set), "N/A") + taskBytes(other, "N/A"));
}

TEST_F(TaskListTest, LongPathsAreCutAndThenMatchNothing) {
    const std::string longFolder = home / (std::string(140, 'x') + "/");
    makeFolder(longFolder);
    const std::string set = longFolder + "Long.cvt";
    writeFile(set, "\"Corvane Set - v6.0\"\r\n");
    TaskList list(home.path(), host);
    list.load();
    host.queueOpenFiles({set});
    list.addTask();
    list.close();
    EXPECT_EQ(readFile(home / "Tasks.dat"), taskBytes(set.substr(0, 150), "N/A"));
    ASSERT_TRUE(stampTask(home.path(), set, clock.now()));
    EXPECT_EQ(readFile(home / "Tasks.dat"), taskBytes(set.substr(0, 150), "N/A"));
}

}  // namespace
}  // namespace corvane::test
