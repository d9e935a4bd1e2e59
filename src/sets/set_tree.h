#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/result.h"

namespace corvane {

// The picture of a node is how the program tells node kinds apart.
enum class Picture { Backup, Folder, File, Exclusion };

std::string_view pictureKey(Picture picture);

// One node of a set's tree. Entry nodes have key == text.
struct SetEntry {
    std::string key;
    std::string text;
    Picture picture = Picture::File;
    std::optional<std::string> parent;  // none for the category nodes
    bool sorted = false;    // children shown sorted by text
    bool expanded = false;  // display only
};

inline constexpr std::string_view kFilesCategory = "Files";
inline constexpr std::string_view kFoldersCategory = "Folders";
inline constexpr std::string_view kExclusionsCategory = "Exclusions";

// The ordered tree of a Backup Set. Nodes are numbered from 1 in the order they were added;
// removing a node closes the gap. Keys are unique; a node's parent is added before it.
class SetTree {
public:
    std::size_t count() const { return m_nodes.size(); }
    bool empty() const { return m_nodes.empty(); }

    // Node `index`, counted from 1.
    const SetEntry& at(std::size_t index) const { return m_nodes.at(index - 1); }
    SetEntry& at(std::size_t index) { return m_nodes.at(index - 1); }

    const SetEntry* find(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Adds a node at the end. Fails with "Key is not unique in collection" when the key exists
    // and "Element not found" when the parent does not.
    Status add(std::optional<std::string> parent, std::string key, std::string text,
               Picture picture, bool sorted = true);

    // Removes a node and all its descendants.
    void remove(std::string_view key);
    void clear();

    // The selected node's key, if any.
    const std::optional<std::string>& selected() const { return m_selected; }
    void select(std::optional<std::string> key) { m_selected = std::move(key); }

    // Keys of the children of `key`, as a view shows them (sorted by text when the parent's
    // sorted flag is set, else in index order); the top level when `key` is empty.
    std::vector<std::string> childrenOf(std::optional<std::string_view> key) const;

    // The whole display order in one pass, for a view that shows every node: element 0 holds the
    // indices of the top-level nodes, element i the indices of node i's children, each list
    // ordered as childrenOf orders it.
    std::vector<std::vector<std::size_t>> displayChildren() const;

    // Goes up by one with every change of the nodes, so a view knows when to redraw.
    std::uint64_t revision() const { return m_revision; }

private:
    void rebuildIndex();

    std::vector<SetEntry> m_nodes;
    std::unordered_map<std::string, std::size_t> m_positions;  // key -> position in m_nodes
    std::optional<std::string> m_selected;
    std::uint64_t m_revision = 0;
};

}  // namespace corvane
