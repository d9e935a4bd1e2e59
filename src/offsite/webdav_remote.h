#pragma once

#include "offsite/curl_request.h"
#include "offsite/remote.h"

#include <string>

namespace corvane::offsite {

// A collection on a WebDAV server (webdavs: over TLS), with basic authentication. Uploads go
// to a hidden temporary name that is moved (MOVE) to the final name once complete. Missing
// collections on the way to the folder are made (MKCOL) before the first upload.
class WebDavRemote final : public Remote {
public:
    WebDavRemote(const OffsiteSettings& settings, TransferControl& control);

    Status upload(const LocalFile& file, const std::string& name) override;
    Result<std::uint64_t> sizeOf(const std::string& name) override;
    Result<std::vector<RemoteObject>> list() override;
    Status remove(const std::string& name) override;
    std::string address(const std::string& name) const override;

private:
    // An authenticated request on `path` (plain text, from the server's root).
    Result<Response> request(const std::string& method, const std::string& path,
                             TransferControl* control, const std::vector<std::string>& headers = {},
                             const std::string& body = {});
    Status makeFolders();
    Status sendAndMove(const LocalFile& file, const std::string& name);
    void removePartial(const std::string& name);

    const OffsiteSettings& m_settings;
    TransferControl& m_control;
    CurlSession m_session;
    std::string m_origin;  // "http://host:port"
    bool m_foldersMade = false;
};

}  // namespace corvane::offsite
