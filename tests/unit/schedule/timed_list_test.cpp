// The timed backup list: Timed.dat read and rewritten, and the manager stopped before the first
// change of a visit and started again only when that visit stopped it.
#include "schedule/timed_list.h"

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

TEST_F(TimedListTest, ShowsWholeTrimmedRecordsAndRewritesThemUnchanged) {
    const std::string records =
        timedBytes("  /sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A") +
        timedBytes("/sets/b b.cvt", "Every 12 Hours", " 16:00:00", "2026-12-04", "Failed");
    writeFile(home / "Timed.dat", records + "/sets/partial.cvt");
    TimedList list(context(), manager);
    list.load();
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[0],
              (TimedRecord{"/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A"}));
    EXPECT_EQ(list.rows()[1],
              (TimedRecord{"/sets/b b.cvt", "Every 12 Hours", "16:00:00", "2026-12-04", "Failed"}));
    EXPECT_FALSE(list.removeEnabled());
    EXPECT_FALSE(list.modifyEnabled());
    list.click(std::nullopt);
    EXPECT_FALSE(list.modifyEnabled());
    list.click(1);
    EXPECT_TRUE(list.removeEnabled());
    EXPECT_TRUE(list.modifyEnabled());

    list.close();
    EXPECT_EQ(listFile(),
              timedBytes("/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A") +
                  timedBytes("/sets/b b.cvt", "Every 12 Hours", "16:00:00", "2026-12-04",
                             "Failed"));
    EXPECT_TRUE(manager.calls.empty());
}

TEST_F(TimedListTest, MissingFileIsCreatedEmpty) {
    TimedList list(context(), manager);
    list.load();
    EXPECT_TRUE(list.rows().empty());
    EXPECT_TRUE(fileExists(home / "Timed.dat"));
    EXPECT_EQ(listFile(), "");
}

TEST_F(TimedListTest, AddStopsTheManagerFirstAndRestartsItAfterTheRewrite) {
    const std::string before = timedBytes("/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05",
                                          "Success");
    writeFile(home / "Timed.dat", before);
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    manager.running = true;
    TimedList list(context(), manager);
    list.load();
    bool hiddenWhileEditing = false;
    list.addEntry([&](TimedEditor& editor) {
        hiddenWhileEditing = !list.windowShown();
        confirmNew(set)(editor);
    });
    EXPECT_TRUE(hiddenWhileEditing);
    EXPECT_TRUE(list.windowShown());
    EXPECT_TRUE(list.managerWasStopped());
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[1], (TimedRecord{set, "Every Day", "16:45:00", "2026-12-04", "N/A"}));
    EXPECT_EQ(listFile(), before);  // nothing reaches the file before the window closes

    list.close();
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "start"}));
    EXPECT_EQ(manager.listAtStop, before);
    EXPECT_EQ(manager.listAtStart,
              before + timedBytes(set, "Every Day", "16:45:00", "2026-12-04", "N/A"));
}

TEST_F(TimedListTest, ManagerIsStartedOnlyByTheVisitThatStoppedIt) {
    // Cancelling after the stop still restarts the manager.
    manager.running = true;
    TimedList cancelled(context(), manager);
    cancelled.load();
    cancelled.addEntry([](TimedEditor& editor) { editor.cancel(); });
    cancelled.addEntry([](TimedEditor&) {});  // closed without OK or Cancel
    EXPECT_TRUE(cancelled.rows().empty());
    cancelled.close();
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "stop", "start"}));

    // Not running: nothing is started on close.
    manager.running = false;
    manager.calls.clear();
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    TimedList idle(context(), manager);
    idle.load();
    idle.addEntry(confirmNew(set));
    idle.close();
    idle.close();
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop"}));
    EXPECT_EQ(listFile(), timedBytes(set, "Every Day", "16:45:00", "2026-12-04", "N/A"));
}

TEST_F(TimedListTest, ManagerThatCannotBeStoppedAbandonsTheAction) {
    writeFile(home / "Timed.dat", timedBytes("/sets/a.cvt", "Every Day", "04:15:00",
                                             "2026-12-05", "N/A"));
    manager.running = true;
    manager.signalFails = true;
    TimedList list(context(), manager);
    list.load();
    list.click(0);
    bool editorShown = false;
    host.expectMessage("Error", Answer::Ok);
    list.addEntry([&](TimedEditor&) { editorShown = true; });
    host.expectMessage("Error", Answer::Ok);
    list.removeEntry();
    EXPECT_FALSE(editorShown);
    EXPECT_EQ(list.rows().size(), 1u);
    EXPECT_EQ(host.messages().at(0).text,
              "Corvane was unable to shut down the Timed Backups Manager automatically.  "
              "Please shut down the Manager from your System Tray and try again.");
    EXPECT_EQ(host.messages().at(0).icon, Icon::Exclamation);

    // A manager whose state cannot be read: the action's own failure message.
    manager.stateError = Error{errc::kPermissionDenied, "Permission denied"};
    host.expectMessage("Error", Answer::Ok);
    list.removeEntry();
    EXPECT_EQ(host.messages().back().text, "Error Removing Timed Backup.\r\n\r\nError:  70");
    host.expectMessage("Error", Answer::Ok);
    list.addEntry([&](TimedEditor&) { editorShown = true; });
    EXPECT_EQ(host.messages().back().text, "Error Setting Timed Backup.\r\n\r\nError:  70");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_FALSE(editorShown);
    list.close();
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "stop", "stop", "stop"}));
}

TEST_F(TimedListTest, ModifyKeepsTheLastResult) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    writeFile(home / "Timed.dat",
              timedBytes(set, "Every 7 Days", "04:15:00", "2026-12-20", "Failed"));
    TimedList list(context(), manager);
    list.load();
    list.click(0);
    list.modifyEntry([&](TimedEditor& editor) {
        EXPECT_EQ(editor.setField(), set);
        EXPECT_EQ(editor.selectedInterval(), 2u);
        EXPECT_EQ(editor.hourField(), "04");
        EXPECT_EQ(editor.minuteField(), "15");
        EXPECT_EQ(editor.startDate(), (CalendarDate{2026, 12, 20}));
        EXPECT_EQ(editor.locationField(), "/out/Daily.bac");
        EXPECT_TRUE(editor.locationEnabled());
        editor.selectInterval(6);
        EXPECT_TRUE(editor.confirm());
    });
    EXPECT_EQ(list.rows()[0], (TimedRecord{set, "Every Hour", "15:30:00", "2026-12-04", "Failed"}));
    list.close();
    EXPECT_EQ(listFile(), timedBytes(set, "Every Hour", "15:30:00", "2026-12-04", "Failed"));
}

TEST_F(TimedListTest, ModifyRefusesMissingAndIncompatibleSets) {
    const std::string old = writeSet("Old.cvt", {"Backup Set - v4.0"});
    writeFile(home / "Timed.dat",
              timedBytes(home / "Backup Sets/Gone.cvt", "Every Day", "04:15:00", "2026-12-20",
                         "N/A") +
                  timedBytes(old, "Every Day", "04:15:00", "2026-12-20", "N/A"));
    manager.running = true;
    TimedList list(context(), manager);
    list.load();
    bool editorShown = false;
    const auto show = [&](TimedEditor&) { editorShown = true; };

    list.click(0);
    host.expectMessage("Backup Set Not Found", Answer::Ok);
    list.modifyEntry(show);
    EXPECT_EQ(host.messages().back().text,
              "The selected backup set cannot be found.  Unable to modify.\r\n\r\nPlease "
              "recreate the backup set in order to use it as a Timed Backup again.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_TRUE(manager.calls.empty());  // the manager is not touched

    list.click(1);
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    list.modifyEntry(show);
    EXPECT_EQ(host.messages().back().text, kIncompatibleText);
    EXPECT_FALSE(editorShown);
    EXPECT_TRUE(list.windowShown());
    list.close();
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "start"}));
}

TEST_F(TimedListTest, RemovingTheLastRowLeavesAnEmptyFile) {
    writeFile(home / "Timed.dat",
              timedBytes("/sets/a.cvt", "Every Day", "04:15:00", "2026-12-05", "N/A"));
    TimedList list(context(), manager);
    list.load();
    list.removeEntry();  // no selection: nothing happens
    EXPECT_TRUE(manager.calls.empty());
    list.click(0);
    list.removeEntry();
    EXPECT_TRUE(list.rows().empty());
    EXPECT_FALSE(list.removeEnabled());
    list.close();
    EXPECT_EQ(listFile(), "");
}

TEST_F(TimedListTest, UnreadableListIsReportedAndNeverOverwritten) {
    makeFolder(home / "Timed.dat");  // a folder where the file should be
    manager.running = true;
    TimedList list(context(), manager);
    host.expectMessage("Error", Answer::Ok);
    list.load();
    EXPECT_EQ(host.messages().back().text, "Unable to read the list file " + home.path() +
                                               "Timed.dat.\r\n\r\nError:  75");
    EXPECT_FALSE(list.addEnabled());
    list.addEntry([](TimedEditor&) { ADD_FAILURE() << "no editor after a failed load"; });
    list.close();
    EXPECT_TRUE(manager.calls.empty());
}

TEST_F(TimedListTest, FailedRestartIsReported) {
    manager.running = true;
    manager.startError = Error{errc::kFileNotFound, "File not found"};
    TimedList list(context(), manager);
    list.load();
    list.addEntry([](TimedEditor& editor) { editor.cancel(); });
    host.expectMessage("Error Loading", Answer::Ok);
    list.close();
    EXPECT_EQ(host.messages().back().text,
              "Error loading the Timed Backups Manager (cvtimer).\r\n\r\nError:  53");
}

}  // namespace
}  // namespace corvane::test
