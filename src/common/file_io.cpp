#include "common/file_io.h"

#include "common/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace corvane {

namespace {

std::string temporarySibling(const std::string& path) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    return path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(generator() % 1000000);
}

}  // namespace

Result<Bytes> readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errorFromErrno(errno, path);
    Bytes content;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            const Error error = errorFromErrno(errno, path);
            ::close(fd);
            return error;
        }
        if (got == 0) break;
        content.insert(content.end(), buffer, buffer + got);
    }
    ::close(fd);
    return content;
}

Status writeFully(int fd, std::span<const std::uint8_t> data, const std::string& path,
                  std::optional<std::uint64_t> offset) {
    std::size_t done = 0;
    while (done < data.size()) {
        const std::uint8_t* from = data.data() + done;
        const std::size_t left = data.size() - done;
        const ssize_t written = offset
                                    ? ::pwrite(fd, from, left, static_cast<off_t>(*offset + done))
                                    : ::write(fd, from, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errorFromErrno(errno, path);
        }
        done += static_cast<std::size_t>(written);
    }
    return {};
}

Status writeFully(int fd, std::string_view data, const std::string& path,
                  std::optional<std::uint64_t> offset) {
    return writeFully(fd,
                      std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
                      path, offset);
}

Status replaceFileThrough(const std::string& path, const std::string& temporary,
                          std::span<const std::uint8_t> content) {
    struct stat original {};
    const mode_t mode = ::stat(path.c_str(), &original) == 0 ? (original.st_mode & 0777) : 0644;
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return errorFromErrno(errno, path);
    Status status = writeFully(fd, content, path);
    if (status && ::fsync(fd) != 0) status = errorFromErrno(errno, path);
    if (::close(fd) != 0 && status) status = errorFromErrno(errno, path);
    if (status && ::rename(temporary.c_str(), path.c_str()) != 0) {
        status = errorFromErrno(errno, path);
    }
    if (!status) ::unlink(temporary.c_str());
    return status;
}

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> content) {
    return replaceFileThrough(path, temporarySibling(path), content);
}

Status writeFileAtomically(const std::string& path, const std::string& content) {
    return writeFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

Status appendLogLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += escapeForLog(line) + "\r\n";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, path);
    Status status = writeFully(fd, text, path);
    if (::close(fd) != 0 && status) status = errorFromErrno(errno, path);
    return status;
}

Status createEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, path);
    ::close(fd);
    return {};
}

}  // namespace corvane
