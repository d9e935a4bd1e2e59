// The set editing windows, opened from their commands and driven through their controls: the
// new-set, open-set and default-location windows, the wizard, the folder picker, the wildcard
// and exclusion windows, the reminder and the statistics. The dialogs' own tests check each
// box's text word for word; here boxes are answered by title.
#include "config/config_store.h"
#include "ui/entry_windows.h"
#include "ui/set_tree_view.h"
#include "ui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace corvane::test {
namespace {

using C = CommandId;
using SetWindows = UiFixture;

TEST_F(SetWindows, NewSetWindowFollowsItsNameAndLocationRules) {
    host.queueFolder(home / "out");
    host.expectWindow("frmNewSet", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "New Backup Set");
        EXPECT_EQ(textOf(dialog, "lblIntro"),
                  "This option allows you to create a new backup set.  All backup sets are saved "
                  "in the 'Backup Sets' sub folder, under the main Corvane folder on your "
                  "system.  Select Help for more information on the Settings portion of this "
                  "screen.");
        EXPECT_EQ(control<QWidget>(dialog, "txtName")->accessibleName().toStdString(),
                  "New Backup Set Name");
        EXPECT_EQ(control<QWidget>(dialog, "chkAddAllFolders")->accessibleName().toStdString(),
                  "Always include all found folders in current backup set");
        auto* compression = control<QComboBox>(dialog, "cboCompression");
        ASSERT_EQ(compression->count(), 4);
        EXPECT_EQ(compression->itemText(1).toStdString(), "High (Slowest)");
        EXPECT_EQ(compression->itemText(3).toStdString(), "None");
        EXPECT_EQ(
            control<QWidget>(dialog, "fraSettings")->property("title").toString().toStdString(),
            "Backup Set Settings");
        EXPECT_FALSE(enabled(dialog, "cmdOK"));
        EXPECT_FALSE(enabled(dialog, "chkUseDate"));
        EXPECT_FALSE(enabled(dialog, "cmdLocation"));
        saveScreenshot(dialog, "new-set-empty");

        type(dialog, "txtName", "Daily");
        EXPECT_TRUE(enabled(dialog, "chkUseDate"));
        EXPECT_FALSE(enabled(dialog, "cmdOK"));
        click(dialog, "cmdLocation");
        EXPECT_EQ(textOf(dialog, "txtLocation"), home / "out/Daily.bac");
        EXPECT_TRUE(enabled(dialog, "cmdOK"));
        click(dialog, "chkUseDate");
        EXPECT_EQ(textOf(dialog, "txtLocation"), home / "out/$DATE$.bac");

        compression->setCurrentIndex(1);
        click(dialog, "chkFreshen");
        saveScreenshot(dialog, "new-set-filled");
        QTest::keyClick(control<QWidget>(dialog, "txtName"), Qt::Key_Return);
    });
    trigger(C::FileNew);
    EXPECT_EQ(host.folderTitles(), std::vector<std::string>{"Select Backup Location:"});
    EXPECT_EQ(program->document().set().setName, "Daily.cvt");
    EXPECT_EQ(program->document().set().defaultLocation, home / "out/$DATE$.bac");
    ConfigStore stored(home.path());
    stored.reload();
    EXPECT_EQ(stored.record().compression, 9);
    EXPECT_EQ(stored.record().freshen, 1);
}

TEST_F(SetWindows, AnExistingNameAsksAndCancelKeepsTheWindowOpen) {
    writeFile(home / "Backup Sets/Daily.cvt", "");
    host.expectWindow("frmNewSet", [&](QDialog& dialog) {
        type(dialog, "txtName", "Daily");
        type(dialog, "txtLocation", home / "out/Daily.bac");
        host.expectBox("Overwrite Backup Set", "", "cmdCancel");
        click(dialog, "cmdOK");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), control<QWidget>(dialog, "txtName"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    trigger(C::New);
    EXPECT_FALSE(action(C::Save)->isEnabled());
    EXPECT_EQ(readFile(home / "Backup Sets/Daily.cvt"), "");
}

TEST_F(SetWindows, OpenSetWindowOpensAndDeletesSets) {
    makeSet("Alpha");
    addDataFolder();
    program->document().saveSet();
    writeFile(home / "Backup Sets/Beta.cvt", readFile(home / "Backup Sets/Alpha.cvt"));
    writeFile(home / "Backup Sets/Gamma.cvt", readFile(home / "Backup Sets/Alpha.cvt"));
    host.expectWindow("frmOpenSet", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Open an Existing Backup Set");
        auto* list = control<QTreeWidget>(dialog, "lvSets");
        EXPECT_EQ(list->headerItem()->text(0).toStdString(), "Backup Set Name");
        ASSERT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
        saveScreenshot(dialog, "open-set");
        list->setCurrentItem(list->topLevelItem(2));
        host.expectBox("Delete Backup Set", "", "cmdOK");
        click(dialog, "cmdDelete");
        EXPECT_EQ(list->topLevelItemCount(), 2);
        list->setCurrentItem(list->topLevelItem(1));
        click(dialog, "cmdOpen");
    });
    trigger(C::FileOpen);
    EXPECT_FALSE(fileExists(home / "Backup Sets/Gamma.cvt"));
    EXPECT_EQ(program->document().set().setName, "Beta.cvt");
    EXPECT_EQ(window->statusPanel()->text().toStdString(), "Beta.cvt");
    EXPECT_NE(window->tree()->itemFor(QString::fromStdString(home / "data/")), nullptr);
}

TEST_F(SetWindows, DeletingTheLastSetDisablesOpenAndDelete) {
    writeFile(home / "Backup Sets/Only.cvt", "");
    host.expectWindow("frmOpenSet", [&](QDialog& dialog) {
        host.expectBox("Delete Backup Set", "", "cmdOK");
        click(dialog, "cmdDelete");
        EXPECT_FALSE(enabled(dialog, "cmdOpen"));
        EXPECT_FALSE(enabled(dialog, "cmdDelete"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    trigger(C::Open);
}

TEST_F(SetWindows, DefaultLocationWindowRenamesAndStoresOnClose) {
    makeSet("Daily");
    host.queueFolder(home / "data");
    host.expectWindow("frmDefaultLocation", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Backup Default Location");
        EXPECT_EQ(textOf(dialog, "txtLocation"), home / "out/Daily.bac");
        EXPECT_TRUE(enabled(dialog, "chkUseDate"));
        click(dialog, "chkUseDate");
        EXPECT_EQ(textOf(dialog, "txtLocation"), home / "out/$DATE$.bac");
        click(dialog, "cmdSetLocation");
        EXPECT_EQ(textOf(dialog, "txtLocation"), home / "data/$DATE$.bac");
        click(dialog, "chkUseDate");
        EXPECT_EQ(textOf(dialog, "txtLocation"), home / "data/Daily.bac");
        saveScreenshot(dialog, "default-location");
        // The close box stores the location as "&Close" does.
        dialog.close();
    });
    trigger(C::ActionsDefault);
    EXPECT_EQ(host.folderTitles(), std::vector<std::string>{"Select New Backup Location:"});
    EXPECT_EQ(program->document().set().defaultLocation, home / "data/Daily.bac");
}

TEST_F(SetWindows, WizardBuildsAndSavesASetInThreeSteps) {
    host.expectWindow("frmWizard", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Corvane Wizard");
        EXPECT_EQ(textOf(dialog, "lblTitle"), "Step #1 - Name Set & Choose Default Location");
        EXPECT_FALSE(enabled(dialog, "cmdBack"));
        EXPECT_FALSE(enabled(dialog, "cmdNext"));
        type(dialog, "txtName", "Weekly");
        type(dialog, "txtLocation", home / "out/Weekly.bac");
        saveScreenshot(dialog, "wizard-step-1");
        click(dialog, "cmdNext");

        EXPECT_EQ(textOf(dialog, "lblTitle"), "Step #2 - Add Files/Folders to Backup");
        EXPECT_TRUE(enabled(dialog, "cmdBack"));
        host.expectWindow("frmAddFolders", [&](QDialog& picker) {
            static_cast<ui::FolderPickerWindow&>(picker).selectPath(
                QString::fromStdString(home / "data/sub"));
            click(picker, "cmdAdd");
            click(picker, "cmdClose");
        });
        click(dialog, "cmdAddFolders");
        host.queueOpenFiles({home / "data/a.txt", home / "data/b.doc"});
        click(dialog, "cmdAddFiles");
        saveScreenshot(dialog, "wizard-step-2");
        click(dialog, "cmdNext");

        EXPECT_EQ(textOf(dialog, "lblTitle"), "Step #3 - Define Settings for the Set");
        EXPECT_EQ(control<QPushButton>(dialog, "cmdNext")->text().toStdString(), "Finish");
        saveScreenshot(dialog, "wizard-step-3");
        click(dialog, "cmdBack");
        EXPECT_EQ(control<QPushButton>(dialog, "cmdNext")->text().toStdString(), "&Next >>");
        click(dialog, "cmdNext");
        click(dialog, "cmdNext");
    });
    trigger(C::Wizard);
    EXPECT_EQ(host.fileRequests().at(0).title, "Choose Files to Add");
    EXPECT_TRUE(host.fileRequests().at(0).multiSelect);
    EXPECT_TRUE(fileExists(home / "Backup Sets/Weekly.cvt"));
    EXPECT_EQ(window->statusPanel()->text().toStdString(), "Weekly.cvt");
    for (const std::string& key : {home / "data/sub/", home / "data/a.txt", home / "data/b.doc"}) {
        EXPECT_NE(window->tree()->itemFor(QString::fromStdString(key)), nullptr) << key;
    }
    EXPECT_TRUE(action(C::Backup)->isEnabled());
}

TEST_F(SetWindows, LeavingTheWizardAsksFirst) {
    host.expectWindow("frmWizard", [&](QDialog& dialog) {
        host.expectBox("Exit Wizard", "", "cmdCancel");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        host.expectBox("Exit Wizard", "", "cmdOK");
        click(dialog, "cmdCancel");
    });
    trigger(C::OptionsWizard);
    EXPECT_EQ(window->tree()->topLevelItemCount(), 0);
    EXPECT_FALSE(action(C::Save)->isEnabled());
}

TEST_F(SetWindows, FolderPickerRefusesADuplicate) {
    makeSet("Daily");
    host.expectWindow("frmAddFolders", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Add Folder(s)");
        EXPECT_FALSE(enabled(dialog, "cmdHelp"));
        auto& picker = static_cast<ui::FolderPickerWindow&>(dialog);
        picker.selectPath(QString::fromStdString(home / "data"));
        EXPECT_TRUE(enabled(dialog, "cmdAdd"));
        click(dialog, "cmdAdd");
        saveScreenshot(dialog, "folder-picker");
        host.expectBox("Duplicate Folder/Path", "", "cmdOK");
        click(dialog, "cmdAdd");
        EXPECT_TRUE(enabled(dialog, "cmdClose"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    trigger(C::Add);
    EXPECT_TRUE(action(C::Backup)->isEnabled());
}

TEST_F(SetWindows, WildcardWindowNeedsAFullPathAndRefusesADuplicate) {
    makeSet("Daily");
    host.queueFolder(home / "data");
    host.expectWindow("frmAddWildCard", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Add WildCard");
        EXPECT_FALSE(enabled(dialog, "cmdOK"));
        type(dialog, "txtWildCard", "*.doc");
        host.expectBox("Invalid WildCard", "", "cmdOK");
        click(dialog, "cmdOK");
        EXPECT_EQ(textOf(dialog, "txtWildCard"), "*.doc");
        click(dialog, "cmdChooseFolder");
        EXPECT_EQ(textOf(dialog, "txtWildCard"), home / "data/");
        QTest::keyClicks(control<QWidget>(dialog, "txtWildCard"), "*.doc");
        saveScreenshot(dialog, "wildcard");
        QTest::keyClick(control<QWidget>(dialog, "txtWildCard"), Qt::Key_Return);
    });
    trigger(C::AddWildCard);
    EXPECT_EQ(host.folderTitles(),
              std::vector<std::string>{"Select Root Folder for your WildCard:"});
    EXPECT_NE(window->tree()->itemFor(QString::fromStdString("** - " + home / "data/*.doc")),
              nullptr);
    EXPECT_TRUE(action(C::Backup)->isEnabled());

    host.expectWindow("frmAddWildCard", [&](QDialog& dialog) {
        type(dialog, "txtWildCard", home / "data/*.doc");
        host.expectBox("Duplicate WildCard", "", "cmdOK");
        click(dialog, "cmdOK");
        EXPECT_EQ(dialog.focusWidget(), control<QWidget>(dialog, "txtWildCard"));
        click(dialog, "cmdCancel");
    });
    trigger(C::AddWildCard);
}

TEST_F(SetWindows, ExclusionWindowTakesAFolderAFileOrAType) {
    makeSet("Daily");
    host.queueFolder(home / "data/sub");
    host.expectWindow("frmAddExclusion", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Add Exclusion");
        click(dialog, "cmdChooseFolder");
        EXPECT_EQ(textOf(dialog, "txtExclusion"), home / "data/sub/*");
        saveScreenshot(dialog, "exclusion");
        click(dialog, "cmdOK");
    });
    trigger(C::AddExclusion);
    host.queueOpenFiles({home / "data/b.doc"});
    host.expectWindow("frmAddExclusion", [&](QDialog& dialog) {
        click(dialog, "cmdChooseFile");
        EXPECT_EQ(textOf(dialog, "txtExclusion"), home / "data/b.doc");
        type(dialog, "txtExclusion", "/tmp/");
        click(dialog, "cmdOK");
    });
    trigger(C::AddExclusion);
    EXPECT_EQ(host.fileRequests().back().title, "Choose File to Exclude");
    host.expectWindow("frmAddExclusion", [&](QDialog& dialog) {
        type(dialog, "txtExclusion", "/tmp");
        host.expectBox("Duplicate Exclusion", "", "cmdOK");
        click(dialog, "cmdOK");
        click(dialog, "cmdCancel");
    });
    trigger(C::AddExclusion);
    EXPECT_NE(window->tree()->itemFor(QString::fromStdString("- " + home / "data/sub/*")), nullptr);
    EXPECT_NE(window->tree()->itemFor(QStringLiteral("- /tmp")), nullptr);
    // Exclusions alone are no content.
    EXPECT_FALSE(action(C::Backup)->isEnabled());
}

TEST_F(SetWindows, ReminderIsNotShownAgainOnceUnticked) {
    FoldersReminder reminder(home.path());
    host.expectWindow("frmReminder", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Reminder");
        EXPECT_TRUE(control<QCheckBox>(dialog, "chkShowAgain")->isChecked());
        saveScreenshot(dialog, "reminder");
        click(dialog, "chkShowAgain");
        click(dialog, "cmdOK");
    });
    dialogs->foldersReminder(reminder);
    EXPECT_TRUE(fileExists(home / "Rem.dat"));
    EXPECT_FALSE(FoldersReminder::shouldShow(home.path()));
}

TEST_F(SetWindows, StatisticsCountTheSetAndColourTheStatus) {
    makeSet("Daily");
    addDataFolder();
    host.expectWindow("frmStatistics", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Backup Set Properties");
        EXPECT_EQ(textOf(dialog, "txtFiles"), "");
        click(dialog, "cmdCalculate");
        EXPECT_EQ(textOf(dialog, "txtFiles"), "3");
        EXPECT_EQ(textOf(dialog, "txtFolders"), "2");
        EXPECT_EQ(textOf(dialog, "txtUncompressed"), "35 Bytes");
        EXPECT_EQ(textOf(dialog, "txtDataStatus"), "Size OK");
        EXPECT_EQ(control<QWidget>(dialog, "txtDataStatus")->palette().color(QPalette::Base),
                  QColor(0, 160, 0));
        EXPECT_EQ(control<QProgressBar>(dialog, "prgStatus")->value(), 0);
        EXPECT_TRUE(enabled(dialog, "cmdOK"));
        saveScreenshot(dialog, "statistics");
        click(dialog, "cmdOK");
    });
    trigger(C::BackupSetProperties);
}

}  // namespace
}  // namespace corvane::test
