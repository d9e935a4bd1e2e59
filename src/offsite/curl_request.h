#pragma once

#include "common/result.h"
#include "offsite/transfer_control.h"

#include <curl/curl.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane::offsite {

// One libcurl handle, kept for a remote's lifetime so that its requests reuse the connection.
class CurlSession {
public:
    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;
    CURL* handle() const { return m_handle; }

private:
    CURL* m_handle;
};

struct Response {
    long status = 0;  // the HTTP status
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case

    // The value of a response header (name in lower case), or empty text.
    std::string header(std::string_view name) const;
};

// One request on a session's handle, which starts from libcurl's defaults. Credentials go in
// through options, never into the address, so no secret shows in a message or a process list.
class CurlRequest {
public:
    // With `control`, the request reports its upload progress there and stops when cancelled.
    CurlRequest(CurlSession& session, const std::string& url, TransferControl* control);
    ~CurlRequest();
    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;

    CURL* handle() const { return m_handle; }
    // A method other than GET: "HEAD" asks for no body; "PUT" and "POST" need a body below.
    void setMethod(const std::string& method);
    void addHeader(const std::string& header);
    // The request body: bytes that stay alive until perform() returns, or `size` bytes of an
    // open file from its offset 0.
    void sendBytes(std::span<const std::uint8_t> bytes);
    void sendFile(int fd, std::uint64_t size);
    // Where this body starts in the object being sent, so that progress counts the whole object.
    void setProgressBase(std::uint64_t offset) { m_progressBase = offset; }
    // Signature Version 4 signing for an S3 service in `region`.
    void signForS3(const std::string& region, const std::string& accessKey,
                   const std::string& secretKey);
    void setLogin(const std::string& user, const std::string& password);

    // Runs the request. A transfer that curl cannot complete is an Error whose kind tells
    // unreachable, dropped, cancelled... apart; `address` names the remote object in its text.
    // An HTTP status of any value is a Response.
    Result<Response> perform(const std::string& address);

private:
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onRead(char* buffer, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent);

    CURL* m_handle;
    TransferControl* m_control;
    curl_slist* m_headers = nullptr;
    std::string m_method;
    Response m_response;
    bool m_bodyTooLarge = false;
    bool m_countsProgress = false;  // the body is an object's bytes, not a small document
    std::span<const std::uint8_t> m_bytes;
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::uint64_t m_offset = 0;
    std::uint64_t m_progressBase = 0;
    int m_readError = 0;
    char m_errorText[CURL_ERROR_SIZE] = {};
};

// The error for an HTTP status of 300 or more: credentials refused for 401 and 403, out of
// space for 413 and 507, a server fault for other 5xx, refused otherwise. `detail` may hold the
// server's own words.
Error httpFailure(long status, const std::string& detail, const std::string& address);

}  // namespace corvane::offsite
