#pragma once

#include <sys/stat.h>
#include <sys/types.h>

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
    std::uint32_t mtimeNanoseconds = 0;
    std::uint32_t mode = 0;  // st_mode, file type bits included
};

// The files a run writes: the archive, its temporary files and its volumes. A backup whose
// destination lies inside a folder it covers must not take its own output.
class OwnOutput {
public:
    OwnOutput() = default;
    OwnOutput(const std::string& archivePath, const std::string& tempFolder, bool split);
    // True when `name` in `folder` is one of the run's own files.
    bool holds(const std::string& folder, const std::string& name) const;
    // True when `info` (from lstat) is the archive as it was when the run started.
    bool isArchive(const struct stat& info) const;

private:
    struct Place {
        dev_t device = 0;
        ino_t inode = 0;
    };
    static bool samePlace(const std::vector<Place>& places, const std::string& path);

    void addPath(const std::string& archivePath, bool split);

    std::vector<Place> m_folders;  // where the archive and its temporary files go
    std::vector<Place> m_files;    // the archive as it is now (any name it has)
    // The archive path as given and, when it is a link, the file it points to.
    std::vector<std::string> m_archiveNames;
    std::vector<std::string> m_temporaryPrefixes;
    std::vector<std::string> m_volumeStems;  // "name.z" of split volumes
};

struct SelectionCallbacks {
    std::function<void(const std::string& path, int reason)> skipped;
    std::function<bool()> aborted;
    // When set, each chosen entry goes here as it is found instead of into the list.
    std::function<void(SourceEntry&& entry)> found;
    // The run's own output, left out without a word.
    const OwnOutput* own = nullptr;
};

// Walks the include list against the exclusion list:
//  - "D/*" (or "D/", or a folder path) takes everything under folder D;
//  - "D/mask" (a name or wildcard without "/") takes matching files in D, and in its
//    sub-folders unless the exclusions hold exactly "D/", which keeps such includes to D;
//  - other exclusions with a "/" match whole paths (a matched folder drops its subtree),
//    without a "/" they match a file's or folder's name anywhere.
// Links are taken as links and never followed. A folder include takes each folder it covers
// (itself included) before what the folder holds, except a folder that cannot be listed
// (skipped) and one whose contents are all excluded. Entries come in include order, then name
// order; each path once. Returns false when aborted.
bool selectSources(const std::vector<std::string>& includes,
                   const std::vector<std::string>& exclusions, const SelectionCallbacks& callbacks,
                   std::vector<SourceEntry>& out);

// The stored name of a path: separators "/", no leading "/", no "." or ".." parts; folders
// keep their trailing "/". Empty when nothing is left.
std::string storedNameFor(const std::string& path);

}  // namespace corvane::archive
