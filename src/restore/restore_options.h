#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {
struct ConfigRecord;
}

namespace corvane::restore {

// What happens to a file that is already where an entry goes.
enum class OverwritePolicy {
    Ask,     // the user decides for each one
    Newer,   // replaced only by a newer copy
    Never,   // kept
    Always,  // replaced
    Rename,  // kept; the restored copy goes beside it as "name (1).ext"
};

const char* policyName(OverwritePolicy policy);
std::optional<OverwritePolicy> parsePolicy(std::string_view text);

// Everything a restore is told: which entries, where to, and what to do with existing files.
struct RestoreOptions {
    std::string archivePath;
    std::string password;  // empty: asked for when an entry needs one
    // Patterns of stored names ("*" and "?"; a folder takes its contents); empty: everything.
    std::vector<std::string> patterns;
    // Entries chosen one by one (listing indices); when set, patterns are not used.
    std::optional<std::vector<std::size_t>> entries;
    // Empty: each entry goes back to its original place (its stored path below "/").
    std::string destination;
    bool keepFolders = true;  // false: every file goes straight into the destination
    int stripFolders = 0;     // leading folders of each stored path left out
    OverwritePolicy policy = OverwritePolicy::Always;
    // Programs and shared libraries on disk are replaced only by a newer copy.
    bool systemValidate = true;
    // The restore may write more than kOutputRatio times the archive's size (asked first).
    bool allowLargeOutput = false;

    bool toOriginalPlace() const { return destination.empty(); }
};

// A restore that would write more than this many times the archive's size is asked about.
inline constexpr std::uint64_t kOutputRatio = 100;

// The defaults of the restore settings of Backup.cfg: RestoreOverwrite on means replace
// existing files, off means ask; SystemValidate as it is.
void applyConfigDefaults(const ConfigRecord& config, RestoreOptions& options);

}  // namespace corvane::restore
