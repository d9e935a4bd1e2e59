// The Timed Backups Manager's tray icon: its tip names the next due entry, its menu opens the
// timed backup list, which pauses this manager instead of stopping its process.
#include "ui/manager_tray.h"

#include "common/file_io.h"
#include "schedule/timed_record.h"
#include "ui/desktop_notifier.h"
#include "ui_fixture.h"

#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace corvane::test {
namespace {

using ManagerTrayTest = UiFixture;

TEST_F(ManagerTrayTest, TipNamesTheNextEntryAndTheListPausesTheSchedule) {
    const std::string later = home / "Backup Sets/Weekly.cvt";
    const std::string sooner = home / "Backup Sets/Daily.cvt";
    ASSERT_TRUE(
        writeTimedList(home.path(), {{later, "Every 7 Days", "09:00:00", "2026-12-09", "N/A"},
                                     {sooner, "Every Day", "09:00:00", "2026-12-05", "Success"}}));
    const ManagerLog log(home.path(), clock);
    ui::ManagerTray tray(home.path(), clock, log, host);
    tray.runDue();
    EXPECT_EQ(tray.icon().toolTip().toStdString(),
              "Corvane Timed Backups\nNext: Daily.cvt at 09:00 on 2026-12-05");
    QStringList items;
    for (const QAction* item : tray.menu().actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
    EXPECT_EQ(items.join(' ').toStdString(), "mnuTimedBackups mnuOpenCorvane - mnuStopManager");
    tray.menu().popup({0, 0});
    saveScreenshot(tray.menu(), "manager-tray-menu");
    tray.menu().hide();

    host.expectWindow("frmBackPreset", [&](QDialog& list) {
        auto* view = control<QTreeWidget>(list, "lvTimed");
        ASSERT_EQ(view->topLevelItemCount(), 2);
        view->setCurrentItem(view->topLevelItem(1));
        click(list, "cmdRemove");
        // The first change paused this manager: nothing starts while the list is open.
        EXPECT_TRUE(tray.paused());
        click(list, "cmdClose");
    });
    tray.menu().findChild<QAction*>(QStringLiteral("mnuTimedBackups"))->trigger();
    EXPECT_FALSE(tray.paused());
    EXPECT_EQ(tray.icon().toolTip().toStdString(),
              "Corvane Timed Backups\nNext: Weekly.cvt at 09:00 on 2026-12-09");
}

using ErrorLogFromNotice = UiFixture;

TEST_F(ErrorLogFromNotice, ClickOpensTheErrorLogOrSaysThereIsNone) {
    host.expectBox("No Log", "", "cmdOK");  // its text: DispatcherFixture.LogViewersOrTheNoLogBoxes
    ui::showErrorLog(host, home.path());
    writeFile(home / "error.log", "Timed Backup - Error\nSet:   /sets/Daily.cvt\n");
    host.expectWindow("frmErrorLog", [](QDialog& viewer) {
        EXPECT_EQ(viewer.windowTitle().toStdString(), "Corvane Error Log");
        click(viewer, "cmdClose");
    });
    ui::showErrorLog(host, home.path());
}

}  // namespace
}  // namespace corvane::test
