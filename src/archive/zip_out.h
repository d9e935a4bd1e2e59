#pragma once

#include "archive/volume_out.h"
#include "archive/zip_item.h"
#include "common/result.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
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
    // The same for a single archive whose records wait in a spool.
    Status writeDirectory(class DirectorySpool& spool);

private:
    VolumeWriter& m_volumes;
};

// The central directory of a single archive as its records are made: encoded at once, held in
// memory up to a bound and then in an unnamed temporary file in `folder`, so that a run over
// millions of files keeps no entry in memory.
class DirectorySpool {
public:
    explicit DirectorySpool(std::string folder) : m_folder(std::move(folder)) {}
    ~DirectorySpool();
    DirectorySpool(const DirectorySpool&) = delete;
    DirectorySpool& operator=(const DirectorySpool&) = delete;

    Status add(const ZipItem& item);
    std::uint64_t count() const { return m_count; }
    std::uint64_t bytes() const { return m_bytes; }
    // Hands the records back in order, a block at a time.
    Status forEachBlock(const std::function<Status(std::span<const std::uint8_t>)>& visit);

private:
    static constexpr std::size_t kMemoryBound = std::size_t{4} << 20;

    Status spill();

    std::string m_folder;
    int m_fd = -1;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_count = 0;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_spilled = 0;
};

// Streamed entries of at least this size carry ZIP64 sizes from the start, with room for the
// little growth incompressible data sees.
inline constexpr std::uint64_t kZip64StreamThreshold = 0xF0000000u;

}  // namespace corvane::archive
