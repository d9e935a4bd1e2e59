#include "common/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>

namespace corvane {

RecordFile::RecordFile(std::string path, std::size_t recordSize)
    : m_path(std::move(path)), m_recordSize(recordSize) {
    assert(m_recordSize > 0);
}

Result<std::size_t> RecordFile::count() const {
    struct stat info {};
    if (::stat(m_path.c_str(), &info) != 0) {
        if (errno == ENOENT) return std::size_t{0};
        return errorFromErrno(errno, m_path);
    }
    return static_cast<std::size_t>(info.st_size) / m_recordSize;
}

Result<std::vector<Bytes>> RecordFile::readAll() const {
    auto content = readWholeFile(m_path);
    if (!content) {
        if (content.error().code == errc::kFileNotFound) return std::vector<Bytes>{};
        return content.error();
    }
    std::vector<Bytes> records;
    const Bytes& bytes = *content;
    for (std::size_t at = 0; at + m_recordSize <= bytes.size(); at += m_recordSize) {
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(at);
        records.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(m_recordSize));
    }
    return records;
}

Result<Bytes> RecordFile::read(std::size_t number) const {
    assert(number >= 1);
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errorFromErrno(errno, m_path);
    Bytes record(m_recordSize);
    const auto offset = static_cast<off_t>((number - 1) * m_recordSize);
    const ssize_t got = ::pread(fd, record.data(), m_recordSize, offset);
    const int savedErrno = errno;
    ::close(fd);
    if (got < 0) return errorFromErrno(savedErrno, m_path);
    if (static_cast<std::size_t>(got) != m_recordSize) {
        return Error{errc::kInputPastEnd, "Input past end of file"};
    }
    return record;
}

Status RecordFile::write(std::size_t number, const Bytes& record) const {
    assert(record.size() == m_recordSize);
    return writeWithin(
        number, 0, std::string_view(reinterpret_cast<const char*>(record.data()), record.size()));
}

Status RecordFile::writeWithin(std::size_t number, std::size_t offset,
                               std::string_view bytes) const {
    assert(number >= 1 && offset + bytes.size() <= m_recordSize);
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, m_path);
    Status status = writeFully(fd, bytes, m_path, (number - 1) * m_recordSize + offset);
    if (::close(fd) != 0 && status) status = errorFromErrno(errno, m_path);
    return status;
}

Status RecordFile::rewriteAll(const std::vector<Bytes>& records) const {
    Bytes content;
    content.reserve(records.size() * m_recordSize);
    for (const auto& record : records) {
        assert(record.size() == m_recordSize);
        content.insert(content.end(), record.begin(), record.end());
    }
    return writeFileAtomically(m_path, content);
}

}  // namespace corvane
