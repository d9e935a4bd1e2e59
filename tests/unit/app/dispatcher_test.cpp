// The main window's command table, enabling rules, tree clicks and closing step, through the
// dispatcher with scripted dialogs.
#include "box_check.h"
#include "common/file_io.h"
#include "dispatcher_support.h"

#include <set>

namespace corvane::test {
namespace {

using C = CommandId;

TEST_F(DispatcherFixture, WithNoSetOpenTheSetCommandsAreOffAndTheOthersWork) {
    for (const C id :
         {C::Backup, C::Save, C::Add, C::ActionsBackup, C::ActionsAdd, C::FileSave, C::FileSaveAs,
          C::ActionsDefault, C::ActionsRemove, C::BackupSetProperties, C::OptionsOffsite}) {
        EXPECT_FALSE(shows(id)) << commandKey(id);
    }
    for (const C id : {C::New, C::Open, C::Settings, C::OptionsViewBackupLog, C::HelpAbout}) {
        EXPECT_TRUE(shows(id)) << commandKey(id);
    }
    // A disabled command does nothing even if a click reaches it.
    dispatcher.dispatch(C::Add);
    dispatcher.dispatch(C::Open);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"openSet"});
}

TEST_F(DispatcherFixture, BusyColumnShowsTheBusyPointerAroundDialogs) {
    makeSet("Daily");
    addDataFolder();
    // Only the commands that show no window of their own (or hand over to another program)
    // leave the pointer as it is.
    const std::set<C> quick = {C::Save,       C::FileSave,          C::FileSaveAs,
                               C::FileExit,   C::AddFile,           C::ActionsRemove,
                               C::FileLoad,   C::OptionsTestBackup, C::HelpContents,
                               C::HelpQXHome, C::HelpCVHome};
    for (std::size_t index = 0; index < kCommandCount; ++index) {
        const auto id = static_cast<C>(index);
        EXPECT_EQ(CommandDispatcher::showsBusyPointer(id), !quick.contains(id)) << commandKey(id);
    }
    // Observed: a dialog of a busy command is shown with the pointer busy underneath, and the
    // pointer is back to normal afterwards.
    dispatcher.dispatch(C::AddWildCard);
    dispatcher.dispatch(C::HelpAbout);
    EXPECT_EQ(dialogs.busyWhileShown.back(), 1);
    EXPECT_EQ(host.busyDepth(), 0);
}

TEST_F(DispatcherFixture, TreeClicksDecideRemoveAndTheActionsPopup) {
    // No nodes: nothing changes and no popup.
    dispatcher.treePressed(MouseButton::Right);
    EXPECT_FALSE(dispatcher.treeClicked());

    makeSet("Daily");
    // Only the three categories: the popup shows with Remove disabled.
    dispatcher.treeSelected(std::nullopt);
    dispatcher.treePressed(MouseButton::Right);
    EXPECT_TRUE(dispatcher.treeClicked());
    EXPECT_FALSE(shows(C::ActionsRemove));

    addDataFolder();
    dispatcher.treeSelected(home / "data/");
    dispatcher.treePressed(MouseButton::Left);
    EXPECT_FALSE(dispatcher.treeClicked());
    EXPECT_TRUE(shows(C::ActionsRemove));

    // A category counts as selected; removing it then does nothing.
    dispatcher.treeSelected("Files");
    dispatcher.treePressed(MouseButton::Right);
    EXPECT_TRUE(dispatcher.treeClicked());
    EXPECT_TRUE(shows(C::ActionsRemove));
    dispatcher.dispatch(C::ActionsRemove);
    EXPECT_EQ(program.document().set().tree.count(), 4u);

    dispatcher.treeSelected(std::nullopt);
    dispatcher.treeClicked();
    EXPECT_FALSE(shows(C::ActionsRemove));
}

TEST_F(DispatcherFixture, ClosingAsksOnceAndStoresThePlacementUnlessMinimised) {
    // The question's text and buttons are in SetEditing.ClosingAChangedSetAsksOnceAndSavesOnYes.
    makeSet("Daily");
    addDataFolder();
    MemorySettings settings;
    host.expectMessage("Save", Answer::No);
    dispatcher.closing(settings, {10, 20, 640, 480}, false);
    EXPECT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(settings.values,
              (std::map<std::string, std::string>{
                  {"Left", "10"}, {"Top", "20"}, {"Width", "640"}, {"Height", "480"}}));

    MemorySettings minimised;
    minimised.values["Left"] = "5";
    dispatcher.closing(minimised, {0, 0, 100, 100}, true);
    EXPECT_EQ(minimised.values, (std::map<std::string, std::string>{{"Left", "5"}}));
}

TEST_F(DispatcherFixture, CancelledSettingsStillAskToSaveOnClose) {
    makeSet("Daily");
    dialogs.onOptions = [](OptionsDialog& d) { d.cancel(); };
    dispatcher.dispatch(C::Settings);
    EXPECT_FALSE(program.document().set().saved);
    MemorySettings settings;
    host.expectMessage("Save", Answer::Yes);
    dispatcher.closing(settings, {}, false);
    EXPECT_TRUE(fileExists(home / "Backup Sets/Daily.cvt"));
}

TEST_F(DispatcherFixture, TaskCommandsLeadThroughTheChooserToTheChosenList) {
    struct Case {
        C id;
        std::optional<TaskTypeChooser::Choice> choice;  // none: the chooser is cancelled
        std::vector<std::string> shown;
    };
    using Choice = TaskTypeChooser::Choice;
    const Case cases[] = {
        {C::Tasks, std::nullopt, {"taskType"}},
        {C::OptionsTaskManager, Choice::ScheduleTimedBackups, {"taskType", "timedList"}},
        {C::Tasks, Choice::TrackImportantBackups, {"taskType", "taskList"}},
    };
    for (const Case& c : cases) {
        dialogs.shown.clear();
        dialogs.onTaskType = [&c](TaskTypeChooser& chooser) {
            if (c.choice) chooser.choose(*c.choice);
            return c.choice.has_value();
        };
        dispatcher.dispatch(c.id);
        EXPECT_EQ(dialogs.shown, c.shown);
    }
}

TEST_F(DispatcherFixture, RegistryWindowSaysThisSystemHasNoFilesToBackUp) {
    for (const C id : {C::Registry, C::OptionsRegistry}) {
        host.expectMessage("No Files Found", Answer::Ok);
        bool backupEnabled = true;
        dialogs.onRegistry = [&](RegistryWindow& w) { backupEnabled = w.backupEnabled(); };
        dispatcher.dispatch(id);
        EXPECT_EQ(host.messages().back().text,
                  "No default System Files found to backup.  Unable to perform a Registry Backup "
                  "on this machine.");
        EXPECT_FALSE(backupEnabled);
    }
}

TEST_F(DispatcherFixture, LogViewersOrTheNoLogBoxes) {
    host.expectMessage("No Log", Answer::Ok);
    dispatcher.dispatch(C::OptionsViewBackupLog);
    host.expectMessage("No Log", Answer::Ok);
    dispatcher.dispatch(C::OptionsViewErrorLog);
    ASSERT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(host.messages()[0].text, "There currently is no 'Backup Log' to view.");
    EXPECT_EQ(host.messages()[1].text, "There currently is no 'Error Log' to view.");
    EXPECT_EQ(host.messages()[0].icon, Icon::Information);

    writeFile(home / "error.log", "Timed Backup - Skipped File\nFile Name:   /x");
    std::string shownText;
    dialogs.onLogViewer = [&](LogViewer& v) {
        shownText = v.text();
        EXPECT_EQ(v.title(), "Corvane Error Log");
        v.deleteLog();
        EXPECT_TRUE(v.text().empty());
        v.close();
    };
    dispatcher.dispatch(C::OptionsViewErrorLog);
    EXPECT_EQ(shownText, "Timed Backup - Skipped File\r\nFile Name:   /x\r\n");
    EXPECT_FALSE(fileExists(home / "error.log"));
}

TEST_F(DispatcherFixture, SiblingProgramsStartOrTheirFailureIsShown) {
    dispatcher.dispatch(C::Restore);
    dispatcher.dispatch(C::FileLoad);
    EXPECT_EQ(launcher.started, (std::vector<std::string>{"cvrest", "cvtimer"}));

    launcher.fail = true;
    host.expectMessage("Error Loading", Answer::Ok);
    dispatcher.dispatch(C::FileLoad);
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Error loading the 'Timed Backups Manager' into the system tray.");
    host.expectMessage("Error Loading", Answer::Ok);
    dispatcher.dispatch(C::OptionsRestore);
    EXPECT_EQ(host.messages().back().text,
              "Error loading the restore program (cvrest).\r\n\r\nError:  File not found.");
}

TEST_F(DispatcherFixture, OpenSavesTheChangedSetToItsOwnFileFirst) {
    makeSet("First");
    addDataFolder();
    program.document().saveSet();
    writeFile(home / "Backup Sets/Second.cvt", readFile(home / "Backup Sets/First.cvt"));
    dialogs.onExclusion = [](ExclusionDialog& d) {
        d.setText("*.tmp");
        d.ok();
    };
    dispatcher.dispatch(C::AddExclusion);
    dialogs.onOpenSet = [&](OpenSetDialog& d) {
        ASSERT_EQ(d.entries(), (std::vector<std::string>{"First.cvt", "Second.cvt"}));
        d.select(1);
        d.open();
    };
    // Yes writes the changed set to First.cvt, not to the set being opened.
    host.expectMessage("Save", Answer::Yes);
    dispatcher.dispatch(C::FileOpen);
    EXPECT_EQ(program.document().set().setName, "Second.cvt");
    EXPECT_NE(readFile(home / "Backup Sets/First.cvt").find("\"- *.tmp\""), std::string::npos);
    EXPECT_EQ(readFile(home / "Backup Sets/Second.cvt").find("*.tmp"), std::string::npos);
    EXPECT_TRUE(shows(C::ActionsRemove));

    // Cancelling the open-set dialog changes nothing.
    dialogs.onOpenSet = [](OpenSetDialog& d) { d.cancel(); };
    dispatcher.dispatch(C::Open);
    EXPECT_EQ(program.document().set().setName, "Second.cvt");
}

TEST_F(DispatcherFixture, WizardClosesTheOpenSetFirst) {
    makeSet("Daily");
    addDataFolder();
    host.expectMessage("Save", Answer::No);
    dialogs.onWizard = [&](NewSetWizard& w) {
        // The tree holds only the new set's categories.
        EXPECT_EQ(program.document().set().tree.count(), 3u);
        w.naming().setName("Weekly");
        w.naming().setLocation(home / "out/Weekly.bac");
        w.next();
        w.next();
        w.next();
    };
    dispatcher.dispatch(C::OptionsWizard);
    EXPECT_EQ(program.document().set().setName, "Weekly.cvt");
    EXPECT_TRUE(fileExists(home / "Backup Sets/Weekly.cvt"));
}

}  // namespace
}  // namespace corvane::test
