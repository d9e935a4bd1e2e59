#pragma once

#include "sets/set_tree.h"

#include <string>
#include <vector>

namespace corvane {

struct FileLists {
    std::vector<std::string> includes;
    std::vector<std::string> exclusions;
};

// The archive's include and exclusion lists from a set's tree, in index order: a folder entry
// takes its whole folder ("D/*"); an exclusion gives its mask; a wildcard and a single file are
// included and their own folder is excluded, which keeps them to that folder.
FileLists buildFileLists(const SetTree& tree);

}  // namespace corvane
