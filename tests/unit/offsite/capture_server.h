#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvane::test {

// An HTTP/1.1 server on a loopback port, inside the test process, that records every request
// and answers as the test says: for checking what a client sends and how it takes answers no
// real server here gives (507, a refused signature, a slow-down).
class CaptureServer {
public:
    struct Request {
        std::string method;
        std::string target;                          // path and query, as sent
        std::map<std::string, std::string> headers;  // names in lower case
        std::string body;
    };
    struct Answer {
        int status = 200;
        std::vector<std::string> headers;  // "Name: value"
        std::string body;
    };
    using Responder = std::function<Answer(const Request&)>;

    explicit CaptureServer(Responder responder);
    ~CaptureServer();
    CaptureServer(const CaptureServer&) = delete;
    CaptureServer& operator=(const CaptureServer&) = delete;

    int port() const { return m_port; }
    std::vector<Request> requests() const;

private:
    void serve();
    void serveConnection(int fd);

    Responder m_responder;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<int> m_connection{-1};
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::vector<Request> m_requests;
    std::thread m_thread;
};

}  // namespace corvane::test
