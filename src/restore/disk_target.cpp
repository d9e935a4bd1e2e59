#include "restore/disk_target.h"

#include "archive/result_codes.h"
#include "common/le_codec.h"
#include "restore/restore_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace corvane::restore {

namespace {

using archive::ZipItem;

constexpr std::uint16_t kExtraUnixOwner = 0x7875;  // Info-ZIP: version, UID and GID
constexpr std::size_t kMaxLinkTarget = 4095;
constexpr int kTempAttempts = 100;

std::string temporaryName() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".cvrest-";
    for (int at = 0; at < 10; ++at)
        name += kLetters[generator() % (sizeof kLetters - 1)];
    return name;
}

timespec timeOf(std::int64_t nanoseconds) {
    constexpr std::int64_t kSecond = 1'000'000'000;
    std::int64_t seconds = nanoseconds / kSecond;
    std::int64_t rest = nanoseconds % kSecond;
    if (rest < 0) {
        rest += kSecond;
        --seconds;
    }
    return timespec{static_cast<time_t>(seconds), static_cast<long>(rest)};
}

Error systemFailure(int code, const std::string& what, int errnoValue) {
    return Error{code, what + ": " + systemText(errnoValue)};
}

}  // namespace

std::optional<StoredOwner> storedOwner(const ZipItem& item) {
    const auto& extra = item.otherExtra;
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint16_t tag = le::getU16(extra, at);
        const std::uint16_t size = le::getU16(extra, at + 2);
        const std::size_t body = at + 4;
        if (body + size > extra.size()) break;
        if (tag == kExtraUnixOwner && size >= 3 && extra[body] == 1) {
            // Version 1, then the UID and the GID, each with its own byte count.
            std::size_t field = body + 1;
            std::uint64_t ids[2] = {0, 0};
            bool ok = true;
            for (auto& id : ids) {
                if (field >= body + size) {
                    ok = false;
                    break;
                }
                const std::size_t length = extra[field++];
                if (length > 8 || field + length > body + size) {
                    ok = false;
                    break;
                }
                for (std::size_t byte = 0; byte < length; ++byte)
                    id |= std::uint64_t{extra[field + byte]} << (8 * byte);
                field += length;
            }
            if (ok) return StoredOwner{static_cast<uid_t>(ids[0]), static_cast<gid_t>(ids[1])};
        }
        at = body + size;
    }
    return std::nullopt;
}

mode_t restoredMode(const ZipItem& item, bool folder, mode_t umask, bool ownerKept) {
    mode_t mode = 0;
    if (const std::uint32_t stored = item.unixMode(); stored != 0) {
        mode = static_cast<mode_t>(stored & 07777);
    } else {
        mode = (folder ? 0777 : 0666) & ~umask;
        // The DOS read-only attribute.
        if ((item.externalAttributes & 0x01) != 0) mode &= static_cast<mode_t>(~0222);
    }
    if (!ownerKept) mode &= static_cast<mode_t>(~(S_ISUID | S_ISGID));
    return mode;
}

int renameIn(int folder, const std::string& from, const std::string& to, bool replace) {
    if (replace) return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0 ? 0 : errno;
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without the flag: a hard link fails on an existing name just the same.
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) return errno;
    ::unlinkat(folder, from.c_str(), 0);
    return 0;
}

// One file on its way to disk.
class FileSink final : public archive::EntrySink {
public:
    FileSink(DiskTarget& target, std::size_t position, FolderPtr folder, int fd,
             std::string temporary)
        : m_target(target),
          m_position(position),
          m_item(target.m_listing.items[target.m_plan.entries[position].index]),
          m_folder(std::move(folder)),
          m_fd(fd),
          m_temporary(std::move(temporary)) {}
    ~FileSink() override {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_committed) ::unlinkat(m_folder->fd(), m_temporary.c_str(), 0);
    }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    Status write(std::span<const std::uint8_t> data) override {
        while (!data.empty()) {
            const ssize_t written = ::write(m_fd, data.data(), data.size());
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) {
                return systemFailure(archive::kWriteFailed, "cannot write " + path(), errno);
            }
            data = data.subspan(static_cast<std::size_t>(written));
        }
        return {};
    }

    Status close() override {
        const bool ownerKept = m_target.ownerKept(m_item, m_fd, nullptr);
        const mode_t mode = restoredMode(m_item, false, m_target.m_umask, ownerKept);
        const timespec times[2] = {{0, UTIME_OMIT}, timeOf(m_item.modificationTimeNs())};
        if (::fchmod(m_fd, mode) != 0 || ::futimens(m_fd, times) != 0) {
            return systemFailure(archive::kCannotCreate, "cannot set the mode or time of " + path(),
                                 errno);
        }
        // What replaces an existing file is on disk before the old one goes.
        if (entry().action == Action::Replace && ::fsync(m_fd) != 0) {
            return systemFailure(archive::kWriteFailed, "cannot write " + path(), errno);
        }
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return systemFailure(archive::kWriteFailed, "cannot write " + path(), errno);
        return {};
    }

    Status commit() override {
        const PlannedEntry& planned = entry();
        const int failed = renameIn(m_folder->fd(), m_temporary, planned.writtenName,
                                    planned.action == Action::Replace);
        if (failed != 0) {
            const std::string why =
                failed == EEXIST ? "something appeared there meanwhile" : systemText(failed);
            return Error{archive::kCannotCreate, "cannot put " + path() + " in place: " + why};
        }
        m_committed = true;
        m_target.record(m_position, {});
        return {};
    }

private:
    const PlannedEntry& entry() const { return m_target.m_plan.entries[m_position]; }
    std::string path() const { return m_target.m_plan.targetPath(entry()); }

    DiskTarget& m_target;
    std::size_t m_position;
    const ZipItem& m_item;
    FolderPtr m_folder;
    int m_fd;
    std::string m_temporary;
    bool m_committed = false;
};

// A link's target, kept until the links are made at the end.
class LinkSink final : public archive::EntrySink {
public:
    LinkSink(DiskTarget& target, std::size_t position) : m_target(target), m_position(position) {}
    Status write(std::span<const std::uint8_t> data) override {
        if (m_text.size() + data.size() > kMaxLinkTarget) {
            return Error{archive::kCannotCreate, "the link's target is too long"};
        }
        m_text.append(data.begin(), data.end());
        return {};
    }
    Status close() override { return {}; }
    Status commit() override {
        m_target.addLink(m_position, std::move(m_text));
        return {};
    }

private:
    DiskTarget& m_target;
    std::size_t m_position;
    std::string m_text;
};

DiskTarget::DiskTarget(RestorePlan& plan, const archive::ArchiveListing& listing)
    : m_plan(plan),
      m_listing(listing),
      m_positions(listing.items.size(), SIZE_MAX),
      m_root(::geteuid() == 0),
      m_outcomes(plan.entries.size()) {
    for (std::size_t at = 0; at < plan.entries.size(); ++at)
        m_positions[plan.entries[at].index] = at;
    m_umask = ::umask(022);
    ::umask(m_umask);
}

Result<std::unique_ptr<archive::EntrySink>> DiskTarget::open(std::size_t index, const ZipItem&) {
    const std::size_t position = m_positions.at(index);
    if (position == SIZE_MAX) return Error{archive::kBadArguments, "not part of the restore"};
    const PlannedEntry& entry = m_plan.entries[position];
    if (entry.kind == EntryKind::Link) {
        return std::unique_ptr<archive::EntrySink>(std::make_unique<LinkSink>(*this, position));
    }
    auto folder = m_plan.folders->handle(entry.folder);
    if (!folder) return Error{archive::kCannotCreate, folder.error().description};
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        std::string temporary = temporaryName();
        const int fd = ::openat((*folder)->fd(), temporary.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            return std::unique_ptr<archive::EntrySink>(std::make_unique<FileSink>(
                *this, position, std::move(folder.value()), fd, std::move(temporary)));
        }
        if (errno != EEXIST) {
            return systemFailure(archive::kCannotCreate,
                                 "cannot create a file in " + m_plan.folders->pathOf(entry.folder),
                                 errno);
        }
    }
    return Error{archive::kCannotCreate, "no free temporary name"};
}

bool DiskTarget::ownerKept(const ZipItem& item, int fd, const std::string* name) {
    if (!m_root) return false;
    const auto owner = storedOwner(item);
    if (!owner) return false;
    if (name == nullptr) return ::fchown(fd, owner->uid, owner->gid) == 0;
    return ::fchownat(fd, name->c_str(), owner->uid, owner->gid, AT_SYMLINK_NOFOLLOW) == 0;
}

void DiskTarget::record(std::size_t position, std::string outcome) {
    std::lock_guard lock(m_mutex);
    m_outcomes[position] = std::move(outcome);
}

void DiskTarget::addLink(std::size_t position, std::string target) {
    std::lock_guard lock(m_mutex);
    m_links.push_back(PendingLink{position, std::move(target)});
}

std::optional<std::string> DiskTarget::outcome(std::size_t position) const {
    std::lock_guard lock(m_mutex);
    return m_outcomes[position];
}

std::vector<std::string> DiskTarget::partsOf(const PlannedEntry& entry) const {
    std::vector<std::string> parts{entry.writtenName};
    for (std::size_t folder = entry.folder; folder != FolderTable::kRoot;
         folder = m_plan.folders->parentOf(folder)) {
        parts.insert(parts.begin(), m_plan.folders->nameOf(folder));
    }
    return parts;
}

Status DiskTarget::makeLink(const PendingLink& link) {
    const PlannedEntry& entry = m_plan.entries[link.position];
    const ZipItem& item = m_listing.items[entry.index];
    if (!m_plan.toOriginalPlace && !linkStaysInside(partsOf(entry), link.target)) {
        return Error{0,
                     "the link leads out of the destination (to " + printable(link.target) + ")"};
    }
    if (link.target.empty() || link.target.find('\0') != std::string::npos) {
        return Error{0, "the link has no usable target"};
    }
    auto folder = m_plan.folders->handle(entry.folder);
    if (!folder) return folder.error();
    const int fd = (*folder)->fd();
    std::string temporary;
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        temporary = temporaryName();
        if (::symlinkat(link.target.c_str(), fd, temporary.c_str()) == 0) break;
        if (errno != EEXIST) return systemFailure(0, "cannot create the link", errno);
        temporary.clear();
    }
    if (temporary.empty()) return Error{0, "no free temporary name"};
    ownerKept(item, fd, &temporary);
    const timespec times[2] = {{0, UTIME_OMIT}, timeOf(item.modificationTimeNs())};
    ::utimensat(fd, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
    const int failed = renameIn(fd, temporary, entry.writtenName, entry.action == Action::Replace);
    if (failed != 0) {
        ::unlinkat(fd, temporary.c_str(), 0);
        return Error{0, "cannot put the link in place: " +
                            std::string(failed == EEXIST ? "something appeared there meanwhile"
                                                         : systemText(failed))};
    }
    return {};
}

void DiskTarget::finishLinks(const std::function<bool()>& stopped) {
    std::vector<PendingLink> links;
    {
        std::lock_guard lock(m_mutex);
        links.swap(m_links);
    }
    for (const auto& link : links) {
        if (stopped()) return;
        const Status made = makeLink(link);
        record(link.position, made ? std::string() : made.error().description);
    }
}

void DiskTarget::finishFolders() {
    FolderTable& folders = *m_plan.folders;
    for (std::size_t folder = folders.count(); folder-- > 1;) {
        if (!folders.madeHere(folder)) continue;
        auto handle = folders.handle(folder);
        if (!handle) continue;
        const auto described = m_plan.folderEntries.find(folder);
        if (described == m_plan.folderEntries.end()) {
            ::fchmod((*handle)->fd(), static_cast<mode_t>(0777 & ~m_umask));
            continue;
        }
        const ZipItem& item = m_listing.items[described->second];
        const bool kept = ownerKept(item, (*handle)->fd(), nullptr);
        ::fchmod((*handle)->fd(), restoredMode(item, true, m_umask, kept));
        const timespec times[2] = {{0, UTIME_OMIT}, timeOf(item.modificationTimeNs())};
        ::futimens((*handle)->fd(), times);
    }
}

}  // namespace corvane::restore
