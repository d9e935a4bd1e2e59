#include "offsite/s3_remote.h"

#include "offsite/offsite_error.h"
#include "offsite/web_text.h"

#include <openssl/evp.h>

#include <future>

namespace corvane::offsite {

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kPartSize = 16 * kMiB;
constexpr std::uint64_t kMostParts = 10000;
// The SHA-256 of no bytes, for requests without a body.
constexpr const char* kEmptySha256 =
    "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 0xF];
    }
    return text;
}

std::string md5Base64(std::span<const std::uint8_t> bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
    unsigned char text[64] = {};
    EVP_EncodeBlock(text, digest, static_cast<int>(length));
    return reinterpret_cast<const char*>(text);
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The error for an S3 error answer, read from its <Code> and <Message>.
Error s3Failure(const Response& response, const std::string& address) {
    const std::string code = xmlText(response.body, "Code");
    const std::string message = xmlText(response.body, "Message");
    const std::string detail =
        code.empty() ? message : code + (message.empty() ? "" : ": " + message);
    if (code == "EntityTooLarge" || code == "QuotaExceeded" || code == "StorageQuotaExceeded") {
        return failure(Failure::OutOfSpace, "no space left on " + address + " (" + detail + ")");
    }
    if (code == "InternalError" || code == "SlowDown" || code == "ServiceUnavailable") {
        return failure(Failure::ServerFault, address + " failed (" + detail + ")");
    }
    return httpFailure(response.status >= 300 ? response.status : 500, detail, address);
}

}  // namespace

S3Remote::S3Remote(const OffsiteSettings& settings, TransferControl& control)
    : m_settings(settings), m_control(control) {
    const std::string& bucket = settings.location.bucket;
    if (!settings.endpoint.empty()) {
        m_base = settings.endpoint + "/" + percentEncoded(bucket, false);
    } else if (bucket.find('.') != std::string::npos) {
        // A dotted bucket name does not fit the provider's certificate as a host name.
        m_base = "https://s3." + settings.region + ".amazonaws.com/" + bucket;
    } else {
        m_base = "https://" + bucket + ".s3." + settings.region + ".amazonaws.com";
        m_pathStyle = false;
    }
}

std::uint64_t S3Remote::partSizeFor(std::uint64_t size) {
    const std::uint64_t least = (size + kMostParts - 1) / kMostParts;
    return std::max(kPartSize, (least + kMiB - 1) / kMiB * kMiB);
}

std::string S3Remote::address(const std::string& name) const {
    return "s3://" + m_settings.location.bucket + "/" + m_settings.location.folder + name;
}

std::string S3Remote::objectUrl(const std::string& key, const std::string& query) const {
    std::string url =
        key.empty() && m_pathStyle ? m_base : m_base + "/" + percentEncoded(key, true);
    if (!query.empty()) url += "?" + query;
    return url;
}

Result<Response> S3Remote::request(const std::string& method, const std::string& key,
                                   const std::string& query, std::span<const std::uint8_t> body,
                                   const std::vector<std::string>& headers,
                                   TransferControl* control, std::uint64_t progressBase) {
    CurlRequest request(m_session, objectUrl(key, query), control);
    request.setMethod(method);
    for (const auto& header : headers)
        request.addHeader(header);
    if (method == "PUT" || method == "POST") request.sendBytes(body);
    request.setProgressBase(progressBase);
    request.signForS3(m_settings.region, m_settings.credentials.accessKey,
                      m_settings.credentials.secretKey);
    return request.perform("s3://" + m_settings.location.bucket + "/" + key);
}

Status S3Remote::upload(const LocalFile& file, const std::string& name) {
    return file.size() > kMultipartThreshold ? uploadInParts(file, name) : uploadWhole(file, name);
}

Status S3Remote::uploadWhole(const LocalFile& file, const std::string& name) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    if (auto read = file.readAt(0, bytes.data(), bytes.size()); !read) return read;
    const std::vector<std::string> headers = {"x-amz-content-sha256: " + sha256Hex(bytes),
                                              "Content-MD5: " + md5Base64(bytes)};
    const std::string key = m_settings.location.folder + name;
    return m_control.retried([&]() -> Status {
        auto response = request("PUT", key, "", bytes, headers, &m_control);
        if (!response) return response.error();
        if (response->status != 200) return s3Failure(*response, address(name));
        return {};
    });
}

Status S3Remote::uploadInParts(const LocalFile& file, const std::string& name) {
    const std::string key = m_settings.location.folder + name;
    std::string uploadId;
    Status started = m_control.retried([&]() -> Status {
        auto response = request("POST", key, "uploads=", {},
                                {std::string("x-amz-content-sha256: ") + kEmptySha256}, &m_control);
        if (!response) return response.error();
        if (response->status != 200) return s3Failure(*response, address(name));
        uploadId = xmlText(response->body, "UploadId");
        if (uploadId.empty()) {
            return failure(Failure::Refused,
                           address(name) + " gave no UploadId for a multipart upload");
        }
        return {};
    });
    if (!started) return started;

    const std::string idQuery = "uploadId=" + percentEncoded(uploadId, false);
    auto document = sendParts(file, key, uploadId);
    Status completed = document ? Status() : Status(document.error());
    if (completed) {
        completed = m_control.retried([&]() -> Status {
            const std::vector<std::string> headers = {
                "x-amz-content-sha256: " + sha256Hex(bytesOf(*document)),
                "Content-Type: application/xml"};
            auto response = request("POST", key, idQuery, bytesOf(*document), headers, &m_control);
            if (!response) return response.error();
            // S3 may answer 200 and still report an error in the body.
            if (response->status != 200 || response->body.find("<Error>") != std::string::npos) {
                return s3Failure(*response, address(name));
            }
            return {};
        });
    }
    if (!completed) {
        // Parts of an aborted upload are freed; a cancelled copy must not leave them behind.
        (void)request("DELETE", key, idQuery, {},
                      {std::string("x-amz-content-sha256: ") + kEmptySha256}, nullptr);
    }
    return completed;
}

Result<std::string> S3Remote::sendParts(const LocalFile& file, const std::string& key,
                                        const std::string& uploadId) {
    struct Part {
        std::vector<std::uint8_t> bytes;
        std::string sha256;
        Status read;
    };
    const std::uint64_t partSize = partSizeFor(file.size());
    const std::uint64_t count = (file.size() + partSize - 1) / partSize;
    const auto prepare = [&](std::uint64_t index, Part& part) {
        const std::uint64_t offset = index * partSize;
        part.bytes.resize(static_cast<std::size_t>(std::min(partSize, file.size() - offset)));
        part.read = file.readAt(offset, part.bytes.data(), part.bytes.size());
        if (part.read) part.sha256 = sha256Hex(part.bytes);
    };
    const std::string name = key.substr(m_settings.location.folder.size());  // for messages
    std::string document = "<CompleteMultipartUpload>";
    Part current;
    Part next;
    prepare(0, current);
    for (std::uint64_t index = 0; index < count; ++index) {
        // The next part is read and hashed while this one travels.
        std::future<void> ahead;
        if (index + 1 < count) {
            ahead = std::async(std::launch::async, [&, index] { prepare(index + 1, next); });
        }
        std::string etag;
        const std::string query = "partNumber=" + std::to_string(index + 1) +
                                  "&uploadId=" + percentEncoded(uploadId, false);
        Status sent = current.read;
        if (sent) {
            sent = m_control.retried([&]() -> Status {
                auto response = request("PUT", key, query, current.bytes,
                                        {"x-amz-content-sha256: " + current.sha256}, &m_control,
                                        index * partSize);
                if (!response) return response.error();
                if (response->status != 200) return s3Failure(*response, address(name));
                etag = response->header("etag");
                if (etag.empty())
                    return failure(Failure::Refused, address(name) + " gave no ETag for a part");
                return {};
            });
        }
        if (ahead.valid()) ahead.wait();
        if (!sent) return sent.error();
        document += "<Part><PartNumber>" + std::to_string(index + 1) + "</PartNumber><ETag>" +
                    xmlEscaped(etag) + "</ETag></Part>";
        std::swap(current, next);
    }
    return document + "</CompleteMultipartUpload>";
}

Result<std::uint64_t> S3Remote::sizeOf(const std::string& name) {
    std::uint64_t size = 0;
    Status found = m_control.retried([&]() -> Status {
        auto response = request("HEAD", m_settings.location.folder + name, "", {},
                                {std::string("x-amz-content-sha256: ") + kEmptySha256}, &m_control);
        if (!response) return response.error();
        if (response->status != 200) return httpFailure(response->status, "", address(name));
        const std::string length = response->header("content-length");
        if (length.empty() || length.find_first_not_of("0123456789") != std::string::npos) {
            return failure(Failure::Refused, address(name) + " gave no size");
        }
        size = std::stoull(length);
        return {};
    });
    if (!found) return found.error();
    return size;
}

Result<std::vector<RemoteObject>> S3Remote::list() {
    std::vector<RemoteObject> objects;
    std::string token;
    const std::string& prefix = m_settings.location.folder;
    do {
        // Query parameters in canonical order, as the signature covers them.
        std::string query;
        if (!token.empty()) query += "continuation-token=" + percentEncoded(token, false) + "&";
        query += "delimiter=%2F&list-type=2&prefix=" + percentEncoded(prefix, false);
        Response page;
        Status listed = m_control.retried([&]() -> Status {
            auto response =
                request("GET", "", query, {},
                        {std::string("x-amz-content-sha256: ") + kEmptySha256}, &m_control);
            if (!response) return response.error();
            if (response->status != 200) return s3Failure(*response, address(""));
            page = std::move(*response);
            return {};
        });
        if (!listed) return listed.error();
        for (const std::string_view block : xmlBlocks(page.body, "Contents")) {
            const std::string key = xmlText(block, "Key");
            const std::string size = xmlText(block, "Size");
            if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) continue;
            if (key.find('/', prefix.size()) != std::string::npos) continue;
            const bool number =
                !size.empty() && size.find_first_not_of("0123456789") == std::string::npos;
            objects.push_back({key.substr(prefix.size()), number ? std::stoull(size) : 0});
        }
        token = xmlText(page.body, "IsTruncated") == "true"
                    ? xmlText(page.body, "NextContinuationToken")
                    : std::string();
    } while (!token.empty());
    return objects;
}

Status S3Remote::remove(const std::string& name) {
    return m_control.retried([&]() -> Status {
        auto response = request("DELETE", m_settings.location.folder + name, "", {},
                                {std::string("x-amz-content-sha256: ") + kEmptySha256}, &m_control);
        if (!response) return response.error();
        if (response->status != 204 && response->status != 200) {
            return s3Failure(*response, address(name));
        }
        return {};
    });
}

}  // namespace corvane::offsite
