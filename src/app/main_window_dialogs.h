#pragma once

#include "app/log_viewer.h"
#include "app/offsite_dialog.h"
#include "config/options_dialog.h"
#include "engine/backup_type_dialog.h"
#include "favorites/favorites_list.h"
#include "sets/default_location_dialog.h"
#include "sets/entry_dialogs.h"
#include "sets/folder_picker.h"
#include "sets/new_set_dialog.h"
#include "sets/new_set_wizard.h"
#include "sets/open_set_dialog.h"
#include "sets/set_statistics.h"

namespace corvane {

// The windows the main window's commands open, as the window layer provides them. Each shows
// its window modally over the main window, bound to the model it is given, and returns once the
// window has closed; the command then reads the outcome from the model.
class MainWindowDialogs {
public:
    virtual ~MainWindowDialogs() = default;

    virtual void newSet(NewSetDialog& dialog) = 0;
    virtual void openSet(OpenSetDialog& dialog) = 0;
    virtual void wizard(NewSetWizard& wizard) = 0;
    virtual void folderPicker(FolderPicker& picker) = 0;
    virtual void wildcard(WildcardDialog& dialog) = 0;
    virtual void exclusion(ExclusionDialog& dialog) = 0;
    virtual void defaultLocation(DefaultLocationDialog& dialog) = 0;
    virtual void statistics(SetStatistics& statistics) = 0;
    // True when "&Start Backup" closed the window.
    virtual bool backupType(BackupTypeDialog& dialog) = 0;
    virtual void cdReminder(CdReminderDialog& reminder) = 0;
    virtual void logViewer(LogViewer& viewer) = 0;
    virtual void about() = 0;
    virtual void productUpdate() = 0;
    virtual void tutorial() = 0;

    // Windows that a window layer may not have yet: false when it has none (nothing was shown).
    virtual bool options(OptionsDialog& dialog) = 0;
    virtual bool taskManager() = 0;
    virtual bool favorites(FavoritesList& list) = 0;
    virtual bool registry() = 0;
    // "Off-site Copy...": false when the window layer has no such window.
    virtual bool offsite(OffsiteDialog& /*dialog*/) { return false; }

    // "ID_FileExit": closes the main window, whose closing step then runs.
    virtual void closeMainWindow() = 0;
};

}  // namespace corvane
