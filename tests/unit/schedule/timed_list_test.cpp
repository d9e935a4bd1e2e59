// The timed backup list: Timed.dat read and rewritten, and the manager stopped before the first
// change of a visit and started again only when that visit stopped it.
#include "schedule/timed_list.h"

#include "box_check.h"
#include "schedule_fixture.h"

namespace corvane::test {
namespace {

class TimedListTest : public ScheduleFixture {
protected:
    TimedListTest() : manager(home / "Timed.dat") {}

    std::string listFile() { return readFile(home / "Timed.dat"); }

    // An editor script that confirms a New entry for `set`, "Every Day" at 16:45.
    TimedList::ShowEditor confirmNew(const std::string& set) {
        return [this, set](TimedEditor& editor) {
            host.queueOpenFiles({set});
            editor.browseSet();
            editor.selectInterval(3);
            editor.typeHour("16");
            editor.typeMinute("45");
            editor.confirm();
        };
    }

    FakeManager manager;
};

TEST_F(TimedListTest, ShowsWholeTrimmedRecordsAndRewritesThem) {
    writeFile(home / "Timed.dat",
              timedBytes("  /sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A") +
                  timedBytes("/sets/b b.cvt", "Every 12 Hours", " 16:00:00", "2026-12-04",
                             "Failed") +
                  "/sets/partial.cvt");
    TimedList list(context(), manager);
    list.load();
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[0],
              (TimedRecord{"/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A"}));
    EXPECT_EQ(list.rows()[1],
              (TimedRecord{"/sets/b b.cvt", "Every 12 Hours", "16:00:00", "2026-12-04", "Failed"}));
    EXPECT_FALSE(list.modifyEnabled());
    list.removeEntry();  // no selection: nothing happens
    list.click(std::nullopt);
    EXPECT_FALSE(list.removeEnabled());
    list.click(1);
    EXPECT_TRUE(list.modifyEnabled());
    list.close();
    EXPECT_EQ(listFile(),
              timedBytes("/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A") +
                  timedBytes("/sets/b b.cvt", "Every 12 Hours", "16:00:00", "2026-12-04",
                             "Failed"));
    EXPECT_TRUE(manager.calls.empty());
}

// Every action stops the manager first; the visit that stopped it starts it after the rewrite,
// even when its edits were cancelled, and reports a failed start.
TEST_F(TimedListTest, AddStopsTheManagerFirstAndRestartsItAfterTheRewrite) {
    const std::string before = timedBytes("/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05",
                                          "Success");
    writeFile(home / "Timed.dat", before);
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    manager.running = true;
    manager.startError = Error{errc::kFileNotFound, "File not found"};
    TimedList list(context(), manager);
    list.load();
    list.addEntry([](TimedEditor& editor) { editor.cancel(); });
    list.addEntry([](TimedEditor&) {});  // closed without OK or Cancel
    bool hiddenWhileEditing = false;
    list.addEntry([&](TimedEditor& editor) {
        hiddenWhileEditing = !list.windowShown();
        confirmNew(set)(editor);
    });
    EXPECT_TRUE(hiddenWhileEditing);
    EXPECT_TRUE(list.windowShown());
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[1], (TimedRecord{set, "Every Day", "16:45:00", "2026-12-04", "N/A"}));
    EXPECT_EQ(listFile(), before);  // nothing reaches the file before the window closes

    host.expectMessage("Error Loading", Answer::Ok);
    list.close();
    EXPECT_EQ(host.messages().back().text,
              "Error loading the Timed Backups Manager (cvtimer).\r\n\r\nError:  53");
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "stop", "stop", "start"}));
    EXPECT_EQ(manager.listAtStop, before);
    EXPECT_EQ(manager.listAtStart,
              before + timedBytes(set, "Every Day", "16:45:00", "2026-12-04", "N/A"));
}

TEST_F(TimedListTest, ManagerThatCannotBeStoppedAbandonsTheAction) {
    writeFile(home / "Timed.dat", timedBytes("/sets/a.cvt", "Every Day", "04:15:00",
                                             "2026-12-05", "N/A"));
    manager.running = true;
    manager.signalFails = true;
    TimedList list(context(), manager);
    list.load();
    list.click(0);
    const auto noEditor = [](TimedEditor&) { ADD_FAILURE() << "no editor without a stop"; };
    host.expectMessage("Error", Answer::Ok);
    list.addEntry(noEditor);
    host.expectMessage("Error", Answer::Ok);
    list.removeEntry();
    EXPECT_EQ(list.rows().size(), 1u);
    expectBox(host.messages().at(0), Icon::Exclamation, Buttons::Ok,
              "Corvane was unable to shut down the Timed Backups Manager automatically.  "
              "Please shut down the Manager from your System Tray and try again.");

    // A manager whose state cannot be read: the action's own failure message.
    manager.stateError = Error{errc::kPermissionDenied, "Permission denied"};
    host.expectMessage("Error", Answer::Ok);
    list.removeEntry();
    EXPECT_EQ(host.messages().back().text, "Error Removing Timed Backup.\r\n\r\nError:  70");
    host.expectMessage("Error", Answer::Ok);
    list.addEntry(noEditor);
    EXPECT_EQ(host.messages().back().text, "Error Setting Timed Backup.\r\n\r\nError:  70");
    list.close();
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "stop", "stop", "stop"}));
}

TEST_F(TimedListTest, ModifyKeepsTheLastResultAndRefusesMissingOrOldSets) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    const std::string old = writeSet("Old.cvt", {"Backup Set - v4.0"});
    writeFile(home / "Timed.dat",
              timedBytes(set, "Every 7 Days", "04:15:00", "2026-12-20", "Failed") +
                  timedBytes(home / "Backup Sets/Gone.cvt", "Every Day", "04:15:00",
                             "2026-12-20", "N/A") +
                  timedBytes(old, "Every Day", "04:15:00", "2026-12-20", "N/A"));
    manager.running = true;
    TimedList list(context(), manager);
    list.load();
    const auto noEditor = [](TimedEditor&) { ADD_FAILURE() << "no editor for this set"; };
    list.click(1);
    host.expectMessage("Backup Set Not Found", Answer::Ok);
    list.modifyEntry(noEditor);
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "The selected backup set cannot be found.  Unable to modify.\r\n\r\nPlease "
              "recreate the backup set in order to use it as a Timed Backup again.");
    EXPECT_TRUE(manager.calls.empty());  // the manager is not touched
    list.click(2);
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    list.modifyEntry(noEditor);

    list.click(0);
    list.modifyEntry([&](TimedEditor& editor) {
        EXPECT_EQ(editor.setField(), set);
        EXPECT_EQ(editor.selectedInterval(), 2u);
        EXPECT_EQ(editor.hourField(), "04");
        EXPECT_EQ(editor.minuteField(), "15");
        EXPECT_EQ(editor.startDate(), (CalendarDate{2026, 12, 20}));
        EXPECT_EQ(editor.locationField(), "/out/Daily.bac");
        editor.selectInterval(6);
        EXPECT_TRUE(editor.confirm());
    });
    list.close();
    EXPECT_EQ(readFile(home / "Timed.dat").substr(0, 211),
              timedBytes(set, "Every Hour", "15:30:00", "2026-12-04", "Failed"));
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "stop", "start"}));
}

TEST_F(TimedListTest, ListFileErrorsAreReported) {
    makeFolder(home / "Timed.dat");  // a folder where the file should be
    manager.running = true;
    TimedList unreadable(context(), manager);
    host.expectMessage("Error", Answer::Ok);
    unreadable.load();
    EXPECT_EQ(host.messages().back().text, "Unable to read the list file " + home.path() +
                                               "Timed.dat.\r\n\r\nError:  75");
    EXPECT_FALSE(unreadable.addEnabled());
    unreadable.addEntry([](TimedEditor&) { ADD_FAILURE() << "no editor after a failed load"; });
    unreadable.close();  // and the folder is not overwritten
    EXPECT_TRUE(manager.calls.empty());

    ::rmdir((home / "Timed.dat").c_str());
    TimedList unsaved(context(), manager);
    unsaved.load();
    EXPECT_EQ(listFile(), "");  // a missing list is created empty
    UnwritableFolder locked(home.path());
    if (!locked.effective()) GTEST_SKIP() << "the file system ignores unwritable folders";
    host.expectMessage("Error", Answer::Ok);
    unsaved.close();
    EXPECT_EQ(host.messages().back().text, "Unable to save the list file " + home.path() +
                                               "Timed.dat.\r\n\r\nError:  70");
}

}  // namespace
}  // namespace corvane::test
