// The options dialog: loading the controls, OK with its password checks, Cancel, the pages,
// the temp-folder menu and the all-folders reminder; and the archive password prompt.
#include <unistd.h>

#include <algorithm>

#include "box_check.h"
#include "config/options_dialog.h"
#include "config/password.h"
#include "config/password_prompt.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

class Options : public SetFixture {
protected:
    OptionsDialog dialog() { return OptionsDialog(config, host, home.path(), setSaved); }

    ConfigRecord stored() const {
        ConfigStore store(home.path());
        store.reload();
        return store.record();
    }

    bool setSaved = true;
};

TEST_F(Options, OpensOnTheFirstPageWithTheRecordsValues) {
    ConfigRecord& record = config.record();
    record.compression = 3;
    record.testMode = 7;
    record.freshen = 1;
    record.shutDown = 0;
    record.password = 1;
    record.passwordText = storedPasswordText("secret");
    record.tempFolder = "/var/tmp/";
    OptionsDialog options = dialog();
    EXPECT_TRUE(options.page() == 1 && options.iconSelected(1) && !options.iconSelected(2));
    EXPECT_EQ(options.compressionIndex(), 2u);  // "Low (Fastest)"
    EXPECT_EQ(options.testChoice(), TestChoice::Prompt);
    EXPECT_TRUE(options.checks().freshen);
    EXPECT_FALSE(options.checks().shutDown);
    EXPECT_TRUE(options.passwordBoxesEnabled());
    EXPECT_EQ(options.password(), "secret");
    EXPECT_EQ(options.confirmation(), "secret");
    EXPECT_EQ(options.tempFolder(), "/var/tmp/");

    // The icons select their pages, each with its help topic; there is no seventh.
    std::vector<int> topics = {options.helpTopic()};
    for (int page = 2; page <= 7; ++page) {
        options.selectPage(page);
        EXPECT_TRUE(options.iconSelected(std::min(page, 6)) && !options.iconSelected(1)) << page;
        if (page <= 6) topics.push_back(options.helpTopic());
    }
    EXPECT_EQ(options.page(), 6);
    EXPECT_EQ(topics, (std::vector<int>{9, 18, 8, 41, 46, 48}));

    // An unknown compression level is stored back as the one it is shown as.
    options.ok();
    EXPECT_EQ(stored().compression, 1);
    EXPECT_EQ(stored().testMode, 2);
    EXPECT_FALSE(setSaved || options.isOpen());
}

TEST_F(Options, OkStoresEveryControlAndCancelNone) {
    const ConfigRecord before = config.record();
    OptionsDialog cancelled = dialog();
    cancelled.checks().logFile = true;
    cancelled.selectCompression(3);
    cancelled.cancel();
    EXPECT_EQ(config.record(), before);
    EXPECT_EQ(stored(), before);
    EXPECT_FALSE(setSaved);  // the set counts as changed whatever the user did

    OptionsDialog options = dialog();
    // addNew, freshen, subFolders, shutDown, skipPrompt, promptPreview, restoreOverwrite,
    // systemValidate, newLocationPrompt, logFile, verifyExists, noAskDefault
    options.checks() = {true, true, false, false, true, false, true, false, true, true, true,
                        false};
    options.selectCompression(1);
    options.selectCompression(9);  // not in the list: ignored
    options.selectTestChoice(TestChoice::Always);
    options.setTempFolder("  /scratch/ ");
    (void)options.setAddAllFolders(true);
    options.ok();
    ConfigRecord expected = before;
    expected.compression = 9;
    expected.addNew = expected.freshen = expected.skipPrompt = expected.restoreOverwrite = 1;
    expected.newLocationPrompt = expected.logFile = expected.verifyExists = 1;
    expected.subFolders = expected.shutDown = expected.promptPreview = 0;
    expected.systemValidate = expected.noAskDefault = 0;
    expected.addAllFolders = 1;
    expected.testMode = 1;
    expected.tempFolder = "/scratch/";
    EXPECT_EQ(config.record(), expected);
    EXPECT_EQ(stored(), expected);
}

TEST_F(Options, PasswordBoxesAreCheckedBeforeTheyAreStored) {
    const std::string thirty(30, 'p');
    struct Case {
        std::string password, confirmation;
        std::string warning;  // empty: stored
        std::string kept;     // the password read back from the record
    };
    const std::string missing =
        "Unable to save Password settings.  One of the required Password fields is missing.";
    const std::string mismatch =
        "Unable to save Password settings.  Passwords entered do not match.";
    const std::string hash =
        "Unable to save Password settings.  A Password cannot begin or end with the character "
        "'#'.";
    for (const Case& c : {Case{"secret", "", missing, ""}, Case{"  ", "secret", missing, ""},
                          Case{"Secret", "secret", mismatch, ""},
                          Case{"#secret", "#secret", hash, ""}, Case{"se#", "se#", hash, ""},
                          Case{"  pass word ", "pass word", "", "pass word"},
                          Case{"d", "d", "", "d"}, Case{"in#side", "in#side", "", "in#side"},
                          Case{thirty, thirty, "", thirty},
                          Case{thirty + "12345", thirty + "67890", "", thirty}}) {
        config.record().password = 0;
        OptionsDialog options = dialog();
        options.setPasswordProtect(true);
        options.setPassword(c.password);
        options.setConfirmation(c.confirmation);
        if (!c.warning.empty()) host.expectMessage("Password Settings", Answer::Ok);
        setSaved = true;
        options.ok();
        EXPECT_FALSE(options.isOpen());
        EXPECT_FALSE(setSaved);
        const ConfigRecord saved = stored();
        if (c.warning.empty()) {
            EXPECT_EQ(saved.password, 1) << c.password;
            EXPECT_EQ(passwordFromStored(saved.passwordText), c.kept);
        } else {
            EXPECT_EQ(saved.password, 0) << c.password;
            expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok, c.warning);
        }
    }
}

TEST_F(Options, ClearingProtectionEmptiesTheBoxesButKeepsTheStoredText) {
    config.record().password = 1;
    config.record().passwordText = storedPasswordText("old");
    OptionsDialog options = dialog();
    options.setPasswordProtect(false);
    EXPECT_FALSE(options.passwordBoxesEnabled());
    EXPECT_EQ(options.password(), "");
    options.setPassword("ignored while disabled");
    EXPECT_EQ(options.password(), "");
    options.ok();
    EXPECT_EQ(stored().password, 0);
    EXPECT_EQ(passwordFromStored(stored().passwordText), "old");
}

TEST_F(Options, TheTempFolderMenuChoosesOrClears) {
    OptionsDialog options = dialog();
    EXPECT_FALSE(options.clearToDefaultEnabled());
    host.queueFolder("/var/tmp");
    options.selectNewTempFolder();
    EXPECT_EQ(options.tempFolder(), "/var/tmp/");
    host.queueFolder("/");
    options.selectNewTempFolder();
    EXPECT_EQ(options.tempFolder(), "/");
    EXPECT_EQ(host.folderTitles().front(), "Select Default Temp Folder Location:");
    EXPECT_TRUE(options.clearToDefaultEnabled());
    options.clearTempFolder();
    EXPECT_EQ(options.tempFolder(), "");
    options.setTempFolder("   ");
    EXPECT_FALSE(options.clearToDefaultEnabled());
}

TEST_F(Options, TheReminderComesOnlyWhenTheBoxBecomesTickedWithoutRemDat) {
    config.record().addAllFolders = 1;
    OptionsDialog options = dialog();
    EXPECT_TRUE(options.addAllFolders());
    EXPECT_FALSE(options.setAddAllFolders(true));  // the window binding the loaded state
    EXPECT_FALSE(options.setAddAllFolders(false));
    EXPECT_TRUE(options.setAddAllFolders(true));
    writeFile(home / "Rem.dat", "");
    EXPECT_FALSE(options.setAddAllFolders(false));
    EXPECT_FALSE(options.setAddAllFolders(true));
}

TEST_F(Options, ASaveThatFailsIsReportedAndTheSettingsStayInForce) {
    OptionsDialog options = dialog();
    options.checks().logFile = true;
    // A folder where the record file belongs cannot be written as one.
    ASSERT_EQ(::unlink((home / "Backup.cfg").c_str()), 0);
    makeFolder(home / "Backup.cfg");
    host.expectMessage("Error", Answer::Ok);
    options.ok();
    EXPECT_EQ(config.record().logFile, 1);
    EXPECT_FALSE(options.isOpen());
    EXPECT_FALSE(setSaved);
    ASSERT_EQ(host.messages().size(), 1u);
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Unable to save the Configuration Settings.  They stay in force until Corvane is "
              "closed.\r\n\r\nError #75.  Description:  Path/File access error (Is a "
              "directory).");
}

TEST_F(Options, ThePasswordPromptTrimsOrCancels) {
    PasswordPrompt prompt;
    prompt.setText("  open sesame ");
    prompt.ok();
    EXPECT_EQ(prompt.result(), "open sesame");
    PasswordPrompt cancelled;
    cancelled.setText("typed");
    cancelled.cancel();
    EXPECT_FALSE(cancelled.result().has_value() || cancelled.isOpen());
}

}  // namespace
}  // namespace corvane::test
