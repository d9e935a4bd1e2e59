#pragma once

#include "app/command_gate.h"
#include "app/help_pages.h"
#include "app/main_window_dialogs.h"
#include "app/program.h"
#include "app/window_placement.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The main window's logic: every tool and menu command, the tree's mouse rules and the closing
// step, over the program's state. The window layer turns clicks into calls here and implements
// the dialogs; nothing of this needs a screen.
class CommandDispatcher {
public:
    CommandDispatcher(Program& program, CommandGate& gate, ProgramLauncher& launcher,
                      MainWindowDialogs& dialogs, HelpPages& help);

    // The Busy column: commands that show the busy pointer while their action runs.
    static bool showsBusyPointer(CommandId id);

    // Runs the action of a clicked tool or menu item. A command that is not available now (an
    // operation runs) does nothing.
    void dispatch(CommandId id);
    bool isAvailable(CommandId id) const { return m_gate.isEnabled(id); }
    // How the timed backup list stops and starts the Timed Backups Manager; by default the
    // cvtimer process of the program folder.
    void useManagerControl(ManagerControl& manager) { m_manager = &manager; }

    // The tree view's selection changed to the node with `key` (none: nothing selected).
    void treeSelected(std::optional<std::string> key) {
        m_program.document().set().tree.select(std::move(key));
    }
    // A mouse button pressed on the tree view.
    void treePressed(MouseButton button) { m_lastButton = button; }
    // A click on the tree: updates "ID_ActionsRemove" from the tree and the selection. True when
    // the Actions menu is to be shown as a popup at the pointer (the right button, a tree with
    // nodes).
    bool treeClicked();

    // The window's close request: false while an operation runs (the window stays open).
    bool canClose() const { return !m_gate.operationRunning(); }
    // The closing step: closes the set (asking Yes/No to save), stores the window's placement
    // unless it is minimised, and stores the configuration with the CD capacity of this run.
    void closing(SettingsStore& settings, const Placement& placement, bool minimised);

private:
    void run(CommandId id);
    void newSet();
    void openSet();
    void runWizard();
    void startRestore();
    void loadTimedManager();
    void viewLog(LogKind kind);
    void settings();
    void taskManager();
    void favorites();
    void registry();
    void backup();

    Program& m_program;
    CommandGate& m_gate;
    ProgramLauncher& m_launcher;
    MainWindowDialogs& m_dialogs;
    HelpPages& m_help;
    ManagerControl* m_manager = nullptr;
    MouseButton m_lastButton = MouseButton::Left;
};

}  // namespace corvane
