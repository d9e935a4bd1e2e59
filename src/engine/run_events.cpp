#include "engine/run_events.h"

#include "common/text.h"

namespace corvane {

namespace {

constexpr auto kDrawInterval = std::chrono::milliseconds(50);
// Between draws the windows still get a turn this often, so a click never waits long.
constexpr auto kPumpInterval = std::chrono::milliseconds(20);

int percentOf(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return 0;
    return static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total));
}

}  // namespace

RunEvents::RunEvents(EngineContext& context, const RunLog& log, EventPhase phase,
                     std::string& currentPassword)
    : m_context(context), m_log(log), m_phase(phase), m_currentPassword(currentPassword) {}

void RunEvents::setDiskHandling(BackupStyle style, bool clearDisks) {
    m_style = style;
    m_clearDisks = clearDisks;
}

void RunEvents::onPreviewComplete(std::function<void(std::uint64_t)> handler) {
    m_previewComplete = std::move(handler);
}

bool RunEvents::drawDue(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (force || now - m_lastDraw >= kDrawInterval) {
        m_lastDraw = now;
        return true;
    }
    if (now - m_lastPump >= kPumpInterval) letWindowsRun();
    return false;
}

void RunEvents::letWindowsRun() {
    m_lastPump = std::chrono::steady_clock::now();
    m_context.host.processPendingEvents();
}

void RunEvents::onFileProgress(const std::string& name, int percent, bool last) {
    const bool newFile = name != m_currentFile;
    m_currentFile = name;
    if (last && m_phase == EventPhase::Compress) m_log.line("-  Adding " + trim(name));
    if (!drawDue(false)) return;
    ProgressView& view = m_context.host.progressView();
    if (newFile || !last) {
        view.setOperationLine((m_phase == EventPhase::Test ? "Testing " : "Adding ") + name +
                              "...");
    }
    view.setFileProgress(percent >= 100 ? 0 : percent);
    letWindowsRun();
}

void RunEvents::onOverallProgress(const archive::OverallProgress& progress) {
    const bool finished = progress.filesDone >= progress.filesTotal;
    if (!drawDue(finished)) return;
    m_context.host.progressView().setOverallProgress(
        percentOf(progress.bytesDone, progress.bytesTotal),
        groupedNumber(progress.filesDone) + " of " + groupedNumber(progress.filesTotal),
        groupedNumber(progress.bytesDone) + " of " + groupedNumber(progress.bytesTotal),
        std::to_string(progress.ratioPercent) + "%");
    letWindowsRun();
}

void RunEvents::onPreviewingFile(const std::string& name) {
    if (!drawDue(false)) return;
    m_context.host.previewingView().setFile(name);
    letWindowsRun();
}

void RunEvents::onOperationComplete(std::uint64_t estimatedBytes) {
    if (m_phase != EventPhase::Preview) return;
    m_context.host.previewingView().close();
    if (m_previewComplete) m_previewComplete(estimatedBytes);
}

void RunEvents::onSkippedFile(const std::string& name, int reason) {
    const bool prompt = m_context.config.record().skipPrompt == 1;
    const bool cannotOpen = reason >= 100;
    if (unattended()) {
        if (prompt && cannotOpen) m_log.skippedFileBlock(name, m_context.document.set().setPath);
        return;
    }
    if (!prompt) {
        m_log.line("-  Skipped File " + trim(name));
        return;
    }
    if (!cannotOpen) return;
    const bool testing = m_phase == EventPhase::Test;
    ProgressView& view = m_context.host.progressView();
    view.hide();
    m_context.host.message(
        Icon::Exclamation, Buttons::Ok, "Skipped File",
        std::string(testing ? "The following file cannot be opened for test extracted:  "
                            : "The following file cannot be opened for writing/reading:  ") +
            "\r\n\r\n" + name + "\r\n\r\n" +
            (testing ? "This file will not be tested."
                     : "This file will not be included in "
                       "the Backup."));
    view.show();
}

bool RunEvents::onIntegrityWarning(const std::string& name) {
    if (unattended()) {
        m_log.line("-  Possible Corrupt File " + trim(name));
        return true;
    }
    // A damaged archive can flag thousands of entries: once the user chose to go on, the test
    // goes on without asking again (its result still says it failed).
    if (m_integrityAccepted) return true;
    const Answer answer = m_context.host.message(
        Icon::Exclamation, Buttons::OkCancel, "Integrity Warning",
        "The Backup Archive generated an integrity warning and may be corrupt.\r\n\r\n"
        "Click OK to continue with the test operation or Cancel to abort the operation.");
    if (answer == Answer::Ok) {
        m_integrityAccepted = true;
        return true;
    }
    m_context.component.requestAbort();
    return false;
}

bool RunEvents::onPreprocessingFile(const std::string& name, std::uint64_t size,
                                    std::string& storedName) {
    storedName = name;
    if (drawDue(false)) {
        m_context.host.progressView().setOperationLine("Preprocessing " + name + "...");
        letWindowsRun();
    }
    if (size <= kMaximumFileSize) return true;
    if (!unattended()) {
        m_context.host.progressView().hide();
        m_context.host.showMaximumArchiveSize();
        m_context.component.requestAbort();
        return true;
    }
    // Unattended: record the file and end the program; the abort only unwinds the compress
    // call so that the previous archive stays as it was.
    m_log.skippedFileBlock(name, m_context.document.set().setPath);
    if (m_context.flags.timedRun) {
        m_log.createTimedErrorMarker();
    } else {
        m_context.host.showTimedErrorScreen();
    }
    m_endProgram = true;
    m_context.component.requestAbort();
    return false;
}

bool RunEvents::onInsertDisk(int number) {
    if (unattended()) return false;
    // A CD's volume label cannot be changed on a mounted file system here, so that step is left
    // out.
    ProgressView& view = m_context.host.progressView();
    view.hide();
    m_context.host.beep();
    std::string text = number == 0
                           ? "Please insert the LAST DISK of the set."
                           : "Please insert DISK #" + std::to_string(number) + " of the set.";
    if (m_style == BackupStyle::CdMultipleDisks) {
        text +=
            "\r\n\r\nNote:  Ensure the CDR/CDRW disk has completed writing and all status "
            "lights have stopped flashing before inserting the next disk.  Also ensure that "
            "the newly inserted disk is ready in the drive before clicking OK.";
    }
    const Answer answer =
        m_context.host.message(Icon::Information, Buttons::OkCancel, "Insert Disk", text);
    if (answer != Answer::Ok) {
        m_context.component.requestAbort();
        return false;
    }
    view.show();
    ++m_disksAsked;
    return true;
}

bool RunEvents::onDiskNotEmpty(const std::string&) {
    return m_clearDisks;
}

bool RunEvents::onPasswordNeeded(std::string& password) {
    if (unattended()) return false;
    std::optional<std::string> entered;
    {
        BusyPointer busy(m_context.host);
        entered = m_context.host.askArchivePassword();
    }
    if (!entered) {
        m_currentPassword.clear();
        m_context.component.requestAbort();
        return false;
    }
    m_currentPassword = trim(*entered);
    password = m_currentPassword;
    return true;
}

}  // namespace corvane
