// The main window read and driven through its real widgets: menus, toolbar, enabling, the
// tree's clicks, the status text, placement, closing, the archive hand-off and the commands'
// boxes.
#include "subprocess.h"
#include "ui/set_tree_view.h"
#include "ui_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace corvane::test {
namespace {

using C = CommandId;

// "ID_FileNew|&New Backup Set...|on" for an action, "-" for a separator.
std::vector<std::string> describe(const QList<QAction*>& actions, bool withTips = false) {
    std::vector<std::string> rows;
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            rows.emplace_back("-");
            continue;
        }
        std::string row = action->objectName().toStdString() + "|" + action->text().toStdString();
        if (withTips) row += "|" + action->toolTip().toStdString();
        row += action->isEnabled() ? "|on" : "|off";
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> menuRows(ui::MainWindow& window, C id) {
    QMenu* menu = window.menu(id);
    EXPECT_NE(menu, nullptr) << commandKey(id);
    return menu == nullptr ? std::vector<std::string>{} : describe(menu->actions());
}

using MainWindowTest = UiFixture;

TEST_F(MainWindowTest, MenusAndToolbarAreTheCommandTableWithNoSetOpen) {
    EXPECT_EQ(window->windowTitle().toStdString(), "Corvane v6.0");
    EXPECT_EQ(window->statusPanel()->text().toStdString(), "Press F1 to get Help");
    EXPECT_EQ(describe(window->menuBar()->actions()),
              (std::vector<std::string>{"ID_File|&File|on", "ID_Actions|&Actions|on",
                                        "ID_Options|&Options|on", "ID_View|&View|on",
                                        "ID_Help|&Help|on"}));
    EXPECT_EQ(
        menuRows(*window, C::File),
        (std::vector<std::string>{
            "ID_FileNew|&New Backup Set...|on", "ID_FileOpen|&Open Backup Set...|on", "-",
            "ID_FileSave|&Save|off", "ID_FileSaveAs|Save As...|off", "-",
            "ID_FileLoad|&Load Timed Backups Manager|on", "-", "ID_FileExit|E&xit Corvane|on"}));
    EXPECT_EQ(menuRows(*window, C::Actions),
              (std::vector<std::string>{"ID_ActionsAdd|&Add to Backup Set...|off",
                                        "ID_ActionsRemove|&Remove Selected Item|off", "-",
                                        "ID_ActionsDefault|&Default Location...|off",
                                        "ID_BackupSetProperties|Backup Set &Properties...|off", "-",
                                        "ID_ActionsBackup|&Backup...|off"}));
    EXPECT_EQ(
        menuRows(*window, C::Options),
        (std::vector<std::string>{
            "ID_OptionsSettings|&Settings...|on", "ID_OptionsOffsite|Off-site &Copy...|off",
            "ID_OptionsTaskManager|&Task Manager...|on", "ID_OptionsFavorites|&Favorites...|on",
            "-", "ID_OptionsRegistry|R&egistry Backup...|on",
            "ID_OptionsWizard|Backup &Wizard...|on", "-", "ID_OptionsTestBackup|Te&st Backup|on",
            "-", "ID_OptionsRestore|&Restore Backup Archive...|on"}));
    EXPECT_EQ(menuRows(*window, C::View),
              (std::vector<std::string>{"ID_OptionsViewBackupLog|View &Backup Log...|on", "-",
                                        "ID_OptionsViewErrorLog|View &Error Log...|on"}));
    EXPECT_EQ(
        menuRows(*window, C::Help),
        (std::vector<std::string>{
            "ID_HelpContents|&Contents|on", "ID_HelpTutorial|Online &Tutorial...|on", "-",
            "ID_HelpQXHome|Corvane &Project Web Site|on", "ID_HelpCVHome|&Corvane Home Page|on",
            "-", "ID_HelpUpdate|&Check for Product Update...|on", "-",
            "ID_HelpAbout|&About Corvane...|on"}));
    EXPECT_EQ(
        menuRows(*window, C::AddMenu),
        (std::vector<std::string>{"ID_AddFolder|Folder(s)|on", "ID_AddFile|File(s)|on",
                                  "ID_AddWildCard|WildCard|on", "ID_AddExclusion|Exclusion|on"}));
    EXPECT_EQ(describe(window->toolBar()->actions(), true),
              (std::vector<std::string>{
                  "ID_New|New|New Backup Set|on", "ID_Open|Open|Open Backup Set|on",
                  "ID_Save|Save|Save Backup Set|off", "-", "ID_Add|Add|Add to Backup Set|off",
                  "ID_Backup|Backup|Backup Now|off", "ID_Restore|Restore|Restore Backup Archive|on",
                  "-", "ID_Settings|Settings|Settings|on", "ID_Tasks|Tasks|Task Manager|on", "-",
                  "ID_Favorites|Favorites|Favorites|on", "ID_Wizard|Wizard|Backup Wizard|on",
                  "ID_Registry|Registry|Registry Backup|on"}));

    // The Add popup is both the Add tool's drop-down and the submenu of "ID_ActionsAdd".
    auto* add = qobject_cast<QToolButton*>(window->toolBar()->widgetForAction(action(C::Add)));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->popupMode(), QToolButton::MenuButtonPopup);
    EXPECT_EQ(add->menu(), window->menu(C::AddMenu));
    EXPECT_EQ(action(C::ActionsAdd)->menu(), window->menu(C::AddMenu));
    EXPECT_EQ(add->accessibleName().toStdString(), "Add");
    // Every command with a picture in the table has one.
    for (const C id : {C::New, C::FileLoad, C::ActionsRemove, C::OptionsRegistry, C::HelpTutorial,
                       C::ActionsAdd}) {
        EXPECT_FALSE(action(id)->icon().isNull()) << commandKey(id);
    }
    EXPECT_EQ(action(C::HelpContents)->shortcut(), QKeySequence(Qt::Key_F1));
    window->show();
    saveScreenshot(*window, "main-window-empty");
}

TEST_F(MainWindowTest, TreeShowsTheSetWithDarkBlueCategories) {
    makeSet("Daily");
    addDataFolder();
    ui::SetTreeView& tree = *window->tree();
    ASSERT_EQ(tree.topLevelItemCount(), 3);
    for (int index = 0; index < 3; ++index) {
        QTreeWidgetItem* category = tree.topLevelItem(index);
        EXPECT_EQ(category->foreground(0).color(), QColor(0, 0, 0x40));
        EXPECT_TRUE(category->isExpanded());
    }
    EXPECT_EQ(tree.topLevelItem(0)->text(0).toStdString(), "Files");
    EXPECT_EQ(tree.topLevelItem(1)->text(0).toStdString(), "Folders");
    EXPECT_EQ(tree.topLevelItem(2)->text(0).toStdString(), "Exclusions");
    QTreeWidgetItem* data = tree.itemFor(QString::fromStdString(home / "data/"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->parent(), tree.topLevelItem(1));
    ASSERT_EQ(data->childCount(), 1);
    EXPECT_EQ(data->child(0)->text(0).toStdString(), home / "data/sub/");
    EXPECT_NE(data->foreground(0).color(), QColor(0, 0, 0x40));
}

TEST_F(MainWindowTest, TreeClicksEnableRemoveAndRightClickShowsTheActionsMenu) {
    window->show();
    makeSet("Daily");
    ui::SetTreeView& tree = *window->tree();
    QWidget* area = tree.viewport();
    const QPoint empty(area->width() / 2, area->height() - 5);

    // Only the categories: the popup comes with Remove disabled.
    QTest::mouseClick(area, Qt::RightButton, Qt::NoModifier, empty);
    QMenu* actions = window->menu(C::Actions);
    EXPECT_TRUE(actions->isVisible());
    EXPECT_FALSE(action(C::ActionsRemove)->isEnabled());
    saveScreenshot(*actions, "main-window-actions-popup");
    actions->hide();

    addDataFolder();
    QTreeWidgetItem* data = tree.itemFor(QString::fromStdString(home / "data/"));
    ASSERT_NE(data, nullptr);
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, tree.visualItemRect(data).center());
    EXPECT_EQ(tree.currentItem(), data);
    EXPECT_TRUE(action(C::ActionsRemove)->isEnabled());
    EXPECT_FALSE(actions->isVisible());
    saveScreenshot(*window, "main-window-set");

    action(C::ActionsRemove)->trigger();
    EXPECT_EQ(tree.itemFor(QString::fromStdString(home / "data/")), nullptr);
    EXPECT_FALSE(action(C::Backup)->isEnabled());
    EXPECT_EQ(window->statusPanel()->text().toStdString(), "Daily.cvt");
}

TEST_F(MainWindowTest, PlacementIsReadLenientlyAndStoredUnlessMinimised) {
    settings.values = {{"Left", "30"}, {"Top", "x"}, {"Width", "0"}, {"Height", "500"}};
    window->restorePlacement();
    EXPECT_EQ(window->pos(), QPoint(30, 0));
    EXPECT_EQ(window->size(), QSize(ui::MainWindow::kDesignedWidth, 500));

    window->show();
    window->move(40, 50);
    window->resize(700, 520);
    window->close();
    EXPECT_EQ(settings.values,
              (std::map<std::string, std::string>{
                  {"Left", "40"}, {"Top", "50"}, {"Width", "700"}, {"Height", "520"}}));
}

TEST_F(MainWindowTest, MinimisedAtExitKeepsTheStoredPlacement) {
    settings.values = {{"Left", "12"}};
    window->showMinimized();
    window->close();
    EXPECT_EQ(settings.values, (std::map<std::string, std::string>{{"Left", "12"}}));
}

TEST_F(MainWindowTest, ClosingWithChangesAsksOnceAndNoKeepsTheFileUnwritten) {
    makeSet("Daily");
    addDataFolder();
    // The question's text, icon and buttons: SetEditing.ClosingAChangedSetAsksOnceAndSavesOnYes
    // and RunWindows.BoxesAnswerAsTheirButtonsAndEscapeSay.
    host.expectWindow("msgBox", [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Save");
        saveScreenshot(dialog, "box-save-question");
        click(dialog, "cmdNo");
    });
    action(C::FileExit)->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(fileExists(home / "Backup Sets/Daily.cvt"));
    EXPECT_EQ(host.windowsShown().size(), 3u);  // new set, folder picker, the question
}

TEST_F(MainWindowTest, ArchiveOnTheCommandLineStartsTheRestoreProgramOnceWhenActivated) {
    program->load(home / "Daily.BAC");
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !launcher.started.empty(); }, 5000));
    EXPECT_EQ(launcher.started, std::vector<std::string>{"cvrest " + home / "Daily.BAC"});
    // Every later activation finds nothing pending.
    for (int again = 0; again < 2; ++again) {
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(window.get(), &activation);
        QApplication::processEvents();
    }
    EXPECT_TRUE(window->isActiveWindow());
    EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(MainWindowTest, LogViewersShowTheLogOrSayThereIsNone) {
    host.expectBox("No Log", "", "cmdOK");
    action(C::OptionsViewBackupLog)->trigger();
    host.expectBox("No Log", "", "cmdOK");
    action(C::OptionsViewErrorLog)->trigger();

    writeFile(home / "Backup.log", "### Backup Started - x ###\r\n-  Adding a.txt\r\n");
    host.expectWindow("frmLogFile", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Corvane Log File");
        auto* text = control<QPlainTextEdit>(dialog, "txtLog");
        EXPECT_EQ(text->toPlainText().toStdString(),
                  "### Backup Started - x ###\n-  Adding a.txt\n");
        EXPECT_TRUE(text->isReadOnly());
        saveScreenshot(dialog, "log-viewer-backup");
        click(dialog, "cmdDelete");
        EXPECT_TRUE(text->toPlainText().isEmpty());
        EXPECT_FALSE(enabled(dialog, "cmdDelete"));
        click(dialog, "cmdClose");
    });
    action(C::OptionsViewBackupLog)->trigger();
    EXPECT_FALSE(fileExists(home / "Backup.log"));

    writeFile(home / "error.log", "Timed Backup - Skipped File\nFile Name:   /x\n");
    host.expectWindow("frmErrorLog", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Corvane Error Log");
        saveScreenshot(dialog, "log-viewer-error");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    action(C::OptionsViewErrorLog)->trigger();
    EXPECT_TRUE(fileExists(home / "error.log"));
}

TEST_F(MainWindowTest, InformationWindowsNameTheVersionAndWhereToLook) {
    const std::pair<C, std::string> table[] = {
        {C::HelpAbout, "frmAbout"}, {C::HelpUpdate, "frmUpdate"}, {C::HelpTutorial, "frmTutorial"}};
    for (const auto& [id, name] : table) {
        host.expectWindow(name, [name = name](QDialog& dialog) {
            const std::string text = textOf(dialog, "lblText");
            if (name == "frmAbout") {
                EXPECT_NE(text.find("Corvane v6.0"), std::string::npos);
                EXPECT_NE(text.find("Qt " + std::string(qVersion())), std::string::npos);
                for (const char* library : {"OpenSSL 3", "libdeflate 1.", "ISA-L 2."}) {
                    EXPECT_NE(text.find(library), std::string::npos) << library;
                }
            } else {
                EXPECT_NE(text.find("https://corvane.org/"), std::string::npos);
            }
            saveScreenshot(dialog, "info-" + name.substr(3));
            click(dialog, "cmdOK");
        });
        action(id)->trigger();
    }
}

TEST_F(MainWindowTest, HelpContentsAndWebLinksOpenOutsideTheProgram) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }, 5000));
    QTest::keyClick(window.get(), Qt::Key_F1);
    action(C::HelpQXHome)->trigger();
    action(C::HelpCVHome)->trigger();
    EXPECT_EQ(opener.opened,
              (std::vector<std::string>{builtProgram("bin/help/index.html"), "https://corvane.org/",
                                        "https://corvane.org/about/"}));
}

TEST_F(MainWindowTest, BusyCommandsShowTheNormalPointerOverTheirWindow) {
    host.expectWindow("frmAbout", [](QDialog& dialog) {
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        click(dialog, "cmdOK");
    });
    action(C::HelpAbout)->trigger();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace corvane::test
