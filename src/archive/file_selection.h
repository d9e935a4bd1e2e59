#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane::archive {

enum class SourceKind { File, Folder, Symlink };

// A file, link or empty folder chosen for the archive.
struct SourceEntry {
    std::string path;        // as the user knows it; folders end in "/"
    std::string storedName;  // the name in the archive: relative, "/" separated
    SourceKind kind = SourceKind::File;
    std::uint64_t size = 0;  // files: bytes; links: length of the target
    std::int64_t mtime = 0;  // seconds since 1970
    std::uint32_t mode = 0;  // st_mode, file type bits included
};

struct SelectionCallbacks {
    std::function<void(const std::string& path, int reason)> skipped;
    std::function<bool()> aborted;
    // When set, each chosen entry goes here as it is found instead of into the list.
    std::function<void(SourceEntry&& entry)> found;
};

// Walks the include list against the exclusion list:
//  - "D/*" (or "D/", or a folder path) takes everything under folder D;
//  - "D/mask" (a name or wildcard without "/") takes matching files in D, and in its
//    sub-folders unless the exclusions hold exactly "D/", which keeps such includes to D;
//  - other exclusions with a "/" match whole paths (a matched folder drops its subtree),
//    without a "/" they match a file's or folder's name anywhere.
// Links are taken as links and never followed; folders with nothing chosen in them are taken
// themselves. Entries come in include order, then name order; each path once. Returns false
// when aborted.
bool selectSources(const std::vector<std::string>& includes,
                   const std::vector<std::string>& exclusions, const SelectionCallbacks& callbacks,
                   std::vector<SourceEntry>& out);

// The stored name of a path: separators "/", no leading "/", no "." or ".." parts; folders
// keep their trailing "/". Empty when nothing is left.
std::string storedNameFor(const std::string& path);

}  // namespace corvane::archive
