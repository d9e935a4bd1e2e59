#include "offsite/sftp_remote.h"

#include "offsite/offsite_error.h"
#include "offsite/web_text.h"

#include <sstream>

namespace corvane::offsite {

namespace {

std::string partialName(const std::string& name) {
    return "." + name + ".part";
}

}  // namespace

std::string quotedSftpPath(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

SftpRemote::SftpRemote(const OffsiteSettings& settings, TransferControl& control)
    : m_settings(settings), m_control(control) {}

std::string SftpRemote::address(const std::string& name) const {
    const RemoteLocation& location = m_settings.location;
    return "sftp://" + location.host +
           (location.port != 0 ? ":" + std::to_string(location.port) : std::string()) +
           location.folder + name;
}

std::string SftpRemote::url(const std::string& name) const {
    const RemoteLocation& location = m_settings.location;
    return "sftp://" + location.host +
           (location.port != 0 ? ":" + std::to_string(location.port) : std::string()) +
           percentEncoded(location.folder + name, true);
}

void SftpRemote::prepare(CurlRequest& request) const {
    const Credentials& credentials = m_settings.credentials;
    CURL* handle = request.handle();
    curl_easy_setopt(handle, CURLOPT_SSH_KNOWNHOSTS, credentials.knownHostsFile.c_str());
    long methods = 0;
    if (!credentials.identityFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_SSH_PRIVATE_KEYFILE, credentials.identityFile.c_str());
        if (!credentials.passphrase.empty()) {
            curl_easy_setopt(handle, CURLOPT_KEYPASSWD, credentials.passphrase.c_str());
        }
        methods |= CURLSSH_AUTH_PUBLICKEY;
    }
    if (!credentials.password.empty()) methods |= CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD;
    curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES, methods);
    request.setLogin(credentials.user, credentials.password);
}

Status SftpRemote::runCommands(const std::vector<std::string>& commands, TransferControl* control) {
    CurlRequest request(m_session, url(""), control);
    prepare(request);
    curl_slist* list = nullptr;
    for (const auto& command : commands)
        list = curl_slist_append(list, command.c_str());
    curl_easy_setopt(request.handle(), CURLOPT_QUOTE, list);
    curl_easy_setopt(request.handle(), CURLOPT_NOBODY, 1L);
    auto done = request.perform(address(""));
    curl_easy_setopt(request.handle(), CURLOPT_QUOTE, nullptr);
    curl_slist_free_all(list);
    if (!done) return done.error();
    return {};
}

Status SftpRemote::upload(const LocalFile& file, const std::string& name) {
    const std::string folder = m_settings.location.folder;
    const std::string partial = partialName(name);
    // The old copy is removed first (the "*" lets that fail) because an SFTP rename does not
    // replace an existing file on every server.
    const std::vector<std::string> finish = {
        "*rm " + quotedSftpPath(folder + name),
        "rename " + quotedSftpPath(folder + partial) + " " + quotedSftpPath(folder + name)};
    Status sent = m_control.retried([&]() -> Status {
        CurlRequest request(m_session, url(partial), &m_control);
        prepare(request);
        request.sendFile(file.fd(), file.size());
        curl_easy_setopt(request.handle(), CURLOPT_FTP_CREATE_MISSING_DIRS,
                         static_cast<long>(CURLFTP_CREATE_DIR));
        curl_easy_setopt(request.handle(), CURLOPT_NEW_FILE_PERMS, 0600L);
        curl_slist* commands = nullptr;
        for (const auto& command : finish)
            commands = curl_slist_append(commands, command.c_str());
        curl_easy_setopt(request.handle(), CURLOPT_POSTQUOTE, commands);
        auto done = request.perform(address(name));
        curl_easy_setopt(request.handle(), CURLOPT_POSTQUOTE, nullptr);
        curl_slist_free_all(commands);
        if (!done) return done.error();
        return {};
    });
    if (!sent) (void)runCommands({"rm " + quotedSftpPath(folder + partial)}, nullptr);
    return sent;
}

Result<std::uint64_t> SftpRemote::sizeOf(const std::string& name) {
    std::uint64_t size = 0;
    Status found = m_control.retried([&]() -> Status {
        CurlRequest request(m_session, url(name), &m_control);
        prepare(request);
        curl_easy_setopt(request.handle(), CURLOPT_NOBODY, 1L);
        auto done = request.perform(address(name));
        if (!done) return done.error();
        curl_off_t length = -1;
        curl_easy_getinfo(request.handle(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length < 0) return failure(Failure::Refused, address(name) + " gave no size");
        size = static_cast<std::uint64_t>(length);
        return {};
    });
    if (!found) return found.error();
    return size;
}

Result<std::vector<RemoteObject>> SftpRemote::list() {
    std::string names;
    bool missing = false;  // a folder not made yet holds nothing
    Status listed = m_control.retried([&]() -> Status {
        CurlRequest request(m_session, url(""), &m_control);
        prepare(request);
        curl_easy_setopt(request.handle(), CURLOPT_DIRLISTONLY, 1L);
        auto done = request.perform(address(""));
        if (!done) {
            missing = failureOf(done.error()) == Failure::NotFound;
            return missing ? Status() : Status(done.error());
        }
        names = std::move(done->body);
        return {};
    });
    if (!listed) return listed.error();
    std::vector<RemoteObject> objects;
    std::istringstream lines(names);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line == "." || line == "..") continue;
        objects.push_back({line, 0});
    }
    return objects;
}

Status SftpRemote::remove(const std::string& name) {
    return m_control.retried([&]() -> Status {
        return runCommands({"rm " + quotedSftpPath(m_settings.location.folder + name)}, &m_control);
    });
}

}  // namespace corvane::offsite
