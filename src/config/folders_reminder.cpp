#include "config/folders_reminder.h"

#include <unistd.h>

#include "common/file_io.h"

namespace corvane {

namespace {
constexpr std::string_view kMarkerName = "Rem.dat";
}  // namespace

FoldersReminder::FoldersReminder(std::string programFolder)
    : m_programFolder(std::move(programFolder)) {}

bool FoldersReminder::shouldShow(const std::string& programFolder) {
    return ::access((programFolder + std::string(kMarkerName)).c_str(), F_OK) != 0;
}

void FoldersReminder::close() {
    // A marker that cannot be written only means the reminder comes again.
    if (!m_showAgain) (void)createEmptyFile(m_programFolder + std::string(kMarkerName));
    m_open = false;
}

}  // namespace corvane
