#pragma once

#include "common/result.h"
#include "offsite/ini_section.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace corvane::offsite {

enum class RemoteKind { S3, Sftp, WebDav };

// Where the archives go, taken apart from the Url line. Paths are plain text (not
// percent-encoded) and folders end in "/".
struct RemoteLocation {
    RemoteKind kind = RemoteKind::S3;
    std::string host;    // sftp, webdav: the host name or address ("[::1]" keeps brackets)
    int port = 0;        // 0: the scheme's default
    bool tls = false;    // webdavs
    std::string user;    // sftp, webdav: the user named in the Url, if any
    std::string bucket;  // s3
    std::string folder;  // s3: the key prefix ("" or "a/b/"); others: the path ("/a/b/")
};

// The secrets of one remote, read from the credentials file; wiped when destroyed.
struct Credentials {
    std::string accessKey;
    std::string secretKey;
    std::string user;
    std::string password;
    std::string identityFile;
    std::string passphrase;
    std::string knownHostsFile;

    Credentials() = default;
    Credentials(const Credentials&) = default;
    Credentials& operator=(const Credentials&) = default;
    ~Credentials();
};

// How often and how patiently a failed network request is tried again.
struct RetryPolicy {
    int attempts = 3;
    std::chrono::milliseconds firstDelay{2000};  // doubles after each failed attempt
};

// The off-site copy settings of one set: its section of Offsite.ini in the program folder.
struct OffsiteSettings {
    std::string setName;  // the section name: the set file's name without ".cvt"
    std::string url;      // as written, for messages
    RemoteLocation location;
    std::string endpoint;  // s3: "http(s)://host[:port]" without a trailing "/"
    std::string region;    // s3
    std::string credentialsFile;
    int keep = 0;  // archives of the set kept on the remote; 0 keeps them all
    Credentials credentials;
    RetryPolicy retry;
};

inline constexpr const char* kOffsiteFileName = "Offsite.ini";

// Reads the section `setName` of Offsite.ini in `programFolder` (which ends in "/") and the
// credentials file it names. nullopt when the file or the section does not exist: the set has
// no off-site copy. Every bad value, missing key or unsafe credentials file is an Error of
// kind Settings whose text names the file, the key and what is wrong, never a secret.
Result<std::optional<OffsiteSettings>> readOffsiteSettings(const std::string& programFolder,
                                                           const std::string& setName);

// The settings a section's keys give, checked as readOffsiteSettings checks them (the
// credentials file is read too): for a section not yet written, such as the window's.
Result<OffsiteSettings> settingsFromKeys(const std::string& programFolder,
                                         const std::string& setName, const IniKeys& keys);

// Takes a Url value apart: s3://bucket/prefix/, sftp://[user@]host[:port]/path/,
// webdav://host[:port]/path/ or webdavs://...
Result<RemoteLocation> parseRemoteUrl(const std::string& url);

// Reads a credentials file for a remote of `kind`. The file must be a regular file that neither
// group nor others may read or write.
Result<Credentials> readCredentialsFile(const std::string& path, const RemoteLocation& location);

}  // namespace corvane::offsite
