#include "archive/zip_in.h"

#include "archive/result_codes.h"
#include "common/le_codec.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace corvane::archive {

namespace {

constexpr std::uint32_t kMaxVolumes = 100000;
// A directory larger than this on a multi-volume archive is taken for damage.
constexpr std::uint64_t kMaxCentralSize = std::uint64_t{1} << 40;
constexpr std::size_t kCentralBlock = 256 * 1024;

Error damaged(const std::string& what) {
    return Error{kNotZip, what};
}

struct EndLocation {
    EndInfo end;
    std::uint64_t endOffset = 0;   // where the classic end record starts in the last volume
    std::uint64_t zip64Bytes = 0;  // ZIP64 end record and locator right before it
};

Result<EndLocation> locateEnd(VolumeReader& volumes) {
    if (Status opened = volumes.openLast(); !opened) return opened.error();
    auto lastSize = volumes.size(0);
    if (!lastSize) return lastSize.error();
    const std::uint64_t tailLength = std::min<std::uint64_t>(
        *lastSize, zip::kEndOfCentralSize + zip::kMaxCommentSize + zip::kZip64LocatorSize);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailLength));
    const std::uint64_t tailStart = *lastSize - tailLength;
    if (Status got = volumes.read({0, tailStart}, tail); !got) return got.error();
    const auto found = findEndRecord(tail);
    if (!found) return damaged("no end of central directory: not a ZIP archive, or cut short");
    auto end = parseEndRecord(std::span(tail).subspan(*found));
    if (!end) return end.error();
    EndLocation location{*end, tailStart + *found, 0};
    const auto locator = *found >= zip::kZip64LocatorSize
                             ? parseZip64Locator(std::span(tail).subspan(
                                   *found - zip::kZip64LocatorSize, zip::kZip64LocatorSize))
                             : std::nullopt;
    if (!locator) {
        volumes.setCount(location.end.thisDisk + 1);
        return location;
    }
    if (locator->totalDisks == 0 || locator->totalDisks > kMaxVolumes ||
        locator->endDisk >= locator->totalDisks) {
        return damaged("bad ZIP64 locator");
    }
    volumes.setCount(locator->totalDisks);
    std::vector<std::uint8_t> record(zip::kZip64EndSize);
    if (Status got = volumes.read({locator->endDisk, locator->endOffset}, record); !got) {
        return got.error();
    }
    if (Status applied = applyZip64End(record, location.end); !applied) return applied.error();
    if (location.end.thisDisk + 1 != locator->totalDisks) return damaged("bad ZIP64 end record");
    if (locator->endDisk + 1 == locator->totalDisks &&
        locator->endOffset + zip::kZip64EndSize + zip::kZip64LocatorSize == location.endOffset) {
        location.zip64Bytes = zip::kZip64EndSize + zip::kZip64LocatorSize;
    }
    return location;
}

// Bytes in front of a single-volume archive (a self-extractor stub, a prepended file) shift
// every offset; the directory then ends right before the end records instead.
std::uint64_t findPrefix(VolumeReader& volumes, const EndLocation& location) {
    const EndInfo& end = location.end;
    if (volumes.count() != 1 || location.endOffset < location.zip64Bytes) return 0;
    const std::uint64_t directoryEnd = location.endOffset - location.zip64Bytes;
    if (end.centralOffset + end.centralSize >= directoryEnd || end.centralSize == 0) return 0;
    const std::uint64_t prefix = directoryEnd - end.centralOffset - end.centralSize;
    std::vector<std::uint8_t> signature(4);
    if (!volumes.read({0, end.centralOffset + prefix}, signature)) return 0;
    return le::getU32(signature, 0) == zip::kCentralHeaderSignature ? prefix : 0;
}

}  // namespace

Result<ArchiveDirectory> readDirectory(VolumeReader& volumes) {
    auto location = locateEnd(volumes);
    if (!location) return location.error();
    ArchiveDirectory directory;
    directory.end = location->end;
    const EndInfo& end = directory.end;
    if (end.thisDisk + 1 != volumes.count() || end.centralDisk > end.thisDisk ||
        end.entriesOnDisk > end.entriesTotal) {
        return damaged("inconsistent end of central directory");
    }
    const std::uint64_t limit = volumes.count() == 1 ? location->endOffset : kMaxCentralSize;
    if (end.centralSize > limit || end.entriesTotal > end.centralSize / zip::kCentralHeaderSize) {
        return damaged("the central directory does not fit in the archive");
    }
    directory.prefixBytes = findPrefix(volumes, *location);
    directory.centralStart = {end.centralDisk, end.centralOffset + directory.prefixBytes};
    if (volumes.count() == 1 && directory.centralStart.offset + end.centralSize > limit) {
        return damaged("the central directory overlaps the end records");
    }
    // Read in blocks and parsed as it comes, so that a damaged size asks for no memory.
    std::vector<std::uint8_t> buffer;
    std::size_t used = 0;
    VolumePosition next = directory.centralStart;
    std::uint64_t unread = end.centralSize;
    auto fill = [&](std::size_t wanted) -> Status {
        if (buffer.size() - used >= wanted) return {};
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(used));
        used = 0;
        const std::size_t more = static_cast<std::size_t>(std::min<std::uint64_t>(
            unread, std::max<std::size_t>(wanted - buffer.size(), kCentralBlock)));
        const std::size_t start = buffer.size();
        buffer.resize(start + more);
        if (Status got = volumes.read(next, std::span(buffer).subspan(start)); !got) return got;
        next.offset += more;
        unread -= more;
        return {};
    };
    // Some writers store the entry count modulo 65536: read every record the directory holds.
    for (;;) {
        if (Status got = fill(zip::kCentralHeaderSize); !got) return got.error();
        std::span<const std::uint8_t> rest = std::span(buffer).subspan(used);
        if (rest.size() < zip::kCentralHeaderSize ||
            le::getU32(rest, 0) != zip::kCentralHeaderSignature)
            break;
        const std::size_t length = zip::kCentralHeaderSize + le::getU16(rest, 28) +
                                   le::getU16(rest, 30) + le::getU16(rest, 32);
        if (Status got = fill(length); !got) return got.error();
        std::size_t consumed = 0;
        auto item = parseCentralHeader(std::span(buffer).subspan(used), consumed);
        if (!item) return item.error();
        directory.items.push_back(std::move(item.value()));
        used += consumed;
    }
    const std::uint64_t found = directory.items.size();
    const bool countMatches =
        end.zip64 ? found == end.entriesTotal : found % 0x10000 == end.entriesTotal % 0x10000;
    if (!countMatches) return damaged("the central directory does not hold the entries it should");
    return directory;
}

namespace {

std::uint64_t addClamped(std::uint64_t a, std::uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// Where each volume starts in the archive as one run of bytes; empty when a size is unknown.
std::vector<std::uint64_t> volumeStarts(const VolumeReader& volumes) {
    std::vector<std::uint64_t> starts;
    std::uint64_t start = 0;
    for (std::uint32_t disk = 0; disk < volumes.count(); ++disk) {
        const auto size = volumes.openSize(disk);
        if (!size) return {};
        starts.push_back(start);
        start = addClamped(start, *size);
    }
    return starts;
}

}  // namespace

std::vector<bool> findOverlaps(const ArchiveDirectory& directory, const VolumeReader& volumes) {
    const auto& items = directory.items;
    const std::vector<std::uint64_t> starts = volumeStarts(volumes);
    // One key per position: (volume, offset), or (0, offset in the whole) when sizes are known.
    const auto place = [&](std::uint32_t disk, std::uint64_t offset) {
        if (disk == 0) offset = addClamped(offset, directory.prefixBytes);
        if (starts.empty() || disk >= starts.size()) return std::pair{disk, offset};
        return std::pair{std::uint32_t{0}, addClamped(starts[disk], offset)};
    };
    // Each entry's start, worked out once, sorted with the entry's number.
    struct Start {
        std::pair<std::uint32_t, std::uint64_t> place;
        std::size_t index;
        bool operator<(const Start& other) const {
            return std::tie(place, index) < std::tie(other.place, other.index);
        }
    };
    std::vector<Start> order(items.size());
    for (std::size_t at = 0; at < order.size(); ++at)
        order[at] = Start{place(items[at].diskStart, items[at].localOffset), at};
    std::sort(order.begin(), order.end());
    const auto central = place(directory.centralStart.disk,
                               directory.centralStart.offset -
                                   (directory.centralStart.disk == 0 ? directory.prefixBytes : 0));
    std::vector<bool> overlapping(items.size(), false);
    // The furthest end so far: an entry starting before it shares bytes with an earlier one.
    std::optional<std::pair<std::uint32_t, std::uint64_t>> reach;
    for (const auto& [begin, index] : order) {
        const ZipItem& item = items[index];
        if (reach && reach->first == begin.first && begin.second < reach->second) {
            overlapping[index] = true;
            continue;
        }
        // The least an entry takes: its header with the name, and its data.
        const auto end = std::pair{
            begin.first,
            addClamped(begin.second,
                       addClamped(zip::kLocalHeaderSize + item.name.size(), item.compressedSize))};
        if (end.first == central.first && begin.second < central.second &&
            end.second > central.second) {
            overlapping[index] = true;
            continue;
        }
        if (!reach || reach->first != end.first || end.second > reach->second) reach = end;
    }
    return overlapping;
}

}  // namespace corvane::archive
