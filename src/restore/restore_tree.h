#pragma once

#include "archive/archive_reading.h"
#include "restore/restore_plan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::restore {

enum class CheckState { Unchecked, Checked, Partial };

// One row of the restore window's tree: a folder or a file of the archive.
struct TreeNode {
    std::string name;  // this part of the path ("" for the root)
    std::string path;  // the stored path without a trailing "/"
    EntryKind kind = EntryKind::Folder;
    std::uint64_t size = 0;   // files: their size; folders: all they hold
    std::int64_t timeNs = 0;  // the entry's time; folders without an entry: their newest file
    std::optional<std::size_t> entry;  // the listing entry; folders may have none
    bool encrypted = false;
    bool restorable = true;  // false: the entry cannot be restored (it shares data, say)
    std::size_t parent = 0;
    std::vector<std::size_t> children;  // folders first, then by name
    CheckState check = CheckState::Checked;
};

// The archive as a tree of check boxes. Node 0 is the root; checking a folder checks all it
// holds; a folder with some of its contents checked is Partial. A filter shows the nodes whose
// names match (a substring, or a pattern with * and ?) with the folders on their way.
class RestoreTree {
public:
    void build(const archive::ArchiveListing& listing);

    const std::vector<TreeNode>& nodes() const { return m_nodes; }
    const TreeNode& node(std::size_t at) const { return m_nodes.at(at); }
    void setChecked(std::size_t at, bool checked);

    // The filter text; empty shows everything.
    void setFilter(const std::string& filter);
    const std::string& filter() const { return m_filter; }
    bool visible(std::size_t at) const { return m_visible.at(at); }

    // The listing entries checked (ascending), and what they amount to.
    std::vector<std::size_t> chosenEntries() const;
    // The entries that cannot be restored (never checked) in folders the user chose from: a
    // restore hands them to its plan, which refuses each with its reason for the summary.
    std::vector<std::size_t> leftOutEntries() const;
    std::size_t chosenFiles() const;
    std::uint64_t chosenBytes() const;
    bool everythingChosen() const {
        return m_nodes.empty() || m_nodes[0].check == CheckState::Checked;
    }

private:
    void setSubtree(std::size_t at, CheckState state);
    void stateFromChildren(std::size_t at);
    void updateUpwards(std::size_t at);
    void sortChildren(std::size_t at);

    std::vector<TreeNode> m_nodes;
    std::vector<bool> m_visible;
    std::string m_filter;
};

}  // namespace corvane::restore
