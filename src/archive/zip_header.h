#pragma once

#include "archive/zip_item.h"
#include "common/result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace corvane::archive {

// Encoding and decoding of the ZIP records, field by field in little-endian. Errors carry a
// code of result_codes.h.

// A local header as written: `streamed` entries carry their CRC and sizes in a data descriptor
// after the data; `zip64Sizes` adds the ZIP64 size fields (required when the sizes may pass
// 4 GiB).
Bytes encodeLocalHeader(const ZipItem& item, bool streamed, bool zip64Sizes);
Bytes encodeDataDescriptor(std::uint32_t crc, std::uint64_t compressed, std::uint64_t uncompressed,
                           bool zip64Sizes);
Bytes encodeCentralHeader(const ZipItem& item);

// What a local header says, for comparison with the central record.
struct LocalHeader {
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t dosTime = 0;
    std::uint32_t crc = 0;
    LocalSizes sizes;
    std::string name;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    std::size_t totalSize() const { return zip::kLocalHeaderSize + nameLength + extraLength; }
};

// Parses the fixed part (kLocalHeaderSize bytes); name and extra follow.
Result<LocalHeader> parseLocalFixed(std::span<const std::uint8_t> fixed);
// Completes a header with its name and extra bytes.
Result<LocalHeader> completeLocal(LocalHeader header, std::span<const std::uint8_t> nameAndExtra);

// Parses the central record at the start of `bytes`; `consumed` receives its length.
Result<ZipItem> parseCentralHeader(std::span<const std::uint8_t> bytes, std::size_t& consumed);

// The end of central directory, classic and ZIP64 merged.
struct EndInfo {
    std::uint32_t thisDisk = 0;
    std::uint32_t centralDisk = 0;
    std::uint64_t entriesOnDisk = 0;
    std::uint64_t entriesTotal = 0;
    std::uint64_t centralSize = 0;
    std::uint64_t centralOffset = 0;
    bool zip64 = false;
};

// True when the end needs the ZIP64 record and locator.
bool endNeedsZip64(const EndInfo& end);
// The end block: ZIP64 end record and locator when needed, then the classic record.
// `blockOffset` is where the block starts on disk `end.thisDisk`.
Bytes encodeEndBlock(const EndInfo& end, std::uint64_t blockOffset);

// Finds the classic end record in the tail of an archive (the last `tail.size()` bytes, which
// end at the end of the file); returns its position in `tail`.
std::optional<std::size_t> findEndRecord(std::span<const std::uint8_t> tail);
// Parses the classic end record at `record`.
Result<EndInfo> parseEndRecord(std::span<const std::uint8_t> record);

// The ZIP64 locator just before the classic record: where the ZIP64 end record is.
struct Zip64Locator {
    std::uint32_t endDisk = 0;
    std::uint64_t endOffset = 0;
    std::uint32_t totalDisks = 1;
};
std::optional<Zip64Locator> parseZip64Locator(std::span<const std::uint8_t> bytes);
// Applies a ZIP64 end record to `end`.
Status applyZip64End(std::span<const std::uint8_t> record, EndInfo& end);

}  // namespace corvane::archive
