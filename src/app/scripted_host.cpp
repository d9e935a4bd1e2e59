#include "app/scripted_host.h"

namespace corvane {

namespace {

Answer safeDefault(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNo: return Answer::No;
        case Buttons::OkCancel: return Answer::Cancel;
        default: return Answer::Ok;
    }
}

}  // namespace

void ScriptedHost::expectMessage(std::string title, Answer answer) {
    m_expectedMessages.push_back({std::move(title), answer});
}

void ScriptedHost::queueOpenFiles(std::vector<std::string> paths) {
    m_openFiles.push_back(std::move(paths));
}

void ScriptedHost::queueSaveFile(std::string path) { m_saveFiles.push_back(std::move(path)); }

void ScriptedHost::queueFolder(std::string path) { m_folders.push_back(std::move(path)); }

bool ScriptedHost::scriptFinished() const {
    return m_expectedMessages.empty() && m_openFiles.empty() && m_saveFiles.empty() &&
           m_folders.empty();
}

std::optional<bool> ScriptedHost::commandEnabled(CommandId id) const {
    return m_commands[static_cast<std::size_t>(id)];
}

Answer ScriptedHost::message(Icon icon, Buttons buttons, std::string_view title,
                             std::string_view text, int helpTopic) {
    m_messages.push_back({icon, buttons, std::string(title), std::string(text), helpTopic});
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

void ScriptedHost::setBusy(bool busy) { m_busyDepth += busy ? 1 : -1; }

void ScriptedHost::setCommandEnabled(CommandId id, bool enabled) {
    m_commands[static_cast<std::size_t>(id)] = enabled;
}

}  // namespace corvane
