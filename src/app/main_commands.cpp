#include "app/main_commands.h"

#include <array>
#include <cctype>

namespace corvane {

namespace {

using C = CommandId;

constexpr std::array<MenuEntry, 9> kFileMenu = {{
    {C::FileNew, "&New Backup Set..."},
    {C::FileOpen, "&Open Backup Set..."},
    kSeparator,
    {C::FileSave, "&Save"},
    {C::FileSaveAs, "Save As..."},
    kSeparator,
    {C::FileLoad, "&Load Timed Backups Manager"},
    kSeparator,
    {C::FileExit, "E&xit Corvane"},
}};

constexpr std::array<MenuEntry, 7> kActionsMenu = {{
    {C::ActionsAdd, "&Add to Backup Set..."},
    {C::ActionsRemove, "&Remove Selected Item"},
    kSeparator,
    {C::ActionsDefault, "&Default Location..."},
    {C::BackupSetProperties, "Backup Set &Properties..."},
    kSeparator,
    {C::ActionsBackup, "&Backup..."},
}};

constexpr std::array<MenuEntry, 11> kOptionsMenu = {{
    {C::OptionsSettings, "&Settings..."},
    {C::OptionsOffsite, "Off-site &Copy..."},
    {C::OptionsTaskManager, "&Task Manager..."},
    {C::OptionsFavorites, "&Favorites..."},
    kSeparator,
    {C::OptionsRegistry, "R&egistry Backup..."},
    {C::OptionsWizard, "Backup &Wizard..."},
    kSeparator,
    {C::OptionsTestBackup, "Te&st Backup"},
    kSeparator,
    {C::OptionsRestore, "&Restore Backup Archive..."},
}};

constexpr std::array<MenuEntry, 3> kViewMenu = {{
    {C::OptionsViewBackupLog, "View &Backup Log..."},
    kSeparator,
    {C::OptionsViewErrorLog, "View &Error Log..."},
}};

constexpr std::array<MenuEntry, 9> kHelpMenu = {{
    {C::HelpContents, "&Contents"},
    {C::HelpTutorial, "Online &Tutorial..."},
    kSeparator,
    {C::HelpQXHome, "Corvane &Project Web Site"},
    {C::HelpCVHome, "&Corvane Home Page"},
    kSeparator,
    {C::HelpUpdate, "&Check for Product Update..."},
    kSeparator,
    {C::HelpAbout, "&About Corvane..."},
}};

constexpr std::array<MainMenu, 5> kMenus = {{
    {C::File, "&File", kFileMenu},
    {C::Actions, "&Actions", kActionsMenu},
    {C::Options, "&Options", kOptionsMenu},
    {C::View, "&View", kViewMenu},
    {C::Help, "&Help", kHelpMenu},
}};

constexpr std::array<MenuEntry, 4> kAddMenu = {{
    {C::AddFolder, "Folder(s)"},
    {C::AddFile, "File(s)"},
    {C::AddWildCard, "WildCard"},
    {C::AddExclusion, "Exclusion"},
}};

constexpr std::array<MenuEntry, 14> kToolbar = {{
    {C::New, "New"},
    {C::Open, "Open"},
    {C::Save, "Save"},
    kSeparator,
    {C::Add, "Add"},
    {C::Backup, "Backup"},
    {C::Restore, "Restore"},
    kSeparator,
    {C::Settings, "Settings"},
    {C::Tasks, "Tasks"},
    kSeparator,
    {C::Favorites, "Favorites"},
    {C::Wizard, "Wizard"},
    {C::Registry, "Registry"},
}};

struct Described {
    CommandId id;
    std::string_view text;
};

constexpr std::array<Described, 11> kDescriptions = {{
    {C::New, "New Backup Set"},
    {C::Open, "Open Backup Set"},
    {C::Save, "Save Backup Set"},
    {C::Add, "Add to Backup Set"},
    {C::Backup, "Backup Now"},
    {C::Restore, "Restore Backup Archive"},
    {C::Settings, "Settings"},
    {C::Tasks, "Task Manager"},
    {C::Favorites, "Favorites"},
    {C::Wizard, "Backup Wizard"},
    {C::Registry, "Registry Backup"},
}};

constexpr std::array<Described, 27> kIcons = {{
    {C::New, "document-new"},
    {C::FileNew, "document-new"},
    {C::Open, "document-open"},
    {C::FileOpen, "document-open"},
    {C::Save, "document-save"},
    {C::FileSave, "document-save"},
    {C::Add, "list-add"},
    {C::ActionsAdd, "list-add"},
    {C::Backup, "media-floppy"},
    {C::ActionsBackup, "media-floppy"},
    {C::Restore, "document-revert"},
    {C::OptionsRestore, "document-revert"},
    {C::Settings, "preferences-system"},
    {C::OptionsSettings, "preferences-system"},
    {C::OptionsOffsite, "network-server"},
    {C::Tasks, "x-office-calendar"},
    {C::OptionsTaskManager, "x-office-calendar"},
    {C::Favorites, "emblem-favorite"},
    {C::OptionsFavorites, "emblem-favorite"},
    {C::Wizard, "system-run"},
    {C::OptionsWizard, "system-run"},
    {C::Registry, "drive-harddisk"},
    {C::OptionsRegistry, "drive-harddisk"},
    {C::FileLoad, "appointment-new"},
    {C::ActionsRemove, "list-remove"},
    {C::HelpContents, "help-contents"},
    {C::HelpTutorial, "help-browser"},
}};

template <typename Table>
std::string_view lookUp(const Table& table, CommandId id) {
    for (const auto& row : table) {
        if (row.id == id) return row.text;
    }
    return {};
}

std::string_view captionIn(std::span<const MenuEntry> entries, CommandId id) {
    for (const MenuEntry& entry : entries) {
        if (entry.id == id) return entry.caption;
    }
    return {};
}

}  // namespace

std::span<const MainMenu> mainMenus() {
    return kMenus;
}
std::span<const MenuEntry> addMenuEntries() {
    return kAddMenu;
}
std::span<const MenuEntry> toolbarEntries() {
    return kToolbar;
}
std::string_view toolDescription(CommandId id) {
    return lookUp(kDescriptions, id);
}
std::string_view commandIconName(CommandId id) {
    return lookUp(kIcons, id);
}

std::string_view commandCaption(CommandId id) {
    for (const MainMenu& menu : kMenus) {
        if (menu.id == id) return menu.caption;
        if (const auto caption = captionIn(menu.entries, id); !caption.empty()) return caption;
    }
    if (const auto caption = captionIn(kAddMenu, id); !caption.empty()) return caption;
    return captionIn(kToolbar, id);
}

std::string plainCaption(std::string_view caption) {
    std::string plain;
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] == '&') {
            if (at + 1 < caption.size() && caption[at + 1] == '&') plain += '&';
            ++at;
            if (at < caption.size() && caption[at] != '&') plain += caption[at];
            continue;
        }
        plain += caption[at];
    }
    return plain;
}

char accessKey(std::string_view caption) {
    for (std::size_t at = 0; at + 1 < caption.size(); ++at) {
        if (caption[at] != '&') continue;
        if (caption[at + 1] == '&') {
            ++at;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[at + 1])));
    }
    return 0;
}

}  // namespace corvane
