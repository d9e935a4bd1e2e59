#include "engine/backup_runner.h"

#include "archive/result_codes.h"
#include "common/number_text.h"
#include "common/text.h"
#include "config/folder_choice.h"
#include "config/password.h"
#include "engine/file_list.h"
#include "engine/run_events.h"
#include "favorites/favorite_record.h"
#include "schedule/task_record.h"
#include "sets/archive_destination.h"

namespace corvane {

BackupRunner::BackupRunner(EngineContext context)
    : m_context(std::move(context)),
      m_log(m_context.programFolder, m_context.config, m_context.flags, m_context.clock,
            m_context.host) {}

std::optional<BackupRunner::Prepared> BackupRunner::prepare(const BackupChoice& choice) {
    m_style = choice.style;
    const auto archivePath = chooseArchivePath();
    if (!archivePath) return std::nullopt;
    m_context.document.saveSet();
    if (!driveSuitsStyle(*archivePath)) return std::nullopt;

    Prepared prepared{*archivePath, false, 0};
    if (isDiskStyle(m_style)) {
        prepared.clearDisks =
            m_context.host.message(
                Icon::Question, Buttons::YesNo, "Clear Disk Contents",
                "Since you have selected the Multiple Disk Mode backup style, you have the option "
                "to clear any existing contents of disks used in the operation.  Clear any "
                "existing contents before writing the backup?\r\n\r\nNote:  This operation may "
                "not work on certain devices.  Depending on how the device stores files, some "
                "contents may not be cleared properly.") == Answer::Yes;
    }
    if (m_style == BackupStyle::CdMultipleDisks) {
        const std::string megabytes = choice.capacityText.substr(0, 3);
        prepared.diskSize = static_cast<std::uint64_t>(leadingNumber(megabytes + "000000"));
    }
    return prepared;
}

std::optional<std::string> BackupRunner::chooseArchivePath() {
    BackupSet& set = m_context.document.set();
    const ArchiveDestination destination(set.defaultLocation);
    // Without a stored destination there is nothing to use unasked: ask, as without the option.
    if (m_context.config.record().noAskDefault == 1 && !trim(set.defaultLocation).empty()) {
        return destination.archivePath(today(), set.setName);
    }
    const std::string folder =
        chooseFolderPath(m_context.host, "Select Device or Location to Backup to:");
    if (folder.empty()) return std::nullopt;
    const ArchiveDestination chosen = destination.inFolder(folder, set.setName);
    set.defaultLocation = chosen.location();
    return chosen.archivePath(today(), set.setName);
}

bool BackupRunner::driveSuitsStyle(const std::string& archivePath) {
    if (!isDiskStyle(m_style)) return true;
    const DriveType type =
        startsWith(archivePath, "/") ? m_context.drives.driveType(archivePath) : DriveType::NoRoot;
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

archive::ArchiveSettings BackupRunner::compressSettings(const std::string& archivePath,
                                                        std::uint64_t diskSize) const {
    archive::ArchiveSettings settings;
    settings.archivePath = archivePath;
    FileLists lists = buildFileLists(m_context.document.set().tree);
    settings.includes = std::move(lists.includes);
    settings.exclusions = std::move(lists.exclusions);
    settings.level = m_context.config.record().compression;
    settings.method = 8;
    settings.spanDisks = isDiskStyle(m_style);
    settings.diskSize = diskSize;
    if (m_style == BackupStyle::SingleArchive) applyExistingArchiveRules(settings);
    return settings;
}

// An existing single archive is freshened when Freshen is on; otherwise the component writes a
// new archive that replaces it once complete (the old one is never deleted beforehand).
void BackupRunner::applyExistingArchiveRules(archive::ArchiveSettings& settings) const {
    const ConfigRecord& options = m_context.config.record();
    if (options.freshen != 1 || !m_context.fileSystem.exists(settings.archivePath)) return;
    settings.skipIfNotNewer = true;
    settings.useTempCopy = true;
    const std::string temp = trim(options.tempFolder);
    if (!temp.empty() && m_context.fileSystem.isFolder(temp)) settings.tempFolder = temp;
    if (options.addNew != 1) settings.skipIfNotInArchive = true;
}

const std::string& BackupRunner::handOverPassword() {
    const ConfigRecord& options = m_context.config.record();
    m_currentPassword = options.password == 1 ? passwordFromStored(options.passwordText) : "";
    return m_currentPassword;
}

ProgressView& BackupRunner::openProgressView(ProgressKind kind) {
    ProgressView& view = m_context.host.progressView();
    view.open(kind, [this] {
        m_context.host.progressView().setOperationLine(
            "Aborting current operation...Please wait...");
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

int BackupRunner::compressOutcome(int code, const std::string& archivePath) const {
    const bool nothingWritten = code == archive::kNothingToDo || code == archive::kDoneWithWarnings;
    if (nothingWritten && m_style == BackupStyle::SingleArchive &&
        !m_context.fileSystem.exists(archivePath)) {
        return archive::kNothingBackedUp;
    }
    return code;
}

RunOutcome BackupRunner::runInteractive(const BackupChoice& choice) {
    Host& host = m_context.host;
    BusyPointer busy(host);
    const auto prepared = prepare(choice);
    if (!prepared) return RunOutcome::NotStarted;
    const std::string& archivePath = prepared->archivePath;
    archive::ArchiveSettings settings = compressSettings(archivePath, prepared->diskSize);

    // The preview runs before the password is handed over: it writes nothing to protect.
    if (isDiskStyle(m_style) && m_context.config.record().promptPreview == 1 &&
        !offerPreview(settings)) {
        return RunOutcome::NotStarted;
    }
    settings.password = handOverPassword();

    ProgressView& view = openProgressView(ProgressKind::Backup);
    view.setOperationLine("Preprocessing Files...Please wait");
    if (isDiskStyle(m_style)) {
        view.hide();
        host.message(
            Icon::Information, Buttons::Ok, "Insert Disk",
            "Please insert DISK #1 into Drive " + m_context.drives.mountPoint(archivePath) + ".");
        view.show();
    }
    m_log.started(m_context.document.set().setPath, archivePath);

    RunEvents events(m_context, m_log, EventPhase::Compress, m_currentPassword);
    events.setDiskHandling(m_style, prepared->clearDisks);
    const int code = compressOutcome(m_context.component.compress(settings, events), archivePath);
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
        case 0:
            break;
        case 1:
            test = true;
            break;
        default:
            test = host.message(Icon::Question, Buttons::YesNo, "Backup Complete",
                                "Backup operation successful.  Your Backup is complete.\r\n\r\n"
                                "Would you like to test the Backup archive to confirm your data "
                                "is safe?") == Answer::Yes;
    }
    RunOutcome outcome = RunOutcome::Succeeded;
    bool closingLine = true;
    if (test) {
        const int result = runTest(archivePath);
        logTestResult(result);
        showTestResult(result);
        if (result == archive::kNothingToDo || result == archive::kDoneWithWarnings) {
            closingLine = false;
        } else if (!archive::isSuccess(result)) {
            outcome = RunOutcome::TestFailed;
        }
    }
    if (outcome == RunOutcome::Succeeded && !copyOffsite(archivePath, events.disksAsked())) {
        outcome = RunOutcome::OffsiteFailed;
    }
    if (closingLine) m_log.complete();
    return outcome;
}

}  // namespace corvane
