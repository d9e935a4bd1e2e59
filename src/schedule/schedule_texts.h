#pragma once

#include <string>
#include <string_view>

// The fixed texts of the timed backup, task and chooser windows, shared by the presentation
// models and the window layer. Message texts are shown exactly as given here.
namespace corvane::schedule_texts {

inline constexpr std::string_view kTimedListCaption = "Timed Backups";
inline constexpr std::string_view kTimedListIntro =
    "This option allows you to specify certain backups to be performed automatically at certain "
    "times.  Note:  The Timed Backups Manager will be shut down automatically, so ensure a "
    "backup is not currently in progress when adding, removing or modifying timed backups.";
inline constexpr int kTimedHelpTopic = 25;

inline constexpr std::string_view kNewEditorCaption = "Setup Timed Backup";
inline constexpr std::string_view kNewEditorIntro =
    "This option allows you to add a backup to your timed backup list.";
inline constexpr std::string_view kModifyEditorCaption = "Modify Timed Backup";
inline constexpr std::string_view kModifyEditorIntro =
    "This option allows you to make changes to the currently selected timed backup.";

inline constexpr std::string_view kTaskListCaption = "Track Backup Tasks";
inline constexpr std::string_view kTaskListIntro =
    "This option allows you to keep track of your most important Backups.  You will easily be "
    "able to see if a backup operation was performed and when.";
inline constexpr int kTaskHelpTopic = 24;

inline constexpr std::string_view kChooserCaption = "Select Task Type";
inline constexpr std::string_view kChooserText = "Select Task to perform:";
inline constexpr std::string_view kScheduleChoice = "Schedule Timed Backups";
inline constexpr std::string_view kTrackChoice = "Track Important Backups";

// Choosing a set file.
inline constexpr std::string_view kChooseSetTitle = "Choose Backup Set";
inline constexpr std::string_view kSetFilter = "Corvane Sets (*.cvt)|*.cvt";
inline constexpr std::string_view kChooseLocationTitle = "Select Device or Location to Backup to:";

inline constexpr std::string_view kErrorTitle = "Error";

inline constexpr std::string_view kIncompatibleTitle = "Incompatible Backup Set";
inline constexpr std::string_view kIncompatibleText =
    "The Backup Set you are attempting to open was created with Corvane previous to v5.0.  "
    "Previous Backup Sets are not compatible with this version.\r\n\r\nYour Backup Set will have "
    "to be recreated using this version of Corvane.";

inline constexpr std::string_view kUnableToAddTitle = "Unable to Add";
inline constexpr std::string_view kDuplicateText = "A Backup entry for that item already exists.";

inline constexpr std::string_view kManagerNotStoppedText =
    "Corvane was unable to shut down the Timed Backups Manager automatically.  Please shut down "
    "the Manager from your System Tray and try again.";
inline constexpr std::string_view kManagerNotStartedTitle = "Error Loading";
inline constexpr std::string_view kManagerNotStartedText =
    "Error loading the Timed Backups Manager (cvtimer).";

inline constexpr std::string_view kSetNotFoundTitle = "Backup Set Not Found";
inline constexpr std::string_view kSetNotFoundText =
    "The selected backup set cannot be found.  Unable to modify.\r\n\r\nPlease recreate the "
    "backup set in order to use it as a Timed Backup again.";

inline constexpr std::string_view kSettingFailedText = "Error Setting Timed Backup.";
inline constexpr std::string_view kRemovingFailedText = "Error Removing Timed Backup.";
// Followed by the list file's path and a full stop.
inline constexpr std::string_view kListReadFailedText = "Unable to read the list file ";
inline constexpr std::string_view kListWriteFailedText = "Unable to save the list file ";

inline constexpr std::string_view kNoNameTitle = "No Backup Name";
inline constexpr std::string_view kNoNameText =
    "Unable to add Backup.  Backup 'Name' has not been specified.";
inline constexpr std::string_view kInvalidTimeTitle = "Invalid Backup Time";
inline constexpr std::string_view kTimeMissingText =
    "Unable to add Backup.  Backup 'Hour' and 'Minute' must be specified.";
inline constexpr std::string_view kMidnightText =
    "Unable to add Backup.  Backup 'Hour' and 'Minute' cannot be set to '00:00'.";
inline constexpr std::string_view kInvalidTypeTitle = "Invalid Backup Type";
inline constexpr std::string_view kTypeMissingText =
    "Unable to add Backup.  Backup 'Type' must be specified.";
inline constexpr std::string_view kPassedTitle = "Invalid Time";
inline constexpr std::string_view kPassedText =
    "Unable to set the Timed Backup for today.  The time you have entered has already passed.";
inline constexpr std::string_view kSetReadFailedText =
    "Error reading in information from Backup Set.  Unable to load the selected Backup Set.";
inline constexpr std::string_view kLocationFailedText =
    "Error encountered setting the new default location.";

// A failure message: the sentence, a blank line and the error number.
inline std::string withErrorNumber(std::string_view text, int code) {
    return std::string(text) + "\r\n\r\nError:  " + std::to_string(code);
}

// A list file that could not be read or saved: the sentence with the file's path, a blank line
// and the error number.
inline std::string listFileMessage(std::string_view text, const std::string& path, int code) {
    return withErrorNumber(std::string(text) + path + ".", code);
}

}  // namespace corvane::schedule_texts
