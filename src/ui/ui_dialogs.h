#pragma once

#include "app/main_window_dialogs.h"
#include "config/folders_reminder.h"
#include "ui/qt_host.h"

namespace corvane::ui {

// The windows of the main window's commands, each bound to the model the dispatcher gives and
// shown modally through the host.
class UiDialogs final : public MainWindowDialogs {
public:
    explicit UiDialogs(QtHost& host) : m_host(host) {}

    void newSet(NewSetDialog& dialog) override;
    void openSet(OpenSetDialog& dialog) override;
    void wizard(NewSetWizard& wizard) override;
    void folderPicker(FolderPicker& picker) override;
    void wildcard(WildcardDialog& dialog) override;
    void exclusion(ExclusionDialog& dialog) override;
    void defaultLocation(DefaultLocationDialog& dialog) override;
    void statistics(SetStatistics& statistics) override;
    bool backupType(BackupTypeDialog& dialog) override;
    void cdReminder(CdReminderDialog& reminder) override;
    void logViewer(LogViewer& viewer) override;
    void about() override;
    void productUpdate() override;
    void tutorial() override;
    // The windows of these commands come later: none is shown yet.
    bool options(OptionsDialog&) override { return false; }
    bool taskManager() override { return false; }
    bool favorites(FavoritesList&) override { return false; }
    bool registry() override { return false; }
    bool offsite(OffsiteDialog& dialog) override;
    void closeMainWindow() override;

    // The one-time reminder about "Always include all found folders", for the options window.
    void foldersReminder(FoldersReminder& reminder);

private:
    QtHost& m_host;
};

}  // namespace corvane::ui
