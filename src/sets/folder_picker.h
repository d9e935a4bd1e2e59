#pragma once

#include <string>
#include <string_view>

#include "sets/set_document.h"

namespace corvane {

// "Add Folder(s)": the user moves through a folder tree and adds as many folders as wished,
// each through the document's addFolder (its duplicate rule and the SubFolders option apply).
class FolderPicker {
public:
    static constexpr std::string_view kTitle = "Add Folder(s)";
    static constexpr std::string_view kIntro =
        "Select a folder to add to your backup set by moving to that folder, clicking it and "
        "then using the Add Selected Folder button.  You can add as many folders as you wish.  "
        "Use the Close button to exit this screen.";
    static constexpr std::string_view kAddCaption = "&Add Selected Folder";
    static constexpr std::string_view kCloseCaption = "&Close";
    static constexpr std::string_view kHelpCaption = "&Help";
    // The picker has no help page of its own: the window keeps "&Help" disabled.
    static constexpr int kHelpTopic = 0;

    explicit FolderPicker(SetDocument& document) : m_document(document) {}

    // The folder tree's selection changed to `path`. A real folder (an absolute path) is
    // remembered and can be added; a virtual place of the tree (no absolute path) cannot.
    void selectFolder(std::string path);

    bool addEnabled() const { return m_idle && m_selectionIsFolder; }
    // "&Close" and "&Help" are disabled, like "&Add Selected Folder", while a folder is added.
    bool closeEnabled() const { return m_idle; }

    void addSelectedFolder();
    void close() { m_open = false; }
    bool isOpen() const { return m_open; }

private:
    SetDocument& m_document;
    std::string m_remembered;
    bool m_selectionIsFolder = false;
    bool m_idle = true;
    bool m_open = true;
};

}  // namespace corvane
