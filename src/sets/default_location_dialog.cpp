#include "sets/default_location_dialog.h"

#include "common/text.h"
#include "config/folder_choice.h"
#include "sets/set_naming.h"

namespace corvane {

DefaultLocationDialog::DefaultLocationDialog(SetDocument& document)
    : m_document(document),
      m_location(trim(document.set().defaultLocation)),
      m_useDate(m_location.find("$DATE$") != std::string::npos),
      m_dateEnabled(!m_location.empty()) {}

std::string DefaultLocationDialog::archiveName() const {
    return m_useDate ? std::string(kDatedArchiveName)
                     : archiveNameFor(m_document.set().setName);
}

void DefaultLocationDialog::setUseDate(bool useDate) {
    if (!dateEnabled() || useDate == m_useDate) return;
    m_useDate = useDate;
    m_location = withArchiveName(m_location, archiveName());
}

void DefaultLocationDialog::chooseLocation() {
    const std::string folder =
        chooseFolderPath(m_document.context().host, "Select New Backup Location:");
    if (!folder.empty()) m_location = folder + archiveName();
}

void DefaultLocationDialog::close() {
    BackupSet& set = m_document.set();
    const std::string location = trim(m_location);
    if (location != set.defaultLocation) {
        set.defaultLocation = location;
        set.saved = false;
    }
    m_open = false;
}

}  // namespace corvane
