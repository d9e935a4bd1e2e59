// The list operation: the central directory of an archive, single or split, with the entries
// that share their data marked.
#include "archive/operations.h"
#include "archive/result_codes.h"
#include "archive/zip_in.h"

#include <algorithm>
#include <vector>

namespace corvane::archive {

int runList(const ArchiveSettings& settings, OperationEvents& events, ArchiveListing& listing) {
    if (settings.archivePath.empty()) return kBadArguments;
    try {
        VolumeReader volumes(settings.archivePath, &events);
        auto directory = readDirectory(volumes);
        if (!directory) return directory.error().code;
        volumes.openPresent();
        listing = ArchiveListing{};
        listing.overlapping = findOverlaps(*directory, volumes);
        listing.items = std::move(directory->items);
        // A volume not at hand (a disk still to be inserted) counts with the bytes the directory
        // places on it, so that a restore from the last disk sees the whole archive's size.
        std::vector<std::uint64_t> placed(volumes.count(), 0);
        for (const ZipItem& item : listing.items) {
            if (item.diskStart >= placed.size()) continue;
            const std::uint64_t end = item.localOffset + zip::kLocalHeaderSize +
                                      item.name.size() + item.compressedSize;
            placed[item.diskStart] = std::max({placed[item.diskStart], end, item.localOffset});
        }
        for (std::uint32_t disk = 0; disk < volumes.count(); ++disk) {
            listing.volumePaths.push_back(volumeName(settings.archivePath, disk, volumes.count()));
            listing.archiveBytes += volumes.openSize(disk).value_or(placed[disk]);
        }
        return kDone;
    } catch (const std::bad_alloc&) {
        return kInternalError;
    }
}

}  // namespace corvane::archive
