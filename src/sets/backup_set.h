#pragma once

#include <string>

#include "sets/set_tree.h"

namespace corvane {

// The one open Backup Set: its file, its destination, its flags and its tree. The five set
// options live in the ConfigRecord, not here.
struct BackupSet {
    std::string setPath;          // full path of the .cvt file
    std::string setName;          // file-name part of the set path ("Daily.cvt")
    std::string setFolder;        // folder part of the path most recently split by fileNameOf
    std::string loadedPath;       // the set's path when it was opened; saves go here while opening
    std::string defaultLocation;  // archive path, or a folder followed by "$DATE$.bac"
    bool saved = true;
    bool opening = false;
    SetTree tree;

    // True when the tree holds an entry besides the three categories and one of its nodes is a
    // file, wildcard or folder entry (exclusions alone are no content).
    bool hasContent() const;
};

inline constexpr std::string_view kNoSetStatus = "Press F1 to get Help";

}  // namespace corvane
