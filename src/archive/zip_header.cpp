#include "archive/zip_header.h"

#include "archive/result_codes.h"
#include "common/le_codec.h"

namespace corvane::archive {

namespace {

std::uint32_t clamp32(std::uint64_t value) {
    return value >= zip::kMax32 ? static_cast<std::uint32_t>(zip::kMax32)
                                : static_cast<std::uint32_t>(value);
}

std::uint16_t clamp16(std::uint64_t value) {
    return value >= zip::kMax16 ? static_cast<std::uint16_t>(zip::kMax16)
                                : static_cast<std::uint16_t>(value);
}

Error damaged(const std::string& what) {
    return Error{kNotZip, what};
}

}  // namespace

Bytes encodeLocalHeader(const ZipItem& item, bool streamed, bool zip64Sizes) {
    const Bytes extra = buildLocalExtra(item, zip64Sizes);
    Bytes header;
    header.reserve(zip::kLocalHeaderSize + item.name.size() + extra.size());
    le::Writer out(header);
    out.u32(zip::kLocalHeaderSignature);
    out.u16(item.versionNeeded);
    out.u16(static_cast<std::uint16_t>(item.flags | (streamed ? zip::kFlagDataDescriptor : 0)));
    out.u16(item.method);
    out.u32(item.dosTime);
    out.u32(streamed ? 0 : item.crc);
    out.u32(zip64Sizes ? static_cast<std::uint32_t>(zip::kMax32) : clamp32(item.compressedSize));
    out.u32(zip64Sizes ? static_cast<std::uint32_t>(zip::kMax32) : clamp32(item.uncompressedSize));
    out.u16(static_cast<std::uint16_t>(item.name.size()));
    out.u16(static_cast<std::uint16_t>(extra.size()));
    out.text(item.name);
    out.bytes(extra);
    return header;
}

Bytes encodeDataDescriptor(std::uint32_t crc, std::uint64_t compressed, std::uint64_t uncompressed,
                           bool zip64Sizes) {
    Bytes record;
    le::Writer out(record);
    out.u32(zip::kDataDescriptorSignature);
    out.u32(crc);
    if (zip64Sizes) {
        out.u64(compressed);
        out.u64(uncompressed);
    } else {
        out.u32(static_cast<std::uint32_t>(compressed));
        out.u32(static_cast<std::uint32_t>(uncompressed));
    }
    return record;
}

Bytes encodeCentralHeader(const ZipItem& item) {
    const Bytes extra = buildCentralExtra(item);
    Bytes header;
    header.reserve(zip::kCentralHeaderSize + item.name.size() + extra.size());
    le::Writer out(header);
    out.u32(zip::kCentralHeaderSignature);
    out.u16(item.versionMadeBy);
    out.u16(item.versionNeeded);
    out.u16(item.flags);
    out.u16(item.method);
    out.u32(item.dosTime);
    out.u32(item.crc);
    out.u32(clamp32(item.compressedSize));
    out.u32(clamp32(item.uncompressedSize));
    out.u16(static_cast<std::uint16_t>(item.name.size()));
    out.u16(static_cast<std::uint16_t>(extra.size()));
    out.u16(static_cast<std::uint16_t>(item.comment.size()));
    out.u16(clamp16(item.diskStart));
    out.u16(item.internalAttributes);
    out.u32(item.externalAttributes);
    out.u32(clamp32(item.localOffset));
    out.text(item.name);
    out.bytes(extra);
    out.text(item.comment);
    return header;
}

Result<LocalHeader> parseLocalFixed(std::span<const std::uint8_t> fixed) {
    if (fixed.size() < zip::kLocalHeaderSize ||
        le::getU32(fixed, 0) != zip::kLocalHeaderSignature) {
        return damaged("no local header where the directory points");
    }
    LocalHeader header;
    header.versionNeeded = le::getU16(fixed, 4);
    header.flags = le::getU16(fixed, 6);
    header.method = le::getU16(fixed, 8);
    header.dosTime = le::getU32(fixed, 10);
    header.crc = le::getU32(fixed, 14);
    header.sizes.compressed = le::getU32(fixed, 18);
    header.sizes.uncompressed = le::getU32(fixed, 22);
    header.nameLength = le::getU16(fixed, 26);
    header.extraLength = le::getU16(fixed, 28);
    return header;
}

Result<LocalHeader> completeLocal(LocalHeader header, std::span<const std::uint8_t> nameAndExtra) {
    if (nameAndExtra.size() < std::size_t{header.nameLength} + header.extraLength) {
        return damaged("local header cut short");
    }
    header.name.assign(reinterpret_cast<const char*>(nameAndExtra.data()), header.nameLength);
    if (!applyLocalExtra(header.sizes, nameAndExtra.data() + header.nameLength,
                         header.extraLength)) {
        return damaged("bad ZIP64 field in a local header");
    }
    return header;
}

Result<ZipItem> parseCentralHeader(std::span<const std::uint8_t> bytes, std::size_t& consumed) {
    if (bytes.size() < zip::kCentralHeaderSize ||
        le::getU32(bytes, 0) != zip::kCentralHeaderSignature) {
        return damaged("bad central directory record");
    }
    ZipItem item;
    item.versionMadeBy = le::getU16(bytes, 4);
    item.versionNeeded = le::getU16(bytes, 6);
    item.flags = le::getU16(bytes, 8);
    item.method = le::getU16(bytes, 10);
    item.dosTime = le::getU32(bytes, 12);
    item.crc = le::getU32(bytes, 16);
    item.compressedSize = le::getU32(bytes, 20);
    item.uncompressedSize = le::getU32(bytes, 24);
    const std::size_t nameLength = le::getU16(bytes, 28);
    const std::size_t extraLength = le::getU16(bytes, 30);
    const std::size_t commentLength = le::getU16(bytes, 32);
    item.diskStart = le::getU16(bytes, 34);
    item.internalAttributes = le::getU16(bytes, 36);
    item.externalAttributes = le::getU32(bytes, 38);
    item.localOffset = le::getU32(bytes, 42);
    consumed = zip::kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (bytes.size() < consumed) return damaged("central directory cut short");
    const auto* name = bytes.data() + zip::kCentralHeaderSize;
    item.name.assign(reinterpret_cast<const char*>(name), nameLength);
    if (!applyCentralExtra(item, name + nameLength, extraLength)) {
        return damaged("bad ZIP64 field in the central directory");
    }
    item.comment.assign(reinterpret_cast<const char*>(name + nameLength + extraLength),
                        commentLength);
    return item;
}

bool endNeedsZip64(const EndInfo& end) {
    return end.thisDisk >= zip::kMax16 || end.centralDisk >= zip::kMax16 ||
           end.entriesOnDisk >= zip::kMax16 || end.entriesTotal >= zip::kMax16 ||
           end.centralSize >= zip::kMax32 || end.centralOffset >= zip::kMax32;
}

Bytes encodeEndBlock(const EndInfo& end, std::uint64_t blockOffset) {
    Bytes block;
    le::Writer out(block);
    if (endNeedsZip64(end)) {
        out.u32(zip::kZip64EndSignature);
        out.u64(zip::kZip64EndSize - 4 - 8);
        out.u16(zip::kVersionMadeBy);
        out.u16(zip::kVersionZip64);
        out.u32(end.thisDisk);
        out.u32(end.centralDisk);
        out.u64(end.entriesOnDisk);
        out.u64(end.entriesTotal);
        out.u64(end.centralSize);
        out.u64(end.centralOffset);
        out.u32(zip::kZip64LocatorSignature);
        out.u32(end.thisDisk);
        out.u64(blockOffset);
        out.u32(end.thisDisk + 1);
    }
    out.u32(zip::kEndOfCentralSignature);
    out.u16(clamp16(end.thisDisk));
    out.u16(clamp16(end.centralDisk));
    out.u16(clamp16(end.entriesOnDisk));
    out.u16(clamp16(end.entriesTotal));
    out.u32(clamp32(end.centralSize));
    out.u32(clamp32(end.centralOffset));
    out.u16(0);  // no comment
    return block;
}

std::optional<std::size_t> findEndRecord(std::span<const std::uint8_t> tail) {
    if (tail.size() < zip::kEndOfCentralSize) return std::nullopt;
    for (std::size_t at = tail.size() - zip::kEndOfCentralSize + 1; at-- > 0;) {
        if (le::getU32(tail, at) != zip::kEndOfCentralSignature) continue;
        const std::size_t commentLength = le::getU16(tail, at + 20);
        if (at + zip::kEndOfCentralSize + commentLength <= tail.size()) return at;
    }
    return std::nullopt;
}

Result<EndInfo> parseEndRecord(std::span<const std::uint8_t> record) {
    if (record.size() < zip::kEndOfCentralSize ||
        le::getU32(record, 0) != zip::kEndOfCentralSignature) {
        return damaged("no end of central directory record");
    }
    EndInfo end;
    end.thisDisk = le::getU16(record, 4);
    end.centralDisk = le::getU16(record, 6);
    end.entriesOnDisk = le::getU16(record, 8);
    end.entriesTotal = le::getU16(record, 10);
    end.centralSize = le::getU32(record, 12);
    end.centralOffset = le::getU32(record, 16);
    return end;
}

std::optional<Zip64Locator> parseZip64Locator(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < zip::kZip64LocatorSize ||
        le::getU32(bytes, 0) != zip::kZip64LocatorSignature) {
        return std::nullopt;
    }
    return Zip64Locator{le::getU32(bytes, 4), le::getU64(bytes, 8), le::getU32(bytes, 16)};
}

Status applyZip64End(std::span<const std::uint8_t> record, EndInfo& end) {
    if (record.size() < zip::kZip64EndSize || le::getU32(record, 0) != zip::kZip64EndSignature) {
        return damaged("no ZIP64 end record where the locator points");
    }
    end.thisDisk = le::getU32(record, 16);
    end.centralDisk = le::getU32(record, 20);
    end.entriesOnDisk = le::getU64(record, 24);
    end.entriesTotal = le::getU64(record, 32);
    end.centralSize = le::getU64(record, 40);
    end.centralOffset = le::getU64(record, 48);
    end.zip64 = true;
    return {};
}

}  // namespace corvane::archive
