#pragma once

#include "app/command_dispatcher.h"
#include "fake_component.h"
#include "recorders.h"
#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corvane::test {

// The dialogs as scripts: each window shown is recorded by name, and the test's script for it
// (if any) acts on its model.
class ScriptedDialogs final : public MainWindowDialogs {
public:
    std::vector<std::string> shown;
    std::function<void(NewSetDialog&)> onNewSet;
    std::function<void(OpenSetDialog&)> onOpenSet;
    std::function<void(NewSetWizard&)> onWizard;
    std::function<void(FolderPicker&)> onFolderPicker;
    std::function<void(WildcardDialog&)> onWildcard;
    std::function<void(ExclusionDialog&)> onExclusion;
    std::function<void(DefaultLocationDialog&)> onDefaultLocation;
    std::function<void(SetStatistics&)> onStatistics;
    std::function<bool(BackupTypeDialog&)> onBackupType;
    std::function<void(CdReminderDialog&)> onCdReminder;
    std::function<void(LogViewer&)> onLogViewer;
    std::function<void(OptionsDialog&)> onOptions;
    std::function<void(FavoritesList&)> onFavorites;
    std::function<bool(TaskTypeChooser&)> onTaskType;
    std::function<void(TimedList&)> onTimedList;
    std::function<void(TaskList&)> onTaskList;
    std::function<void(RegistryWindow&)> onRegistry;
    std::function<void(OffsiteDialog&)> onOffsite;
    // What the host's busy pointer was while each window was shown.
    std::vector<int> busyWhileShown;
    ScriptedHost* host = nullptr;

    void newSet(NewSetDialog& d) override { show("newSet", onNewSet, d); }
    void openSet(OpenSetDialog& d) override { show("openSet", onOpenSet, d); }
    void wizard(NewSetWizard& d) override { show("wizard", onWizard, d); }
    void folderPicker(FolderPicker& d) override { show("folderPicker", onFolderPicker, d); }
    void wildcard(WildcardDialog& d) override { show("wildcard", onWildcard, d); }
    void exclusion(ExclusionDialog& d) override { show("exclusion", onExclusion, d); }
    void defaultLocation(DefaultLocationDialog& d) override {
        show("defaultLocation", onDefaultLocation, d);
    }
    void statistics(SetStatistics& d) override { show("statistics", onStatistics, d); }
    bool backupType(BackupTypeDialog& d) override {
        record("backupType");
        return onBackupType ? onBackupType(d) : false;
    }
    void cdReminder(CdReminderDialog& d) override { show("cdReminder", onCdReminder, d); }
    void logViewer(LogViewer& d) override { show("logViewer", onLogViewer, d); }
    void about() override { record("about"); }
    void productUpdate() override { record("productUpdate"); }
    void tutorial() override { record("tutorial"); }
    void options(OptionsDialog& d) override { show("options", onOptions, d); }
    bool taskType(TaskTypeChooser& d) override {
        record("taskType");
        return onTaskType ? onTaskType(d) : false;
    }
    void timedList(TimedList& d) override { show("timedList", onTimedList, d); }
    void taskList(TaskList& d) override { show("taskList", onTaskList, d); }
    void favorites(FavoritesList& d) override { show("favorites", onFavorites, d); }
    void registry(RegistryWindow& d) override { show("registry", onRegistry, d); }
    void offsite(OffsiteDialog& d) override { show("offsite", onOffsite, d); }
    void closeMainWindow() override { record("closeMainWindow"); }

private:
    void record(const std::string& name) {
        shown.push_back(name);
        busyWhileShown.push_back(host != nullptr ? host->busyDepth() : 0);
    }
    template <typename Model>
    void show(const std::string& name, const std::function<void(Model&)>& script, Model& model) {
        record(name);
        if (script) script(model);
    }
};

// A program after its interactive start, with the main window's dispatcher over scripted
// dialogs, a fake archive component and a recording launcher.
class DispatcherFixture : public ::testing::Test {
protected:
    DispatcherFixture()
        : clock(fromLocal({2026, 12, 4, 10, 30, 0})),
          program(home.path(), {gate, clock, fileSystem, drives, component, launcher}),
          help(home / "help/", gate, opener),
          dispatcher(program, gate, launcher, dialogs, help) {
        dialogs.host = &host;
        program.load("");
        makeFolder(home / "data");
        writeFile(home / "data/a.txt", "alpha");
    }

    void TearDown() override { host.checkScriptFinished(); }

    // A new set named `name` with its archive in home/out, through the new-set dialog.
    void makeSet(const std::string& name) {
        dialogs.onNewSet = [&](NewSetDialog& d) {
            d.naming().setName(name);
            d.naming().setLocation(home / ("out/" + name + ".bac"));
            d.ok();
        };
        dispatcher.dispatch(CommandId::New);
        dialogs.onNewSet = nullptr;
    }
    void addDataFolder() {
        dialogs.onFolderPicker = [&](FolderPicker& p) {
            p.selectFolder(home / "data");
            p.addSelectedFolder();
            p.close();
        };
        dispatcher.dispatch(CommandId::AddFolder);
        dialogs.onFolderPicker = nullptr;
    }
    bool shows(CommandId id) const { return host.commandEnabled(id).value_or(true); }

    TempFolder home;
    ScriptedHost host;
    CommandGate gate{host};
    ManualClock clock;
    RealFileSystem fileSystem;
    FakeDrives drives;
    FakeComponent component;
    RecordingLauncher launcher;
    Program program;
    RecordingOpener opener;
    HelpPages help;
    ScriptedDialogs dialogs;
    CommandDispatcher dispatcher;
};

}  // namespace corvane::test
