#include "offsite/offsite_settings.h"

#include "common/file_io.h"
#include "common/text.h"
#include "offsite/ini_section.h"
#include "offsite/offsite_error.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <map>

namespace corvane::offsite {

namespace {

constexpr int kLargestKeep = 9999;

void wipe(std::string& secret) {
    if (!secret.empty()) OPENSSL_cleanse(secret.data(), secret.size());
    secret.clear();
}

Error settingsError(const std::string& text) {
    return failure(Failure::Settings, text);
}

using KeyValues = std::map<std::string, std::string>;

// The keys of a section by their spelling in `known`, each at most once; `where` names the
// section and file in errors.
Result<KeyValues> knownKeys(const IniKeys& keys, std::initializer_list<const char*> known,
                            const std::string& where) {
    KeyValues values;
    for (const auto& [name, value] : keys) {
        const std::string wanted = asciiLowered(name);
        const auto spelling = std::find_if(known.begin(), known.end(), [&wanted](const char* candidate) {
            return asciiLowered(candidate) == wanted;
        });
        if (spelling == known.end()) {
            std::string list;
            for (const char* candidate : known)
                list += (list.empty() ? "" : ", ") + std::string(candidate);
            return settingsError("unknown key \"" + name + "\" in " + where +
                                 " (known keys: " + list + ")");
        }
        if (!values.emplace(*spelling, value).second) {
            return settingsError(std::string(*spelling) + " is given twice in " + where);
        }
    }
    return values;
}

std::string valueOf(const KeyValues& values, const char* key) {
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
}

// `path` with a leading "~/" taken from $HOME and a relative path taken from `base`.
std::string resolvedPath(const std::string& path, const std::string& base) {
    if (path.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        return std::string(home != nullptr ? home : "") + path.substr(1);
    }
    if (!path.empty() && path.front() != '/') return base + path;
    return path;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string unsafeFileProblem(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) return " is not a regular file";
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return " may be read or changed by other users (mode " + std::string(mode) +
               "): allow its owner only (chmod 600)";
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0) return " belongs to another user";
    return {};
}

// Reads a file that holds secrets, refusing one that others may read or change. The checks and
// the reading go through one descriptor, so the file cannot be swapped in between.
Result<std::string> readPrivateFile(const std::string& path, const std::string& role) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const Error error = errorFromErrno(errno, path);
        return settingsError("the " + role + " " + path + " cannot be read: " + error.description);
    }
    struct stat info {};
    std::string problem = ::fstat(fd, &info) == 0 ? unsafeFileProblem(info) : " cannot be examined";
    std::string text;
    char buffer[4096];
    while (problem.empty()) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const Error error = errorFromErrno(errno, path);
            problem = " cannot be read: " + error.description;
        }
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    OPENSSL_cleanse(buffer, sizeof buffer);
    ::close(fd);
    if (!problem.empty()) {
        wipe(text);
        return settingsError("the " + role + " " + path + problem);
    }
    return text;
}

Status requireReadable(const std::string& path, const std::string& role) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(path.c_str(), R_OK) != 0) {
        return settingsError("the " + role + " " + path +
                             " does not exist or cannot be read (the host key of an sftp:// "
                             "remote is always checked against it)");
    }
    return {};
}

bool isRegionText(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

Result<std::string> checkedEndpoint(std::string endpoint, const std::string& where) {
    while (!endpoint.empty() && endpoint.back() == '/')
        endpoint.pop_back();
    const std::string lower = asciiLowered(endpoint);
    const bool web = lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
    const auto hostStart = endpoint.find("://") + 3;
    if (!web || hostStart >= endpoint.size() || endpoint.find('@') != std::string::npos ||
        std::any_of(endpoint.begin(), endpoint.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= 0x20; })) {
        return settingsError("Endpoint \"" + endpoint + "\" in " + where +
                             " is not an http:// or https:// address");
    }
    return endpoint;
}

Result<int> checkedKeep(const std::string& text, const std::string& where) {
    const bool digits =
        !text.empty() && text.size() <= 4 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
        return settingsError("Keep \"" + text + "\" in " + where + " is not a number from 0 to " +
                             std::to_string(kLargestKeep) + " (0 keeps every archive)");
    }
    return std::stoi(text);
}

Status checkSftpKeys(Credentials& credentials, const std::string& path, const std::string& where,
                     const std::function<Error(const std::string&)>& missing) {
    if (credentials.password.empty() && credentials.identityFile.empty()) {
        return missing("Password or IdentityFile");
    }
    if (!credentials.passphrase.empty() && credentials.identityFile.empty()) {
        return settingsError(where + " has a Passphrase but no IdentityFile for it to unlock");
    }
    const std::string base = folderOf(path);
    if (!credentials.identityFile.empty()) {
        credentials.identityFile = resolvedPath(credentials.identityFile, base);
        auto key = readPrivateFile(credentials.identityFile, "identity file");
        if (!key) return key.error();
        wipe(*key);
    }
    credentials.knownHostsFile = resolvedPath(
        credentials.knownHostsFile.empty() ? "~/.ssh/known_hosts" : credentials.knownHostsFile,
        base);
    return requireReadable(credentials.knownHostsFile, "known-hosts file");
}

}  // namespace

Credentials::~Credentials() {
    wipe(secretKey);
    wipe(password);
    wipe(passphrase);
}

Result<Credentials> readCredentialsFile(const std::string& path, const RemoteLocation& location) {
    auto text = readPrivateFile(path, "credentials file");
    if (!text) return text.error();
    const auto section = readIniSection(*text, "", path);
    wipe(*text);
    if (!section) return section.error();
    const std::string where = "the credentials file " + path;
    auto known =
        location.kind == RemoteKind::S3
            ? knownKeys(section->keys, {"AccessKey", "SecretKey"}, where)
        : location.kind == RemoteKind::WebDav
            ? knownKeys(section->keys, {"User", "Password"}, where)
            : knownKeys(section->keys,
                        {"User", "Password", "IdentityFile", "Passphrase", "KnownHostsFile"},
                        where);
    if (!known) return known.error();
    Credentials credentials;
    credentials.accessKey = valueOf(*known, "AccessKey");
    credentials.secretKey = valueOf(*known, "SecretKey");
    credentials.user = valueOf(*known, "User");
    credentials.password = valueOf(*known, "Password");
    credentials.identityFile = valueOf(*known, "IdentityFile");
    credentials.passphrase = valueOf(*known, "Passphrase");
    credentials.knownHostsFile = valueOf(*known, "KnownHostsFile");
    for (auto& [key, value] : *known)
        wipe(value);

    const auto missing = [&](const std::string& what) {
        return settingsError(where + " has no " + what +
                             " (an s3:// remote needs AccessKey and SecretKey, webdav:// User and "
                             "Password, sftp:// User with Password or IdentityFile)");
    };
    if (location.kind == RemoteKind::S3) {
        if (credentials.accessKey.empty()) return missing("AccessKey");
        if (credentials.secretKey.empty()) return missing("SecretKey");
        return credentials;
    }
    if (credentials.user.empty()) credentials.user = location.user;
    if (credentials.user.empty()) return missing("User (nor does the Url name one)");
    if (location.kind == RemoteKind::WebDav) {
        if (credentials.password.empty()) return missing("Password");
        return credentials;
    }
    if (auto checked = checkSftpKeys(credentials, path, where, missing); !checked) {
        return checked.error();
    }
    return credentials;
}

Result<std::optional<OffsiteSettings>> readOffsiteSettings(const std::string& programFolder,
                                                           const std::string& setName) {
    const std::string path = programFolder + kOffsiteFileName;
    auto content = readWholeFile(path);
    if (!content) {
        if (isNotFoundCode(content.error().code)) return std::optional<OffsiteSettings>();
        return settingsError(path + " cannot be read: " + content.error().description);
    }
    const std::string text(content->begin(), content->end());
    const auto section = readIniSection(text, setName, path);
    if (!section) return section.error();
    if (!section->found) return std::optional<OffsiteSettings>();
    auto settings = settingsFromKeys(programFolder, setName, section->keys);
    if (!settings) return settings.error();
    return std::optional<OffsiteSettings>(std::move(*settings));
}

Result<OffsiteSettings> settingsFromKeys(const std::string& programFolder,
                                         const std::string& setName, const IniKeys& keys) {
    const std::string path = programFolder + kOffsiteFileName;
    const std::string where = "[" + setName + "] of " + path;
    const auto values =
        knownKeys(keys, {"Url", "Endpoint", "Region", "CredentialsFile", "Keep"}, where);
    if (!values) return values.error();
    OffsiteSettings settings;
    settings.setName = setName;
    settings.url = valueOf(*values, "Url");
    if (settings.url.empty()) return settingsError("Url is missing in " + where);
    auto location = parseRemoteUrl(settings.url);
    if (!location) return location.error();
    settings.location = *location;

    const bool s3 = settings.location.kind == RemoteKind::S3;
    for (const char* key : {"Endpoint", "Region"}) {
        if (!s3 && !valueOf(*values, key).empty()) {
            return settingsError(std::string(key) + " in " + where +
                                 " only applies to s3:// remotes");
        }
    }
    if (const std::string endpoint = valueOf(*values, "Endpoint"); !endpoint.empty()) {
        auto checked = checkedEndpoint(endpoint, where);
        if (!checked) return checked.error();
        settings.endpoint = *checked;
    }
    settings.region = valueOf(*values, "Region");
    if (s3 && settings.region.empty()) settings.region = "us-east-1";
    if (s3 && !isRegionText(settings.region)) {
        return settingsError("Region \"" + settings.region + "\" in " + where +
                             " is not a region name (lower-case letters, digits and \"-\")");
    }
    if (const std::string keep = valueOf(*values, "Keep"); !keep.empty()) {
        auto checked = checkedKeep(keep, where);
        if (!checked) return checked.error();
        settings.keep = *checked;
    }
    settings.credentialsFile = valueOf(*values, "CredentialsFile");
    if (settings.credentialsFile.empty()) {
        return settingsError("CredentialsFile is missing in " + where);
    }
    settings.credentialsFile = resolvedPath(settings.credentialsFile, programFolder);
    auto credentials = readCredentialsFile(settings.credentialsFile, settings.location);
    if (!credentials) return credentials.error();
    settings.credentials = *credentials;
    return settings;
}

}  // namespace corvane::offsite
