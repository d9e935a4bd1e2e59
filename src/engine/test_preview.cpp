#include "archive/result_codes.h"
#include "common/text.h"
#include "engine/backup_runner.h"
#include "engine/preview_math.h"
#include "engine/run_events.h"

namespace corvane {

int BackupRunner::runTest(const std::string& archivePath) {
    archive::ArchiveSettings settings;
    settings.archivePath = archivePath;
    settings.password = m_currentPassword;
    ProgressView& view = openProgressView(ProgressKind::Test);
    view.setOperationLine("Testing Backup...Please wait...");
    RunEvents events(m_context, m_log, EventPhase::Test, m_currentPassword);
    const int code = m_context.component.test(settings, events);
    view.close();
    return code;
}

void BackupRunner::showTestResult(int code) {
    Host& host = m_context.host;
    if (archive::isSuccess(code)) {
        host.message(Icon::Information, Buttons::Ok, "Backup Test Successful",
                     "The Backup archive test reports that your Backup passed testing and is "
                     "safe.");
    } else if (code == archive::kAborted) {
        host.message(Icon::Information, Buttons::Ok, "Test Backup",
                     "Testing operation cancelled.  Testing is not complete.");
    } else {
        host.message(Icon::Exclamation, Buttons::Ok, "Test Failed",
                     "Your Backup archive failed the test.  This can be caused by a number of "
                     "different factors.  It is suggested that you perform the Backup again to "
                     "ensure your data is safe.\r\n\r\nError #: " +
                         std::to_string(code));
    }
}

void BackupRunner::logTestResult(int code) const {
    if (archive::isSuccess(code)) {
        m_log.line("### Test Operation successful ###");
    } else if (code == archive::kAborted) {
        m_log.line("### Test Operation cancelled by User ###");
    } else {
        m_log.line("### Test Operation failed - Backup may have become corrupt ###");
    }
}

void BackupRunner::testChosenArchive() {
    FileRequest request;
    request.title = "Choose Backup Archive";
    request.filter = "Corvane Archives (*.bac)|*.bac";
    request.mustExist = true;
    const auto chosen = m_context.host.chooseOpenFiles(request);
    if (chosen.empty() || trim(chosen.front()).empty()) return;
    showTestResult(runTest(chosen.front()));
}

bool BackupRunner::offerPreview(const archive::ArchiveSettings& settings) {
    Host& host = m_context.host;
    if (host.askPreview() != Answer::Yes) return true;
    host.setStatusText("Performing Preview...Please Wait");
    RunEvents events(m_context, m_log, EventPhase::Preview, m_currentPassword);
    events.onPreviewComplete(
        [&](std::uint64_t estimate) { showPreviewResults(settings.archivePath, estimate); });
    host.previewingView().open([this] {
        m_context.component.requestAbort();
        m_style = BackupStyle::SingleArchive;
    });
    const int code = m_context.component.preview(settings, events);
    host.previewingView().close();
    host.setStatusText(trim(m_context.document.set().setName));
    if (code == archive::kAborted) {
        return host.message(Icon::Question, Buttons::YesNo, "Preview",
                            "Preview operation cancelled.  Do you still wish to continue with "
                            "the Backup operation?") == Answer::Yes;
    }
    if (!archive::isSuccess(code)) {
        host.message(Icon::Critical, Buttons::OkHelp, "Error",
                     "Error performing Preview.\r\n\r\nError:  " + std::to_string(code));
        return false;
    }
    return true;
}

void BackupRunner::showPreviewResults(const std::string& archivePath,
                                      std::uint64_t estimatedBytes) {
    const std::uint64_t capacity = m_context.drives.totalBytes(archivePath).value_or(0);
    m_context.host.message(Icon::Information, Buttons::Ok, "Preview Results",
                           "The backup archive size will be approximately: " +
                               groupedNumber(estimateInKilobytes(estimatedBytes)) +
                               " KB.\r\n\r\nYou will require approximately " +
                               std::to_string(disksNeeded(estimatedBytes, capacity)) +
                               " disk(s) the size of what is inserted in your destination drive.");
}

}  // namespace corvane
