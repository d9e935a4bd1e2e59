#pragma once

#include "host/host.h"

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// The progress and previewing windows of ScriptedHost: they write what they are told into the
// host's transcript and keep the Cancel handlers, so a test can press Cancel.
class ScriptedProgressView final : public ProgressView {
public:
    explicit ScriptedProgressView(std::vector<std::string>& transcript)
        : m_transcript(transcript) {}
    void open(ProgressKind kind, std::function<void()> onCancel) override;
    void setOperationLine(std::string_view text) override;
    void setFileProgress(int percent) override { m_filePercent = percent; }
    void setOverallProgress(int percent, std::string_view files, std::string_view bytes,
                            std::string_view ratio) override;
    void hide() override;
    void show() override;
    void close() override;

    void pressCancel();
    bool isOpen() const { return m_open; }
    const std::string& operationLine() const { return m_line; }
    int filePercent() const { return m_filePercent; }
    int overallPercent() const { return m_overallPercent; }
    const std::string& files() const { return m_files; }
    const std::string& bytes() const { return m_bytes; }
    const std::string& ratio() const { return m_ratio; }

private:
    std::vector<std::string>& m_transcript;
    std::function<void()> m_onCancel;
    bool m_open = false;
    std::string m_line, m_files, m_bytes, m_ratio;
    int m_filePercent = 0;
    int m_overallPercent = 0;
};

class ScriptedPreviewingView final : public PreviewingView {
public:
    explicit ScriptedPreviewingView(std::vector<std::string>& transcript)
        : m_transcript(transcript) {}
    void open(std::function<void()> onCancel) override;
    void setFile(std::string_view name) override;
    void close() override;
    void pressCancel();
    bool isOpen() const { return m_open; }

private:
    std::vector<std::string>& m_transcript;
    std::function<void()> m_onCancel;
    bool m_open = false;
};

// A Host for tests: records every call and answers from queues. A box or chooser that the
// script did not expect is recorded in unexpected() and answered with the safe default (Cancel,
// No, nothing chosen), so the test can fail on it.
class ScriptedHost final : public Host {
public:
    struct MessageCall {
        Icon icon;
        Buttons buttons;
        std::string title;
        std::string text;
        int helpTopic;
    };

    // The next box must carry `title`; it is answered with `answer`.
    void expectMessage(std::string title, Answer answer) {
        m_expectedMessages.push_back({std::move(title), answer});
    }
    // Answers for the next choosers, in order.
    void queueOpenFiles(std::vector<std::string> paths) { m_openFiles.push_back(std::move(paths)); }
    void queueSaveFile(std::string path) { m_saveFiles.push_back(std::move(path)); }
    void queueFolder(std::string path) { m_folders.push_back(std::move(path)); }
    void queuePreviewAnswer(Answer answer) { m_previewAnswers.push_back(answer); }
    // nullopt answers the password prompt with Cancel.
    void queuePassword(std::optional<std::string> password) {
        m_passwords.push_back(std::move(password));
    }

    const std::vector<MessageCall>& messages() const { return m_messages; }
    const std::vector<FileRequest>& fileRequests() const { return m_fileRequests; }
    const std::vector<std::string>& folderTitles() const { return m_folderTitles; }
    const std::vector<std::string>& unexpected() const { return m_unexpected; }
    // True when every queued answer was used.
    bool scriptFinished() const;
    // Fails the running test for each box or chooser the script did not expect, and when a
    // queued answer was left unused.
    void checkScriptFinished() const;

    const std::string& statusText() const { return m_status; }
    const std::vector<std::string>& statusHistory() const { return m_statusHistory; }
    int busyDepth() const { return m_busyDepth; }
    // The last state the logic gave a command; nullopt when it never set it.
    std::optional<bool> commandEnabled(CommandId id) const;
    int pendingEventTurns() const { return m_pendingEventTurns; }
    // What a turn of the event loop does, as a window's input would (press Cancel, say).
    std::function<void()> onPendingEvents;
    int timedErrorScreens() const { return m_timedErrorScreens; }
    int beeps() const { return m_beeps; }
    // Boxes, windows and dialogs in the order they happened ("message Title", "progress.open 1",
    // "progress.line text", "progress.hide", "askPreview", "password", "beep"...).
    const std::vector<std::string>& transcript() const { return m_transcript; }
    ScriptedProgressView& progress() { return m_progress; }
    ScriptedPreviewingView& previewing() { return m_previewing; }

    Answer message(Icon icon, Buttons buttons, std::string_view title, std::string_view text,
                   int helpTopic) override;
    std::vector<std::string> chooseOpenFiles(const FileRequest& request) override;
    std::string chooseSaveFile(const FileRequest& request) override;
    std::string chooseFolder(std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void setBusy(bool busy) override;
    void setCommandEnabled(CommandId id, bool enabled) override;
    void processPendingEvents() override;
    void showTimedErrorScreen() override;
    ProgressView& progressView() override { return m_progress; }
    PreviewingView& previewingView() override { return m_previewing; }
    void beep() override;
    Answer askPreview() override;
    std::optional<std::string> askArchivePassword() override;
    void showMaximumArchiveSize() override;
    void reportProblem(std::string_view text) override { m_problems.emplace_back(text); }
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    struct ExpectedMessage {
        std::string title;
        Answer answer;
    };

    std::deque<ExpectedMessage> m_expectedMessages;
    std::deque<std::vector<std::string>> m_openFiles;
    std::deque<std::string> m_saveFiles;
    std::deque<std::string> m_folders;
    std::deque<Answer> m_previewAnswers;
    std::deque<std::optional<std::string>> m_passwords;

    std::vector<MessageCall> m_messages;
    std::vector<FileRequest> m_fileRequests;
    std::vector<std::string> m_folderTitles;
    std::vector<std::string> m_unexpected;
    std::string m_status;
    std::vector<std::string> m_statusHistory;
    int m_busyDepth = 0;
    std::array<std::optional<bool>, kCommandCount> m_commands{};
    int m_pendingEventTurns = 0;
    int m_timedErrorScreens = 0;
    int m_beeps = 0;
    std::vector<std::string> m_transcript;
    std::vector<std::string> m_problems;
    ScriptedProgressView m_progress{m_transcript};
    ScriptedPreviewingView m_previewing{m_transcript};
};

}  // namespace corvane
