#include "archive/volume_in.h"

#include "archive/result_codes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace corvane::archive {

namespace {

constexpr int kAskAttempts = 3;

Status readFully(int fd, std::uint64_t offset, std::span<std::uint8_t> out,
                 const std::string& path) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got =
            ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Error{kCannotOpen, "cannot read " + path};
        if (got == 0) return Error{kNotZip, "unexpected end of " + path};
        done += static_cast<std::size_t>(got);
    }
    return {};
}

}  // namespace

VolumeReader::VolumeReader(std::string archivePath, VolumeAsker* asker)
    : m_archivePath(std::move(archivePath)), m_asker(asker), m_volumes(1), m_located(1) {}

VolumeReader::~VolumeReader() {
    for (auto& volume : m_volumes) {
        if (volume.fd >= 0) ::close(volume.fd);
    }
}

Status VolumeReader::openLast() {
    return ensureOpen(count() - 1);
}

void VolumeReader::openPresent() {
    VolumeAsker* asker = m_asker;
    m_asker = nullptr;
    for (std::uint32_t disk = 0; disk < count(); ++disk)
        (void)ensureOpen(disk);
    m_asker = asker;
}

void VolumeReader::setCount(std::uint32_t newCount) {
    std::lock_guard lock(m_mutex);
    if (newCount == m_volumes.size() || newCount == 0) return;
    Volume last = m_volumes.back();
    m_volumes.back() = Volume{};
    for (auto& volume : m_volumes) {
        if (volume.fd >= 0) ::close(volume.fd);
    }
    m_volumes.assign(newCount, Volume{});
    m_volumes.back() = last;
    m_located.assign(newCount, std::string());
}

bool VolumeReader::isOpen(std::uint32_t disk) const {
    std::lock_guard lock(m_mutex);
    return disk < m_volumes.size() && m_volumes[disk].fd >= 0;
}

std::optional<std::uint64_t> VolumeReader::openSize(std::uint32_t disk) const {
    std::lock_guard lock(m_mutex);
    if (disk >= m_volumes.size() || m_volumes[disk].fd < 0) return std::nullopt;
    return m_volumes[disk].size;
}

void VolumeReader::closeAllBut(std::uint32_t disk) {
    std::lock_guard lock(m_mutex);
    for (std::uint32_t at = 0; at < m_volumes.size(); ++at) {
        if (at != disk && m_volumes[at].fd >= 0) {
            ::close(m_volumes[at].fd);
            m_volumes[at].fd = -1;
        }
    }
}

Status VolumeReader::ensureOpen(std::uint32_t disk) {
    if (disk >= count()) return Error{kNotZip, "a record points past the last volume"};
    if (isOpen(disk)) return {};
    const bool last = disk + 1 == count();
    const std::string expected = volumeName(m_archivePath, disk, count());
    std::string path = expected;
    if (disk < m_located.size() && !m_located[disk].empty()) path = m_located[disk];
    for (int attempt = 0;; ++attempt) {
        // Opening a pipe or a device can block for ever: only regular files are opened, and
        // without blocking in case one is put in the file's place meanwhile.
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            return Error{kCannotOpen, path + " is not a regular file"};
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd >= 0) {
            if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
                ::close(fd);
                return Error{kCannotOpen, path + " is not a regular file"};
            }
            std::lock_guard lock(m_mutex);
            m_volumes[disk] = Volume{fd, static_cast<std::uint64_t>(info.st_size)};
            return {};
        }
        if (errno != ENOENT) return Error{kCannotOpen, "cannot open " + path};
        if (m_asker == nullptr || attempt == kAskAttempts) {
            return Error{count() > 1 ? kVolumeMissing : kCannotOpen, "cannot find " + path};
        }
        // The user may swap disks now: nothing else stays open on the old one.
        closeAllBut(disk);
        if (m_asker->aborted()) return Error{kAborted, "cancelled"};
        std::string foundAt;
        if (!m_asker->volumeMissing(last ? 0 : static_cast<int>(disk) + 1, expected, foundAt)) {
            // A handler that refused by setting the abort request was a user's Cancel.
            if (m_asker->aborted()) return Error{kAborted, "cancelled"};
            return Error{kStoppedByHandler, "the disk was not inserted"};
        }
        if (!foundAt.empty()) {
            path = foundAt;
            if (disk < m_located.size()) m_located[disk] = foundAt;
        }
        if (m_asker->aborted()) return Error{kAborted, "cancelled"};
    }
}

Result<std::uint64_t> VolumeReader::size(std::uint32_t disk) {
    if (Status opened = ensureOpen(disk); !opened) return opened.error();
    std::lock_guard lock(m_mutex);
    return m_volumes[disk].size;
}

Status VolumeReader::read(VolumePosition at, std::span<std::uint8_t> out) {
    while (!out.empty()) {
        auto volumeSize = size(at.disk);
        if (!volumeSize) return volumeSize.error();
        if (at.offset >= *volumeSize) {
            if (at.disk + 1 >= count()) {
                return Error{kNotZip, "a record points past the end of the archive"};
            }
            at = {at.disk + 1, at.offset - *volumeSize};
            continue;
        }
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(*volumeSize - at.offset, out.size()));
        if (Status got = readOpen(at, out.first(take)); !got) return got;
        out = out.subspan(take);
        at.offset += take;
    }
    return {};
}

Status VolumeReader::readOpen(VolumePosition at, std::span<std::uint8_t> out) const {
    while (!out.empty()) {
        Volume volume;
        {
            std::lock_guard lock(m_mutex);
            if (at.disk >= m_volumes.size())
                return Error{kNotZip, "data runs past the last volume"};
            volume = m_volumes[at.disk];
        }
        if (volume.fd < 0) return Error{kVolumeMissing, "a volume is not open"};
        if (at.offset >= volume.size) {
            at = {at.disk + 1, at.offset - volume.size};
            continue;
        }
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(volume.size - at.offset, out.size()));
        if (Status got = readFully(volume.fd, at.offset, out.first(take), m_archivePath); !got) {
            return got;
        }
        out = out.subspan(take);
        at.offset += take;
    }
    return {};
}

std::optional<VolumePosition> VolumeReader::advanceOpen(VolumePosition at,
                                                        std::uint64_t length) const {
    std::lock_guard lock(m_mutex);
    for (;;) {
        if (at.disk >= m_volumes.size() || m_volumes[at.disk].fd < 0) return std::nullopt;
        const std::uint64_t size = m_volumes[at.disk].size;
        if (at.offset > size) return std::nullopt;
        if (size - at.offset >= length) return VolumePosition{at.disk, at.offset + length};
        length -= size - at.offset;
        at = {at.disk + 1, 0};
    }
}

}  // namespace corvane::archive
