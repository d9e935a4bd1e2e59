#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "config/set_option_choices.h"
#include "sets/folder_picker.h"
#include "sets/set_document.h"
#include "sets/set_naming.h"

namespace corvane {

// One step of the wizard: its title and texts (the step picture is the page number's).
struct WizardPage {
    std::string_view title;
    std::array<std::string_view, 2> texts;  // the second may be empty
};

inline constexpr std::array<WizardPage, 3> kWizardPages = {{
    {"Step #1 - Name Set && Choose Default Location",
     {"The first step in creating a new backup set is to name the backup set and select a "
      "default backup location for the set.",
      ""}},
    {"Step #2 - Add Files/Folders to Backup",
     {"The next step in creating a new backup set is to add the files and or folders you want "
      "to backup in this set.",
      "You will have the option to add more folders and files once you have exited the "
      "Wizard.  You will also be able to remove any files or folders."}},
    {"Step #3 - Define Settings for the Set",
     {"The next step in creating a new backup set is to define any default settings you would "
      "like to use.",
      ""}},
}};

// "Corvane Wizard": builds a complete new set in three steps (name and location, files and
// folders, settings) and saves it on Finish. The window closes the open set before opening it;
// the folders and files of step 2 go straight into the document's tree.
class NewSetWizard {
public:
    static constexpr std::string_view kTitle = "Corvane Wizard";
    static constexpr std::string_view kBackCaption = "<< &Back";
    static constexpr std::string_view kNextCaption = "&Next >>";
    static constexpr std::string_view kFinishCaption = "Finish";
    static constexpr std::string_view kCancelCaption = "&Cancel";
    static constexpr std::string_view kHelpCaption = "&Help";
    static constexpr std::string_view kAddFoldersCaption = "Add F&olders to your Set";
    static constexpr std::string_view kAddFilesCaption = "Add F&iles to your Set";
    static constexpr int kHelpTopic = 55;

    // Shows step 1 with the settings of the configuration record and prepares the tree of a
    // new set.
    explicit NewSetWizard(SetDocument& document);

    int page() const { return m_page; }
    const WizardPage& pageTexts() const { return kWizardPages[static_cast<std::size_t>(m_page - 1)]; }

    bool backEnabled() const { return m_page > 1; }
    // Step 1 lets the user on once the name and the location hold text.
    bool nextEnabled() const { return m_naming.complete(); }
    std::string_view nextCaption() const { return m_page == 3 ? kFinishCaption : kNextCaption; }

    SetNamingFields& naming() { return m_naming; }
    const SetNamingFields& naming() const { return m_naming; }
    SetOptionChoices& options() { return m_options; }
    const SetOptionChoices& options() const { return m_options; }

    // "&Next >>" moves on one step; on the last step it is "Finish".
    void next();
    void back();

    // "Add F&olders to your Set" shows this picker over the wizard.
    FolderPicker folderPicker() { return FolderPicker(m_document); }
    // "Add F&iles to your Set": chosen files not yet listed (ignoring case) join "Files".
    void addFiles() { m_document.addFiles(); }

    // Asks "Exit Wizard"; on OK the tree is emptied (no set is open) and the wizard closes.
    void cancel();
    bool isOpen() const { return m_open; }

    // True once after Finish went back to step 1: the focus goes to the name.
    bool takeFocusRequest() { return m_focus.take(); }

    // The new set's file name ("Daily.cvt") once Finish has saved it; empty otherwise.
    const std::string& chosenSetName() const { return m_chosenSetName; }

private:
    void finish();

    SetDocument& m_document;
    SetNamingFields m_naming;
    SetOptionChoices m_options;
    int m_page = 1;
    std::string m_chosenSetName;
    bool m_open = true;
    FocusRequest m_focus;
};

}  // namespace corvane
