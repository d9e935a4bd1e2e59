#include "common/text.h"
#include "offsite/offsite_error.h"
#include "offsite/offsite_settings.h"

#include <algorithm>
#include <cctype>

namespace corvane::offsite {

namespace {

Error badUrl(const std::string& url, const std::string& why) {
    return failure(Failure::Settings, "Url \"" + url + "\" in " + kOffsiteFileName + ": " + why);
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

bool isBucketCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
}

bool isHostCharacter(char c) {
    return isBucketCharacter(c);
}

std::string asFolder(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

Result<RemoteLocation> parseS3(const std::string& url, std::string_view rest) {
    RemoteLocation location;
    location.kind = RemoteKind::S3;
    const auto slash = rest.find('/');
    location.bucket = std::string(rest.substr(0, slash));
    if (location.bucket.empty()) return badUrl(url, "the bucket name is missing (s3://bucket/)");
    if (location.bucket.size() > 63 ||
        !std::all_of(location.bucket.begin(), location.bucket.end(), isBucketCharacter)) {
        return badUrl(url, "\"" + location.bucket +
                               "\" is not a bucket name (letters, digits, \".\", \"-\", \"_\")");
    }
    if (slash != std::string_view::npos) {
        std::string prefix(rest.substr(slash + 1));
        while (!prefix.empty() && prefix.front() == '/')
            prefix.erase(0, 1);
        if (prefix.find("//") != std::string::npos) {
            return badUrl(url, "the key prefix holds an empty folder name (\"//\")");
        }
        location.folder = asFolder(prefix);
    }
    return location;
}

Result<RemoteLocation> parseHostUrl(const std::string& url, std::string_view rest,
                                    RemoteKind kind) {
    RemoteLocation location;
    location.kind = kind;
    const auto slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    location.folder =
        asFolder(slash == std::string_view::npos ? "/" : std::string(rest.substr(slash)));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        if (user.find(':') != std::string_view::npos) {
            return failure(Failure::Settings,
                           std::string("the Url in ") + kOffsiteFileName +
                               " holds a password: put it in the credentials file instead");
        }
        if (user.empty()) return badUrl(url, "the user name before \"@\" is empty");
        location.user = std::string(user);
        authority.remove_prefix(at + 1);
    }
    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos)
            return badUrl(url, "the \"[\" of the host is not closed");
        location.host = std::string(authority.substr(0, close + 1));
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && after.front() != ':') return badUrl(url, "text follows the host");
        if (!after.empty()) portText = after.substr(1);
    } else {
        const auto colon = authority.find(':');
        location.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
        if (!std::all_of(location.host.begin(), location.host.end(), isHostCharacter)) {
            return badUrl(url, "\"" + location.host + "\" is not a host name");
        }
    }
    if (location.host.empty()) return badUrl(url, "the host name is missing");
    if (portText.data() != nullptr) {
        int port = 0;
        for (const char c : portText) {
            if (!std::isdigit(static_cast<unsigned char>(c)) || port > 65535) {
                port = -1;
                break;
            }
            port = port * 10 + (c - '0');
        }
        if (portText.empty() || port < 1 || port > 65535) {
            return badUrl(url, "the port is not a number from 1 to 65535");
        }
        location.port = port;
    }
    return location;
}

}  // namespace

Result<RemoteLocation> parseRemoteUrl(const std::string& url) {
    if (url.empty())
        return failure(Failure::Settings, std::string("Url is empty in ") + kOffsiteFileName);
    if (hasControlCharacter(url)) return badUrl(url, "it holds a control character");
    const auto separator = url.find("://");
    if (separator == std::string::npos) {
        return badUrl(url, "it does not begin with s3://, sftp://, webdav:// or webdavs://");
    }
    const std::string scheme = asciiLowered(url.substr(0, separator));
    const std::string_view rest = std::string_view(url).substr(separator + 3);
    if (scheme == "s3") return parseS3(url, rest);
    if (scheme == "sftp") return parseHostUrl(url, rest, RemoteKind::Sftp);
    if (scheme == "webdav" || scheme == "webdavs") {
        auto location = parseHostUrl(url, rest, RemoteKind::WebDav);
        if (location) location->tls = scheme == "webdavs";
        return location;
    }
    return badUrl(url, "the scheme \"" + scheme + "\" is not one of s3, sftp, webdav or webdavs");
}

}  // namespace corvane::offsite
