#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "sets/set_document.h"

namespace corvane {

// A range of a text box's characters, counted in bytes.
struct TextSelection {
    std::size_t start = 0;
    std::size_t length = 0;

    friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

// The selection a box gets with the focus: its text without the surrounding spaces.
TextSelection trimmedTextSelection(std::string_view text);

// A dialog's request that the window put the focus back in a box; taken once.
class FocusRequest {
public:
    void raise() { m_raised = true; }
    bool take() { return std::exchange(m_raised, false); }

private:
    bool m_raised = false;
};

// What the wildcard and exclusion dialogs share: one text box whose OK button is enabled
// exactly while the trimmed text is not empty, Enter in a non-empty box runs OK, and a refused
// entry leaves the dialog open with the focus back in the box.
class EntryDialog {
public:
    virtual ~EntryDialog() = default;
    EntryDialog(const EntryDialog&) = delete;
    EntryDialog& operator=(const EntryDialog&) = delete;

    static constexpr std::string_view kCancelCaption = "&Cancel";
    static constexpr std::string_view kHelpCaption = "&Help";

    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }
    bool okEnabled() const;
    TextSelection focusSelection() const { return trimmedTextSelection(m_text); }

    // Enter in the box: runs OK when the box holds text. True when the key is swallowed.
    bool pressEnter();

    virtual void ok() = 0;
    void cancel() { m_open = false; }
    bool isOpen() const { return m_open; }

    // True once after an action that puts the focus back in the box.
    bool takeFocusRequest() { return m_focus.take(); }

protected:
    explicit EntryDialog(SetDocument& document) : m_document(document) {}

    // True when a node's trimmed text equals `text` (keys and texts are the same).
    bool treeHolds(std::string_view text) const;
    // The exclamation box of a refused duplicate; the dialog stays open.
    void refuseDuplicate(std::string_view title, const std::string& text);
    void close() { m_open = false; }

    SetDocument& m_document;
    std::string m_text;

private:
    bool m_open = true;
    FocusRequest m_focus;
};

// "Add WildCard": every file matching a mask in one folder, entered as an absolute path whose
// last part may hold wildcards.
class WildcardDialog final : public EntryDialog {
public:
    static constexpr std::string_view kTitle = "Add WildCard";
    static constexpr std::string_view kIntro =
        "This option allows you add files to your backup set as a WildCard addition.  This "
        "allows for all files of a certain type to be included in your backup.";
    static constexpr std::string_view kLabel = "WildCard to Add";
    static constexpr std::string_view kExample =
        "(e.g. -->  /My Documents/*.txt  (This would include all .TXT files found in the My "
        "Documents folder.))";
    static constexpr std::string_view kChooseFolderCaption = "Choose Folder";
    static constexpr int kHelpTopic = 19;

    explicit WildcardDialog(SetDocument& document) : EntryDialog(document) {}

    // Puts the chosen root folder, ending in "/", in the box for the user to add the mask.
    void chooseFolder();
    void ok() override;
};

// "Add Exclusion": a file name, a file type pattern, a full path, or a folder followed by "*".
class ExclusionDialog final : public EntryDialog {
public:
    static constexpr std::string_view kTitle = "Add Exclusion";
    static constexpr std::string_view kIntro =
        "This option allows you to exclude files, file types or full folders from the current "
        "opened backup set.";
    static constexpr std::string_view kLabel = "Exclusion to Add";
    static constexpr std::string_view kHint =
        "Enter file name to exclude or file type.  Wildcards are fully supported.  You can also "
        "select a file or folder to exclude by using the appropriate button.";
    static constexpr std::string_view kChooseFileCaption = "Choose File";
    static constexpr std::string_view kChooseFolderCaption = "Choose Folder";
    static constexpr int kHelpTopic = 21;

    explicit ExclusionDialog(SetDocument& document) : EntryDialog(document) {}

    void chooseFile();
    // A chosen folder becomes the folder followed by "/*".
    void chooseFolder();
    // Adds the exclusion and marks the set changed, so closing it asks to save the new entry.
    void ok() override;
};

}  // namespace corvane
