#include "sets/archive_destination.h"

#include "common/text.h"
#include "sets/set_naming.h"

#include <cstdio>

namespace corvane {

namespace {

// Everything up to and including the last separator; empty when there is none.
std::string folderPart(const std::string& path) {
    const auto slash = path.rfind(kSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string datedArchiveName(const LocalDateTime& day, std::string_view setFileName) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", day.month, day.day, day.year);
    return std::string(date) + " - " + archiveNameFor(trim(setFileName));
}

std::string ArchiveDestination::archivePath(const LocalDateTime& day,
                                            std::string_view setFileName) const {
    if (!dated()) return m_location;
    return folderPart(m_location) + datedArchiveName(day, setFileName);
}

ArchiveDestination ArchiveDestination::inFolder(const std::string& folder,
                                                std::string_view setFileName) const {
    return ArchiveDestination(
        folder + (dated() ? std::string(kDatedArchiveName) : archiveNameFor(trim(setFileName))));
}

}  // namespace corvane
