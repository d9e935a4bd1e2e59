#pragma once

#include "favorites/desktop_link.h"
#include "host/host.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What the main window does once the favourites window has closed.
enum class FavouriteAction : std::int16_t {
    Nothing = 1,
    OpenSet = 2,        // open the chosen set
    OpenAndBackup = 3,  // open it and start a backup of it
};

namespace favorite_texts {
inline constexpr std::string_view kCaption = "Favorites";
inline constexpr std::string_view kIntro =
    "This option allows you to organize you favorite backups and quickly perform backups if you "
    "wish.  Right click on a listed backup set for more options.";
inline constexpr std::string_view kColumn = "Favorite Backup Set Name";
// The context menu; the empty item is a separator.
inline constexpr std::array<std::string_view, 4> kMenu = {"Open Backup Set", "Perform Backup", "",
                                                          "Create Desktop Shortcut"};
inline constexpr int kHelpTopic = 22;
inline constexpr std::string_view kShortcutTitle = "Desktop Shortcut";
inline constexpr std::string_view kShortcutQuestion =
    "Create a Desktop Shortcut for the selected Backup Set?";
inline constexpr std::string_view kShortcutFailedText =
    "Error encountered.  Unable to create the specified Desktop Shortcut.";
}  // namespace favorite_texts

enum class MouseButton { Left = 1, Right = 2 };

// The "Favorites" window: the sets of Favorite.dat whose files still exist, which can be opened
// or backed up from here or put on the desktop as links. The shown rows are written back when
// the window closes, so entries whose set file has gone are dropped from the file.
class FavoritesList {
public:
    FavoritesList(std::string programFolder, Host& host, DesktopPlaces places);

    // Sets the action to Nothing and reads Favorite.dat (creating it empty when missing); a file
    // that cannot be read is reported and then left untouched.
    void load();
    bool loaded() const { return m_loaded; }

    const std::vector<std::string>& rows() const { return m_rows; }
    std::optional<std::size_t> selected() const { return m_selected; }
    bool removeEnabled() const { return m_removeEnabled; }
    // A click on `row` (nullopt: no row) with `button`; true when the context menu is to open.
    bool click(std::optional<std::size_t> row, MouseButton button);

    // Asks for a set file and appends it unless it is listed (ignoring letter case).
    void add();
    void remove();

    // "Open Backup Set" and "Perform Backup": choose the selected set, set the action and ask
    // the window to close.
    void openBackupSet();
    void performBackup();
    // "Create Desktop Shortcut": asks, then links the selected set on the desktop.
    void createDesktopShortcut();

    FavouriteAction action() const { return m_action; }
    // The chosen set's path (trimmed) and file-name part, for the main window's current set.
    const std::string& chosenSetPath() const { return m_chosenPath; }
    std::string chosenSetName() const;
    bool closeRequested() const { return m_closeRequested; }

    // Closing the window: the rows become the file's records in display order.
    void close();

private:
    void choose(FavouriteAction action);

    std::string m_programFolder;
    Host& m_host;
    DesktopPlaces m_places;
    std::vector<std::string> m_rows;
    std::optional<std::size_t> m_selected;
    bool m_loaded = false;
    bool m_removeEnabled = false;
    FavouriteAction m_action = FavouriteAction::Nothing;
    std::string m_chosenPath;
    bool m_closeRequested = false;
    bool m_closed = false;
};

}  // namespace corvane
