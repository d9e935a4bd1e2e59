#include "engine/backup_runner.h"

#include <unistd.h>

#include "archive/result_codes.h"
#include "common/number_text.h"
#include "common/text.h"
#include "config/folder_choice.h"
#include "config/password.h"
#include "engine/file_list.h"
#include "engine/run_events.h"
#include "favorites/favorite_record.h"
#include "schedule/task_record.h"
#include "sets/set_naming.h"

namespace corvane {

namespace {

bool fileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

bool folderExists(const std::string& path) {
    return !path.empty() && ::access(path.c_str(), F_OK) == 0;
}

// Everything up to and including the last separator.
std::string folderPart(const std::string& path) {
    const auto slash = path.rfind(kSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

BackupRunner::BackupRunner(EngineContext context)
    : m_context(std::move(context)),
      m_log(m_context.programFolder, m_context.config, m_context.flags, m_context.clock) {}

std::string BackupRunner::datedArchiveName() const {
    const LocalDateTime today = toLocal(m_context.clock.now());
    char date[16];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", today.month, today.day, today.year);
    return std::string(date) + " - " + archiveNameFor(trim(m_context.document.set().setName));
}

std::optional<BackupRunner::Prepared> BackupRunner::prepare(const BackupChoice& choice) {
    m_style = choice.style;
    ArchiveComponent& component = m_context.component;
    component.reset();
    const auto archivePath = chooseArchivePath();
    if (!archivePath) return std::nullopt;
    m_context.document.saveSet();

    ComponentSettings& settings = component.settings();
    settings.level = m_context.config.record().compression;
    settings.method = 8;
    if (!driveSuitsStyle(*archivePath)) return std::nullopt;

    Prepared prepared{*archivePath, false};
    settings.spanDisks = isDiskStyle(m_style);
    if (settings.spanDisks) {
        prepared.clearDisks =
            m_context.host.message(
                Icon::Question, Buttons::YesNo, "Clear Disk Contents",
                "Since you have selected the Multiple Disk Mode backup style, you have the option "
                "to clear any existing contents of disks used in the operation.  Clear any "
                "existing contents before writing the backup?\r\n\r\nNote:  This operation may "
                "not work on certain devices.  Depending on how the device stores files, some "
                "contents may not be cleared properly.") == Answer::Yes;
    }
    settings.diskSize = 0;
    if (m_style == BackupStyle::CdMultipleDisks) {
        const std::string megabytes = choice.capacityText.substr(0, 3);
        settings.diskSize = static_cast<std::uint64_t>(leadingNumber(megabytes + "000000"));
    }
    settings.skipIfNotInArchive = settings.skipIfNotNewer = settings.skipIfNewer = false;
    if (m_style == BackupStyle::SingleArchive) applyExistingArchiveRules(*archivePath);
    settings.archivePath = *archivePath;
    return prepared;
}

std::optional<std::string> BackupRunner::chooseArchivePath() {
    BackupSet& set = m_context.document.set();
    const bool dated = set.defaultLocation.find("$DATE$") != std::string::npos;
    // Without a stored destination there is nothing to use unasked: ask, as without the option.
    if (m_context.config.record().noAskDefault == 1 && !trim(set.defaultLocation).empty()) {
        return dated ? folderPart(set.defaultLocation) + datedArchiveName() : set.defaultLocation;
    }
    const std::string folder =
        chooseFolderPath(m_context.host, "Select Device or Location to Backup to:");
    if (folder.empty()) return std::nullopt;
    if (dated) {
        set.defaultLocation = folder + std::string(kDatedArchiveName);
        return folder + datedArchiveName();
    }
    set.defaultLocation = folder + archiveNameFor(trim(set.setName));
    return set.defaultLocation;
}

bool BackupRunner::driveSuitsStyle(const std::string& archivePath) {
    if (!isDiskStyle(m_style)) return true;
    const DriveType type = startsWith(archivePath, "/") ? m_context.drives.driveType(archivePath)
                                                        : DriveType::NoRoot;
    if (type == DriveType::Removable) return true;
    Host& host = m_context.host;
    if (type == DriveType::Fixed) {
        host.message(Icon::Exclamation, Buttons::Ok, "Hard Drive",
                     "Corvane has determined that the selected drive is a fixed hard disk.  "
                     "Multiple Disk operations cannot be performed on hard disks.");
        return false;
    }
    if (m_style != BackupStyle::MultipleDisks) return true;
    const Answer answer = host.message(
        Icon::Exclamation, Buttons::YesNo, "Removable Device",
        "Corvane does not see the selected device as a 'Removable Device'.  A 'Multiple Disk' "
        "style backup may provide unexpected results on this device.\r\n\r\nDo you wish to "
        "continue with a 'Multiple Disk' style backup on the selected device?");
    if (answer == Answer::Yes) return true;
    host.message(Icon::Information, Buttons::Ok, "Operation Cancelled",
                 "Backup operation has been cancelled.");
    return false;
}

// An existing single archive is freshened when Freshen is on; otherwise the component writes a
// new archive that replaces it once complete (the old one is never deleted beforehand).
void BackupRunner::applyExistingArchiveRules(const std::string& archivePath) {
    if (!fileExists(archivePath)) return;
    const ConfigRecord& options = m_context.config.record();
    if (options.freshen != 1) return;
    ComponentSettings& settings = m_context.component.settings();
    settings.skipIfNotNewer = true;
    settings.useTempCopy = true;
    const std::string temp = trim(options.tempFolder);
    settings.tempFolder = folderExists(temp) ? temp : std::string();
    if (options.addNew != 1) settings.skipIfNotInArchive = true;
}

void BackupRunner::loadFileLists() {
    ComponentSettings& settings = m_context.component.settings();
    FileLists lists = buildFileLists(m_context.document.set().tree);
    settings.includes = std::move(lists.includes);
    settings.exclusions = std::move(lists.exclusions);
}

void BackupRunner::handOverPassword() {
    const ConfigRecord& options = m_context.config.record();
    m_currentPassword = options.password == 1 ? passwordFromStored(options.passwordText) : "";
    m_context.component.settings().password = m_currentPassword;
}

ProgressView& BackupRunner::openProgressView(ProgressKind kind) {
    ProgressView& view = m_context.host.progressView();
    view.open(kind, [this] {
        m_context.host.progressView().setOperationLine("Aborting current operation...Please wait...");
        m_context.component.requestAbort();
    });
    return view;
}

void BackupRunner::updateRecordsAfterBackup() {
    m_context.host.progressView().setOperationLine("Updating Backup Task Information...");
    m_context.host.setStatusText("Updating Backup Task Information...");
    const std::string& setPath = m_context.document.set().setPath;
    (void)stampTask(m_context.programFolder, setPath, m_context.clock.now());
    (void)addFavoriteAfterBackup(m_context.programFolder, setPath);
}

RunOutcome BackupRunner::runInteractive(const BackupChoice& choice) {
    Host& host = m_context.host;
    BusyPointer busy(host);
    const auto prepared = prepare(choice);
    if (!prepared) return RunOutcome::NotStarted;
    const std::string& archivePath = prepared->archivePath;
    loadFileLists();

    // The preview runs before the password is handed over: it writes nothing to protect.
    if (isDiskStyle(m_style) && m_context.config.record().promptPreview == 1 &&
        !offerPreview(archivePath)) {
        return RunOutcome::NotStarted;
    }
    handOverPassword();

    ProgressView& view = openProgressView(ProgressKind::Backup);
    view.setOperationLine("Preprocessing Files...Please wait");
    if (isDiskStyle(m_style)) {
        view.hide();
        host.message(Icon::Information, Buttons::Ok, "Insert Disk",
                     "Please insert DISK #1 into Drive " + m_context.drives.mountPoint(archivePath) +
                         ".");
        view.show();
    }
    m_log.started(m_context.document.set().setPath, archivePath);

    RunEvents events(m_context, m_log, EventPhase::Compress, m_currentPassword);
    events.setDiskHandling(m_style, prepared->clearDisks);
    const int code = m_context.component.compress(events);
    if (archive::isCancelled(code)) {
        m_log.line("### Backup Operation cancelled by User ###");
        view.close();
        host.message(Icon::Exclamation, Buttons::Ok, "Backup",
                     "Backup operation cancelled.  Backup is not complete.");
        return RunOutcome::Cancelled;
    }
    if (!archive::isSuccess(code)) {
        m_log.line("### Error performing Backup - Error:  " + std::to_string(code) + " ###");
        view.close();
        host.message(Icon::Critical, Buttons::OkHelp, "Error",
                     "Error performing Backup.\r\n\r\nError:  " + std::to_string(code));
        return RunOutcome::Failed;
    }

    updateRecordsAfterBackup();
    view.close();
    host.setStatusText(trim(m_context.document.set().setName));

    bool test = false;
    switch (m_context.config.record().testMode) {
        case 0: break;
        case 1: test = true; break;
        default:
            test = host.message(Icon::Question, Buttons::YesNo, "Backup Complete",
                                "Backup operation successful.  Your Backup is complete.\r\n\r\n"
                                "Would you like to test the Backup archive to confirm your data "
                                "is safe?") == Answer::Yes;
    }
    RunOutcome outcome = RunOutcome::Succeeded;
    if (test) {
        const int result = runTest(archivePath);
        logTestResult(result);
        showTestResult(result);
        if (result == archive::kNothingToDo || result == archive::kDoneWithWarnings) return outcome;
        if (!archive::isSuccess(result)) outcome = RunOutcome::TestFailed;
    }
    m_log.complete();
    return outcome;
}

}  // namespace corvane
