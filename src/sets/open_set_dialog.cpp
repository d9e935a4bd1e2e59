#include "sets/open_set_dialog.h"

#include <unistd.h>

#include <algorithm>

#include "common/text.h"
#include "platform/program_folder.h"
#include "sets/new_set_dialog.h"

namespace corvane {

OpenSetDialog::OpenSetDialog(SetDocument& document) : m_document(document) {
    const SetContext& context = document.context();
    const std::string folder = context.programFolder + "Backup Sets/";
    const auto listing = context.fileSystem.list(folder);
    if (!listing) {
        if (isNotFoundCode(listing.error().code)) makeFolders(folder);
        return;
    }
    for (const DirEntry& entry : *listing) {
        if (!entry.isFolder && endsWith(entry.name, ".cvt")) m_entries.push_back(entry.name);
    }
    if (!m_entries.empty()) m_selected = 0;
}

void OpenSetDialog::select(std::size_t index) {
    if (index < m_entries.size()) m_selected = index;
}

void OpenSetDialog::open() {
    if (!openEnabled() || !m_selected) return;
    m_chosenSetName = m_entries[*m_selected];
    m_open = false;
}

void OpenSetDialog::deleteSelected() {
    if (!deleteEnabled() || !m_selected) return;
    const SetContext& context = m_document.context();
    if (context.host.message(Icon::Question, Buttons::OkCancel, "Delete Backup Set",
                             "Completely delete the selected Backup Set?") != Answer::Ok) {
        return;
    }
    const std::size_t index = *m_selected;
    (void)::unlink(setFilePath(context.programFolder, trim(m_entries[index])).c_str());
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    // The entry that took the deleted one's place, or the new last one, is selected next.
    if (m_entries.empty()) {
        m_selected.reset();
    } else {
        m_selected = std::min(index, m_entries.size() - 1);
    }
}

}  // namespace corvane
