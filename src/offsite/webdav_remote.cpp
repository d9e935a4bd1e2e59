#include "offsite/webdav_remote.h"

#include "offsite/offsite_error.h"
#include "offsite/web_text.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace corvane::offsite {

namespace {

std::string partialName(const std::string& name) {
    return "." + name + ".part";
}

constexpr const char* kListQuery =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\"><D:prop>"
    "<D:getcontentlength/><D:resourcetype/></D:prop></D:propfind>";

// How long a locked partial file is waited for before it is left to the next run, which
// overwrites it.
constexpr std::chrono::seconds kLockPatience{10};

bool succeeded(long status) {
    return status >= 200 && status < 300;
}

}  // namespace

WebDavRemote::WebDavRemote(const OffsiteSettings& settings, TransferControl& control)
    : m_settings(settings), m_control(control) {
    const RemoteLocation& location = settings.location;
    m_origin = std::string(location.tls ? "https://" : "http://") + location.host +
               (location.port != 0 ? ":" + std::to_string(location.port) : std::string());
}

std::string WebDavRemote::address(const std::string& name) const {
    const RemoteLocation& location = m_settings.location;
    return std::string(location.tls ? "webdavs://" : "webdav://") + location.host +
           (location.port != 0 ? ":" + std::to_string(location.port) : std::string()) +
           location.folder + name;
}

Result<Response> WebDavRemote::request(const std::string& method, const std::string& path,
                                       TransferControl* control,
                                       const std::vector<std::string>& headers,
                                       const std::string& body) {
    CurlRequest request(m_session, m_origin + percentEncoded(path, true), control);
    request.setMethod(method);
    for (const auto& header : headers)
        request.addHeader(header);
    if (!body.empty()) {
        request.sendBytes({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()});
    }
    curl_easy_setopt(request.handle(), CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    request.setLogin(m_settings.credentials.user, m_settings.credentials.password);
    const std::string& folder = m_settings.location.folder;
    return request.perform(address(path.size() >= folder.size() ? path.substr(folder.size()) : ""));
}

Status WebDavRemote::makeFolders() {
    if (m_foldersMade) return {};
    const std::string& folder = m_settings.location.folder;
    for (auto slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        auto made = request("MKCOL", folder.substr(0, slash + 1), &m_control);
        if (!made) return made.error();
        // 405: the collection is there already.
        if (!succeeded(made->status) && made->status != 405 && made->status != 301) {
            return httpFailure(made->status, "making the folder " + folder.substr(0, slash + 1),
                               address(""));
        }
    }
    m_foldersMade = true;
    return {};
}

Status WebDavRemote::sendAndMove(const LocalFile& file, const std::string& name) {
    if (auto made = makeFolders(); !made) return made;
    const std::string& folder = m_settings.location.folder;
    CurlRequest put(m_session, m_origin + percentEncoded(folder + partialName(name), true),
                    &m_control);
    put.sendFile(file.fd(), file.size());
    curl_easy_setopt(put.handle(), CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    put.setLogin(m_settings.credentials.user, m_settings.credentials.password);
    auto sent = put.perform(address(name));
    if (!sent) return sent.error();
    if (!succeeded(sent->status)) return httpFailure(sent->status, "", address(name));
    auto moved =
        request("MOVE", folder + partialName(name), &m_control,
                {"Destination: " + m_origin + percentEncoded(folder + name, true), "Overwrite: T"});
    if (!moved) return moved.error();
    if (!succeeded(moved->status))
        return httpFailure(moved->status, "moving into place", address(name));
    return {};
}

void WebDavRemote::removePartial(const std::string& name) {
    // A server may hold the partial file locked (423) until it notices the dropped upload.
    auto delay = std::chrono::milliseconds(20);
    const auto end = std::chrono::steady_clock::now() + kLockPatience;
    for (;;) {
        auto removed = request("DELETE", m_settings.location.folder + partialName(name), nullptr);
        if (!removed || removed->status != 423 || std::chrono::steady_clock::now() > end) return;
        std::this_thread::sleep_for(delay);
        delay = std::min(delay * 2, std::chrono::milliseconds(500));
    }
}

Status WebDavRemote::upload(const LocalFile& file, const std::string& name) {
    Status sent = m_control.retried([&] { return sendAndMove(file, name); });
    if (!sent) removePartial(name);
    return sent;
}

Result<std::uint64_t> WebDavRemote::sizeOf(const std::string& name) {
    std::uint64_t size = 0;
    Status found = m_control.retried([&]() -> Status {
        auto response = request("HEAD", m_settings.location.folder + name, &m_control);
        if (!response) return response.error();
        if (!succeeded(response->status)) return httpFailure(response->status, "", address(name));
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

Result<std::vector<RemoteObject>> WebDavRemote::list() {
    const std::string& folder = m_settings.location.folder;
    Response listing;
    Status listed = m_control.retried([&]() -> Status {
        auto response =
            request("PROPFIND", folder, &m_control,
                    {"Depth: 1", "Content-Type: application/xml; charset=utf-8"}, kListQuery);
        if (!response) return response.error();
        if (response->status != 207 && response->status != 404) {
            return httpFailure(response->status, "", address(""));
        }
        listing = std::move(*response);
        return {};
    });
    if (!listed) return listed.error();
    std::vector<RemoteObject> objects;
    if (listing.status == 404) return objects;  // a folder not made yet holds nothing
    for (const std::string_view block : xmlBlocks(listing.body, "response")) {
        if (!xmlBlocks(block, "collection").empty()) continue;
        std::string path = percentDecoded(xmlText(block, "href"));
        if (const auto scheme = path.find("://"); scheme != std::string::npos) {
            path = path.substr(std::min(path.size(), path.find('/', scheme + 3)));
        }
        const auto slash = path.rfind('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::string size = xmlText(block, "getcontentlength");
        if (name.empty() || path.compare(0, slash + 1, folder) != 0) continue;
        const bool number =
            !size.empty() && size.find_first_not_of("0123456789") == std::string::npos;
        objects.push_back({name, number ? std::stoull(size) : 0});
    }
    return objects;
}

Status WebDavRemote::remove(const std::string& name) {
    return m_control.retried([&]() -> Status {
        auto response = request("DELETE", m_settings.location.folder + name, &m_control);
        if (!response) return response.error();
        if (!succeeded(response->status) && response->status != 404) {
            return httpFailure(response->status, "", address(name));
        }
        return {};
    });
}

}  // namespace corvane::offsite
