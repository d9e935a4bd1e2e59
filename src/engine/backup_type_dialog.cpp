#include "engine/backup_type_dialog.h"

#include "common/file_io.h"
#include "common/number_text.h"

namespace corvane {

BackupTypeDialog::BackupTypeDialog(const std::string& storedCapacity) {
    for (int megabytes = 400; megabytes <= 999; ++megabytes) {
        m_capacities.push_back(std::to_string(megabytes) + " MB");
    }
    auto wanted = static_cast<long>(leadingNumber(storedCapacity.substr(0, 3)));
    if (wanted == 0) wanted = 600;
    if (wanted >= 400 && wanted <= 999) m_selected = static_cast<std::size_t>(wanted - 400);
}

void BackupTypeDialog::selectCapacity(std::size_t index) {
    if (index < m_capacities.size()) m_selected = index;
}

BackupChoice BackupTypeDialog::start() const {
    BackupChoice choice{m_style, {}};
    if (m_style == BackupStyle::CdMultipleDisks && m_selected) {
        choice.capacityText = m_capacities[*m_selected];
    }
    return choice;
}

CdReminderDialog::CdReminderDialog(std::string programFolder)
    : m_programFolder(std::move(programFolder)) {}

bool CdReminderDialog::shouldShow(const FileSystem& files, const std::string& programFolder) {
    return !files.exists(programFolder + "CDRemind.dat");
}

void CdReminderDialog::close() const {
    if (!m_showAgain) (void)writeFileAtomically(m_programFolder + "CDRemind.dat", "OK\r\n");
}

}  // namespace corvane
