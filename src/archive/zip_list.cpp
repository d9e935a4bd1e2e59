// The list operation: the central directory of an archive, single or split, with the entries
// that share their data marked.
#include "archive/operations.h"
#include "archive/result_codes.h"
#include "archive/zip_in.h"

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
        for (std::uint32_t disk = 0; disk < volumes.count(); ++disk) {
            listing.volumePaths.push_back(volumeName(settings.archivePath, disk, volumes.count()));
            listing.archiveBytes += volumes.openSize(disk).value_or(0);
        }
        return kDone;
    } catch (const std::bad_alloc&) {
        return kInternalError;
    }
}

}  // namespace corvane::archive
