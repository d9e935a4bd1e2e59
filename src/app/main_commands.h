#pragma once

#include "host/command_id.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// One entry of a menu or of the toolbar: a command, or a separator (no command).
struct MenuEntry {
    std::optional<CommandId> id;
    std::string_view caption;  // "&" marks the access key; empty for a separator
};

inline constexpr MenuEntry kSeparator{std::nullopt, ""};

// One menu of the menu bar: its own command ("ID_File"), caption and entries in order.
struct MainMenu {
    CommandId id;
    std::string_view caption;
    std::span<const MenuEntry> entries;
};

// The menu bar, left to right.
std::span<const MainMenu> mainMenus();

// The Add popup ("ID_AddMenu"): the drop-down of the Add tool and the submenu of
// "ID_ActionsAdd".
std::span<const MenuEntry> addMenuEntries();

// The toolbar, left to right; captions are the short texts under the pictures.
std::span<const MenuEntry> toolbarEntries();

// The description of a toolbar tool, shown as its tooltip; empty for other commands.
std::string_view toolDescription(CommandId id);

// The caption of a command wherever it appears (menu item, tool or popup entry); empty for a
// command without one.
std::string_view commandCaption(CommandId id);

// The picture of a command in the desktop's icon theme (freedesktop names); empty when the
// command has no picture.
std::string_view commandIconName(CommandId id);

// A caption without its access-key markers ("&Open" -> "Open", "Name && Place" -> "Name &
// Place"), as assistive technology reads it.
std::string plainCaption(std::string_view caption);

// The access key of a caption in upper case ("E&xit" -> 'X'); 0 when it has none.
char accessKey(std::string_view caption);

}  // namespace corvane
