#include "sets/set_tree.h"

#include <algorithm>
#include <unordered_set>

namespace corvane {

std::string_view pictureKey(Picture picture) {
    switch (picture) {
        case Picture::Backup: return "Backup";
        case Picture::Folder: return "Folder";
        case Picture::File: return "File";
        case Picture::Exclusion: return "Exclusion";
    }
    return "";
}

const SetEntry* SetTree::find(std::string_view key) const {
    const auto found = m_positions.find(std::string(key));
    return found == m_positions.end() ? nullptr : &m_nodes[found->second];
}

Status SetTree::add(std::optional<std::string> parent, std::string key, std::string text,
                    Picture picture, bool sorted) {
    if (parent && !contains(*parent)) return Error{errc::kElementNotFound, "Element not found"};
    if (contains(key)) return Error{errc::kKeyNotUnique, "Key is not unique in collection"};
    ++m_revision;
    m_positions.emplace(key, m_nodes.size());
    m_nodes.push_back({std::move(key), std::move(text), picture, std::move(parent), sorted, false});
    return {};
}

void SetTree::remove(std::string_view key) {
    if (!contains(key)) return;
    // A parent always precedes its children, so one pass in index order finds every descendant.
    std::unordered_set<std::string> removed{std::string(key)};
    for (const auto& node : m_nodes) {
        if (node.parent && removed.contains(*node.parent)) removed.insert(node.key);
    }
    ++m_revision;
    std::erase_if(m_nodes, [&](const SetEntry& node) { return removed.contains(node.key); });
    if (m_selected && removed.contains(*m_selected)) m_selected.reset();
    rebuildIndex();
}

void SetTree::clear() {
    ++m_revision;
    m_nodes.clear();
    m_positions.clear();
    m_selected.reset();
}

std::vector<std::string> SetTree::childrenOf(std::optional<std::string_view> key) const {
    std::vector<const SetEntry*> children;
    for (const auto& node : m_nodes) {
        const bool match = key ? (node.parent && *node.parent == *key) : !node.parent;
        if (match) children.push_back(&node);
    }
    const SetEntry* parent = key ? find(*key) : nullptr;
    if (parent != nullptr && parent->sorted) {
        std::stable_sort(children.begin(), children.end(),
                         [](const SetEntry* a, const SetEntry* b) { return a->text < b->text; });
    }
    std::vector<std::string> keys;
    keys.reserve(children.size());
    for (const auto* child : children) keys.push_back(child->key);
    return keys;
}

std::vector<std::vector<std::size_t>> SetTree::displayChildren() const {
    std::vector<std::vector<std::size_t>> children(m_nodes.size() + 1);
    for (std::size_t position = 0; position < m_nodes.size(); ++position) {
        const SetEntry& node = m_nodes[position];
        const std::size_t parent = node.parent ? m_positions.at(*node.parent) + 1 : 0;
        children[parent].push_back(position + 1);
    }
    for (std::size_t index = 1; index < children.size(); ++index) {
        if (!m_nodes[index - 1].sorted) continue;
        std::stable_sort(children[index].begin(), children[index].end(),
                         [this](std::size_t a, std::size_t b) {
                             return m_nodes[a - 1].text < m_nodes[b - 1].text;
                         });
    }
    return children;
}

void SetTree::rebuildIndex() {
    m_positions.clear();
    for (std::size_t i = 0; i < m_nodes.size(); ++i) m_positions.emplace(m_nodes[i].key, i);
}

}  // namespace corvane
