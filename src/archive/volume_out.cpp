#include "archive/volume_out.h"

#include "archive/result_codes.h"
#include "archive/zip_constants.h"
#include "common/le_codec.h"
#include "platform/drive_info.h"
#include "platform/program_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

namespace corvane::archive {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;
// Room left free on a disk filled to its free space: file-system overhead and cluster rounding.
constexpr std::uint64_t kMinimumReserve = 64 * 1024;
constexpr std::uint64_t kMaximumReserve = 4 * 1024 * 1024;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string baseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryName(const std::string& folder, const std::string& archivePath) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    return folder + temporaryPrefix(archivePath) + std::to_string(::getpid()) + "-" +
           std::to_string(generator() % 1000000);
}

// Removes what runs that were killed left behind: temporary files of this archive whose
// process no longer exists.
void removeStaleTemporaries(const std::string& folder, const std::string& archivePath) {
    const std::string prefix = temporaryPrefix(archivePath);
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            ::unlink((folder + name).c_str());
        }
    }
    ::closedir(listing);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Removes the first `count` bytes of a file in place.
Status dropLeadingBytes(const std::string& path, std::uint64_t count) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return systemError(kWriteFailed, "cannot reopen", path);
    std::vector<std::uint8_t> block(kCopyBlock);
    off_t from = static_cast<off_t>(count);
    off_t to = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, block.data(), block.size(), from);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 ||
            (got > 0 && ::pwrite(fd, block.data(), static_cast<std::size_t>(got), to) != got)) {
            const Error error = systemError(kWriteFailed, "cannot rewrite", path);
            ::close(fd);
            return error;
        }
        if (got == 0) break;
        from += got;
        to += got;
    }
    const bool ok = ::ftruncate(fd, to) == 0 && ::fsync(fd) == 0;
    const Error error = ok ? Error{} : systemError(kWriteFailed, "cannot rewrite", path);
    ::close(fd);
    if (!ok) return error;
    return {};
}

// rename() over an archive frees the old file's blocks before it returns, which for a large
// archive takes longer than a window may wait for its next event. The old file is held open
// across the rename and let go on a thread of its own.
bool renameOver(const std::string& from, const std::string& to) {
    const int previous = ::open(to.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    const bool renamed = ::rename(from.c_str(), to.c_str()) == 0;
    const int error = errno;
    if (previous >= 0) {
        if (renamed) {
            std::thread([previous] { ::close(previous); }).detach();
        } else {
            ::close(previous);
        }
    }
    errno = error;
    return renamed;
}

}  // namespace

std::string resolveArchivePath(const std::string& archivePath) {
    constexpr int kMaxLinks = 40;  // as the kernel's own limit on a path's links
    std::string path = archivePath;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<std::size_t>(info.st_size) + 256, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return path;
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : folderOf(path) + target;
    }
    return path;
}

std::string temporaryPrefix(const std::string& archivePath) {
    return "." + baseNameOf(archivePath) + ".cvtmp-";
}

std::string volumeName(const std::string& archivePath, std::uint32_t disk, std::uint32_t count) {
    if (disk + 1 >= count) return archivePath;
    const auto slash = archivePath.rfind('/');
    const auto dot = archivePath.rfind('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? archivePath.substr(0, dot)
                                 : archivePath;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".z%02u", disk + 1);
    return stem + suffix;
}

VolumeWriter::VolumeWriter(VolumeOptions options, OutputFactory& factory, VolumeEvents& events)
    : m_options(std::move(options)), m_factory(factory), m_events(events) {
    if (m_options.split) return;
    m_options.archivePath = resolveArchivePath(m_options.archivePath);
    // A replaced archive keeps who may read it.
    struct stat existing {};
    if (::stat(m_options.archivePath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        m_access = FileAccess{existing.st_mode, existing.st_gid};
    }
}

VolumeWriter::~VolumeWriter() {
    if (!m_finished) abandon();
}

void VolumeWriter::abandon() {
    if (m_file) {
        (void)m_file->close();
        m_file.reset();
    }
    if (!m_tempPath.empty()) ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
}

std::string VolumeWriter::workFolder() const {
    return folderOf(m_tempPath.empty() ? m_options.archivePath : m_tempPath);
}

Status VolumeWriter::start() {
    if (Status opened = openVolume(); !opened) return opened;
    // Output that surely fits in the first volume is written as a plain archive.
    m_marker = m_options.split && m_options.sizeBound > m_capacity;
    if (m_marker) {
        std::vector<std::uint8_t> marker(zip::kSplitMarkerSize);
        le::putU32(marker, 0, zip::kSplitMarker);
        return append(marker);
    }
    return {};
}

Status VolumeWriter::prepareFolder(const std::string& folder) {
    if (!isFolder(folder) && !makeFolders(folder)) {
        return systemError(kCannotCreate, "cannot create the folder", folder);
    }
    if (!m_options.split) return {};
    std::vector<std::string> others;
    if (DIR* listing = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            const std::string path = folder + entry->d_name;
            struct stat info {};
            if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
            if (m_written.count(path) == 0) others.push_back(path);
        }
        ::closedir(listing);
    }
    if (others.empty() || !m_events.clearFolder(folder)) return {};
    for (const auto& path : others)
        ::unlink(path.c_str());
    return {};
}

Status VolumeWriter::openVolume() {
    const std::string destination = folderOf(m_options.archivePath);
    std::string folder = destination;
    if (!m_options.split && !m_options.tempFolder.empty() && isFolder(m_options.tempFolder)) {
        folder = withTrailingSeparator(m_options.tempFolder);
    }
    if (Status ready = prepareFolder(destination); !ready) return ready;
    if (m_options.split) {
        if (m_options.diskSize > 0) {
            m_capacity = m_options.diskSize;
        } else {
            const std::uint64_t free = freeBytesOf(destination).value_or(0);
            const std::uint64_t reserve = std::clamp(free / 64, kMinimumReserve, kMaximumReserve);
            m_capacity = free > reserve ? free - reserve : 0;
            if (m_capacity < zip::kMinimumVolumeSize) {
                return Error{kWriteFailed, "not enough free space on the disk in " + destination};
            }
        }
    }
    if (m_disk == 0) removeStaleTemporaries(folder, m_options.archivePath);
    m_tempPath = temporaryName(folder, m_options.archivePath);
    auto created = m_factory.create(m_tempPath, m_access);
    if (!created) {
        m_tempPath.clear();
        return created.error();
    }
    m_file = std::move(created.value());
    m_offset = 0;
    return {};
}

Status VolumeWriter::flush() {
    if (m_buffer.empty()) return {};
    Status written = m_file->write(m_buffer);
    m_buffer.clear();
    return written;
}

Status VolumeWriter::append(std::span<const std::uint8_t> bytes) {
    if (m_buffer.size() + bytes.size() > kBufferSize) {
        if (Status flushed = flush(); !flushed) return flushed;
    }
    if (bytes.size() >= kBufferSize) {
        if (Status written = m_file->write(bytes); !written) return written;
    } else {
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    }
    m_offset += bytes.size();
    return {};
}

Status VolumeWriter::closeVolume(bool last) {
    if (Status flushed = flush(); !flushed) return flushed;
    if (Status synced = m_file->sync(); !synced) return synced;
    if (Status closed = m_file->close(); !closed) return closed;
    m_file.reset();
    if (!m_options.split) return installSingle();
    const std::uint32_t count = last ? m_disk + 1 : m_disk + 2;
    const std::string finalName = volumeName(m_options.archivePath, m_disk, count);
    if (m_shift > 0) {
        if (Status dropped = dropLeadingBytes(m_tempPath, m_shift); !dropped) return dropped;
    }
    if (::rename(m_tempPath.c_str(), finalName.c_str()) != 0) {
        return systemError(kWriteFailed, "cannot rename the volume to", finalName);
    }
    m_tempPath.clear();
    m_written.insert(finalName);
    syncFolder(folderOf(finalName));
    return {};
}

Status VolumeWriter::installSingle() {
    const std::string& target = m_options.archivePath;
    if (renameOver(m_tempPath, target)) {
        m_tempPath.clear();
        syncFolder(folderOf(target));
        return {};
    }
    if (errno != EXDEV) return systemError(kWriteFailed, "cannot replace", target);
    // The temporary folder is on another file system: copy beside the target, then rename.
    const std::string sibling = temporaryName(folderOf(target), target);
    const int in = ::open(m_tempPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return systemError(kWriteFailed, "cannot reopen", m_tempPath);
    auto created = m_factory.create(sibling, m_access);
    if (!created) {
        ::close(in);
        return created.error();
    }
    auto& out = *created.value();
    std::vector<std::uint8_t> block(kCopyBlock);
    Status copied;
    for (;;) {
        const ssize_t got = ::read(in, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) copied = systemError(kWriteFailed, "cannot read", m_tempPath);
        if (got <= 0) break;
        copied = out.write(std::span(block.data(), static_cast<std::size_t>(got)));
        if (!copied) break;
    }
    ::close(in);
    if (copied) copied = out.sync();
    if (copied) copied = out.close();
    if (copied && !renameOver(sibling, target)) {
        copied = systemError(kWriteFailed, "cannot replace", target);
    }
    if (!copied) {
        ::unlink(sibling.c_str());
        return copied;
    }
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    syncFolder(folderOf(target));
    return {};
}

Status VolumeWriter::nextVolume() {
    if (!m_options.split) return Error{kWriteFailed, "a record does not fit in the archive"};
    if (Status closed = closeVolume(false); !closed) return closed;
    if (m_events.aborted()) return Error{kAborted, "cancelled"};
    if (!m_events.insertDisk(static_cast<int>(m_disk) + 2)) {
        // A handler that refused by setting the abort request was a user's Cancel.
        if (m_events.aborted()) return Error{kAborted, "cancelled"};
        return Error{kStoppedByHandler, "the next disk was not inserted"};
    }
    if (m_events.aborted()) return Error{kAborted, "cancelled"};
    ++m_disk;
    return openVolume();
}

Status VolumeWriter::writeRecord(std::span<const std::uint8_t> record) {
    if (Status room = ensureRoom(record.size()); !room) return room;
    if (m_offset + record.size() > m_capacity) {
        return Error{kBadArguments, "the volume size is too small for the archive's records"};
    }
    return append(record);
}

Status VolumeWriter::writeData(std::span<const std::uint8_t> data) {
    while (!data.empty()) {
        if (m_offset >= m_capacity) {
            if (Status next = nextVolume(); !next) return next;
        }
        const std::uint64_t room = m_capacity - m_offset;
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(room, data.size()));
        if (Status appended = append(data.first(take)); !appended) return appended;
        data = data.subspan(take);
    }
    return {};
}

Status VolumeWriter::ensureRoom(std::uint64_t bytes) {
    if (m_offset + bytes <= m_capacity) return {};
    return nextVolume();
}

std::uint64_t VolumeWriter::settleAsSingle(std::uint64_t tailBytes) {
    if (!m_marker || m_disk != 0 || m_offset + tailBytes > m_capacity) return 0;
    m_marker = false;
    m_shift = zip::kSplitMarkerSize;
    return m_shift;
}

Status VolumeWriter::finish() {
    Status closed = closeVolume(true);
    if (!closed) return closed;
    m_finished = true;
    return {};
}

}  // namespace corvane::archive
