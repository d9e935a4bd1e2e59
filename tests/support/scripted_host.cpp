#include "scripted_host.h"

#include <gtest/gtest.h>

namespace corvane {

namespace {

Answer safeDefault(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

// The next queued answer; with none queued, `what` is recorded as unexpected and `none` given.
template <typename T>
T next(std::deque<T>& queue, std::vector<std::string>& unexpected, std::string what, T none = {}) {
    if (queue.empty()) {
        unexpected.push_back(std::move(what));
        return none;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

void ScriptedProgressView::open(ProgressKind kind, std::function<void()> onCancel) {
    m_onCancel = std::move(onCancel);
    m_open = true;
    m_filePercent = m_overallPercent = 0;
    m_transcript.push_back("progress.open " + std::to_string(static_cast<int>(kind)));
}

void ScriptedProgressView::setOperationLine(std::string_view text) {
    m_line = std::string(text);
    m_transcript.push_back("progress.line " + m_line);
}

void ScriptedProgressView::setOverallProgress(int percent, std::string_view files,
                                              std::string_view bytes, std::string_view ratio) {
    m_overallPercent = percent;
    m_files = std::string(files);
    m_bytes = std::string(bytes);
    m_ratio = std::string(ratio);
}

void ScriptedProgressView::hide() {
    m_transcript.emplace_back("progress.hide");
}
void ScriptedProgressView::show() {
    m_transcript.emplace_back("progress.show");
}

void ScriptedProgressView::close() {
    m_open = false;
    m_transcript.emplace_back("progress.close");
}

void ScriptedProgressView::pressCancel() {
    m_transcript.emplace_back("progress.cancel");
    if (m_onCancel) m_onCancel();
}

void ScriptedPreviewingView::open(std::function<void()> onCancel) {
    m_onCancel = std::move(onCancel);
    m_open = true;
    m_transcript.emplace_back("previewing.open");
}

void ScriptedPreviewingView::setFile(std::string_view name) {
    m_transcript.push_back("previewing.file " + std::string(name));
}

void ScriptedPreviewingView::close() {
    if (!m_open) return;
    m_open = false;
    m_transcript.emplace_back("previewing.close");
}

void ScriptedPreviewingView::pressCancel() {
    m_transcript.emplace_back("previewing.cancel");
    if (m_onCancel) m_onCancel();
    close();
}

void ScriptedHost::showTimedErrorScreen() {
    ++m_timedErrorScreens;
    m_transcript.emplace_back("timedErrorScreen");
}

void ScriptedHost::beep() {
    ++m_beeps;
    m_transcript.emplace_back("beep");
}

Answer ScriptedHost::askPreview() {
    m_transcript.emplace_back("askPreview");
    return next(m_previewAnswers, m_unexpected, "preview question", Answer::No);
}

std::optional<std::string> ScriptedHost::askArchivePassword() {
    m_transcript.emplace_back("password");
    return next(m_passwords, m_unexpected, "password prompt");
}

void ScriptedHost::showMaximumArchiveSize() {
    m_transcript.emplace_back("maximumArchiveSize");
}

bool ScriptedHost::scriptFinished() const {
    return m_expectedMessages.empty() && m_openFiles.empty() && m_saveFiles.empty() &&
           m_folders.empty() && m_previewAnswers.empty() && m_passwords.empty();
}

void ScriptedHost::checkScriptFinished() const {
    for (const auto& unexpected : m_unexpected)
        ADD_FAILURE() << unexpected;
    EXPECT_TRUE(scriptFinished()) << "not every scripted answer was used";
}

std::optional<bool> ScriptedHost::commandEnabled(CommandId id) const {
    return m_commands[static_cast<std::size_t>(id)];
}

Answer ScriptedHost::message(Icon icon, Buttons buttons, std::string_view title,
                             std::string_view text, int helpTopic) {
    m_messages.push_back({icon, buttons, std::string(title), std::string(text), helpTopic});
    m_transcript.push_back("message " + std::string(title));
    if (m_expectedMessages.empty() || m_expectedMessages.front().title != title) {
        m_unexpected.push_back("message box \"" + std::string(title) + "\": " + std::string(text));
        return safeDefault(buttons);
    }
    const Answer answer = m_expectedMessages.front().answer;
    m_expectedMessages.pop_front();
    return answer;
}

std::vector<std::string> ScriptedHost::chooseOpenFiles(const FileRequest& request) {
    m_fileRequests.push_back(request);
    return next(m_openFiles, m_unexpected, "open-file chooser \"" + request.title + "\"");
}

std::string ScriptedHost::chooseSaveFile(const FileRequest& request) {
    m_fileRequests.push_back(request);
    return next(m_saveFiles, m_unexpected, "save-file chooser \"" + request.title + "\"");
}

std::string ScriptedHost::chooseFolder(std::string_view title) {
    m_folderTitles.emplace_back(title);
    return next(m_folders, m_unexpected, "folder chooser \"" + std::string(title) + "\"");
}

void ScriptedHost::setStatusText(std::string_view text) {
    m_status = std::string(text);
    m_statusHistory.push_back(m_status);
}

void ScriptedHost::processPendingEvents() {
    ++m_pendingEventTurns;
    if (onPendingEvents) onPendingEvents();
}

void ScriptedHost::setBusy(bool busy) {
    m_busyDepth += busy ? 1 : -1;
}

void ScriptedHost::setCommandEnabled(CommandId id, bool enabled) {
    m_commands[static_cast<std::size_t>(id)] = enabled;
}

}  // namespace corvane
