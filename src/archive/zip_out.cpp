#include "archive/zip_out.h"

#include "archive/zip_header.h"

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

}  // namespace corvane::archive
