#pragma once

#include <cstddef>
#include <cstdint>

// The numbers of the ZIP format (PKWARE APPNOTE 6.3, WinZip AES): signatures, record sizes,
// flags, methods and extra-field tags. Sizes show their arithmetic.
namespace corvane::archive::zip {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndOfCentralSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr std::uint32_t kDataDescriptorSignature = 0x08074b50;
// The first four bytes of the first volume of a split archive (same value as above).
inline constexpr std::uint32_t kSplitMarker = 0x08074b50;
inline constexpr std::size_t kSplitMarkerSize = 4;

inline constexpr std::size_t kLocalHeaderSize = 4 + 26;    // including signature
inline constexpr std::size_t kCentralHeaderSize = 4 + 42;  // including signature
inline constexpr std::size_t kEndOfCentralSize = 4 + 18;   // without the comment
inline constexpr std::size_t kZip64EndSize = 4 + 8 + 44;   // signature, size field, body
inline constexpr std::size_t kZip64LocatorSize = 4 + 4 + 8 + 4;
inline constexpr std::size_t kDataDescriptorSize32 = 4 + 4 + 4 + 4;  // signature, CRC, sizes
inline constexpr std::size_t kDataDescriptorSize64 = 4 + 4 + 8 + 8;
inline constexpr std::size_t kMaxCommentSize = 0xFFFF;
// The end block written at once: ZIP64 end record, its locator, and the classic end record.
inline constexpr std::size_t kMaxEndBlockSize =
    kZip64EndSize + kZip64LocatorSize + kEndOfCentralSize;

inline constexpr std::uint16_t kFlagEncrypted = 1u << 0;
inline constexpr std::uint16_t kFlagDataDescriptor = 1u << 3;
inline constexpr std::uint16_t kFlagStrongEncryption = 1u << 6;
inline constexpr std::uint16_t kFlagUtf8 = 1u << 11;

inline constexpr std::uint16_t kMethodStore = 0;
inline constexpr std::uint16_t kMethodDeflate = 8;
inline constexpr std::uint16_t kMethodAes = 99;

inline constexpr std::uint16_t kExtraZip64 = 0x0001;
inline constexpr std::uint16_t kExtraNtfs = 0x000A;  // times in 100 ns ticks since 1601, UTC
inline constexpr std::uint16_t kNtfsTimesTag = 0x0001;
inline constexpr std::size_t kNtfsTimesSize = 8 + 8 + 8;  // modified, accessed, created
inline constexpr std::uint16_t kExtraTimestamp = 0x5455;  // "UT", Unix times in UTC
inline constexpr std::uint16_t kExtraAes = 0x9901;
inline constexpr std::size_t kExtraHeaderSize = 2 + 2;                        // tag, size
inline constexpr std::size_t kTimestampExtraSize = kExtraHeaderSize + 1 + 4;  // flags, mtime
// Reserved, then one attribute (tag, size) holding the three times.
inline constexpr std::size_t kNtfsExtraSize = kExtraHeaderSize + 4 + 2 + 2 + kNtfsTimesSize;
inline constexpr std::size_t kAesExtraSize = kExtraHeaderSize + 2 + 2 + 1 + 2;
inline constexpr std::uint8_t kTimestampHasMtime = 1u << 0;
inline constexpr std::size_t kZip64ExtraMaxSize = kExtraHeaderSize + 8 + 8 + 8 + 4;  // all fields

inline constexpr std::uint16_t kVersionDefault = 20;  // deflate, folders
inline constexpr std::uint16_t kVersionZip64 = 45;
inline constexpr std::uint16_t kVersionAes = 51;
inline constexpr std::uint16_t kHostUnix = 3;
inline constexpr std::uint16_t kVersionMadeBy = (kHostUnix << 8) | 63;  // Unix, APPNOTE 6.3

inline constexpr std::uint32_t kDosFolderAttribute = 0x10;

inline constexpr std::uint32_t kMax16 = 0xFFFF;
inline constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;

// WinZip AES: vendor versions, strengths and the fixed sizes around the data.
inline constexpr std::uint16_t kAesVersion1 = 1;       // AE-1: CRC kept
inline constexpr std::uint16_t kAesVersion2 = 2;       // AE-2: CRC zero, for tiny entries
inline constexpr std::uint16_t kAesVendorId = 0x4541;  // "AE", little-endian
inline constexpr std::uint8_t kAesStrength256 = 3;
inline constexpr std::size_t kAesVerifierSize = 2;
inline constexpr std::size_t kAesMacSize = 10;
inline constexpr std::size_t kAes256SaltSize = 16;
inline constexpr std::size_t kAes256Overhead = kAes256SaltSize + kAesVerifierSize + kAesMacSize;
inline constexpr std::uint64_t kAe1MinimumSize = 20;

// The smallest volume a split archive may use (APPNOTE: 64K).
inline constexpr std::uint64_t kMinimumVolumeSize = 64 * 1024;

}  // namespace corvane::archive::zip
