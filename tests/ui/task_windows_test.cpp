// The task windows opened from the main window: the task-type chooser, the timed backup list
// and its editors, the task list, the favourites with their hand-over to the main window, and
// the registry backup window. The lists' and editors' own tests check each box's text word for
// word; here boxes are answered by title.
#include "common/file_io.h"
#include "schedule/manager_control.h"
#include "schedule/timed_record.h"
#include "ui/list_windows.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <cstdlib>

namespace corvane::test {
namespace {

using C = CommandId;

// A manager that is running until stopped, and records what the list window asks of it.
class RecordingManager final : public ManagerControl {
public:
    Result<ManagerStop> stop() override {
        calls.push_back("stop");
        const bool wasRunning = running;
        running = false;
        return wasRunning ? ManagerStop::Stopped : ManagerStop::NotRunning;
    }
    Status start() override {
        calls.push_back("start");
        running = true;
        return {};
    }
    bool running = true;
    std::vector<std::string> calls;
};

class TaskWindows : public UiFixture {
protected:
    TaskWindows() { dispatcher->useManagerControl(manager); }

    // A saved set with the data folder in it.
    std::string savedSet(const std::string& name) {
        makeSet(name);
        addDataFolder();
        trigger(C::FileSave);
        return home / ("Backup Sets/" + name + ".cvt");
    }
    // Opens the chooser and picks a list.
    void chooseTask(const char* option, const std::string& list, const TestHost::Handler& handler) {
        host.expectWindow("frmBackChooseTaskType", [=, this](QDialog& chooser) {
            control<QRadioButton>(chooser, option)->click();
            host.expectWindow(list, handler);
            click(chooser, "cmdOK");
        });
        trigger(C::Tasks);
    }
    static std::vector<std::string> rowTexts(const QDialog& dialog, const char* list,
                                             int column = 0) {
        std::vector<std::string> texts;
        auto* view = control<QTreeWidget>(dialog, list);
        for (int row = 0; row < view->topLevelItemCount(); ++row)
            texts.push_back(view->topLevelItem(row)->text(column).toStdString());
        return texts;
    }
    static void selectRow(const QDialog& dialog, const char* list, int row) {
        auto* view = control<QTreeWidget>(dialog, list);
        QTreeWidgetItem* item = view->topLevelItem(row);
        view->setCurrentItem(item);
        emit view->itemClicked(item, 0);
    }

    RecordingManager manager;
};

TEST_F(TaskWindows, ChooserOffersBothListsAndCancelOpensNone) {
    host.expectWindow("frmBackChooseTaskType", [&](QDialog& chooser) {
        EXPECT_EQ(chooser.windowTitle().toStdString(), "Select Task Type");
        EXPECT_EQ(textOf(chooser, "lblText"), "Select Task to perform:");
        EXPECT_EQ(control<QRadioButton>(chooser, "optSchedule")->text().toStdString(),
                  "Schedule Timed Backups");
        EXPECT_EQ(control<QRadioButton>(chooser, "optTrack")->text().toStdString(),
                  "Track Important Backups");
        EXPECT_TRUE(control<QRadioButton>(chooser, "optSchedule")->isChecked());
        saveScreenshot(chooser, "task-type-chooser");
        click(chooser, "cmdCancel");
    });
    trigger(C::OptionsTaskManager);
    EXPECT_TRUE(manager.calls.empty());
}

TEST_F(TaskWindows, TimedBackupIsAddedModifiedAndWrittenWithTheManagerStoppedMeanwhile) {
    const std::string set = savedSet("Daily");
    chooseTask("optSchedule", "frmBackPreset", [&](QDialog& list) {
        EXPECT_EQ(list.windowTitle().toStdString(), "Timed Backups");
        auto* view = control<QTreeWidget>(list, "lvTimed");
        QStringList headers;
        for (int column = 0; column < view->columnCount(); ++column)
            headers << view->headerItem()->text(column);
        EXPECT_EQ(headers.join('|').toStdString(),
                  "Backup Set Name|Backup Type|Time to Perform|Next Run Date|Last Backup");
        EXPECT_FALSE(enabled(list, "cmdModify"));
        EXPECT_FALSE(enabled(list, "cmdRemove"));

        host.expectWindow("frmBackNewEvent", [&](QDialog& editor) {
            EXPECT_EQ(editor.windowTitle().toStdString(), "Setup Timed Backup");
            for (const auto& [name, text] : std::vector<std::pair<const char*, const char*>>{
                     {"lblSet", "Backup Set:"},
                     {"lblType", "Backup Type:"},
                     {"lblTime", "Backup Time:  (Military Style)"},
                     {"lblLocation", "Backup Location:"},
                     {"lblStart", "Set the Start Date"},
                     {"lblIntro",
                      "This option allows you to add a backup to your timed backup list."}}) {
                EXPECT_EQ(textOf(editor, name), text);
            }
            EXPECT_EQ(control<QWidget>(editor, "txtHour")->toolTip().toStdString(),
                      "Set the Backup Time");
            EXPECT_FALSE(enabled(editor, "cmdLocation"));
            EXPECT_EQ(control<QComboBox>(editor, "cboInterval")->currentIndex(), -1);
            saveScreenshot(editor, "timed-editor-new-empty");
            // OK refuses what is missing (the editor's own test has every check in its order).
            host.expectBox("No Backup Name", "", "cmdOK");
            click(editor, "cmdOK");
            host.queueOpenFiles({set});
            click(editor, "cmdBrowseSet");
            EXPECT_EQ(textOf(editor, "txtSet"), set);
            EXPECT_TRUE(enabled(editor, "cmdLocation"));
            EXPECT_EQ(textOf(editor, "txtLocation"), home / "out/Daily.bac");
            // The fields empty themselves on what is not an hour or a minute.
            const std::pair<const char*, const char*> typed[] = {
                {"25", ""}, {"x", ""}, {"24", ""}, {"7", "7"}};
            for (const auto& [text, kept] : typed) {
                type(editor, "txtHour", text);
                EXPECT_EQ(textOf(editor, "txtHour"), kept);
            }
            type(editor, "txtMinute", "0");
            control<QComboBox>(editor, "cboInterval")->setCurrentIndex(3);  // "Every Day"
            // 07:00 today has passed at 10:30.
            host.expectBox("Invalid Time", "", "cmdOK");
            click(editor, "cmdOK");
            EXPECT_EQ(textOf(editor, "txtHour"), "07");
            type(editor, "txtHour", "10");
            type(editor, "txtMinute", "31");
            saveScreenshot(editor, "timed-editor-new-filled");
            click(editor, "cmdOK");
        });
        click(list, "cmdAdd");
        EXPECT_EQ(rowTexts(list, "lvTimed", 1), std::vector<std::string>{"Every Day"});
        EXPECT_EQ(rowTexts(list, "lvTimed", 2), std::vector<std::string>{"10:31:00"});
        EXPECT_EQ(rowTexts(list, "lvTimed", 3), std::vector<std::string>{"2026-12-04"});
        EXPECT_EQ(rowTexts(list, "lvTimed", 4), std::vector<std::string>{"N/A"});

        selectRow(list, "lvTimed", 0);
        ASSERT_TRUE(enabled(list, "cmdModify"));
        host.expectWindow("frmModifyEvent", [&](QDialog& editor) {
            EXPECT_EQ(editor.windowTitle().toStdString(), "Modify Timed Backup");
            EXPECT_FALSE(control<QPushButton>(editor, "cmdBrowseSet")->isVisibleTo(&editor));
            EXPECT_EQ(textOf(editor, "txtHour"), "10");
            EXPECT_EQ(textOf(editor, "txtMinute"), "31");
            EXPECT_EQ(control<QComboBox>(editor, "cboInterval")->currentText().toStdString(),
                      "Every Day");
            control<QComboBox>(editor, "cboInterval")->setCurrentIndex(6);  // "Every Hour"
            EXPECT_FALSE(control<QLineEdit>(editor, "txtHour")->isEnabled());
            EXPECT_FALSE(control<QDateEdit>(editor, "dtpStart")->isEnabled());
            saveScreenshot(editor, "timed-editor-modify");
            click(editor, "cmdOK");
        });
        click(list, "cmdModify");
        EXPECT_EQ(rowTexts(list, "lvTimed", 1), std::vector<std::string>{"Every Hour"});
        EXPECT_EQ(rowTexts(list, "lvTimed", 2), std::vector<std::string>{"11:30:00"});
        saveScreenshot(list, "timed-list");
        // Nothing reaches the file before the window closes.
        EXPECT_EQ(readFile(home / "Timed.dat"), "");
        click(list, "cmdClose");
    });
    // Stopped before the first change only, started again once the file was written.
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"stop", "stop", "start"}));
    const auto records = readTimedList(home.path());
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ((*records)[0].setPath, set);
    EXPECT_EQ((*records)[0].interval, "Every Hour");
}

TEST_F(TaskWindows, TaskListAddsSetsOnceAndRemovesTheSelectedOne) {
    const std::string set = savedSet("Weekly");
    chooseTask("optTrack", "frmBackTasks", [&](QDialog& list) {
        EXPECT_EQ(list.windowTitle().toStdString(), "Track Backup Tasks");
        EXPECT_EQ(textOf(list, "lblIntro"),
                  "This option allows you to keep track of your most important Backups.  You "
                  "will easily be able to see if a backup operation was performed and when.");
        host.queueOpenFiles({set});
        click(list, "cmdAdd");
        EXPECT_EQ(rowTexts(list, "lvTask"), std::vector<std::string>{set});
        EXPECT_EQ(rowTexts(list, "lvTask", 1), std::vector<std::string>{"N/A"});
        // The same path in other letters is the same entry.
        std::string shouted = set;
        for (char& c : shouted)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        host.queueOpenFiles({shouted});
        host.expectBox("Unable to Add", "", "cmdOK");
        click(list, "cmdAdd");
        saveScreenshot(list, "task-list");
        selectRow(list, "lvTask", 0);
        click(list, "cmdRemove");
        EXPECT_TRUE(rowTexts(list, "lvTask").empty());
        EXPECT_FALSE(enabled(list, "cmdRemove"));
        click(list, "cmdClose");
    });
    EXPECT_EQ(readFile(home / "Tasks.dat"), "");
    EXPECT_TRUE(manager.calls.empty());
}

// Favorite.dat of the given set paths, padded to their 150 bytes.
void writeFavorites(const std::string& folder, const std::vector<std::string>& paths) {
    std::string bytes;
    for (const std::string& path : paths)
        bytes += path + std::string(150 - path.size(), ' ');
    writeFile(folder + "Favorite.dat", bytes);
}

TEST_F(TaskWindows, FavouritesOpenOrBackUpTheChosenSet) {
    const std::string set = savedSet("Daily");
    writeFavorites(home.path(), {set, home / "gone.cvt"});
    host.expectWindow("frmFavorites", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Favorites");
        // The set whose file has gone is not listed.
        EXPECT_EQ(rowTexts(dialog, "ListView1"), std::vector<std::string>{set});
        auto* view = control<QTreeWidget>(dialog, "ListView1");
        auto* menu = control<QMenu>(dialog, "mnuFavorites");
        emit view->customContextMenuRequested(view->visualItemRect(view->topLevelItem(0)).center());
        ASSERT_TRUE(menu->isVisible());
        saveScreenshot(dialog, "favorites");
        saveScreenshot(*menu, "favorites-menu");
        menu->hide();
        host.expectWindow("frmBackupType", [](QDialog& d) { click(d, "cmdCancel"); });
        control<QAction>(dialog, "mnuPerform")->trigger();
    });
    trigger(C::Favorites);
    EXPECT_EQ(program->document().set().setPath, set);
}

TEST_F(TaskWindows, FavouriteOfAnEmptySetCannotBeBackedUp) {
    makeSet("Empty");
    trigger(C::FileSave);
    const std::string set = home / "Backup Sets/Empty.cvt";
    writeFavorites(home.path(), {set});
    host.expectWindow("frmFavorites", [&](QDialog& dialog) {
        selectRow(dialog, "ListView1", 0);
        control<QAction>(dialog, "mnuPerform")->trigger();
    });
    host.expectBox("Unable to Perform", "", "cmdOK");
    trigger(C::OptionsFavorites);
}

TEST_F(TaskWindows, FavouriteBecomesADesktopLink) {
    const std::string set = savedSet("Daily");
    writeFavorites(home.path(), {set});
    const std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "share").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    host.expectWindow("frmFavorites", [&](QDialog& dialog) {
        selectRow(dialog, "ListView1", 0);
        host.expectBox("Desktop Shortcut", "", "cmdYes");
        control<QAction>(dialog, "mnuShortcut")->trigger();
        click(dialog, "cmdClose");
    });
    trigger(C::Favorites);
    ::setenv("HOME", oldHome.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    const std::string link = readFile(home / "Desktop/Daily.cvt.desktop");
    EXPECT_NE(link.find("Type=Link"), std::string::npos) << link;
}

TEST_F(TaskWindows, RegistryWindowFindsNoSystemFilesHere) {
    host.expectBox("No Files Found", "", "cmdOK");
    host.expectWindow("frmRegistry", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "System Registry Backup");
        EXPECT_EQ(textOf(dialog, "lblNote"),
                  "Note:  This option is designed for Windows 95 & 98 systems only.");
        auto* view = control<QTreeWidget>(dialog, "ListView1");
        EXPECT_EQ(view->headerItem()->text(0).toStdString(), "Filename & Path");
        EXPECT_EQ(view->topLevelItemCount(), 0);
        EXPECT_FALSE(enabled(dialog, "cmdBackup"));
        EXPECT_FALSE(enabled(dialog, "cmdStartupDisk"));
        saveScreenshot(dialog, "registry");
        click(dialog, "cmdCancel");
    });
    trigger(C::Registry);
}

}  // namespace
}  // namespace corvane::test
