#include "app/command_dispatcher.h"

#include "app/product_info.h"
#include "common/text.h"

#include <optional>

namespace corvane {

namespace {

using C = CommandId;

// The commands that run an operation with the main window still open to input: a backup, a
// test, or an open (which may walk folders). No second operation may start meanwhile.
bool isOperation(CommandId id) {
    switch (id) {
        case C::Open:
        case C::FileOpen:
        case C::Backup:
        case C::ActionsBackup:
        case C::OptionsTestBackup:
        case C::Favorites:
        case C::OptionsFavorites:
            return true;
        default:
            return false;
    }
}

}  // namespace

CommandDispatcher::CommandDispatcher(Program& program, CommandGate& gate, ProgramLauncher& launcher,
                                     MainWindowDialogs& dialogs, HelpPages& help)
    : m_program(program), m_gate(gate), m_launcher(launcher), m_dialogs(dialogs), m_help(help) {}

bool CommandDispatcher::showsBusyPointer(CommandId id) {
    switch (id) {
        case C::Save:
        case C::FileSave:
        case C::FileSaveAs:
        case C::FileExit:
        case C::AddFile:
        case C::ActionsRemove:
        case C::FileLoad:
        case C::OptionsTestBackup:
        case C::HelpContents:
        case C::HelpQXHome:
        case C::HelpCVHome:
            return false;
        default:
            return true;
    }
}

void CommandDispatcher::dispatch(CommandId id) {
    if (!isAvailable(id)) return;
    std::optional<OperationScope> operation;
    if (isOperation(id)) operation.emplace(m_gate);
    std::optional<BusyPointer> busy;
    if (showsBusyPointer(id)) busy.emplace(m_gate);
    run(id);
}

void CommandDispatcher::run(CommandId id) {
    SetDocument& document = m_program.document();
    switch (id) {
        case C::New:
        case C::FileNew:
            return newSet();
        case C::Open:
        case C::FileOpen:
            return openSet();
        case C::Save:
        case C::FileSave:
            document.set().opening = false;
            document.saveSet();
            return;
        case C::FileSaveAs:
            return document.saveSetAs();
        case C::Wizard:
        case C::OptionsWizard:
            return runWizard();
        case C::HelpAbout:
            return m_dialogs.about();
        case C::FileExit:
            return m_dialogs.closeMainWindow();
        case C::Restore:
        case C::OptionsRestore:
            return startRestore();
        case C::Add:
        case C::AddFolder: {
            FolderPicker picker(document);
            return m_dialogs.folderPicker(picker);
        }
        case C::AddFile:
            return document.addFiles();
        case C::AddWildCard: {
            WildcardDialog dialog(document);
            return m_dialogs.wildcard(dialog);
        }
        case C::AddExclusion: {
            ExclusionDialog dialog(document);
            return m_dialogs.exclusion(dialog);
        }
        case C::ActionsDefault: {
            DefaultLocationDialog dialog(document);
            return m_dialogs.defaultLocation(dialog);
        }
        case C::ActionsRemove:
            return document.removeSelectedItem();
        case C::BackupSetProperties: {
            SetStatistics statistics(document);
            return m_dialogs.statistics(statistics);
        }
        case C::FileLoad:
            return loadTimedManager();
        case C::OptionsTestBackup:
            return m_program.runner().testChosenArchive();
        case C::HelpUpdate:
            return m_dialogs.productUpdate();
        case C::HelpContents:
            return m_help.open(HelpPages::kContents);
        case C::HelpTutorial:
            return m_dialogs.tutorial();
        case C::HelpQXHome:
            return m_help.openAddress(std::string(product::kMakerAddress));
        case C::HelpCVHome:
            return m_help.openAddress(std::string(product::kProductAddress));
        case C::OptionsViewBackupLog:
            return viewLog(LogKind::Backup);
        case C::OptionsViewErrorLog:
            return viewLog(LogKind::Error);
        case C::Tasks:
        case C::OptionsTaskManager:
            if (!m_dialogs.taskManager()) notAvailable("Task Manager");
            return;
        case C::Settings:
        case C::OptionsSettings:
            return settings();
        case C::OptionsOffsite: {
            OffsiteDialog dialog(m_gate, m_program.programFolder(),
                                 m_program.document().set().setPath);
            if (dialog.load() && !m_dialogs.offsite(dialog)) notAvailable("Off-site Copy");
            return;
        }
        case C::Registry:
        case C::OptionsRegistry:
            if (!m_dialogs.registry()) notAvailable("Registry Backup");
            return;
        case C::Favorites:
        case C::OptionsFavorites:
            return favorites();
        case C::Backup:
        case C::ActionsBackup:
            return backup();
        default:
            // The menus, the Add popup and "ID_ActionsAdd" act only through their items.
            return;
    }
}

void CommandDispatcher::newSet() {
    // The dialog's OK starts the new set itself, once the open one has been closed.
    NewSetDialog dialog(m_program.document());
    m_dialogs.newSet(dialog);
}

void CommandDispatcher::openSet() {
    OpenSetDialog dialog(m_program.document());
    m_dialogs.openSet(dialog);
    const std::string name = trim(dialog.chosenSetName());
    if (name.empty()) return;
    m_program.document().openSetAt(m_program.programFolder() + "Backup Sets/" + name, name);
}

void CommandDispatcher::runWizard() {
    m_program.document().closeSet();
    NewSetWizard wizard(m_program.document());
    m_dialogs.wizard(wizard);
}

void CommandDispatcher::startRestore() {
    const Status started = m_launcher.start("cvrest", {});
    if (started) return;
    m_gate.message(Icon::Exclamation, Buttons::Ok, "Error Loading",
                   "Error loading the restore program (cvrest).\r\n\r\nError:  " +
                       started.error().description + ".");
}

void CommandDispatcher::loadTimedManager() {
    if (m_launcher.start("cvtimer", {"--headless"})) return;
    m_gate.message(Icon::Exclamation, Buttons::Ok, "Error Loading",
                   "Error loading the 'Timed Backups Manager' into the system tray.");
}

void CommandDispatcher::viewLog(LogKind kind) {
    const std::string path = LogViewer::logPath(m_program.programFolder(), kind);
    if (!m_program.document().context().fileSystem.exists(path)) {
        m_gate.message(Icon::Information, Buttons::Ok, "No Log",
                       kind == LogKind::Backup ? "There currently is no 'Backup Log' to view."
                                               : "There currently is no 'Error Log' to view.");
        return;
    }
    LogViewer viewer(m_program.programFolder(), kind, m_gate);
    m_dialogs.logViewer(viewer);
}

void CommandDispatcher::settings() {
    BackupSet& set = m_program.document().set();
    OptionsDialog dialog(m_program.config(), m_gate, m_program.programFolder(), set.saved);
    if (!m_dialogs.options(dialog)) {
        notAvailable("Settings");
        return;
    }
    // The options may have changed the set's own: the next close asks to save, whatever the
    // user did in the dialog.
    set.saved = false;
}

void CommandDispatcher::favorites() {
    FavoritesList list(m_program.programFolder(), m_gate, locateDesktopPlaces());
    if (!m_dialogs.favorites(list)) {
        notAvailable("Favorites");
        return;
    }
    const FavouriteAction action = list.action();
    if (action != FavouriteAction::OpenSet && action != FavouriteAction::OpenAndBackup) return;
    m_program.document().openSetAt(list.chosenSetPath(), list.chosenSetName());
    if (action != FavouriteAction::OpenAndBackup) return;
    if (m_program.commands().isEnabled(C::ActionsBackup)) {
        backup();
        return;
    }
    m_gate.message(Icon::Information, Buttons::Ok, "Unable to Perform",
                   "Backup set does not contain anything to backup.  Unable to perform backup "
                   "operation.");
}

void CommandDispatcher::backup() {
    BackupTypeDialog dialog(m_program.config().record().cdCapacity);
    if (!m_dialogs.backupType(dialog)) return;
    const BackupChoice choice = dialog.start();
    if (choice.style == BackupStyle::CdMultipleDisks) {
        m_program.chosenCdCapacity() = choice.capacityText;
        const SetContext& context = m_program.document().context();
        if (CdReminderDialog::shouldShow(context.fileSystem, m_program.programFolder())) {
            CdReminderDialog reminder(m_program.programFolder());
            m_dialogs.cdReminder(reminder);
        }
    }
    m_program.runner().runInteractive(choice);
}

void CommandDispatcher::notAvailable(std::string_view window) {
    m_gate.message(Icon::Information, Buttons::Ok, "Not Available",
                   "The '" + std::string(window) +
                       "' window is not available in this version of Corvane yet.");
}

bool CommandDispatcher::treeClicked() {
    const SetTree& tree = m_program.document().set().tree;
    if (tree.empty()) return false;
    CommandState& commands = m_program.commands();
    commands.enable(C::ActionsRemove, false);
    // A category node counts as selected here; removing it then does nothing.
    if (tree.count() >= 4 && tree.selected() && tree.contains(*tree.selected())) {
        commands.enable(C::ActionsRemove, true);
    }
    return m_lastButton == MouseButton::Right;
}

void CommandDispatcher::closing(SettingsStore& settings, const Placement& placement,
                                bool minimised) {
    storePlacement(settings, placement, minimised);
    m_program.close();
}

}  // namespace corvane
