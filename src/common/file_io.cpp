#include "common/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace corvane {

namespace {

// Writes all of `data`, retrying short writes and interrupted calls.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

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

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> content) {
    const std::string temporary = temporarySibling(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, path);
    if (!writeAll(fd, content.data(), content.size()) || ::fsync(fd) != 0) {
        const Error error = errorFromErrno(errno, path);
        ::close(fd);
        ::unlink(temporary.c_str());
        return error;
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const Error error = errorFromErrno(errno, path);
        ::unlink(temporary.c_str());
        return error;
    }
    return {};
}

Status writeFileAtomically(const std::string& path, const std::string& content) {
    return writeFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

Status appendLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, path);
    const bool written =
        writeAll(fd, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) return errorFromErrno(written ? errno : savedErrno, path);
    return {};
}

Status createEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, path);
    ::close(fd);
    return {};
}

}  // namespace corvane
