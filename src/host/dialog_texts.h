#pragma once

#include <array>
#include <string_view>

// The fixed texts of the engine's dialogs, shared by the presentation models, the window layer
// and the console host.
namespace corvane::dialog_texts {

inline constexpr std::string_view kBackupTypeTitle = "Select Type of Backup";
inline constexpr std::string_view kBackupTypeIntro =
    "This option allows you to set the type of backup you require.";
inline constexpr std::string_view kSingleArchive = "Single Archive Backup";
inline constexpr std::string_view kSingleArchiveNote =
    "This style of backup is best for single archives written to another hard disk or any other "
    "device and the backup will not require multiple disks.  This style can be updated.";
inline constexpr std::string_view kMultipleDisk = "Multiple Disk Backup";
inline constexpr std::string_view kMultipleDiskNote =
    "This style of backup is required if you are writing to a floppy disk or a removable device "
    "and the backup will require more than one disk to complete.";
inline constexpr std::string_view kCdMultipleDisk = "CDR/CDRW Multiple Disk Backup";
inline constexpr std::string_view kCdMultipleDiskNote =
    "This style of backup is required if you are writing to CDR or CDRW disks and the backup "
    "will require more than one disk to complete.";
inline constexpr std::string_view kSizePerDisk = "Size per Disk";
inline constexpr std::string_view kStartBackup = "&Start Backup";
inline constexpr int kBackupTypeHelpTopic = 26;

inline constexpr std::string_view kCdReminderTitle = "CDR/CDRW Information";
inline constexpr std::array<std::string_view, 4> kCdReminderLines = {
    "CDR/CDRW Special Notes:",
    "In order to properly write to and span multiple CDR or CDRW disks, you must have packet "
    "writing software installed and controlling your CD device.  The CD's must also be pre "
    "formatted to accept direct files writes, as in drag and drop operations in Windows "
    "Explorer.",
    "Always use CDR Disks that have NOT been used before to avoid 'Write Errors' to CD media.",
    "Packet-writing software known to work: pktcdvd with udftools (mkudffs) on Linux.",
};
inline constexpr std::string_view kShowThisScreenAgain = "Show this Screen Again";
inline constexpr int kCdReminderHelpTopic = 42;

inline constexpr std::string_view kPreviewQuestionTitle = "Preview Backup Archive Size";
inline constexpr std::array<std::string_view, 4> kPreviewQuestionLines = {
    "You have the option to determine the approximate archive size and how many disks will be "
    "required to perform the backup operation.",
    "Note:",
    "This operation can be lengthy for large backups.  Keep this in mind when selecting this "
    "option.",
    "Would you like to preview the backup archive size?",
};
inline constexpr int kPreviewQuestionHelpTopic = 29;

inline constexpr std::string_view kPasswordPromptTitle = "Password Protected Backup Archive";
inline constexpr std::string_view kPasswordPromptText =
    "The backup archive you are attempting to open has been Password Protected.  Please enter "
    "the Password below in order to open the archive.";
inline constexpr std::string_view kPasswordLabel = "Password:";

inline constexpr std::string_view kMaximumArchiveSizeTitle = "Maximum Archive Size";
inline constexpr std::string_view kMaximumBackupSizeHeading = "Maximum Backup Size";
inline constexpr std::array<std::string_view, 2> kMaximumBackupSizeLines = {
    "The current backup operation will exceed the maximum allowable backup size of 4.0GB.  "
    "Backups cannot contain more than 4.0GB of data.",
    "You will have to remove some of the data to be processed in the current backup set.  If "
    "you wish to backup all of the data included in this backup set, you will have to split the "
    "data up into more than one backup in order to do so.",
};

inline constexpr std::string_view kProgressTitle = "Corvane - Operation Status";
inline constexpr std::string_view kPreviewingTitle = "Previewing...";
inline constexpr std::string_view kPreviewingText =
    "Previewing included folders & files...Please wait...";

}  // namespace corvane::dialog_texts
