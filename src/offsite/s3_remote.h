#pragma once

#include "offsite/curl_request.h"
#include "offsite/remote.h"

#include <string>

namespace corvane::offsite {

// An S3-compatible bucket, signed with Signature Version 4. Files above kMultipartThreshold go
// up in parts (and the multipart upload is aborted when one fails); smaller ones in one request
// checked by Content-MD5. Every request carries the SHA-256 of its body in x-amz-content-sha256.
class S3Remote final : public Remote {
public:
    static constexpr std::uint64_t kMultipartThreshold = 8 * 1024 * 1024;

    S3Remote(const OffsiteSettings& settings, TransferControl& control);

    Status upload(const LocalFile& file, const std::string& name) override;
    Result<std::uint64_t> sizeOf(const std::string& name) override;
    Result<std::vector<RemoteObject>> list() override;
    Status remove(const std::string& name) override;
    std::string address(const std::string& name) const override;

    // The part size for a file of `size` bytes: 16 MiB, or more so that no file needs more than
    // the 10,000 parts S3 allows.
    static std::uint64_t partSizeFor(std::uint64_t size);

private:
    // Runs one signed request; `query` is already in canonical order and encoding.
    Result<Response> request(const std::string& method, const std::string& key,
                             const std::string& query, std::span<const std::uint8_t> body,
                             const std::vector<std::string>& headers, TransferControl* control,
                             std::uint64_t progressBase = 0);
    Status uploadWhole(const LocalFile& file, const std::string& name);
    Status uploadInParts(const LocalFile& file, const std::string& name);
    // Sends every part and returns the CompleteMultipartUpload document naming them.
    Result<std::string> sendParts(const LocalFile& file, const std::string& key,
                                  const std::string& uploadId);
    std::string objectUrl(const std::string& key, const std::string& query) const;

    const OffsiteSettings& m_settings;
    TransferControl& m_control;
    CurlSession m_session;
    std::string m_base;  // the bucket's address: its objects follow after a "/"
    bool m_pathStyle = true;
};

}  // namespace corvane::offsite
