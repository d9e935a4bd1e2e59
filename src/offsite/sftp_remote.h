#pragma once

#include "offsite/remote.h"
#include "offsite/sftp_client.h"

#include <functional>
#include <memory>
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
    // "sftp://host:port", the start of every address.
    std::string origin() const;
    // Runs `operation` on the session, logging in first when there is none; a failure ends
    // the session, as it may have left answers unread.
    Status withClient(const std::function<Status(SftpClient&)>& operation);

    const OffsiteSettings& m_settings;
    TransferControl& m_control;
    std::unique_ptr<SftpClient> m_client;
};

}  // namespace corvane::offsite
