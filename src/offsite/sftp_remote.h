#pragma once

#include "offsite/curl_request.h"
#include "offsite/remote.h"

#include <string>
#include <vector>

namespace corvane::offsite {

// A folder on an SFTP server. The server's host key is always checked against the known-hosts
// file. Uploads go to a hidden temporary name that is renamed once complete.
class SftpRemote final : public Remote {
public:
    SftpRemote(const OffsiteSettings& settings, TransferControl& control);

    Status upload(const LocalFile& file, const std::string& name) override;
    Result<std::uint64_t> sizeOf(const std::string& name) override;
    Result<std::vector<RemoteObject>> list() override;
    Status remove(const std::string& name) override;
    std::string address(const std::string& name) const override;

private:
    // A request on `name` in the folder ("" for the folder itself), logged in.
    void prepare(CurlRequest& request) const;
    std::string url(const std::string& name) const;
    // Runs SFTP commands ("rm", "rename"...) on plain paths; each path is quoted here.
    Status runCommands(const std::vector<std::string>& commands, TransferControl* control);

    const OffsiteSettings& m_settings;
    TransferControl& m_control;
    CurlSession m_session;
};

// The path inside double quotes, as curl reads SFTP command arguments.
std::string quotedSftpPath(const std::string& path);

}  // namespace corvane::offsite
