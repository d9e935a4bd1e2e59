// The new-set wizard: its steps and buttons, Finish and Cancel. Step 2 hands over to the
// document's own adding, tested with it.
#include "box_check.h"
#include "sets/new_set_wizard.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

class Wizard : public SetFixture {
protected:
    // The main window closes the open set before it opens the wizard.
    Wizard() { document.closeSet(); }

    // Fills step 1 and moves on to `page`.
    void fillAndGoTo(NewSetWizard& wizard, int page) {
        wizard.naming().setName("Docs");
        wizard.naming().setLocation("/backups/Docs.bac");
        while (wizard.page() < page) wizard.next();
    }
};

// The wizard opens on step 1 with the record's settings and a fresh tree, and moves on only
// once step 1 is complete; Next and Back then walk the steps, swapping the caption.
TEST_F(Wizard, WalksItsStepsFromACompleteStepOne) {
    config.record().compression = 0;
    config.record().freshen = 1;
    NewSetWizard wizard(document);
    EXPECT_EQ(wizard.options().compressionIndex, 3u);
    EXPECT_TRUE(wizard.options().freshen);
    EXPECT_EQ(treeOutline(), withCategories({}));
    EXPECT_FALSE(wizard.nextEnabled());
    wizard.next();
    EXPECT_EQ(wizard.pageTexts().title, "Step #1 - Name Set && Choose Default Location");
    fillAndGoTo(wizard, 1);
    struct Step {
        bool forward;
        int page;
        bool backEnabled;
        std::string_view caption;
    };
    for (const Step& step : {Step{false, 1, false, "&Next >>"}, Step{true, 2, true, "&Next >>"},
                             Step{true, 3, true, "Finish"}, Step{false, 2, true, "&Next >>"},
                             Step{false, 1, false, "&Next >>"}}) {
        step.forward ? wizard.next() : wizard.back();
        EXPECT_EQ(wizard.page(), step.page);
        EXPECT_EQ(wizard.backEnabled(), step.backEnabled) << step.page;
        EXPECT_EQ(wizard.nextCaption(), step.caption) << step.page;
    }
    EXPECT_TRUE(wizard.isOpen());
}

TEST_F(Wizard, FinishSavesTheSetAndEnablesItsCommands) {
    NewSetWizard wizard(document);
    fillAndGoTo(wizard, 2);
    host.queueOpenFiles({"/docs/a.txt"});
    wizard.addFiles();
    wizard.next();
    wizard.options() = {1, false, true, false};
    wizard.next();

    EXPECT_FALSE(wizard.isOpen());
    EXPECT_EQ(wizard.chosenSetName(), "Docs.cvt");
    const BackupSet& set = document.set();
    EXPECT_EQ(set.setName, "Docs.cvt");
    EXPECT_EQ(set.setPath, home / "Backup Sets/Docs.cvt");
    EXPECT_EQ(set.defaultLocation, "/backups/Docs.bac");
    EXPECT_TRUE(set.saved);
    EXPECT_EQ(host.statusText(), "Docs.cvt");
    for (CommandId id : {CommandId::Add, CommandId::ActionsAdd, CommandId::FileSave,
                         CommandId::FileSaveAs, CommandId::Save, CommandId::ActionsDefault,
                         CommandId::ActionsRemove, CommandId::ActionsBackup, CommandId::Backup,
                         CommandId::BackupSetProperties}) {
        EXPECT_TRUE(enabled(id)) << commandKey(id);
    }
    const std::string file = readFile(home / "Backup Sets/Docs.cvt");
    for (const auto* line : {"\"CompressionStyle=9\"", "\"BackupFreshen=1\"",
                             "\"DefaultLocation=/backups/Docs.bac\"", "\"/docs/a.txt\""}) {
        EXPECT_NE(file.find(line), std::string::npos) << line;
    }
    ConfigStore stored(home.path());
    stored.reload();
    EXPECT_EQ(stored.record().compression, 9);
}

TEST_F(Wizard, FinishOverAnExistingSetAsksAndCanGoBackToStepOne) {
    writeFile(home / "Backup Sets/Docs.cvt", "old");
    NewSetWizard wizard(document);
    fillAndGoTo(wizard, 3);
    host.expectMessage("Overwrite Backup Set", Answer::Cancel);
    wizard.next();
    EXPECT_EQ(wizard.page(), 1);
    EXPECT_FALSE(wizard.backEnabled());
    EXPECT_EQ(wizard.nextCaption(), "&Next >>");
    EXPECT_TRUE(wizard.takeFocusRequest());
    EXPECT_EQ(readFile(home / "Backup Sets/Docs.cvt"), "old");

    fillAndGoTo(wizard, 3);
    // An empty set is saved without the commands that need content.
    host.expectMessage("Overwrite Backup Set", Answer::Ok);
    wizard.next();
    EXPECT_FALSE(wizard.isOpen());
    EXPECT_NE(readFile(home / "Backup Sets/Docs.cvt"), "old");
    EXPECT_TRUE(enabled(CommandId::FileSave));
    EXPECT_FALSE(enabled(CommandId::ActionsRemove) || enabled(CommandId::Backup));
}

TEST_F(Wizard, CancelAsksAndThenEmptiesTheTree) {
    NewSetWizard wizard(document);
    fillAndGoTo(wizard, 2);
    host.queueOpenFiles({"/docs/a.txt"});
    wizard.addFiles();
    ASSERT_TRUE(enabled(CommandId::Backup));

    host.expectMessage("Exit Wizard", Answer::Cancel);
    wizard.cancel();
    EXPECT_TRUE(wizard.isOpen());
    EXPECT_EQ(document.set().tree.count(), 4u);
    expectBox(host.messages().back(), Icon::Question, Buttons::OkCancel,
              "Are you sure you wish to exit the Wizard without saving?");

    host.expectMessage("Exit Wizard", Answer::Ok);
    wizard.cancel();
    EXPECT_FALSE(wizard.isOpen());
    EXPECT_TRUE(document.set().tree.empty());
    EXPECT_FALSE(enabled(CommandId::Backup));
    EXPECT_FALSE(fileExists(home / "Backup Sets/Docs.cvt"));
    EXPECT_EQ(wizard.chosenSetName(), "");
}

}  // namespace
}  // namespace corvane::test
