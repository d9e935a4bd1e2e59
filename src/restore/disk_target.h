#pragma once

#include "archive/archive_reading.h"
#include "restore/restore_plan.h"

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace corvane::restore {

// The owner stored with an entry (Info-ZIP's Unix extra field 0x7875), when there is one.
struct StoredOwner {
    uid_t uid = 0;
    gid_t gid = 0;
};
std::optional<StoredOwner> storedOwner(const archive::ZipItem& item);

// The permission bits an entry gets: its stored Unix mode, or the defaults under the umask for
// entries made elsewhere (read-only when the DOS attribute says so). Set-user-ID and
// set-group-ID survive only when `ownerKept` (running as root with the owner restored).
mode_t restoredMode(const archive::ZipItem& item, bool folder, mode_t umask, bool ownerKept);

// Writes extracted entries to their planned places. A file is written under a temporary name
// beside its target (".cvrest-" and random letters), given its mode and time, and renamed over
// the target only at commit, once its data passed every check: a failed or cancelled restore
// never damages an existing file. Links are written last (finishLinks) so that nothing is ever
// written through a link the archive made; folder modes and times come after their contents
// (finishFolders).
class DiskTarget final : public archive::EntryTarget {
public:
    DiskTarget(RestorePlan& plan, const archive::ArchiveListing& listing);

    Result<std::unique_ptr<archive::EntrySink>> open(std::size_t index,
                                                     const archive::ZipItem& item) override;

    // How a written entry ended, by its position in the plan: nullopt while nothing is known,
    // an empty text when it was written, else why not.
    std::optional<std::string> outcome(std::size_t position) const;
    // Makes the links whose data passed its checks. `stopped` is asked between links.
    void finishLinks(const std::function<bool()>& stopped);
    // Applies the modes and times of the folders made here, innermost first.
    void finishFolders();

private:
    friend class FileSink;
    friend class LinkSink;
    struct PendingLink {
        std::size_t position = 0;
        std::string target;
    };
    void record(std::size_t position, std::string outcome);
    void addLink(std::size_t position, std::string target);
    bool ownerKept(const archive::ZipItem& item, int fd, const std::string* name);
    Status makeLink(const PendingLink& link);
    std::vector<std::string> partsOf(const PlannedEntry& entry) const;

    RestorePlan& m_plan;
    const archive::ArchiveListing& m_listing;
    std::vector<std::size_t> m_positions;  // plan position by listing index
    mode_t m_umask = 022;
    bool m_root = false;
    mutable std::mutex m_mutex;
    std::vector<std::optional<std::string>> m_outcomes;
    std::vector<PendingLink> m_links;
};

// Renames `from` to `to` in one folder; with `replace` false an existing `to` is never touched
// (EEXIST).
int renameIn(int folder, const std::string& from, const std::string& to, bool replace);

}  // namespace corvane::restore
