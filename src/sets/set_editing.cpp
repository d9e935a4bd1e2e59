#include <deque>
#include <unordered_set>

#include "common/text.h"
#include "sets/set_document.h"

namespace corvane {

void SetDocument::addFolder(const std::string& path) {
    std::string folder = trim(path);
    if (!endsWith(folder, "/")) folder += '/';
    enableContentCommands(true);
    BusyPointer busy(m_context.host);
    m_set.opening = false;

    if (m_set.tree.count() >= 4) {
        for (std::size_t index = 1; index <= m_set.tree.count(); ++index) {
            if (trim(m_set.tree.at(index).text) == folder) {
                m_context.host.message(Icon::Exclamation, Buttons::Ok, "Duplicate Folder/Path",
                                       "Backup Set already contains '" + folder +
                                           "'.  Unable to add again.");
                return;
            }
        }
    }
    if (m_set.tree.add(std::string(kFoldersCategory), folder, folder, Picture::Folder)) {
        readFolderTree(folder);
    }
    m_set.saved = false;
    showSetNameStatus();
}

void SetDocument::addSetItem(const std::string& path) {
    if (!m_context.fileSystem.probe(path)) return;
    enableContentCommands(true);
    BusyPointer busy(m_context.host);
    m_set.opening = false;
    if (endsWith(path, "/")) {
        // An existing key is passed over; its folder is still walked for new sub-folders.
        (void)m_set.tree.add(std::string(kFoldersCategory), path, path, Picture::Folder);
        readFolderTree(path);
    } else {
        (void)m_set.tree.add(std::string(kFilesCategory), path, path, Picture::File);
    }
    m_set.saved = false;
    showSetNameStatus();
}

void SetDocument::readFolderTree(const std::string& root) {
    const std::string start = endsWith(root, "/") ? root : root + "/";
    std::deque<std::string> queue{start};
    readOneFolder(queue.front(), queue);
    queue.pop_front();
    if (m_context.config.record().subFolders != 1) return;
    while (!queue.empty()) {
        readOneFolder(queue.front(), queue);
        queue.pop_front();
        m_context.host.processPendingEvents();
    }
}

void SetDocument::readOneFolder(const std::string& folder, std::deque<std::string>& queue) {
    const auto listing = m_context.fileSystem.list(folder);
    if (!listing) return;
    const bool subFolders = m_context.config.record().subFolders != 0;
    for (const DirEntry& entry : *listing) {
        if (!entry.isFolder) continue;  // files add no nodes
        const std::string name = endsWith(entry.name, "/") ? entry.name : entry.name + "/";
        const std::string combined = folder + name;
        const std::string trimmed = trim(combined);
        // Anything longer than the root folder "/" is a real sub-folder to walk.
        if (!m_set.opening && trimmed.size() > 1) queue.push_back(combined);
        m_context.host.setStatusText("Reading:  " + trimmed);
        if (subFolders && !m_set.opening && !startsWith(name, ".")) {
            // A folder whose node cannot be added (it exists, or its parent has no node because
            // it is hidden) ends this folder's listing; the walk goes on with the queue.
            if (!m_set.tree.add(folder, combined, combined, Picture::Folder)) return;
        }
    }
}

void SetDocument::addFiles() {
    FileRequest request;
    request.title = "Choose Files to Add";
    request.filter = "All Files (*.*)|*.*";
    request.multiSelect = true;
    request.mustExist = true;
    const std::vector<std::string> chosen = m_context.host.chooseOpenFiles(request);
    if (chosen.empty()) return;

    std::unordered_set<std::string> listed;
    for (std::size_t index = 1; index <= m_set.tree.count(); ++index) {
        listed.insert(toUpper(trim(m_set.tree.at(index).text)));
    }
    bool addedAny = false;
    for (const std::string& candidate : chosen) {
        if (candidate.empty()) break;
        if (!listed.insert(toUpper(candidate)).second) continue;  // already listed: skip quietly
        m_context.host.setStatusText("Reading:  " + candidate);
        if (m_set.tree.add(std::string(kFilesCategory), candidate, candidate, Picture::File,
                           false)) {
            addedAny = true;
        }
    }
    if (addedAny) {
        m_set.saved = false;
        enableContentCommands(true);
    }
    showSetNameStatus();
}

void SetDocument::removeSelectedItem() {
    const auto& selected = m_set.tree.selected();
    const SetEntry* node = selected ? m_set.tree.find(*selected) : nullptr;
    if (node == nullptr) {
        showSetNameStatus();
        return;
    }
    if (node->picture == Picture::Backup) return;
    m_context.host.setStatusText("Removing selected Item from Backup Set...");
    BusyPointer busy(m_context.host);
    m_set.saved = false;
    m_set.tree.remove(node->key);
    if (!m_set.hasContent()) enableContentCommands(false);
    showSetNameStatus();
}

}  // namespace corvane
