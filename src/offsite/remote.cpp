#include "offsite/remote.h"

#include "offsite/offsite_error.h"
#include "offsite/s3_remote.h"
#include "offsite/sftp_remote.h"
#include "offsite/webdav_remote.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace corvane::offsite {

Result<LocalFile> LocalFile::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return failure(Failure::LocalFile,
                       path + " cannot be opened: " + errorFromErrno(error, path).description);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failure(Failure::LocalFile, path + " is not a regular file");
    }
    return LocalFile(path, fd, static_cast<std::uint64_t>(info.st_size));
}

LocalFile::LocalFile(LocalFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(other.m_fd), m_size(other.m_size) {
    other.m_fd = -1;
}

LocalFile::~LocalFile() {
    if (m_fd >= 0) ::close(m_fd);
}

Status LocalFile::readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const {
    while (length > 0) {
        const ssize_t got = ::pread(m_fd, buffer, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            return failure(Failure::LocalFile, m_path + " cannot be read: " +
                                                   errorFromErrno(error, m_path).description);
        }
        if (got == 0)
            return failure(Failure::LocalFile, m_path + " became shorter while it was sent");
        buffer += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::size_t>(got);
    }
    return {};
}

std::unique_ptr<Remote> makeRemote(const OffsiteSettings& settings, TransferControl& control) {
    switch (settings.location.kind) {
        case RemoteKind::S3:
            return std::make_unique<S3Remote>(settings, control);
        case RemoteKind::Sftp:
            return std::make_unique<SftpRemote>(settings, control);
        case RemoteKind::WebDav:
            return std::make_unique<WebDavRemote>(settings, control);
    }
    return nullptr;
}

}  // namespace corvane::offsite
