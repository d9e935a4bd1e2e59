#pragma once

#include "common/result.h"
#include "offsite/offsite_settings.h"
#include "offsite/transfer_control.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane::offsite {

class LocalFile;
struct RemoteObject;

// One logged-in SFTP (version 3) session over libssh. libssh negotiates AES-GCM and
// ChaCha20-Poly1305, which cost a server far less to decrypt than the AES-CTR with an HMAC that
// libcurl's SFTP (libssh2 1.10) is limited to; and uploads keep many writes in flight, so a
// distant server is not waited on per write. The host key must be in the known-hosts file.
//
// Paths are plain text; a path starting "/~/" is taken relative to the login folder. Every
// call reports to the TransferControl given (nullptr: a clean-up, which cannot be cancelled
// and waits a bounded time). A failed call may leave the session unusable: make a new one.
class SftpClient {
public:
    // Connects, checks the host key and logs in; `address` names the remote in messages.
    static Result<std::unique_ptr<SftpClient>> connect(const OffsiteSettings& settings,
                                                       const std::string& address,
                                                       TransferControl* control);
    ~SftpClient();
    SftpClient(const SftpClient&) = delete;
    SftpClient& operator=(const SftpClient&) = delete;

    // Writes `file` to `path` (created with mode 0600, or emptied), making missing folders.
    Status upload(const LocalFile& file, const std::string& path);
    Result<std::uint64_t> sizeOf(const std::string& path);
    // The names (and sizes) in `folder`; a folder that does not exist is an Error (NotFound).
    Result<std::vector<RemoteObject>> list(const std::string& folder);
    Status rename(const std::string& from, const std::string& to);
    Status remove(const std::string& path);

    struct Connection;  // libssh's session and channel, and the stream of packets on it

private:
    SftpClient(std::unique_ptr<Connection> connection, std::string address,
               TransferControl* control);
    Status makeFolders(const std::string& path);

    std::unique_ptr<Connection> m_connection;
    std::string m_address;
    TransferControl* m_control;
};

}  // namespace corvane::offsite
