#include "restore/restore_plan.h"

#include "restore/restore_paths.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <climits>
#include <set>

namespace corvane::restore {

namespace {

using archive::ArchiveListing;
using archive::ZipItem;

std::int64_t timeNs(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

bool isSpecial(const ZipItem& item) {
    const std::uint32_t mode = item.unixMode();
    if (mode == 0 || (mode & S_IFMT) == 0) return false;
    return !S_ISREG(mode) && !S_ISDIR(mode) && !S_ISLNK(mode);
}

std::uint64_t addClamped(std::uint64_t a, std::uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

std::string megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

// Maps a stored path to where it goes below the destination; nullopt leaves it out.
std::optional<std::vector<std::string>> mapParts(std::vector<std::string> parts,
                                                 const RestoreOptions& options) {
    if (!options.keepFolders) return std::vector<std::string>{parts.back()};
    const auto strip = static_cast<std::size_t>(std::max(options.stripFolders, 0));
    if (parts.size() <= strip) return std::nullopt;
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(strip));
    return parts;
}

}  // namespace

class Planner {
public:
    Planner(const ArchiveListing& listing, const RestoreOptions& options, RestorePlan& plan)
        : m_listing(listing), m_options(options), m_plan(plan) {}

    void run();

private:
    bool selected(std::size_t index) const;
    void add(std::size_t index);
    void refuse(PlannedEntry& entry, std::string reason) {
        entry.action = Action::Refuse;
        entry.reason = std::move(reason);
    }
    void checkNames();
    void probe(PlannedEntry& entry);
    void decideExisting(PlannedEntry& entry, const struct stat& info);
    std::size_t folderOf(const std::vector<std::string>& parts, std::size_t count);

    const ArchiveListing& m_listing;
    const RestoreOptions& m_options;
    RestorePlan& m_plan;
    std::set<std::pair<dev_t, ino_t>> m_archiveFiles;
    std::set<std::size_t> m_usedFolders;  // folders the selected entries go into or make
};

bool Planner::selected(std::size_t index) const {
    return isChosen(m_options, index, m_listing.items[index].name);
}

std::size_t Planner::folderOf(const std::vector<std::string>& parts, std::size_t count) {
    std::size_t folder = FolderTable::kRoot;
    for (std::size_t at = 0; at < count; ++at) {
        folder = m_plan.folders->child(folder, parts[at]);
        m_usedFolders.insert(folder);
    }
    return folder;
}

void Planner::add(std::size_t index) {
    const ZipItem& item = m_listing.items[index];
    PlannedEntry entry;
    entry.index = index;
    entry.kind = item.isSymlink()  ? EntryKind::Link
                 : item.isFolder() ? EntryKind::Folder
                                   : EntryKind::File;
    entry.name = item.name;
    const auto parts = safeParts(item.name);
    if (!parts) {
        refuse(entry, "unsafe name: absolute, or with an empty, \".\" or \"..\" part");
    } else if (isSpecial(item)) {
        refuse(entry, "a device, pipe or socket: not restored");
    } else if (m_listing.overlapping[index]) {
        refuse(entry, "shares its data with another entry (a crafted archive)");
    } else if (const auto mapped = mapParts(*parts, m_options); !mapped) {
        if (entry.kind == EntryKind::Folder) return;  // a stripped folder is simply left out
        refuse(entry, "lies in fewer folders than are stripped");
    } else if (std::any_of(mapped->begin(), mapped->end(),
                           [](const std::string& part) { return part.size() > NAME_MAX; })) {
        refuse(entry, "a name on its path is longer than the disk allows");
    } else if (entry.kind == EntryKind::Folder) {
        if (!m_options.keepFolders) return;
        entry.folder = folderOf(*mapped, mapped->size());
        entry.name.clear();
        entry.placed = true;
    } else {
        entry.folder = folderOf(*mapped, mapped->size() - 1);
        entry.name = mapped->back();
        entry.placed = true;
    }
    entry.writtenName = entry.name;
    m_plan.entries.push_back(std::move(entry));
}

void Planner::checkNames() {
    std::set<std::pair<std::size_t, std::string>> files;
    std::set<std::size_t> folderEntries;
    for (auto& entry : m_plan.entries) {
        if (entry.action == Action::Refuse) continue;
        if (entry.kind == EntryKind::Folder) {
            if (!folderEntries.insert(entry.folder).second) {
                refuse(entry, "the archive holds this folder more than once");
            }
            continue;
        }
        const auto folder = m_plan.folders->find(entry.folder, entry.name);
        if (folder && m_usedFolders.count(*folder) != 0) {
            refuse(entry, "the archive also holds a folder of this name");
        } else if (!files.insert({entry.folder, entry.name}).second) {
            refuse(entry, "the archive holds this path more than once");
        } else {
            m_plan.m_taken[{entry.folder, entry.name}] = true;
        }
    }
}

void Planner::decideExisting(PlannedEntry& entry, const struct stat& info) {
    const ZipItem& item = m_listing.items[entry.index];
    if (m_archiveFiles.count({info.st_dev, info.st_ino}) != 0) {
        refuse(entry, "that is the archive being read");
        return;
    }
    entry.existingSize = static_cast<std::uint64_t>(info.st_size);
    entry.existingTimeNs = timeNs(info);
    const bool newer = item.modificationTimeNs() > entry.existingTimeNs;
    const bool guarded = m_options.systemValidate && S_ISREG(info.st_mode) &&
                         isProgramFile(entry.name, info.st_mode);
    const char* const notNewer = "the copy on disk is as new or newer";
    entry.action = Action::Replace;
    switch (m_options.policy) {
        case OverwritePolicy::Never:
            entry.action = Action::Keep;
            entry.reason = "already there";
            return;
        case OverwritePolicy::Rename:
            entry.action = Action::Beside;
            entry.writtenName = m_plan.freeName(entry);
            return;
        case OverwritePolicy::Newer:
            if (!newer) {
                entry.action = Action::Keep;
                entry.reason = notNewer;
            }
            return;
        case OverwritePolicy::Ask:
            entry.action = Action::Ask;
            break;
        case OverwritePolicy::Always:
            break;
    }
    if (guarded && !newer) {
        entry.action = Action::Keep;
        entry.reason = std::string("a program file: ") + notNewer;
    }
}

void Planner::probe(PlannedEntry& entry) {
    FolderTable& folders = *m_plan.folders;
    const PathState where = folders.state(entry.folder);
    if (where == PathState::BlockedLink) {
        refuse(entry, "a folder on its path is a symbolic link on disk");
        return;
    }
    if (where == PathState::BlockedFile) {
        refuse(entry, "a file is where a folder on its path should be");
        return;
    }
    if (where == PathState::Failed) {
        refuse(entry, "a folder on its path cannot be read");
        return;
    }
    if (entry.kind == EntryKind::Folder) {
        if (where == PathState::Folder) {
            entry.action = Action::Keep;
            entry.reason = "the folder is already there and keeps its own mode and time";
        }
        return;
    }
    struct stat info {};
    switch (folders.probe(entry.folder, entry.name, &info)) {
        case PathState::Missing:
            return;
        case PathState::Folder:
            refuse(entry, "a folder of that name is in the way");
            return;
        case PathState::File:
        case PathState::Link:
        case PathState::Other:
            decideExisting(entry, info);
            return;
        default:
            refuse(entry, "what is there cannot be looked at");
            return;
    }
}

void Planner::run() {
    for (const auto& path : m_listing.volumePaths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0) m_archiveFiles.insert({info.st_dev, info.st_ino});
    }
    for (std::size_t index = 0; index < m_listing.items.size(); ++index) {
        if (selected(index)) add(index);
    }
    checkNames();
    // The folder entries describe the folders made here, selected or not.
    for (std::size_t index = 0; index < m_listing.items.size(); ++index) {
        const ZipItem& item = m_listing.items[index];
        const auto parts = safeParts(item.name);
        if (!item.isFolder() || item.isSymlink() || !parts || m_listing.overlapping[index]) {
            continue;
        }
        const auto mapped = mapParts(*parts, m_options);
        if (!mapped || !m_options.keepFolders) continue;
        std::optional<std::size_t> folder = FolderTable::kRoot;
        for (std::size_t at = 0; folder && at < mapped->size(); ++at)
            folder = m_plan.folders->find(*folder, (*mapped)[at]);
        if (folder && *folder != FolderTable::kRoot)
            m_plan.folderEntries.try_emplace(*folder, index);
    }
    for (auto& entry : m_plan.entries) {
        if (entry.action != Action::Refuse) probe(entry);
    }
}

bool isChosen(const RestoreOptions& options, std::size_t index, const std::string& name) {
    if (options.entries) {
        return std::binary_search(options.entries->begin(), options.entries->end(), index);
    }
    if (options.patterns.empty()) return true;
    return std::any_of(options.patterns.begin(), options.patterns.end(),
                       [&](const std::string& pattern) { return matchesPattern(pattern, name); });
}

bool isProgramFile(const std::string& name, std::uint32_t mode) {
    if ((mode & 0111) != 0) return true;
    const std::size_t so = name.rfind(".so");
    if (so == std::string::npos) return false;
    const std::string_view rest = std::string_view(name).substr(so + 3);
    return rest.empty() ||
           (rest.front() == '.' && rest.find_first_not_of("0123456789.") == std::string_view::npos);
}

std::vector<std::size_t> RestorePlan::conflicts() const {
    std::vector<std::size_t> found;
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (entries[at].action == Action::Ask) found.push_back(at);
    }
    return found;
}

void RestorePlan::decide(std::size_t position, Action choice) {
    PlannedEntry& entry = entries.at(position);
    if (entry.action != Action::Ask) return;
    entry.action = choice;
    if (choice == Action::Keep) entry.reason = "kept at the user's choice";
    if (choice == Action::Beside) entry.writtenName = freeName(entry);
}

std::string RestorePlan::freeName(const PlannedEntry& entry) {
    for (int number = 1;; ++number) {
        std::string candidate = numberedName(entry.name, number);
        if (m_taken.count({entry.folder, candidate}) != 0) continue;
        const PathState there = folders->probe(entry.folder, candidate);
        if (there != PathState::Missing) continue;
        m_taken[{entry.folder, candidate}] = true;
        return candidate;
    }
}

std::string RestorePlan::targetPath(const PlannedEntry& entry) const {
    const std::string folder = folders->pathOf(entry.folder);
    if (entry.kind == EntryKind::Folder) return folder;
    return joinPath(folder, {entry.writtenName});
}

namespace {
bool writes(const PlannedEntry& entry) {
    return entry.kind != EntryKind::Folder &&
           (entry.action == Action::Create || entry.action == Action::Replace ||
            entry.action == Action::Beside);
}
}  // namespace

std::size_t RestorePlan::writeCount() const {
    return static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), writes));
}

std::uint64_t RestorePlan::declaredBytes(const ArchiveListing& listing) const {
    std::uint64_t total = 0;
    for (const auto& entry : entries) {
        if (writes(entry)) total = addClamped(total, listing.items[entry.index].uncompressedSize);
    }
    return total;
}

Result<RestorePlan> makePlan(const ArchiveListing& listing, const RestoreOptions& options) {
    RestorePlan plan;
    plan.toOriginalPlace = options.toOriginalPlace();
    auto folders = FolderTable::open(plan.toOriginalPlace ? "/" : options.destination);
    if (!folders) return folders.error();
    plan.folders = std::move(folders.value());
    Planner(listing, options, plan).run();
    return plan;
}

std::optional<std::string> spaceShortfall(RestorePlan& plan, const ArchiveListing& listing) {
    struct Need {
        std::uint64_t bytes = 0;
        std::uint64_t free = 0;
        std::string where;
    };
    struct Drive {
        dev_t device = 0;
        std::uint64_t block = 0;
    };
    std::map<dev_t, Need> needs;
    std::map<std::size_t, std::optional<Drive>> drives;  // by nearest existing folder
    for (const auto& entry : plan.entries) {
        if (!writes(entry)) continue;
        const std::size_t existing = plan.folders->nearestExisting(entry.folder);
        auto [known, added] = drives.try_emplace(existing);
        if (added) {
            auto handle = plan.folders->handle(existing);
            struct stat info {};
            struct statvfs space {};
            if (handle && ::fstat((*handle)->fd(), &info) == 0 &&
                ::fstatvfs((*handle)->fd(), &space) == 0) {
                known->second = Drive{info.st_dev, std::max<std::uint64_t>(space.f_frsize, 512)};
                Need& need = needs[info.st_dev];
                if (need.where.empty()) {
                    need.where = plan.folders->pathOf(existing);
                    need.free = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
                }
            }
        }
        if (!known->second) continue;
        Need& need = needs[known->second->device];
        const std::uint64_t block = known->second->block;
        const std::uint64_t size = listing.items[entry.index].uncompressedSize;
        need.bytes = addClamped(need.bytes, addClamped(size, block - 1) / block * block);
    }
    for (const auto& [device, need] : needs) {
        if (need.bytes > need.free) {
            return "The restore needs " + megabytes(need.bytes) + " on the drive of " + need.where +
                   ", which has " + megabytes(need.free) + " free.";
        }
    }
    return std::nullopt;
}

}  // namespace corvane::restore
