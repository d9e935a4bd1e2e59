#pragma once

#include "archive/archive_reading.h"
#include "restore/folder_table.h"
#include "restore/restore_options.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::restore {

enum class EntryKind { File, Folder, Link };

// What a restore does with one entry.
enum class Action {
    Create,   // nothing is there: write it
    Replace,  // replace what is there
    Beside,   // keep what is there; write the entry under a numbered name beside it
    Keep,     // keep what is there; the entry is not written
    Refuse,   // not written, for the reason given (unsafe, impossible)
    Ask,      // something is there and the user decides (Replace, Beside or Keep)
};

struct PlannedEntry {
    std::size_t index = 0;  // in the listing
    EntryKind kind = EntryKind::File;
    std::size_t folder = 0;   // where it goes; a folder entry's own folder
    std::string name;         // its name in that folder (empty for a folder entry)
    std::string writtenName;  // the name it is written under (numbered for Beside)
    Action action = Action::Create;
    bool placed = false;  // folder and name say where it goes (false for unsafe names)
    std::string reason;   // why kept or refused
    // What is there now (for Ask, Replace and Keep): its size and modification time.
    std::uint64_t existingSize = 0;
    std::int64_t existingTimeNs = 0;
};

// The decisions of a restore before anything is written: which entries go where, which are
// refused and why, and which existing files are replaced. Nothing is created while planning.
class RestorePlan {
public:
    std::vector<PlannedEntry> entries;  // in archive order
    std::unique_ptr<FolderTable> folders;
    // Listing index of the folder entry that describes a folder, for the folders made here.
    std::map<std::size_t, std::size_t> folderEntries;
    bool toOriginalPlace = false;

    // The entries waiting for the user's answer (Action::Ask), as positions in `entries`.
    std::vector<std::size_t> conflicts() const;
    // Answers a conflict: Replace, Beside or Keep.
    void decide(std::size_t position, Action choice);
    // The path an entry is (or would be) written to.
    std::string targetPath(const PlannedEntry& entry) const;
    // Files and links that will be written, and their declared size in all.
    std::size_t writeCount() const;
    std::uint64_t declaredBytes(const archive::ArchiveListing& listing) const;

private:
    std::string freeName(const PlannedEntry& entry);
    std::map<std::pair<std::size_t, std::string>, bool> m_taken;  // names planned in a folder
    friend class Planner;
};

// Plans a restore of `listing` as `options` say; fails only when the destination cannot be
// opened. Each entry is taken, kept or refused here:
//  - refused: unsafe names ("..", absolute, empty or NUL parts), devices and pipes, entries that
//    share data with others, links leading out of a chosen destination, a path given twice, a
//    name that is both a folder and a file, a folder on the way that is a link or a file on
//    disk, the archive being read;
//  - existing files follow the overwrite policy; programs and shared libraries on disk are
//    replaced only by a newer copy when systemValidate is on; existing folders keep theirs.
Result<RestorePlan> makePlan(const archive::ArchiveListing& listing, const RestoreOptions& options);

// True when the entry `index` named `name` is one the options choose: listed in `entries`, or
// matching a pattern, or everything.
bool isChosen(const RestoreOptions& options, std::size_t index, const std::string& name);

// True when an existing file looks like a program or shared library: executable, or named
// "*.so" / "*.so.N".
bool isProgramFile(const std::string& name, std::uint32_t mode);

// Bytes free for the restore on each file system it writes to, against what it writes there:
// the first shortfall as a sentence for the user, or nullopt.
std::optional<std::string> spaceShortfall(RestorePlan& plan,
                                          const archive::ArchiveListing& listing);

}  // namespace corvane::restore
