#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::archive {

// What one operation of the archive component works on. The caller fills one for each run and
// hands it over by reference; the component never changes it.
struct ArchiveSettings {
    std::string archivePath;
    // "/folder/*" takes the folder with all it holds; "/folder/name" or "/folder/*.txt" takes
    // matches in that folder (and below, unless "/folder/" is also an exclusion).
    std::vector<std::string> includes;
    // With a "/": matched against the whole path (a folder drops its subtree); without: against
    // the name of a file or folder anywhere.
    std::vector<std::string> exclusions;
    int level = 6;   // 0 store, 1 fastest ... 9 smallest
    int method = 8;  // 8 deflate (0 stores everything)
    bool spanDisks = false;
    std::uint64_t diskSize = 0;       // bytes per volume; 0 = the free space of each inserted disk
    bool skipIfNotInArchive = false;  // update only files already in the archive
    bool skipIfNotNewer = false;      // freshen: leave files not newer than their copy
    bool skipIfNewer = false;         // leave files newer than their archived copy
    bool useTempCopy = false;         // build the new archive in tempFolder (when it exists)
    std::string tempFolder;
    std::string password;  // non-empty: WinZip AES-256 for every file

    bool updating() const { return skipIfNotInArchive || skipIfNotNewer || skipIfNewer; }
    // The level the engines use: the method can force storing, and levels are kept to 0..9.
    int effectiveLevel() const { return method == 0 ? 0 : std::clamp(level, 0, 9); }
};

}  // namespace corvane::archive
