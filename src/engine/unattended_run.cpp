#include "archive/result_codes.h"
#include "common/text.h"
#include "engine/backup_runner.h"
#include "engine/run_events.h"
#include "schedule/timed_record.h"
#include "sets/archive_destination.h"

namespace corvane {

UnattendedResult BackupRunner::runUnattended() {
    Host& host = m_context.host;
    BusyPointer busy(host);
    const BackupSet& set = m_context.document.set();
    m_style = BackupStyle::SingleArchive;
    const std::string archivePath =
        ArchiveDestination(set.defaultLocation).archivePath(today(), set.setName);

    ProgressView& view = openProgressView(ProgressKind::Backup);
    view.setOperationLine("Preprocessing Files......Please wait");
    archive::ArchiveSettings settings = compressSettings(archivePath, 0);
    settings.password = handOverPassword();
    m_log.started(set.setPath, archivePath);

    RunEvents events(m_context, m_log, EventPhase::Compress, m_currentPassword);
    const int code = compressOutcome(m_context.component.compress(settings, events), archivePath);
    if (events.endProgramRequested()) {
        view.close();
        return {RunOutcome::Failed, true};
    }
    if (!archive::isSuccess(code)) {
        m_log.line("### Error encountered - See Error.log ###");
        m_log.compressFailedBlock(code, set.setPath);
        view.close();
        if (m_context.flags.timedRun) {
            (void)recordTimedResult(m_context.programFolder, set.setPath, "Failed");
        } else {
            host.showTimedErrorScreen();
        }
        return {archive::isCancelled(code) ? RunOutcome::Cancelled : RunOutcome::Failed, true,
                code};
    }
    if (m_context.flags.timedRun) {
        (void)recordTimedResult(m_context.programFolder, set.setPath, "Success");
    }
    updateRecordsAfterBackup();
    view.close();

    RunOutcome outcome = RunOutcome::Succeeded;
    if (m_context.config.record().testMode == 1) {
        const int result = runTest(archivePath);
        logTestResult(result);
        if (!archive::isSuccess(result)) {
            outcome = RunOutcome::TestFailed;
            if (!m_context.flags.timedRun) {
                host.showTimedErrorScreen();
                return {outcome, true, code};
            }
            m_log.createTimedErrorMarker();
        }
    }
    if (outcome == RunOutcome::Succeeded && !copyOffsite(archivePath, 0)) {
        outcome = RunOutcome::OffsiteFailed;
        if (!m_context.flags.timedRun) {
            host.showTimedErrorScreen();
            return {outcome, true, code};
        }
    }
    m_log.complete();
    return {outcome, m_context.flags.timedRun || m_context.config.record().shutDown == 1, code};
}

}  // namespace corvane
