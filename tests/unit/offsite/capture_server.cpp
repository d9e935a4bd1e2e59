#include "capture_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace corvane::test {

namespace {

bool sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t done = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (done <= 0) return false;
        sent += static_cast<std::size_t>(done);
    }
    return true;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

CaptureServer::CaptureServer(Responder responder) : m_responder(std::move(responder)) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 8);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

CaptureServer::~CaptureServer() {
    m_stopping = true;
    ::shutdown(m_listener, SHUT_RDWR);
    if (const int connection = m_connection.load(); connection >= 0)
        ::shutdown(connection, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
}

std::vector<CaptureServer::Request> CaptureServer::requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

void CaptureServer::serve() {
    while (!m_stopping) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        m_connection = fd;
        if (!m_stopping) serveConnection(fd);
        m_connection = -1;
        ::close(fd);
    }
}

void CaptureServer::serveConnection(int fd) {
    std::string buffer;
    char chunk[65536];
    const auto fill = [&] {
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return false;
        buffer.append(chunk, static_cast<std::size_t>(got));
        return true;
    };
    for (;;) {
        std::size_t headEnd;
        while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            if (!fill()) return;
        }
        Request request;
        const std::string head = buffer.substr(0, headEnd);
        const auto lineEnd = head.find("\r\n");
        const std::string requestLine = head.substr(0, lineEnd);
        const auto space = requestLine.find(' ');
        request.method = requestLine.substr(0, space);
        request.target = requestLine.substr(space + 1, requestLine.rfind(' ') - space - 1);
        for (auto start = lineEnd + 2; start < head.size() + 2 && lineEnd != std::string::npos;) {
            auto end = head.find("\r\n", start);
            if (end == std::string::npos) end = head.size();
            const std::string line = head.substr(start, end - start);
            const auto colon = line.find(':');
            if (colon != std::string::npos) {
                const auto value = line.find_first_not_of(' ', colon + 1);
                request.headers[lowered(line.substr(0, colon))] =
                    value == std::string::npos ? "" : line.substr(value);
            }
            start = end + 2;
        }
        const std::size_t length = request.headers.count("content-length") != 0
                                       ? std::stoul(request.headers["content-length"])
                                       : 0;
        buffer.erase(0, headEnd + 4);
        while (buffer.size() < length) {
            if (!fill()) return;
        }
        request.body = buffer.substr(0, length);
        buffer.erase(0, length);
        const Answer answer = m_responder(request);
        {
            const std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }
        std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Answer\r\n";
        for (const auto& header : answer.headers)
            response += header + "\r\n";
        response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n\r\n";
        if (request.method != "HEAD") response += answer.body;
        if (!sendAll(fd, response)) return;
    }
}

}  // namespace corvane::test
