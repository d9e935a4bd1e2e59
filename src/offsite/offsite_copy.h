#pragma once

#include "common/result.h"
#include "offsite/offsite_error.h"
#include "offsite/offsite_settings.h"
#include "offsite/transfer_control.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::offsite {

// One file sent, for its Backup.log line.
struct CopiedFile {
    std::string localPath;
    std::string remoteAddress;  // without credentials
    std::uint64_t size = 0;     // as the remote reported it after the upload
    double seconds = 0;         // upload and size check
};

struct CopyReport {
    std::vector<CopiedFile> files;
    std::vector<std::string> pruned;  // addresses of old archive files deleted for Keep
    // Set when the copy succeeded but old archives could not be listed or deleted.
    std::string pruneWarning;
};

// Sends the files of one finished archive (a single .bac, or every volume of a split archive
// in order, "name.z01" ... "name.bac" last) to the set's remote under their own file names,
// checks each one's size there, then deletes the set's oldest dated archives beyond Keep.
// `progress` (may be empty) hears the bytes sent of all files; `cancel` is looked at from the
// transfers, and stops them: the partial object or multipart upload is removed. The local
// files are never changed. An Error's kind (failureOf) tells unreachable, credentials refused,
// out of space, dropped connection and cancelled apart.
Result<CopyReport> copyArchive(const OffsiteSettings& settings,
                               const std::vector<std::string>& files,
                               const ProgressCallback& progress, const std::atomic<bool>& cancel);

// Checks the settings against the remote: sends a small probe object, finds it in the
// folder's listing and deletes it again.
Status testConnection(const OffsiteSettings& settings, const std::atomic<bool>& cancel);

}  // namespace corvane::offsite
