#pragma once

#include "common/date_text.h"

#include <string>
#include <string_view>

namespace corvane {

// Where a set's backups go: its DefaultLocation, either a full archive path or a folder followed
// by "$DATE$.bac", which names every run's archive after the day it runs.
class ArchiveDestination {
public:
    explicit ArchiveDestination(std::string location) : m_location(std::move(location)) {}

    const std::string& location() const { return m_location; }
    bool dated() const { return m_location.find("$DATE$") != std::string::npos; }

    // The archive a run on `day` writes for the set file `setFileName` ("Office.cvt"): a dated
    // location gives its folder followed by datedArchiveName(); any other is used as it stands.
    std::string archivePath(const LocalDateTime& day, std::string_view setFileName) const;

    // The location once the user has picked `folder` (ending in "/"): still dated when it was,
    // else the folder followed by the set's own archive name.
    ArchiveDestination inFolder(const std::string& folder, std::string_view setFileName) const;

private:
    std::string m_location;
};

// "MM-DD-YYYY - Name.bac": the archive name of the set file `setFileName` for a run on `day`.
std::string datedArchiveName(const LocalDateTime& day, std::string_view setFileName);

}  // namespace corvane
