#include "restore/restore_tree.h"

#include "archive/wildcard.h"
#include "restore/restore_paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

namespace corvane::restore {

namespace {

bool containsIgnoringCase(const std::string& text, const std::string& part) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool restorable(const archive::ArchiveListing& listing, std::size_t index) {
    const archive::ZipItem& item = listing.items[index];
    const std::uint32_t mode = item.unixMode();
    const bool special =
        mode != 0 && (mode & S_IFMT) != 0 && !S_ISREG(mode) && !S_ISDIR(mode) && !S_ISLNK(mode);
    return !listing.overlapping[index] && !special && safeParts(item.name).has_value();
}

}  // namespace

void RestoreTree::build(const archive::ArchiveListing& listing) {
    m_nodes.assign(1, TreeNode{});
    // Folders are found by name among their parent's children; a map keeps that fast for
    // archives with many entries in one folder.
    std::map<std::pair<std::size_t, std::string>, std::size_t> folders;
    const auto findFolder = [&](const std::vector<std::string>& parts, std::size_t count) {
        std::size_t at = 0;
        for (std::size_t part = 0; part < count; ++part) {
            const auto [known, added] = folders.try_emplace({at, parts[part]}, m_nodes.size());
            if (added) {
                TreeNode folder;
                folder.name = parts[part];
                folder.path =
                    m_nodes[at].path.empty() ? parts[part] : m_nodes[at].path + "/" + parts[part];
                folder.parent = at;
                m_nodes.push_back(std::move(folder));
                m_nodes[at].children.push_back(known->second);
            }
            at = known->second;
        }
        return at;
    };
    for (std::size_t index = 0; index < listing.items.size(); ++index) {
        const archive::ZipItem& item = listing.items[index];
        const auto parts = safeParts(item.name);
        TreeNode node;
        node.entry = index;
        node.timeNs = item.modificationTimeNs();
        node.encrypted = item.isEncrypted();
        node.restorable = restorable(listing, index);
        if (!node.restorable) node.check = CheckState::Unchecked;
        if (parts && item.isFolder() && !item.isSymlink() && node.restorable) {
            TreeNode& folder = m_nodes[findFolder(*parts, parts->size())];
            folder.entry = index;
            folder.timeNs = node.timeNs;
            continue;
        }
        node.kind = item.isSymlink() ? EntryKind::Link : EntryKind::File;
        node.size = item.uncompressedSize;
        node.parent = parts ? findFolder(*parts, parts->size() - 1) : 0;
        node.name = parts ? parts->back() : printable(item.name);
        node.path = parts ? item.name : printable(item.name);
        m_nodes[node.parent].children.push_back(m_nodes.size());
        m_nodes.push_back(std::move(node));
    }
    // Children come after their parents: totals and states are gathered from the end.
    for (std::size_t at = m_nodes.size(); at-- > 1;) {
        TreeNode& node = m_nodes[at];
        TreeNode& parent = m_nodes[node.parent];
        parent.size += node.size;
        if (!parent.entry || node.kind != EntryKind::Folder) {
            parent.timeNs = std::max(parent.timeNs, node.timeNs);
        }
    }
    for (std::size_t at = 0; at < m_nodes.size(); ++at)
        sortChildren(at);
    for (std::size_t at = m_nodes.size(); at-- > 0;)
        stateFromChildren(at);
    setFilter(m_filter);
}

void RestoreTree::sortChildren(std::size_t at) {
    auto& children = m_nodes[at].children;
    std::stable_sort(children.begin(), children.end(), [&](std::size_t a, std::size_t b) {
        const bool folderA = m_nodes[a].kind == EntryKind::Folder;
        const bool folderB = m_nodes[b].kind == EntryKind::Folder;
        if (folderA != folderB) return folderA;
        return m_nodes[a].name < m_nodes[b].name;
    });
}

void RestoreTree::setSubtree(std::size_t at, CheckState state) {
    std::vector<std::size_t> pending{at};
    while (!pending.empty()) {
        TreeNode& node = m_nodes[pending.back()];
        pending.pop_back();
        node.check = node.restorable ? state : CheckState::Unchecked;
        pending.insert(pending.end(), node.children.begin(), node.children.end());
    }
}

void RestoreTree::stateFromChildren(std::size_t at) {
    TreeNode& node = m_nodes[at];
    if (node.children.empty()) return;
    bool any = false;
    bool all = true;
    for (const std::size_t child : node.children) {
        if (!m_nodes[child].restorable) continue;
        const CheckState state = m_nodes[child].check;
        any = any || state != CheckState::Unchecked;
        all = all && state == CheckState::Checked;
    }
    node.check = all && any ? CheckState::Checked
                 : any      ? CheckState::Partial
                            : CheckState::Unchecked;
}

void RestoreTree::updateUpwards(std::size_t at) {
    for (;;) {
        stateFromChildren(at);
        if (at == 0) return;
        at = m_nodes[at].parent;
    }
}

void RestoreTree::setChecked(std::size_t at, bool checked) {
    if (at >= m_nodes.size()) return;
    setSubtree(at, checked ? CheckState::Checked : CheckState::Unchecked);
    if (at != 0) updateUpwards(m_nodes[at].parent);
}

void RestoreTree::setFilter(const std::string& filter) {
    m_filter = filter;
    m_visible.assign(m_nodes.size(), filter.empty());
    if (filter.empty()) return;
    const bool pattern = archive::hasWildcard(filter);
    std::vector<bool> matched(m_nodes.size(), false);
    for (std::size_t at = 1; at < m_nodes.size(); ++at) {
        const std::string& name = m_nodes[at].name;
        matched[at] =
            pattern ? archive::matchesMask(filter, name) : containsIgnoringCase(name, filter);
    }
    // A match shows the folders on its way, and a matching folder shows what it holds.
    for (std::size_t at = m_nodes.size(); at-- > 1;) {
        if (matched[at] || m_visible[at]) m_visible[m_nodes[at].parent] = true;
        if (matched[at]) m_visible[at] = true;
    }
    std::vector<bool> inside(m_nodes.size(), false);
    for (std::size_t at = 1; at < m_nodes.size(); ++at) {
        inside[at] = matched[at] || inside[m_nodes[at].parent];
        if (inside[at]) m_visible[at] = true;
    }
    m_visible[0] = true;
}

std::vector<std::size_t> RestoreTree::chosenEntries() const {
    std::vector<std::size_t> chosen;
    for (const auto& node : m_nodes) {
        if (node.entry && node.restorable && node.check != CheckState::Unchecked) {
            chosen.push_back(*node.entry);
        }
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

std::vector<std::size_t> RestoreTree::leftOutEntries() const {
    std::vector<std::size_t> left;
    for (const auto& node : m_nodes) {
        if (node.entry && !node.restorable && &node != &m_nodes[0] &&
            m_nodes[node.parent].check != CheckState::Unchecked) {
            left.push_back(*node.entry);
        }
    }
    return left;
}

std::size_t RestoreTree::chosenFiles() const {
    return static_cast<std::size_t>(
        std::count_if(m_nodes.begin(), m_nodes.end(), [](const auto& node) {
            return node.kind != EntryKind::Folder && node.check == CheckState::Checked;
        }));
}

std::uint64_t RestoreTree::chosenBytes() const {
    std::uint64_t bytes = 0;
    for (const auto& node : m_nodes) {
        if (node.kind != EntryKind::Folder && node.check == CheckState::Checked) bytes += node.size;
    }
    return bytes;
}

}  // namespace corvane::restore
