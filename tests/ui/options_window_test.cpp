// The "Configuration Settings" window opened from its commands: its six pages, the password
// rules and warnings, the temp-folder menu, and what OK and Cancel leave in the record.
#include "config/options_dialog.h"
#include "subprocess.h"
#include "ui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>

namespace corvane::test {
namespace {

using C = CommandId;
using OptionsWindowTest = UiFixture;

QCheckBox* check(const QDialog& dialog, const char* name) {
    return control<QCheckBox>(dialog, name);
}

TEST_F(OptionsWindowTest, PagesShowTheirIntrosAndHelpFollowsTheVisiblePage) {
    host.expectWindow("frmOptions", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Configuration Settings");
        EXPECT_EQ(textOf(dialog, "lblIconHint"),
                  "Click the icons on the left hand side to change to that portion of Corvane "
                  "Settings.");
        auto* pages = control<QStackedWidget>(dialog, "fraPages");
        for (std::size_t index = 0; index < kOptionsPages.size(); ++index) {
            const OptionsPage& page = kOptionsPages[index];
            const int number = static_cast<int>(index) + 1;
            auto* icon = control<QToolButton>(dialog, std::string(page.icon).c_str());
            EXPECT_EQ(icon->toolTip().toStdString(), page.tip);
            icon->click();
            EXPECT_EQ(pages->currentIndex(), number - 1);
            EXPECT_TRUE(icon->isChecked());
            const std::string intro = "lblIntro" + std::to_string(number);
            EXPECT_EQ(control<QLabel>(dialog, intro.c_str())->text().toStdString(), page.intro);
            click(dialog, "cmdHelp");
            saveScreenshot(dialog, "options-page" + std::to_string(number));
        }
        EXPECT_EQ(check(dialog, "chkSystemValidate")->text().toStdString(),
                  "Only overwrite program && system files with newer version numbers");
        EXPECT_EQ(check(dialog, "chkSystemValidate")->accessibleName().toStdString(),
                  "Only overwrite program & system files with newer version numbers");
        click(dialog, "cmdCancel");
    });
    trigger(C::Settings);
    std::vector<std::string> topics;
    for (const OptionsPage& page : kOptionsPages)
        topics.push_back(
            builtProgram("bin/help/topic-" + std::to_string(page.helpTopic) + ".html"));
    EXPECT_EQ(opener.opened, topics);
}

TEST_F(OptionsWindowTest, PasswordBoxesFollowTheirCheckBoxAndBadPasswordsSwitchProtectionOff) {
    // The warnings' texts are checked by the dialog's own test.
    struct Case {
        const char* password;
        const char* confirmation;
        bool refused;
    };
    const Case cases[] = {
        {"secret", "", true}, {"Secret", "secret", true}, {"  secret ", "secret", false}};
    for (const Case& c : cases) {
        host.expectWindow("frmOptions", [&](QDialog& dialog) {
            control<QToolButton>(dialog, "imgPassword")->click();
            auto* protect = check(dialog, "chkPassword");
            protect->setChecked(false);
            EXPECT_FALSE(control<QLineEdit>(dialog, "txtPass1")->isEnabled());
            protect->setChecked(true);
            EXPECT_TRUE(control<QLineEdit>(dialog, "txtPass1")->isEnabled());
            EXPECT_EQ(control<QLineEdit>(dialog, "txtPass1")->echoMode(), QLineEdit::Password);
            type(dialog, "txtPass1", c.password);
            type(dialog, "txtPass2", c.confirmation);
            if (c.refused) host.expectBox("Password Settings", "", "cmdOK");
            saveScreenshot(dialog, "options-password");
            click(dialog, "cmdOK");
        });
        trigger(C::OptionsSettings);
        const ConfigRecord& record = program->config().record();
        EXPECT_EQ(record.password, c.refused ? 0 : 1) << c.password;
    }
    // Reopened: the stored password is shown decoded in both boxes, without its spaces.
    host.expectWindow("frmOptions", [&](QDialog& dialog) {
        EXPECT_TRUE(check(dialog, "chkPassword")->isChecked());
        EXPECT_EQ(textOf(dialog, "txtPass1"), "secret");
        EXPECT_EQ(textOf(dialog, "txtPass2"), "secret");
        check(dialog, "chkPassword")->setChecked(false);
        EXPECT_TRUE(control<QLineEdit>(dialog, "txtPass1")->text().isEmpty());
        click(dialog, "cmdOK");
    });
    trigger(C::Settings);
    EXPECT_EQ(program->config().record().password, 0);
}

TEST_F(OptionsWindowTest, OkStoresEveryControlAndReopeningShowsIt) {
    const std::string temp = home / "tmp";
    host.queueFolder(temp);
    host.expectWindow("frmOptions", [&](QDialog& dialog) {
        auto* compression = control<QComboBox>(dialog, "cboCompression");
        ASSERT_EQ(compression->count(), 4);
        compression->setCurrentIndex(1);
        check(dialog, "chkFreshen")->click();
        check(dialog, "chkSubFolders")->click();
        control<QRadioButton>(dialog, "optAlwaysTest")->click();
        // The temp-folder menu: nothing to clear yet; "Select New" adds the trailing "/".
        control<QToolButton>(dialog, "imgAdvanced")->click();
        auto* menu = control<QMenu>(dialog, "mnuBrowse");
        click(dialog, "cmdBrowse");
        EXPECT_FALSE(control<QAction>(dialog, "mnuBrowseClear")->isEnabled());
        saveScreenshot(*menu, "options-temp-menu");
        menu->hide();
        control<QAction>(dialog, "mnuBrowseSelectNew")->trigger();
        EXPECT_EQ(textOf(dialog, "txtTempFolder"), temp + "/");
        click(dialog, "cmdOK");
    });
    trigger(C::Settings);
    const ConfigRecord& record = program->config().record();
    EXPECT_EQ(record.compression, 9);
    EXPECT_EQ(record.testMode, 1);
    EXPECT_EQ(record.tempFolder, temp + "/");

    host.expectWindow("frmOptions", [&](QDialog& dialog) {
        EXPECT_EQ(control<QComboBox>(dialog, "cboCompression")->currentText().toStdString(),
                  "High (Slowest)");
        EXPECT_TRUE(control<QRadioButton>(dialog, "optAlwaysTest")->isChecked());
        click(dialog, "cmdBrowse");
        control<QMenu>(dialog, "mnuBrowse")->hide();
        control<QAction>(dialog, "mnuBrowseClear")->trigger();
        EXPECT_TRUE(control<QLineEdit>(dialog, "txtTempFolder")->text().isEmpty());
        control<QComboBox>(dialog, "cboCompression")->setCurrentIndex(3);
        // Cancel leaves the record as it was.
        click(dialog, "cmdCancel");
    });
    trigger(C::Settings);
    EXPECT_EQ(program->config().record().compression, 9);
    EXPECT_EQ(program->config().record().tempFolder, temp + "/");
}

TEST_F(OptionsWindowTest, TickingAllFoldersShowsTheReminderUntilToldNotTo) {
    host.expectWindow("frmOptions", [&](QDialog& dialog) {
        host.expectWindow("frmReminder", [&](QDialog& reminder) {
            control<QCheckBox>(reminder, "chkShowAgain")->setChecked(false);
            click(reminder, "cmdOK");
        });
        check(dialog, "chkAddAllFolders")->click();
        // Ticked again after clearing: Rem.dat exists now, so no reminder.
        check(dialog, "chkAddAllFolders")->click();
        check(dialog, "chkAddAllFolders")->click();
        click(dialog, "cmdOK");
    });
    trigger(C::Settings);
    EXPECT_EQ(program->config().record().addAllFolders, 1);
    EXPECT_TRUE(fileExists(home / "Rem.dat"));
}

}  // namespace
}  // namespace corvane::test
