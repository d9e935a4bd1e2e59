#pragma once

#include "platform/file_system.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane {

enum class BackupStyle { MultipleDisks = 1, SingleArchive = 2, CdMultipleDisks = 3 };

inline bool isDiskStyle(BackupStyle style) {
    return style != BackupStyle::SingleArchive;
}

// What "&Start Backup" reports: the style and, for CD backups, the chosen capacity text.
struct BackupChoice {
    BackupStyle style = BackupStyle::SingleArchive;
    std::string capacityText;
};

// The "Select Type of Backup" dialog.
class BackupTypeDialog {
public:
    // Fills the capacity list ("400 MB" to "999 MB") and selects the stored capacity; a stored
    // value of 0 selects "600 MB", one outside the list selects nothing.
    explicit BackupTypeDialog(const std::string& storedCapacity);

    BackupStyle style() const { return m_style; }
    void selectStyle(BackupStyle style) { m_style = style; }

    const std::vector<std::string>& capacities() const { return m_capacities; }
    std::optional<std::size_t> selectedCapacity() const { return m_selected; }
    void selectCapacity(std::size_t index);
    // The capacity list is enabled only while the CD choice is selected.
    bool capacityEnabled() const { return m_style == BackupStyle::CdMultipleDisks; }

    BackupChoice start() const;

private:
    BackupStyle m_style = BackupStyle::SingleArchive;
    std::vector<std::string> m_capacities;
    std::optional<std::size_t> m_selected;
};

// The "CDR/CDRW Information" reminder, shown after "&Start Backup" with the CD style while
// CDRemind.dat does not exist.
class CdReminderDialog {
public:
    explicit CdReminderDialog(std::string programFolder);

    static bool shouldShow(const FileSystem& files, const std::string& programFolder);

    bool showAgain() const { return m_showAgain; }
    void setShowAgain(bool showAgain) { m_showAgain = showAgain; }
    // Closing with "Show this Screen Again" cleared writes CDRemind.dat, so it is not shown again.
    void close() const;

private:
    std::string m_programFolder;
    bool m_showAgain = true;
};

}  // namespace corvane
