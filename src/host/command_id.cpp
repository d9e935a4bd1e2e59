#include "host/command_id.h"

namespace corvane {

namespace {

constexpr std::array<std::string_view, kCommandCount> kKeys = {
    "ID_New",
    "ID_Open",
    "ID_Save",
    "ID_Add",
    "ID_Backup",
    "ID_Restore",
    "ID_Settings",
    "ID_Tasks",
    "ID_Favorites",
    "ID_Wizard",
    "ID_Registry",
    "ID_File",
    "ID_FileNew",
    "ID_FileOpen",
    "ID_FileSave",
    "ID_FileSaveAs",
    "ID_FileLoad",
    "ID_FileExit",
    "ID_Actions",
    "ID_ActionsAdd",
    "ID_ActionsRemove",
    "ID_ActionsDefault",
    "ID_BackupSetProperties",
    "ID_ActionsBackup",
    "ID_Options",
    "ID_OptionsSettings",
    "ID_OptionsTaskManager",
    "ID_OptionsFavorites",
    "ID_OptionsRegistry",
    "ID_OptionsWizard",
    "ID_OptionsTestBackup",
    "ID_OptionsRestore",
    "ID_View",
    "ID_OptionsViewBackupLog",
    "ID_OptionsViewErrorLog",
    "ID_Help",
    "ID_HelpContents",
    "ID_HelpTutorial",
    "ID_HelpQXHome",
    "ID_HelpCVHome",
    "ID_HelpUpdate",
    "ID_HelpAbout",
    "ID_AddMenu",
    "ID_AddFolder",
    "ID_AddFile",
    "ID_AddWildCard",
    "ID_AddExclusion",
    "ID_OptionsOffsite",
};

}  // namespace

std::string_view commandKey(CommandId id) {
    return kKeys[static_cast<std::size_t>(id)];
}

std::optional<CommandId> commandFromKey(std::string_view key) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i] == key) return static_cast<CommandId>(i);
    }
    return std::nullopt;
}

}  // namespace corvane
