#include "archive/zip_item.h"

#include "common/le_codec.h"

#include <sys/stat.h>

#include <ctime>
#include <span>

namespace corvane::archive {

namespace {

constexpr int kDosFirstYear = 1980;
constexpr int kDosLastYear = 1980 + 127;

std::span<const std::uint8_t> view(const std::uint8_t* data, std::size_t size) {
    return {data, size};
}

}  // namespace

bool ZipItem::isFolder() const {
    if (!name.empty() && name.back() == '/') return true;
    const std::uint32_t mode = unixMode();
    if (mode != 0) return S_ISDIR(mode);
    return (externalAttributes & zip::kDosFolderAttribute) != 0;
}

bool ZipItem::isSymlink() const {
    const std::uint32_t mode = unixMode();
    return mode != 0 && S_ISLNK(mode);
}

std::uint32_t ZipItem::unixMode() const {
    if ((versionMadeBy >> 8) != zip::kHostUnix) return 0;
    return externalAttributes >> 16;
}

std::int64_t ZipItem::modificationTime() const {
    return unixMtime ? *unixMtime : fromDosTime(dosTime);
}

namespace {
// 1601-01-01 to 1970-01-01 in NTFS ticks of 100 ns.
constexpr std::int64_t kNtfsTicksTo1970 = 11'644'473'600LL * 10'000'000LL;
constexpr std::int64_t kNanosecondsPerTick = 100;
}  // namespace

std::int64_t ntfsTicksFromUnixNs(std::int64_t unixNanoseconds) {
    return unixNanoseconds / kNanosecondsPerTick + kNtfsTicksTo1970;
}

std::int64_t unixNsFromNtfsTicks(std::int64_t ticks) {
    return (ticks - kNtfsTicksTo1970) * kNanosecondsPerTick;
}

std::int64_t ZipItem::modificationTimeNs() const {
    if (ntfsMtime) return unixNsFromNtfsTicks(*ntfsMtime);
    return modificationTime() * 1'000'000'000LL;
}

bool isUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (std::size_t next = 1; next < length; ++next) {
            if ((static_cast<unsigned char>(text[at + next]) & 0xC0) != 0x80) return false;
        }
        at += length;
    }
    return true;
}

std::uint32_t toDosTime(std::int64_t unixSeconds) {
    const std::time_t moment = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (::localtime_r(&moment, &local) == nullptr) return (1u << 21) | (1u << 16);
    const int year = local.tm_year + 1900;
    if (year < kDosFirstYear) return (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
    if (year > kDosLastYear) return 0xFF9FBF7Du;               // 2107-12-31 23:59:58
    const auto date = static_cast<std::uint32_t>(((year - kDosFirstYear) << 9) |
                                                 ((local.tm_mon + 1) << 5) | local.tm_mday);
    const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                                 (local.tm_sec / 2));
    return (date << 16) | time;
}

std::int64_t fromDosTime(std::uint32_t dosTime) {
    std::tm local{};
    local.tm_year = static_cast<int>((dosTime >> 25) & 0x7F) + kDosFirstYear - 1900;
    local.tm_mon = static_cast<int>((dosTime >> 21) & 0x0F) - 1;
    local.tm_mday = static_cast<int>((dosTime >> 16) & 0x1F);
    local.tm_hour = static_cast<int>((dosTime >> 11) & 0x1F);
    local.tm_min = static_cast<int>((dosTime >> 5) & 0x3F);
    local.tm_sec = static_cast<int>((dosTime & 0x1F) * 2);
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

bool needsZip64(const ZipItem& item) {
    return item.uncompressedSize >= zip::kMax32 || item.compressedSize >= zip::kMax32 ||
           item.localOffset >= zip::kMax32 || item.diskStart >= zip::kMax16;
}

namespace {

bool fitsTimestamp(std::int64_t seconds) {
    return seconds >= INT32_MIN && seconds <= INT32_MAX;
}

void appendTimestamp(le::Writer& out, const ZipItem& item) {
    if (!item.unixMtime || !fitsTimestamp(*item.unixMtime)) return;
    out.u16(zip::kExtraTimestamp);
    out.u16(zip::kTimestampExtraSize - zip::kExtraHeaderSize);
    out.u8(zip::kTimestampHasMtime);
    out.u32(static_cast<std::uint32_t>(static_cast<std::int32_t>(*item.unixMtime)));
}

// The NTFS times: the modification time in all three, as Linux keeps no creation time and the
// access time of a backup source says nothing worth keeping. Written in the central header only:
// readers take times from there (the local header's Unix field serves streaming readers), and
// 36 bytes more per entry would cost the archive a measurable share of its size.
void appendNtfs(le::Writer& out, const ZipItem& item) {
    if (!item.ntfsMtime) return;
    out.u16(zip::kExtraNtfs);
    out.u16(zip::kNtfsExtraSize - zip::kExtraHeaderSize);
    out.u32(0);  // reserved
    out.u16(zip::kNtfsTimesTag);
    out.u16(zip::kNtfsTimesSize);
    for (int time = 0; time < 3; ++time)
        out.u64(static_cast<std::uint64_t>(*item.ntfsMtime));
}

// True when `extra` holds a field with `tag`.
bool holdsField(const Bytes& extra, std::uint16_t tag) {
    for (std::size_t at = 0; at + zip::kExtraHeaderSize <= extra.size();) {
        if (le::getU16(extra, at) == tag) return true;
        at += zip::kExtraHeaderSize + le::getU16(extra, at + 2);
    }
    return false;
}

void appendAes(le::Writer& out, const ZipItem& item) {
    if (!item.aes) return;
    out.u16(zip::kExtraAes);
    out.u16(zip::kAesExtraSize - zip::kExtraHeaderSize);
    out.u16(item.aes->vendorVersion);
    out.u16(zip::kAesVendorId);
    out.u8(item.aes->strength);
    out.u16(item.aes->actualMethod);
}

}  // namespace

Bytes buildLocalExtra(const ZipItem& item, bool zip64Sizes) {
    Bytes extra;
    le::Writer out(extra);
    if (zip64Sizes) {
        out.u16(zip::kExtraZip64);
        out.u16(8 + 8);
        out.u64(item.uncompressedSize);
        out.u64(item.compressedSize);
    }
    appendTimestamp(out, item);
    appendAes(out, item);
    return extra;
}

Bytes buildCentralExtra(const ZipItem& item) {
    Bytes extra;
    le::Writer out(extra);
    if (needsZip64(item)) {
        Bytes fields;
        le::Writer body(fields);
        if (item.uncompressedSize >= zip::kMax32) body.u64(item.uncompressedSize);
        if (item.compressedSize >= zip::kMax32) body.u64(item.compressedSize);
        if (item.localOffset >= zip::kMax32) body.u64(item.localOffset);
        if (item.diskStart >= zip::kMax16) body.u32(item.diskStart);
        out.u16(zip::kExtraZip64);
        out.u16(static_cast<std::uint16_t>(fields.size()));
        out.bytes(fields);
    }
    appendTimestamp(out, item);
    // A copied entry keeps the NTFS field it came with (other tools fill all three times).
    if (!holdsField(item.otherExtra, zip::kExtraNtfs)) appendNtfs(out, item);
    appendAes(out, item);
    out.bytes(item.otherExtra);
    return extra;
}

namespace {

// Calls `visit(tag, data, size)` for each well-formed field; a truncated tail ends the walk, as
// some tools pad the extra area.
template <class Visit>
bool forEachExtra(const std::uint8_t* extra, std::size_t size, Visit visit) {
    std::size_t at = 0;
    while (at + zip::kExtraHeaderSize <= size) {
        const auto fields = view(extra, size);
        const std::uint16_t tag = le::getU16(fields, at);
        const std::uint16_t length = le::getU16(fields, at + 2);
        if (at + zip::kExtraHeaderSize + length > size) break;
        if (!visit(tag, extra + at + zip::kExtraHeaderSize, std::size_t{length}, extra + at)) {
            return false;
        }
        at += zip::kExtraHeaderSize + length;
    }
    return true;
}

}  // namespace

bool applyCentralExtra(ZipItem& item, const std::uint8_t* extra, std::size_t size) {
    return forEachExtra(
        extra, size,
        [&](std::uint16_t tag, const std::uint8_t* data, std::size_t length,
            const std::uint8_t* field) {
            const auto body = view(data, length);
            std::size_t at = 0;
            auto take64 = [&](std::uint64_t& value) {
                if (at + 8 > length) return false;
                value = le::getU64(body, at);
                at += 8;
                return true;
            };
            switch (tag) {
                case zip::kExtraZip64:
                    if (item.uncompressedSize == zip::kMax32 && !take64(item.uncompressedSize))
                        return false;
                    if (item.compressedSize == zip::kMax32 && !take64(item.compressedSize))
                        return false;
                    if (item.localOffset == zip::kMax32 && !take64(item.localOffset)) return false;
                    if (item.diskStart == zip::kMax16) {
                        if (at + 4 > length) return false;
                        item.diskStart = le::getU32(body, at);
                    }
                    return true;
                case zip::kExtraTimestamp:
                    if (length >= 5 && (data[0] & zip::kTimestampHasMtime) != 0) {
                        item.unixMtime = static_cast<std::int32_t>(le::getU32(body, 1));
                    }
                    return true;
                case zip::kExtraNtfs:
                    // Reserved (4), then attributes: tag 1 holds the three times.
                    for (at = 4; at + 4 <= length;) {
                        const std::uint16_t attribute = le::getU16(body, at);
                        const std::uint16_t attributeSize = le::getU16(body, at + 2);
                        at += 4;
                        if (at + attributeSize > length) break;
                        if (attribute == zip::kNtfsTimesTag &&
                            attributeSize >= zip::kNtfsTimesSize) {
                            item.ntfsMtime = static_cast<std::int64_t>(le::getU64(body, at));
                        }
                        at += attributeSize;
                    }
                    item.otherExtra.insert(item.otherExtra.end(), field, data + length);
                    return true;
                case zip::kExtraAes:
                    if (length < 7) return false;
                    item.aes = AesInfo{le::getU16(body, 0), data[4], le::getU16(body, 5)};
                    return true;
                default:
                    item.otherExtra.insert(item.otherExtra.end(), field, data + length);
                    return true;
            }
        });
}

bool applyLocalExtra(LocalSizes& sizes, const std::uint8_t* extra, std::size_t size) {
    return forEachExtra(
        extra, size,
        [&](std::uint16_t tag, const std::uint8_t* data, std::size_t length, const std::uint8_t*) {
            if (tag != zip::kExtraZip64) return true;
            const auto body = view(data, length);
            std::size_t at = 0;
            if (sizes.uncompressed == zip::kMax32) {
                if (at + 8 > length) return false;
                sizes.uncompressed = le::getU64(body, at);
                at += 8;
            }
            if (sizes.compressed == zip::kMax32) {
                if (at + 8 > length) return false;
                sizes.compressed = le::getU64(body, at);
            }
            sizes.zip64 = true;
            return true;
        });
}

}  // namespace corvane::archive
