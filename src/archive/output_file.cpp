#include "archive/output_file.h"

#include "archive/result_codes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvane::archive {

namespace {

class SystemFile final : public OutputFile {
public:
    SystemFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~SystemFile() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    Status write(std::span<const std::uint8_t> bytes) override {
        const std::uint8_t* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, left);
            if (written < 0) {
                if (errno == EINTR) continue;
                return systemError(kWriteFailed, "cannot write", m_path);
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        m_written += bytes.size();
        // Start writing back what is done, so that the final sync has little left to wait for.
        if (m_written - m_flushed >= kWritebackStep) {
            ::sync_file_range(m_fd, static_cast<off_t>(m_flushed),
                              static_cast<off_t>(m_written - m_flushed), SYNC_FILE_RANGE_WRITE);
            m_flushed = m_written;
        }
        return {};
    }
    Status sync() override {
        if (::fsync(m_fd) != 0) return systemError(kWriteFailed, "cannot flush", m_path);
        return {};
    }
    Status close() override {
        const int fd = m_fd;
        m_fd = -1;
        if (fd >= 0 && ::close(fd) != 0) return systemError(kWriteFailed, "cannot close", m_path);
        return {};
    }

private:
    static constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;

    int m_fd;
    std::string m_path;
    std::uint64_t m_written = 0;
    std::uint64_t m_flushed = 0;
};

class SystemFactory final : public OutputFactory {
public:
    Result<std::unique_ptr<OutputFile>> create(const std::string& path,
                                               const std::optional<FileAccess>& like) override {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, like ? 0600 : 0666);
        if (fd < 0) return systemError(kCannotCreate, "cannot create", path);
        if (like && !giveAccess(fd, *like)) {
            const Error error = systemError(kCannotCreate, "cannot set the mode of", path);
            ::close(fd);
            ::unlink(path.c_str());
            return error;
        }
        return std::unique_ptr<OutputFile>(std::make_unique<SystemFile>(fd, path));
    }

private:
    // The group first (a change of group may clear set-ID bits), then the mode. A group that
    // cannot be kept takes its bits along: the new file is never open to more people.
    static bool giveAccess(int fd, const FileAccess& like) {
        struct stat own {};
        if (::fstat(fd, &own) != 0) return false;
        mode_t mode = like.mode & 07777;
        if (own.st_gid != like.group && ::fchown(fd, static_cast<uid_t>(-1), like.group) != 0) {
            mode &= ~static_cast<mode_t>(S_IRWXG | S_ISGID);
        }
        return ::fchmod(fd, mode) == 0;
    }
};

}  // namespace

OutputFactory& systemOutputFactory() {
    static SystemFactory factory;
    return factory;
}

Error systemError(int code, const std::string& what, const std::string& path) {
    const int cause = errno;
    return Error{code, what + " " + path + ": " + std::strerror(cause)};
}

}  // namespace corvane::archive
