#include "archive/zip_out.h"

#include "archive/result_codes.h"
#include "archive/zip_header.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace corvane::archive {

Status ZipWriter::writeLocalHeader(ZipItem& item, bool streamed, bool zip64Sizes) {
    const Bytes header = encodeLocalHeader(item, streamed, zip64Sizes);
    // The record must not be split: move on first, then note where it lands.
    if (Status room = m_volumes.ensureRoom(header.size()); !room) return room;
    const VolumePosition at = m_volumes.position();
    item.diskStart = at.disk;
    item.localOffset = at.offset;
    return m_volumes.writeRecord(header);
}

Status ZipWriter::writeDescriptor(const ZipItem& item, bool zip64Sizes) {
    return m_volumes.writeRecord(
        encodeDataDescriptor(item.crc, item.compressedSize, item.uncompressedSize, zip64Sizes));
}

Status ZipWriter::writeDirectory(std::vector<ZipItem>& items) {
    std::uint64_t centralSize = 0;
    for (const auto& item : items) {
        centralSize += zip::kCentralHeaderSize + item.name.size() + buildCentralExtra(item).size() +
                       item.comment.size();
    }
    // A split run that ended in its first volume becomes a plain archive.
    const std::uint64_t shift = m_volumes.settleAsSingle(centralSize + zip::kMaxEndBlockSize);
    for (auto& item : items)
        item.localOffset -= shift;

    EndInfo end;
    end.entriesTotal = items.size();
    bool first = true;
    for (const auto& item : items) {
        const Bytes record = encodeCentralHeader(item);
        if (Status room = m_volumes.ensureRoom(record.size()); !room) return room;
        const VolumePosition at = m_volumes.position();
        if (first) {
            end.centralDisk = at.disk;
            end.centralOffset = at.offset;
            first = false;
        }
        if (at.disk != end.thisDisk) end.entriesOnDisk = 0;
        end.thisDisk = at.disk;
        ++end.entriesOnDisk;
        if (Status written = m_volumes.writeRecord(record); !written) return written;
    }
    if (Status room = m_volumes.ensureRoom(zip::kMaxEndBlockSize); !room) return room;
    const VolumePosition at = m_volumes.position();
    if (first) {
        end.centralDisk = at.disk;
        end.centralOffset = at.offset;
    }
    if (at.disk != end.thisDisk) end.entriesOnDisk = 0;
    end.thisDisk = at.disk;
    end.centralSize = centralSize;
    return m_volumes.writeRecord(encodeEndBlock(end, at.offset));
}

Status ZipWriter::writeDirectory(DirectorySpool& spool) {
    const VolumePosition at = m_volumes.position();
    EndInfo end;
    end.thisDisk = at.disk;
    end.centralDisk = at.disk;
    end.centralOffset = at.offset;
    end.entriesTotal = spool.count();
    end.entriesOnDisk = spool.count();
    end.centralSize = spool.bytes();
    if (Status written = spool.forEachBlock(
            [&](std::span<const std::uint8_t> block) { return m_volumes.writeData(block); });
        !written) {
        return written;
    }
    const VolumePosition endAt = m_volumes.position();
    return m_volumes.writeRecord(encodeEndBlock(end, endAt.offset));
}

DirectorySpool::~DirectorySpool() {
    if (m_fd >= 0) ::close(m_fd);
}

Status DirectorySpool::add(const ZipItem& item) {
    const Bytes record = encodeCentralHeader(item);
    m_buffer.insert(m_buffer.end(), record.begin(), record.end());
    ++m_count;
    m_bytes += record.size();
    return m_buffer.size() >= kMemoryBound ? spill() : Status{};
}

Status DirectorySpool::spill() {
    if (m_fd < 0) {
        m_fd = ::open(m_folder.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            // File systems without unnamed files: a named one, removed at once.
            std::string path = m_folder + ".cvdir-XXXXXX";
            m_fd = ::mkostemp(path.data(), O_CLOEXEC);
            if (m_fd >= 0) ::unlink(path.c_str());
        }
        if (m_fd < 0) return systemError(kWriteFailed, "cannot create a temporary file in", m_folder);
    }
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t written =
            ::pwrite(m_fd, m_buffer.data() + done, m_buffer.size() - done,
                     static_cast<off_t>(m_spilled + done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return systemError(kWriteFailed, "cannot write the directory to", m_folder);
        done += static_cast<std::size_t>(written);
    }
    m_spilled += m_buffer.size();
    m_buffer.clear();
    return {};
}

Status DirectorySpool::forEachBlock(
    const std::function<Status(std::span<const std::uint8_t>)>& visit) {
    std::vector<std::uint8_t> block;
    for (std::uint64_t at = 0; at < m_spilled;) {
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kMemoryBound, m_spilled - at)));
        const ssize_t got = ::pread(m_fd, block.data(), block.size(), static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return systemError(kWriteFailed, "cannot read back the directory in", m_folder);
        block.resize(static_cast<std::size_t>(got));
        if (Status written = visit(block); !written) return written;
        at += block.size();
    }
    return m_buffer.empty() ? Status{} : visit(m_buffer);
}

}  // namespace corvane::archive
