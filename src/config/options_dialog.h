#pragma once

#include "config/config_store.h"
#include "host/host.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

// One page of the options dialog: its icon (which selects it), the icon's tip, its intro text
// and the help topic shown while it is visible.
struct OptionsPage {
    std::string_view icon;
    std::string_view tip;
    std::string_view intro;
    int helpTopic;
};

inline constexpr std::array<OptionsPage, 6> kOptionsPages = {{
    {"imgSet", "Backup Set Settings",
     "This option allows you to determine settings for the current backup set and new backup "
     "sets.",
     9},
    {"imgBasic", "Basic Settings",
     "This option allows you to determine some basic settings for Corvane.", 18},
    {"imgRestore", "Restore Settings",
     "This option allows you to determine some restore settings for Corvane.", 8},
    {"imgPassword", "Password Settings",
     "This option allows you to determine if your backup archives have any Password "
     "Protection.",
     41},
    {"imgAdvanced", "Advanced Settings",
     "This option allows you to determine some advanced settings for Corvane.", 46},
    {"imgTesting", "Testing Settings",
     "This option allows you to determine how backup archive testing is to be performed.", 48},
}};

// How backup archives are tested after a backup; stored as TestMode 0, 1 and 2.
enum class TestChoice { Never = 0, Always = 1, Prompt = 2 };

// The "Configuration Settings" dialog: every user-visible field of the ConfigRecord on six
// pages. The controls are loaded from the in-memory record when the dialog opens; the record
// changes only on OK, which also saves it and marks the open set changed.
class OptionsDialog {
public:
    static constexpr std::string_view kTitle = "Configuration Settings";
    static constexpr std::string_view kIconHint =
        "Click the icons on the left hand side to change to that portion of Corvane Settings.";
    static constexpr std::string_view kPasswordLabel =
        "Type in your Password below.  You are allowed up to 30 characters.";
    static constexpr std::string_view kConfirmLabel = "Confirm your Password:";
    static constexpr std::string_view kBrowseTip = "Browse for Location";
    static constexpr std::string_view kSelectNew = "Select New";
    static constexpr std::string_view kClearToDefault = "Clear to Default";
    // The password boxes echo a mask character and take up to 30 bytes, what the record keeps.
    static constexpr bool kPasswordMasked = true;
    static constexpr std::size_t kPasswordMaxLength = 30;

    // Check boxes that carry no rule of their own; the window binds them directly.
    struct Checks {
        bool addNew = false;
        bool freshen = false;
        bool subFolders = false;
        bool shutDown = false;
        bool skipPrompt = false;
        bool promptPreview = false;
        bool restoreOverwrite = false;
        bool systemValidate = false;
        bool newLocationPrompt = false;
        bool logFile = false;
        bool verifyExists = false;
        bool noAskDefault = false;
    };

    // `setSaved` is the open set's Saved flag: its options may change here, so the set counts as
    // changed once the dialog closes, by OK or by Cancel.
    OptionsDialog(ConfigStore& config, Host& host, std::string programFolder, bool& setSaved);

    // Pages are numbered 1 to 6; the selected page's icon carries the border.
    int page() const { return m_page; }
    void selectPage(int page);
    bool iconSelected(int page) const { return page == m_page; }
    int helpTopic() const;

    Checks& checks() { return m_checks; }
    const Checks& checks() const { return m_checks; }

    std::size_t compressionIndex() const { return m_compressionIndex; }
    void selectCompression(std::size_t index);

    bool addAllFolders() const { return m_addAllFolders; }
    // True when the reminder is to be shown now: the box has just become ticked and Rem.dat
    // does not exist. Setting the state it already has (as binding the loaded value does)
    // changes nothing, which keeps loading from showing the reminder.
    [[nodiscard]] bool setAddAllFolders(bool checked);

    bool passwordProtect() const { return m_passwordProtect; }
    // Ticking enables both password boxes; clearing empties and disables them.
    void setPasswordProtect(bool checked);
    bool passwordBoxesEnabled() const { return m_passwordProtect; }
    const std::string& password() const { return m_password; }
    const std::string& confirmation() const { return m_confirmation; }
    void setPassword(std::string_view text);
    void setConfirmation(std::string_view text);

    const std::string& tempFolder() const { return m_tempFolder; }
    void setTempFolder(std::string text) { m_tempFolder = std::move(text); }
    // The browse button's menu: "Clear to Default" is offered while the box holds text.
    bool clearToDefaultEnabled() const;
    void clearTempFolder() { m_tempFolder.clear(); }
    void selectNewTempFolder();

    TestChoice testChoice() const { return m_testChoice; }
    void selectTestChoice(TestChoice choice) { m_testChoice = choice; }

    // Stores every control in the record, checks the password boxes (a failed check switches
    // protection off and closes with a warning), saves the record and closes.
    void ok();
    void cancel() {
        m_setSaved = false;
        m_open = false;
    }
    bool isOpen() const { return m_open; }
    // Where Rem.dat, the reminder's marker, lives.
    const std::string& programFolder() const { return m_programFolder; }

private:
    // The password problem that keeps the boxes from being stored, or empty text.
    std::string passwordProblem() const;
    void saveAndClose();

    ConfigStore& m_config;
    Host& m_host;
    std::string m_programFolder;
    bool& m_setSaved;
    int m_page = 1;
    Checks m_checks;
    std::size_t m_compressionIndex = 0;
    bool m_addAllFolders = false;
    bool m_passwordProtect = false;
    std::string m_password;
    std::string m_confirmation;
    std::string m_tempFolder;
    TestChoice m_testChoice = TestChoice::Prompt;
    bool m_open = true;
};

}  // namespace corvane
