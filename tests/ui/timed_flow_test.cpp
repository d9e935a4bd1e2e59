// A timed backup from its window to its result: an entry due at the next minute, added through
// the real windows, is run by the real Timed Backups Manager (cvtimer and corvane of this
// build), and the list then shows "Success".
#include "common/file_io.h"
#include "schedule/manager_control.h"
#include "schedule/timed_record.h"
#include "subprocess.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileSystemWatcher>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace corvane::test {
namespace {

using C = CommandId;
using TimedFlow = UiFixture;

std::string lastResult(const std::string& folder) {
    const auto records = readTimedList(folder);
    return records && !records->empty() ? (*records)[0].lastResult : "";
}

TEST_F(TimedFlow, EntryDueInAMinuteIsRunByTheManagerAndShowsSuccess) {
    const TimePoint now = std::chrono::system_clock::now();
    clock.set(now);
    makeSet("Daily");
    addDataFolder();
    trigger(C::FileSave);
    const std::string set = home / "Backup Sets/Daily.cvt";
    ProcessManagerControl manager(home.path(), builtProgram("bin/cvtimer"));
    dispatcher->useManagerControl(manager);

    const LocalDateTime due = toLocal(now + std::chrono::minutes(1));
    const auto openList = [&](const TestHost::Handler& handler) {
        host.expectWindow("frmBackChooseTaskType", [&](QDialog& chooser) {
            host.expectWindow("frmBackPreset", handler);
            click(chooser, "cmdOK");
        });
        trigger(C::Tasks);
    };
    openList([&](QDialog& list) {
        host.expectWindow("frmBackNewEvent", [&](QDialog& editor) {
            host.queueOpenFiles({set});
            click(editor, "cmdBrowseSet");
            control<QComboBox>(editor, "cboInterval")->setCurrentIndex(3);  // "Every Day"
            type(editor, "txtHour", std::to_string(due.hour));
            type(editor, "txtMinute", std::to_string(due.minute));
            control<QDateEdit>(editor, "dtpStart")->setDate(QDate(due.year, due.month, due.day));
            click(editor, "cmdOK");
        });
        click(list, "cmdAdd");
        click(list, "cmdClose");
    });
    ASSERT_EQ(lastResult(home.path()), "N/A");

    // The manager reads the list when it starts; the timed run writes its result in place.
    QFileSystemWatcher watcher({QString::fromStdString(home / "Timed.dat")});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::fileChanged);
    ASSERT_TRUE(manager.start());
    while (lastResult(home.path()) == "N/A") {
        if (!changed.wait(150000)) break;
    }
    EXPECT_TRUE(manager.stop());
    EXPECT_EQ(lastResult(home.path()), "Success") << readFile(home / "CVTimer.log")
                                                  << readFile(home / "error.log");
    EXPECT_TRUE(fileExists(home / "out/Daily.bac"));

    openList([&](QDialog& list) {
        auto* view = control<QTreeWidget>(list, "lvTimed");
        ASSERT_EQ(view->topLevelItemCount(), 1);
        EXPECT_EQ(view->topLevelItem(0)->text(4).toStdString(), "Success");
        saveScreenshot(list, "timed-list-success");
        click(list, "cmdClose");
    });
}

}  // namespace
}  // namespace corvane::test
