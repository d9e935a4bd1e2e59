#pragma once

#include <string>
#include <string_view>

#include "config/set_option_choices.h"
#include "sets/set_document.h"
#include "sets/set_naming.h"

namespace corvane {

// The path of a set file in the program folder's "Backup Sets" folder.
std::string setFilePath(const std::string& programFolder, std::string_view setFileName);

// Asks "Overwrite Backup Set" when the set file already exists; true when the name may be used.
bool confirmSetName(const SetContext& context, std::string_view setFileName);

// "New Backup Set": names a new set, gives it a default location and its options.
//
// OK starts the new set itself: it closes the open set first (which asks to save that set's
// changes with its own options and destination still in place), then stores the options as the
// defaults and gives the new set its destination. The window therefore does not call newSet.
class NewSetDialog {
public:
    static constexpr std::string_view kTitle = "New Backup Set";
    static constexpr std::string_view kIntro =
        "This option allows you to create a new backup set.  All backup sets are saved in the "
        "'Backup Sets' sub folder, under the main Corvane folder on your system.  Select Help "
        "for more information on the Settings portion of this screen.";
    static constexpr std::string_view kSettingsFrame = "Backup Set Settings";
    static constexpr int kHelpTopic = 54;

    explicit NewSetDialog(SetDocument& document);

    SetNamingFields& naming() { return m_naming; }
    const SetNamingFields& naming() const { return m_naming; }
    SetOptionChoices& options() { return m_options; }
    const SetOptionChoices& options() const { return m_options; }

    bool okEnabled() const { return m_naming.complete(); }
    void ok();
    // Leaves chosenSetName empty.
    void cancel() { m_open = false; }
    bool isOpen() const { return m_open; }

    // True once after the overwrite question was answered Cancel: the focus goes to the name.
    bool takeFocusRequest() { return m_focus.take(); }

    // The new set's file name ("Daily.cvt"); empty when the dialog was cancelled.
    const std::string& chosenSetName() const { return m_chosenSetName; }

private:
    SetDocument& m_document;
    SetNamingFields m_naming;
    SetOptionChoices m_options;
    std::string m_chosenSetName;
    bool m_open = true;
    FocusRequest m_focus;
};

}  // namespace corvane
