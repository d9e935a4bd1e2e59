#pragma once

#include "archive/volume_in.h"
#include "archive/zip_header.h"
#include "archive/zip_item.h"
#include "common/result.h"

#include <cstdint>
#include <vector>

namespace corvane::archive {

// The central directory of an archive, as read from its end.
struct ArchiveDirectory {
    EndInfo end;
    std::vector<ZipItem> items;
    VolumePosition centralStart;
    std::uint64_t prefixBytes = 0;  // bytes before the archive in its first file (self-extractors)
};

// Finds the end records on the last volume, learns the volume count, and reads and parses the
// central directory. Errors carry kNotZip for damage, or the volume reader's codes.
Result<ArchiveDirectory> readDirectory(VolumeReader& volumes);

// Marks the entries that share bytes with another entry (each but the first of a group), as
// crafted archives do to make a little data decode many times. Positions are compared across
// volumes when the sizes of all are known (open), else within each volume.
std::vector<bool> findOverlaps(const ArchiveDirectory& directory, const VolumeReader& volumes);

// Where an entry's data begins and what its local header says.
struct EntryData {
    LocalHeader local;
    VolumePosition dataStart;
};
// Reads the local header of `item`; `read` is VolumeReader::read or readOpen.
template <class ReadFunction>
Result<EntryData> readEntryHeader(const ZipItem& item, ReadFunction read, std::uint64_t prefix) {
    std::vector<std::uint8_t> fixed(zip::kLocalHeaderSize);
    const VolumePosition at{item.diskStart, item.localOffset + (item.diskStart == 0 ? prefix : 0)};
    if (Status got = read(at, std::span(fixed)); !got) return got.error();
    auto header = parseLocalFixed(fixed);
    if (!header) return header.error();
    std::vector<std::uint8_t> rest(std::size_t{header->nameLength} + header->extraLength);
    const VolumePosition restAt{at.disk, at.offset + zip::kLocalHeaderSize};
    if (Status got = read(restAt, std::span(rest)); !got) return got.error();
    auto complete = completeLocal(std::move(header.value()), rest);
    if (!complete) return complete.error();
    const std::uint64_t headerSize = complete->totalSize();
    return EntryData{std::move(complete.value()), VolumePosition{at.disk, at.offset + headerSize}};
}

}  // namespace corvane::archive
