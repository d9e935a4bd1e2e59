#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/host.h"

namespace corvane {

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
    void expectMessage(std::string title, Answer answer);
    // Answers for the next choosers, in order.
    void queueOpenFiles(std::vector<std::string> paths);
    void queueSaveFile(std::string path);
    void queueFolder(std::string path);

    const std::vector<MessageCall>& messages() const { return m_messages; }
    const std::vector<FileRequest>& fileRequests() const { return m_fileRequests; }
    const std::vector<std::string>& folderTitles() const { return m_folderTitles; }
    const std::vector<std::string>& unexpected() const { return m_unexpected; }
    // True when every queued answer was used.
    bool scriptFinished() const;

    const std::string& statusText() const { return m_status; }
    const std::vector<std::string>& statusHistory() const { return m_statusHistory; }
    int busyDepth() const { return m_busyDepth; }
    // The last state the logic gave a command; nullopt when it never set it.
    std::optional<bool> commandEnabled(CommandId id) const;
    int pendingEventTurns() const { return m_pendingEventTurns; }
    int timedErrorScreens() const { return m_timedErrorScreens; }

    Answer message(Icon icon, Buttons buttons, std::string_view title, std::string_view text,
                   int helpTopic) override;
    std::vector<std::string> chooseOpenFiles(const FileRequest& request) override;
    std::string chooseSaveFile(const FileRequest& request) override;
    std::string chooseFolder(std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void setBusy(bool busy) override;
    void setCommandEnabled(CommandId id, bool enabled) override;
    void processPendingEvents() override { ++m_pendingEventTurns; }
    void showTimedErrorScreen() override { ++m_timedErrorScreens; }

private:
    struct ExpectedMessage {
        std::string title;
        Answer answer;
    };

    std::deque<ExpectedMessage> m_expectedMessages;
    std::deque<std::vector<std::string>> m_openFiles;
    std::deque<std::string> m_saveFiles;
    std::deque<std::string> m_folders;

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
};

}  // namespace corvane
