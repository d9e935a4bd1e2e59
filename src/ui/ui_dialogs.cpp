#include "ui/ui_dialogs.h"

#include "ui/backup_windows.h"
#include "ui/entry_windows.h"
#include "ui/info_windows.h"
#include "ui/offsite_window.h"
#include "ui/set_windows.h"
#include "ui/statistics_window.h"
#include "ui/wizard_window.h"

namespace corvane::ui {

namespace {

template <typename Window, typename Model>
int show(QtHost& host, Model& model) {
    Window window(model, host, host.dialogParent());
    return host.runModal(window);
}

}  // namespace

void UiDialogs::newSet(NewSetDialog& dialog) {
    show<NewSetWindow>(m_host, dialog);
}
void UiDialogs::openSet(OpenSetDialog& dialog) {
    show<OpenSetWindow>(m_host, dialog);
}
void UiDialogs::wizard(NewSetWizard& wizard) {
    show<WizardWindow>(m_host, wizard);
}
void UiDialogs::folderPicker(FolderPicker& picker) {
    show<FolderPickerWindow>(m_host, picker);
}
void UiDialogs::wildcard(WildcardDialog& dialog) {
    show<WildcardWindow>(m_host, dialog);
}
void UiDialogs::exclusion(ExclusionDialog& dialog) {
    show<ExclusionWindow>(m_host, dialog);
}
void UiDialogs::defaultLocation(DefaultLocationDialog& dialog) {
    show<DefaultLocationWindow>(m_host, dialog);
}
void UiDialogs::statistics(SetStatistics& statistics) {
    show<StatisticsWindow>(m_host, statistics);
}
bool UiDialogs::backupType(BackupTypeDialog& dialog) {
    return show<BackupTypeWindow>(m_host, dialog) == QDialog::Accepted;
}
void UiDialogs::cdReminder(CdReminderDialog& reminder) {
    show<CdReminderWindow>(m_host, reminder);
}
void UiDialogs::logViewer(LogViewer& viewer) {
    show<LogViewerWindow>(m_host, viewer);
}
bool UiDialogs::offsite(OffsiteDialog& dialog) {
    show<OffsiteWindow>(m_host, dialog);
    return true;
}
void UiDialogs::foldersReminder(FoldersReminder& reminder) {
    show<ReminderWindow>(m_host, reminder);
}

void UiDialogs::about() {
    InfoWindow window(InfoWindow::Kind::About, m_host, m_host.dialogParent());
    m_host.runModal(window);
}

void UiDialogs::productUpdate() {
    InfoWindow window(InfoWindow::Kind::ProductUpdate, m_host, m_host.dialogParent());
    m_host.runModal(window);
}

void UiDialogs::tutorial() {
    InfoWindow window(InfoWindow::Kind::Tutorial, m_host, m_host.dialogParent());
    m_host.runModal(window);
}

void UiDialogs::closeMainWindow() {
    if (QWidget* window = m_host.mainWindow()) window->close();
}

}  // namespace corvane::ui
