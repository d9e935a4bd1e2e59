#include "offsite/curl_request.h"

#include "common/text.h"
#include "offsite/offsite_error.h"

#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace corvane::offsite {

namespace {

constexpr long kConnectSeconds = 20;
// A transfer that moves less than a byte a second for this long has stalled.
constexpr long kStallSeconds = 60;
constexpr long kCleanupSeconds = 15;
constexpr long kUploadBuffer = 2 * 1024 * 1024;
constexpr std::size_t kLargestBody = 64 * 1024 * 1024;

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

Error curlFailure(CURLcode code, CURL* handle, const char* errorText, const std::string& address) {
    const std::string detail = *errorText != '\0' ? errorText : curl_easy_strerror(code);
    switch (code) {
        case CURLE_ABORTED_BY_CALLBACK:
            return failure(Failure::Cancelled, "cancelled");
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
            return failure(Failure::Unreachable, "cannot connect to " + address + ": " + detail);
        case CURLE_OPERATION_TIMEDOUT: {
            curl_off_t connected = 0;
            curl_easy_getinfo(handle, CURLINFO_CONNECT_TIME_T, &connected);
            if (connected == 0) {
                return failure(Failure::Unreachable,
                               "cannot connect to " + address + ": " + detail);
            }
            return failure(Failure::ConnectionDropped,
                           "the connection to " + address + " stalled: " + detail);
        }
        case CURLE_LOGIN_DENIED:
            return failure(Failure::CredentialsRefused,
                           address + " refused the credentials: " + detail);
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_UPLOAD_FAILED:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            return failure(Failure::ConnectionDropped,
                           "the connection to " + address + " dropped: " + detail);
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return failure(Failure::NotFound, address + " was not found: " + detail);
        default:
            return failure(Failure::Refused,
                           address + ": " + detail + " (curl error " + std::to_string(code) + ")");
    }
}

}  // namespace

CurlSession::CurlSession() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_handle = curl_easy_init();
    assert(m_handle != nullptr);
}

CurlSession::~CurlSession() {
    curl_easy_cleanup(m_handle);
}

std::string Response::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key == name) return value;
    }
    return {};
}

CurlRequest::CurlRequest(CurlSession& session, const std::string& url, TransferControl* control)
    : m_handle(session.handle()), m_control(control) {
    curl_easy_reset(m_handle);
    curl_easy_setopt(m_handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(m_handle, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(m_handle, CURLOPT_UPLOAD_BUFFERSIZE, kUploadBuffer);
    curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &CurlRequest::onHeader);
    curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &CurlRequest::onBody);
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_XFERINFOFUNCTION, &CurlRequest::onProgress);
    curl_easy_setopt(m_handle, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_handle, CURLOPT_NOPROGRESS, m_control != nullptr ? 0L : 1L);
    // A clean-up after a failure or Cancel cannot be cancelled itself: a server that stopped
    // answering gets a bounded time instead of the stall limit.
    if (m_control == nullptr) curl_easy_setopt(m_handle, CURLOPT_TIMEOUT, kCleanupSeconds);
    // Waiting for "100 Continue" costs a round trip per request, and a second on servers that
    // never send it. (Removing the header instead would put it among the signed headers.)
    curl_easy_setopt(m_handle, CURLOPT_EXPECT_100_TIMEOUT_MS, 0L);
}

CurlRequest::~CurlRequest() {
    curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(m_headers);
}

void CurlRequest::setMethod(const std::string& method) {
    m_method = method;
    if (method == "HEAD") {
        curl_easy_setopt(m_handle, CURLOPT_NOBODY, 1L);
    } else if (method == "PUT") {
        curl_easy_setopt(m_handle, CURLOPT_UPLOAD, 1L);
    } else if (method == "POST") {
        curl_easy_setopt(m_handle, CURLOPT_POST, 1L);
    } else {
        curl_easy_setopt(m_handle, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
}

void CurlRequest::addHeader(const std::string& header) {
    m_headers = curl_slist_append(m_headers, header.c_str());
    curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, m_headers);
}

void CurlRequest::sendBytes(std::span<const std::uint8_t> bytes) {
    m_bytes = bytes;
    m_fd = -1;
    m_size = bytes.size();
    m_countsProgress = m_method == "PUT";
    if (m_method == "PUT") {
        curl_easy_setopt(m_handle, CURLOPT_READFUNCTION, &CurlRequest::onRead);
        curl_easy_setopt(m_handle, CURLOPT_READDATA, this);
        curl_easy_setopt(m_handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(m_size));
    } else {
        curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_size));
        static const char kNothing[] = "";
        const void* data = bytes.empty() ? static_cast<const void*>(kNothing) : bytes.data();
        curl_easy_setopt(m_handle, CURLOPT_POSTFIELDS, data);
    }
}

void CurlRequest::sendFile(int fd, std::uint64_t size) {
    m_fd = fd;
    m_size = size;
    m_countsProgress = true;
    curl_easy_setopt(m_handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_handle, CURLOPT_READFUNCTION, &CurlRequest::onRead);
    curl_easy_setopt(m_handle, CURLOPT_READDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
}

void CurlRequest::signForS3(const std::string& region, const std::string& accessKey,
                            const std::string& secretKey) {
    const std::string provider = "aws:amz:" + region + ":s3";
    curl_easy_setopt(m_handle, CURLOPT_AWS_SIGV4, provider.c_str());
    setLogin(accessKey, secretKey);
}

void CurlRequest::setLogin(const std::string& user, const std::string& password) {
    curl_easy_setopt(m_handle, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(m_handle, CURLOPT_PASSWORD, password.c_str());
}

Result<Response> CurlRequest::perform(const std::string& address) {
    m_offset = 0;
    m_readError = 0;
    const CURLcode code = curl_easy_perform(m_handle);
    // Keep no secret in the handle between requests.
    curl_easy_setopt(m_handle, CURLOPT_PASSWORD, nullptr);
    curl_easy_setopt(m_handle, CURLOPT_KEYPASSWD, nullptr);
    if (m_readError != 0) {
        return failure(Failure::LocalFile, "the file for " + address +
                                               " cannot be read: " + std::strerror(m_readError));
    }
    if (m_bodyTooLarge) {
        return failure(Failure::Refused, address + " answered with more than " +
                                             std::to_string(kLargestBody) + " bytes");
    }
    if (code != CURLE_OK) return curlFailure(code, m_handle, m_errorText, address);
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &m_response.status);
    return std::move(m_response);
}

std::size_t CurlRequest::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& request = *static_cast<CurlRequest*>(self);
    const std::string_view line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) request.m_response.headers.clear();  // a new response
    const auto colon = line.find(':');
    if (colon != std::string_view::npos) {
        request.m_response.headers.emplace_back(asciiLowered(trimmed(line.substr(0, colon))),
                                                trimmed(line.substr(colon + 1)));
    }
    return size * count;
}

std::size_t CurlRequest::onBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& request = *static_cast<CurlRequest*>(self);
    if (request.m_response.body.size() + size * count > kLargestBody) {
        request.m_bodyTooLarge = true;
        return 0;
    }
    request.m_response.body.append(data, size * count);
    return size * count;
}

std::size_t CurlRequest::onRead(char* buffer, std::size_t size, std::size_t count, void* self) {
    auto& request = *static_cast<CurlRequest*>(self);
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uint64_t>(size * count, request.m_size - request.m_offset));
    if (wanted == 0) return 0;
    if (request.m_fd < 0) {
        std::memcpy(buffer, request.m_bytes.data() + request.m_offset, wanted);
        request.m_offset += wanted;
        return wanted;
    }
    for (;;) {
        const ssize_t got =
            ::pread(request.m_fd, buffer, wanted, static_cast<off_t>(request.m_offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            request.m_readError = got < 0 ? errno : EIO;  // a file that shrank while being sent
            return CURL_READFUNC_ABORT;
        }
        request.m_offset += static_cast<std::uint64_t>(got);
        return static_cast<std::size_t>(got);
    }
}

int CurlRequest::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
    auto& request = *static_cast<CurlRequest*>(self);
    if (request.m_countsProgress) {
        return request.m_control->report(request.m_progressBase + static_cast<std::uint64_t>(sent))
                   ? 0
                   : 1;
    }
    return request.m_control->cancelled() ? 1 : 0;
}

Error httpFailure(long status, const std::string& detail, const std::string& address) {
    const std::string said =
        "HTTP " + std::to_string(status) + (detail.empty() ? "" : ", " + detail);
    if (status == 401 || status == 403) {
        return failure(Failure::CredentialsRefused,
                       address + " refused the credentials (" + said + ")");
    }
    if (status == 413 || status == 507) {
        return failure(Failure::OutOfSpace, "no space left on " + address + " (" + said + ")");
    }
    if (status >= 500) return failure(Failure::ServerFault, address + " failed (" + said + ")");
    if (status == 404) return failure(Failure::NotFound, address + " was not found (" + said + ")");
    return failure(Failure::Refused, address + " refused the request (" + said + ")");
}

}  // namespace corvane::offsite
