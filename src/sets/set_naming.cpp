#include "sets/set_naming.h"

#include <algorithm>

#include "common/text.h"
#include "config/folder_choice.h"

namespace corvane {

std::string archiveNameFor(std::string_view setFileName) {
    setFileName.remove_suffix(std::min<std::size_t>(setFileName.size(), 4));
    return std::string(setFileName) + ".bac";
}

std::string withArchiveName(std::string_view location, std::string_view archiveName) {
    if (location.find(kSeparator) == std::string_view::npos) return std::string(location);
    const std::string trimmed = trim(location);
    std::string folder;
    fileNameOf(trimmed, folder);
    return trim(folder) + std::string(archiveName);
}

void SetNamingFields::setName(std::string name) {
    m_name = std::move(name);
    if (!dateEnabled()) m_useDate = false;
}

bool SetNamingFields::dateEnabled() const { return !trim(m_name).empty(); }

void SetNamingFields::setUseDate(bool useDate) {
    if (!dateEnabled() || useDate == m_useDate) return;
    m_useDate = useDate;
    m_location = withArchiveName(m_location, archiveName());
}

void SetNamingFields::chooseLocation() {
    if (!locationButtonEnabled()) return;
    const std::string folder = chooseFolderPath(m_host, "Select Backup Location:");
    if (!folder.empty()) m_location = folder + archiveName();
}

bool SetNamingFields::complete() const {
    return !trim(m_name).empty() && !trim(m_location).empty();
}

std::string SetNamingFields::setFileName() const { return trim(m_name) + ".cvt"; }

std::string SetNamingFields::archiveName() const {
    return m_useDate ? std::string(kDatedArchiveName) : trim(m_name) + ".bac";
}

}  // namespace corvane
