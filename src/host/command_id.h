#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace corvane {

// Every toolbar and menu command of the main window, known by its "ID_..." identifier.
enum class CommandId : std::size_t {
    New,
    Open,
    Save,
    Add,
    Backup,
    Restore,
    Settings,
    Tasks,
    Favorites,
    Wizard,
    Registry,
    File,
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FileLoad,
    FileExit,
    Actions,
    ActionsAdd,
    ActionsRemove,
    ActionsDefault,
    BackupSetProperties,
    ActionsBackup,
    Options,
    OptionsSettings,
    OptionsTaskManager,
    OptionsFavorites,
    OptionsRegistry,
    OptionsWizard,
    OptionsTestBackup,
    OptionsRestore,
    View,
    OptionsViewBackupLog,
    OptionsViewErrorLog,
    Help,
    HelpContents,
    HelpTutorial,
    HelpQXHome,
    HelpCVHome,
    HelpUpdate,
    HelpAbout,
    AddMenu,
    AddFolder,
    AddFile,
    AddWildCard,
    AddExclusion,
    OptionsOffsite,
    Count_
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::Count_);

// The identifier text of a command, such as "ID_FileSaveAs".
std::string_view commandKey(CommandId id);

// The command for an identifier text; nullopt for an unknown one.
std::optional<CommandId> commandFromKey(std::string_view key);

}  // namespace corvane
