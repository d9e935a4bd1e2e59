#pragma once

#include "archive/volume_out.h"
#include "archive/zip_item.h"
#include "common/result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace corvane::archive {

// Lays entries and the central directory out on a VolumeWriter, strictly in order.
class ZipWriter {
public:
    explicit ZipWriter(VolumeWriter& volumes) : m_volumes(volumes) {}

    // Writes the local header of `item` and records where it went in the item. A `streamed`
    // entry's CRC and sizes follow its data in a descriptor (writeDescriptor).
    Status writeLocalHeader(ZipItem& item, bool streamed, bool zip64Sizes);
    Status writeData(std::span<const std::uint8_t> data) { return m_volumes.writeData(data); }
    Status writeDescriptor(const ZipItem& item, bool zip64Sizes);
    // Writes the central directory of `items` and the end records.
    Status writeDirectory(std::vector<ZipItem>& items);

private:
    VolumeWriter& m_volumes;
};

// Streamed entries of at least this size carry ZIP64 sizes from the start, with room for the
// little growth incompressible data sees.
inline constexpr std::uint64_t kZip64StreamThreshold = 0xF0000000u;

}  // namespace corvane::archive
