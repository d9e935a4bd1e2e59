#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sets/set_document.h"

namespace corvane {

// "Open an Existing Backup Set": lists the set files of the "Backup Sets" folder, opens one
// (the window then opens chosenSetName) or deletes one.
class OpenSetDialog {
public:
    static constexpr std::string_view kTitle = "Open an Existing Backup Set";
    static constexpr std::string_view kIntro =
        "This screen allows you to open an existing backup set.  All backup sets that you have "
        "created using Corvane are listed below.  Click on a backup set to select it and click "
        "Open.";
    static constexpr std::string_view kColumn = "Backup Set Name";
    static constexpr std::string_view kOpenCaption = "&Open";
    static constexpr std::string_view kDeleteCaption = "&Delete";
    static constexpr std::string_view kCancelCaption = "&Cancel";

    // Creates the "Backup Sets" folder when it is missing (the list stays empty); otherwise
    // lists every ".cvt" file in the order the folder listing gives (by name) and selects the
    // first.
    explicit OpenSetDialog(SetDocument& document);

    const std::vector<std::string>& entries() const { return m_entries; }
    std::optional<std::size_t> selected() const { return m_selected; }
    void select(std::size_t index);

    bool openEnabled() const { return !m_entries.empty(); }
    bool deleteEnabled() const { return !m_entries.empty(); }

    void open();
    // Asks, then deletes the selected set's file and its entry. A file that cannot be deleted
    // still leaves the list. The dialog stays open.
    void deleteSelected();
    void cancel() { m_open = false; }
    bool isOpen() const { return m_open; }

    // The chosen set's file name ("Daily.cvt"); empty unless "&Open" closed the dialog.
    const std::string& chosenSetName() const { return m_chosenSetName; }

private:
    SetDocument& m_document;
    std::vector<std::string> m_entries;
    std::optional<std::size_t> m_selected;
    std::string m_chosenSetName;
    bool m_open = true;
};

}  // namespace corvane
