#include "app/offsite_dialog.h"

#include "common/file_io.h"
#include "common/text.h"
#include "offsite/ini_writer.h"
#include "offsite/offsite_copy.h"
#include "offsite/offsite_settings.h"

#include <chrono>
#include <future>

namespace corvane {

namespace {

// How often the window's events are handled while a test waits for the remote.
constexpr auto kTurn = std::chrono::milliseconds(50);

std::string lowered(std::string text) {
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

}  // namespace

OffsiteDialog::OffsiteDialog(Host& host, std::string programFolder, const std::string& setPath)
    : m_host(host), m_programFolder(std::move(programFolder)) {
    std::string folder;
    m_setName = fileNameOf(trim(setPath), folder);
    if (endsWith(toUpper(m_setName), ".CVT")) m_setName.resize(m_setName.size() - 4);
}

std::string OffsiteDialog::intro() const {
    return "After each backup of \"" + m_setName +
           "\" that succeeded, its archive is copied to this remote, checked there, and the "
           "oldest copies beyond the number to keep are deleted. Leave the address empty to "
           "copy nothing.";
}

bool OffsiteDialog::load() {
    const std::string path = m_programFolder + offsite::kOffsiteFileName;
    auto content = readWholeFile(path);
    if (!content && !isNotFoundCode(content.error().code)) {
        m_host.message(Icon::Exclamation, Buttons::Ok, kTitle,
                       path + " cannot be read: " + content.error().description + ".");
        return false;
    }
    const std::string text = content ? std::string(content->begin(), content->end()) : "";
    const auto section = offsite::readIniSection(text, m_setName, path);
    if (!section) {
        m_host.message(Icon::Exclamation, Buttons::Ok, kTitle,
                       section.error().description +
                           ".\r\n\r\nCorrect the file in a text editor first.");
        return false;
    }
    m_hadSection = section->found;
    for (const auto& [name, value] : section->keys) {
        const std::string key = lowered(name);
        if (key == "url") m_url = value;
        if (key == "endpoint") m_endpoint = value;
        if (key == "region") m_region = value;
        if (key == "credentialsfile") m_credentialsFile = value;
        if (key == "keep") m_keep = value;
    }
    changed();
    return true;
}

void OffsiteDialog::setUrl(const std::string& value) {
    m_url = value;
    changed();
}
void OffsiteDialog::setEndpoint(const std::string& value) {
    m_endpoint = value;
    changed();
}
void OffsiteDialog::setRegion(const std::string& value) {
    m_region = value;
    changed();
}
void OffsiteDialog::setCredentialsFile(const std::string& value) {
    m_credentialsFile = value;
    changed();
}
void OffsiteDialog::setKeep(const std::string& value) {
    m_keep = value;
    changed();
}

void OffsiteDialog::browseCredentials() {
    FileRequest request;
    request.title = "Credentials File";
    request.filter = "All Files (*.*)|*.*";
    std::string folder;
    fileNameOf(trim(m_credentialsFile), folder);
    request.initialFolder = folder;
    request.mustExist = true;
    const auto chosen = m_host.chooseOpenFiles(request);
    if (chosen.empty()) return;
    setCredentialsFile(chosen.front());
}

bool OffsiteDialog::s3Fields() const {
    return lowered(trim(m_url)).rfind("s3://", 0) == 0;
}

bool OffsiteDialog::testEnabled() const {
    return !m_testing && !trim(m_url).empty();
}

offsite::IniKeys OffsiteDialog::keys() const {
    offsite::IniKeys keys;
    // Spaces around a value are typing, not meaning (inih drops them too).
    const auto add = [&keys](const char* name, const std::string& value) {
        if (!trim(value).empty()) keys.emplace_back(name, trim(value));
    };
    add("Url", m_url);
    if (s3Fields()) {
        add("Endpoint", m_endpoint);
        add("Region", m_region);
    }
    add("CredentialsFile", m_credentialsFile);
    add("Keep", m_keep);
    return keys;
}

void OffsiteDialog::testConnection() {
    if (!testEnabled()) return;
    auto settings = offsite::settingsFromKeys(m_programFolder, m_setName, keys());
    if (!settings) {
        m_testPassed = false;
        m_testResult = "The settings are not complete: " + settings.error().description + ".";
        changed();
        return;
    }
    // One attempt: the user tries again at will, and waits for no back-off.
    settings->retry.attempts = 1;
    m_testing = true;
    m_cancel = false;
    m_testResult = "Testing " + settings->url + " ...";
    changed();
    auto running = std::async(std::launch::async, [this, tested = std::move(*settings)] {
        return offsite::testConnection(tested, m_cancel);
    });
    while (running.wait_for(kTurn) != std::future_status::ready)
        m_host.processPendingEvents();
    const Status result = running.get();
    m_testing = false;
    m_testPassed = static_cast<bool>(result);
    if (result) {
        m_testResult = "The connection works: a probe was sent, listed and deleted.";
    } else if (m_cancel || offsite::failureOf(result.error()) == offsite::Failure::Cancelled) {
        // Whatever broke after Cancel was pressed is Cancel's doing.
        m_testResult = "The test was cancelled.";
    } else {
        m_testResult = "The connection failed (" +
                       offsite::failureName(offsite::failureOf(result.error())) +
                       "): " + result.error().description + ".";
    }
    changed();
}

bool OffsiteDialog::cancel() {
    if (m_testing) {
        m_cancel = true;
        return false;
    }
    return true;
}

bool OffsiteDialog::ok() {
    if (m_testing) return false;
    if (trim(m_url).empty()) {
        if (m_hadSection &&
            m_host.message(Icon::Question, Buttons::YesNo, kTitle,
                           "The archives of \"" + m_setName +
                               "\" will no longer be copied off-site.\r\n\r\nRemove its "
                               "off-site settings?") != Answer::Yes) {
            return false;
        }
        if (Status removed = offsite::writeOffsiteSection(m_programFolder, m_setName, {});
            !removed) {
            m_host.message(Icon::Exclamation, Buttons::Ok, kTitle,
                           removed.error().description + ".");
            return false;
        }
        return true;
    }
    const offsite::IniKeys wanted = keys();
    if (auto checked = offsite::settingsFromKeys(m_programFolder, m_setName, wanted); !checked) {
        // Settings that name a credentials file still to be made may be saved all the same.
        if (m_host.message(Icon::Exclamation, Buttons::YesNo, kTitle,
                           "These settings would make the off-site copy fail: " +
                               checked.error().description +
                               ".\r\n\r\nSave them anyway?") != Answer::Yes) {
            return false;
        }
    }
    if (Status written = offsite::writeOffsiteSection(m_programFolder, m_setName, wanted);
        !written) {
        m_host.message(Icon::Exclamation, Buttons::Ok, kTitle,
                       written.error().description + ".");
        return false;
    }
    return true;
}

}  // namespace corvane
