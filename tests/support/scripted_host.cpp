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

void ScriptedHost::queuePreviewAnswer(Answer answer) {
    m_previewAnswers.push_back(answer);
}

void ScriptedHost::queuePassword(std::optional<std::string> password) {
    m_passwords.push_back(std::move(password));
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
    if (m_previewAnswers.empty()) {
        m_unexpected.emplace_back("preview question");
        return Answer::No;
    }
    const Answer answer = m_previewAnswers.front();
    m_previewAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedHost::askArchivePassword() {
    m_transcript.emplace_back("password");
    if (m_passwords.empty()) {
        m_unexpected.emplace_back("password prompt");
        return std::nullopt;
    }
    auto password = std::move(m_passwords.front());
    m_passwords.pop_front();
    return password;
}

void ScriptedHost::showMaximumArchiveSize() {
    m_transcript.emplace_back("maximumArchiveSize");
}

void ScriptedHost::expectMessage(std::string title, Answer answer) {
    m_expectedMessages.push_back({std::move(title), answer});
}

void ScriptedHost::queueOpenFiles(std::vector<std::string> paths) {
    m_openFiles.push_back(std::move(paths));
}

void ScriptedHost::queueSaveFile(std::string path) {
    m_saveFiles.push_back(std::move(path));
}

void ScriptedHost::queueFolder(std::string path) {
    m_folders.push_back(std::move(path));
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
    if (m_openFiles.empty()) {
        m_unexpected.push_back("open-file chooser \"" + request.title + "\"");
        return {};
    }
    auto paths = std::move(m_openFiles.front());
    m_openFiles.pop_front();
    return paths;
}

std::string ScriptedHost::chooseSaveFile(const FileRequest& request) {
    m_fileRequests.push_back(request);
    if (m_saveFiles.empty()) {
        m_unexpected.push_back("save-file chooser \"" + request.title + "\"");
        return {};
    }
    auto path = std::move(m_saveFiles.front());
    m_saveFiles.pop_front();
    return path;
}

std::string ScriptedHost::chooseFolder(std::string_view title) {
    m_folderTitles.emplace_back(title);
    if (m_folders.empty()) {
        m_unexpected.push_back("folder chooser \"" + std::string(title) + "\"");
        return {};
    }
    auto path = std::move(m_folders.front());
    m_folders.pop_front();
    return path;
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
