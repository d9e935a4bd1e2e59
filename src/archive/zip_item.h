#pragma once

#include "archive/zip_constants.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::archive {

using Bytes = std::vector<std::uint8_t>;

// The WinZip AES extra field of an entry.
struct AesInfo {
    std::uint16_t vendorVersion = zip::kAesVersion1;
    std::uint8_t strength = zip::kAesStrength256;  // 1, 2, 3 = AES-128, -192, -256
    std::uint16_t actualMethod = zip::kMethodDeflate;

    std::size_t keyLength() const { return 8u + 8u * strength; }
    std::size_t saltLength() const { return keyLength() / 2; }
    std::size_t overhead() const { return saltLength() + zip::kAesVerifierSize + zip::kAesMacSize; }
};

// One entry as the central directory describes it; the writer fills it and the reader parses
// it. Sizes and offsets are the full 64-bit values whatever the record needed.
struct ZipItem {
    std::string name;  // stored name, "/" separated; folders end in "/"
    std::uint16_t versionMadeBy = zip::kVersionMadeBy;
    std::uint16_t versionNeeded = zip::kVersionDefault;
    std::uint16_t flags = zip::kFlagUtf8;
    std::uint16_t method = zip::kMethodStore;
    std::uint32_t dosTime = 0;  // date in the high half, time in the low half
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t diskStart = 0;
    std::uint64_t localOffset = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    std::optional<std::int64_t> unixMtime;  // from the extended timestamp
    std::optional<std::int64_t> ntfsMtime;  // 100 ns ticks since 1601-01-01 UTC (NTFS field)
    std::optional<AesInfo> aes;
    Bytes otherExtra;  // central extra fields this code does not rebuild, kept on copies
    std::string comment;

    bool isFolder() const;
    bool isSymlink() const;
    bool isEncrypted() const { return (flags & zip::kFlagEncrypted) != 0; }
    bool hasDataDescriptor() const { return (flags & zip::kFlagDataDescriptor) != 0; }
    // The compression method of the data once decrypted.
    std::uint16_t dataMethod() const { return aes ? aes->actualMethod : method; }
    // The Unix mode in the external attributes, or 0 when the entry was not made on Unix.
    std::uint32_t unixMode() const;
    // The modification time in seconds since 1970: the extended timestamp, else the DOS time.
    std::int64_t modificationTime() const;
    // The same in nanoseconds, at the best precision stored: the NTFS time (100 ns steps), else
    // the extended timestamp (seconds), else the DOS time (2-second steps).
    std::int64_t modificationTimeNs() const;
};

// True when `text` is well-formed UTF-8 (names with the UTF-8 flag must be).
bool isUtf8(std::string_view text);

// DOS date and time (local time, 2-second steps, 1980-2107) for a Unix time, and back.
std::uint32_t toDosTime(std::int64_t unixSeconds);
std::int64_t fromDosTime(std::uint32_t dosTime);

// 100 ns ticks since 1601 (NTFS) for nanoseconds since 1970, and back.
std::int64_t ntfsTicksFromUnixNs(std::int64_t unixNanoseconds);
std::int64_t unixNsFromNtfsTicks(std::int64_t ticks);

// True when the central record of `item` needs ZIP64 fields.
bool needsZip64(const ZipItem& item);

// The extra fields of the records, built and parsed.
Bytes buildLocalExtra(const ZipItem& item, bool zip64Sizes);
Bytes buildCentralExtra(const ZipItem& item);
// Applies the extra fields of a central record to `item` (ZIP64 values replace the 0xFFFF...
// placeholders); false when a field is malformed.
bool applyCentralExtra(ZipItem& item, const std::uint8_t* extra, std::size_t size);

// Sizes a local header declares, ZIP64 extra applied.
struct LocalSizes {
    std::uint64_t compressed = 0;
    std::uint64_t uncompressed = 0;
    bool zip64 = false;
};
bool applyLocalExtra(LocalSizes& sizes, const std::uint8_t* extra, std::size_t size);

}  // namespace corvane::archive
