#pragma once

#include "common/result.h"
#include "host/host.h"

#include <string>
#include <string_view>

namespace corvane {

// Asks for one Backup Set file with the "Choose Backup Set" chooser (the program folder's "Backup
// Sets" folder first, set files only, the file must exist); empty when cancelled.
std::string chooseBackupSet(Host& host, const std::string& programFolder);

// True when the first field of the file at `setPath` (trimmed) passes the set-file header test.
// An empty file fails it; a file that cannot be read is an error.
Result<bool> hasSetHeader(const std::string& setPath);

// What the timed-backup editors show of a set: whether its header passes, and its default
// location (line 7 without its 16-character key).
struct SetSummary {
    bool compatible = false;
    std::string defaultLocation;
};

// Reads the header and, when it passes, lines 2 to 7; a compatible file shorter than 7 lines is
// an error (input past end of file, 62), as is a file that cannot be read.
Result<SetSummary> readSetSummary(const std::string& setPath);

// Writes `location` (trimmed) into the default-location line of the set file at `setPath`
// (trimmed). The file is copied line by line to the set path followed by "1", every line written
// back quoted and trimmed: lines 1 to 6, the new line 7, line 8, the entry lines up to and
// including the first "[END OF BACKUP]", and exactly one further line. A line read past the end
// of the file is taken as "AllFolders=0"; the entry lines stop at the end of the file, and a
// file that ends before its end line gets "[END OF BACKUP]" and "AllFolders=0" added. The copy
// then replaces the set file in one rename; after a failure the copy is removed and the set file
// is as it was.
Status rewriteSetLocation(const std::string& setPath, std::string_view location);

// The location after `folder` (ending in "/") was picked for `currentLocation`: the folder
// followed by "$DATE$.bac" when the current file-name part holds "$DATE$" or the location has
// no separator at all, else by that name with its last three characters replaced by "bac". A
// name shorter than three characters, an empty one after a final "/" too, is an error (invalid
// call, 5).
Result<std::string> locationInFolder(const std::string& folder, std::string_view currentLocation);

}  // namespace corvane
