#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvane {

// The one-time "Reminder" about "Always include all found folders", shown while the marker
// file Rem.dat does not exist in the program folder.
class FoldersReminder {
public:
    static constexpr std::string_view kTitle = "Reminder";
    static constexpr std::string_view kNote = "NOTE:";
    static constexpr std::array<std::string_view, 2> kTexts = {
        "This option allows any NEW found folders to be automatically added to your backup.  "
        "This setting is especially effective when you are backing up a folder or folders that "
        "consistently have sub folder changes with new sub folders being added often.",
        "Setting this option for the current backup set will not take into account any removed "
        "sub folders within the set.  Even if a sub folder is removed by you and is not "
        "included in the backup set, it will always be automatically included when the backup "
        "is performed."};
    static constexpr std::string_view kShowAgainCaption = "Show this Screen again";

    explicit FoldersReminder(std::string programFolder);

    static bool shouldShow(const std::string& programFolder);

    // Starts ticked: the reminder keeps coming until the user asks otherwise.
    bool showAgain() const { return m_showAgain; }
    void setShowAgain(bool showAgain) { m_showAgain = showAgain; }

    // OK and the window's close box alike: with "Show this Screen again" cleared, an empty
    // Rem.dat is created so the reminder is not shown again.
    void close();
    bool isOpen() const { return m_open; }

private:
    std::string m_programFolder;
    bool m_showAgain = true;
    bool m_open = true;
};

}  // namespace corvane
