#include "platform/manager_process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/file_io.h"

namespace corvane {

namespace {

// The pid a pid file names; nullopt when the file is missing or holds no positive number.
Result<std::optional<int>> readPidFile(const std::string& path) {
    const auto content = readWholeFile(path);
    if (!content) {
        if (isNotFoundCode(content.error().code)) return std::optional<int>{};
        return content.error();
    }
    const std::string text(content->begin(), content->end());
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::optional<int>{};
    int pid = 0;
    const auto [end, failure] = std::from_chars(text.data() + first, text.data() + text.size(), pid);
    if (failure != std::errc() || pid <= 0) return std::optional<int>{};
    return std::optional<int>{pid};
}

// True when `pid` is a live (not zombie) process whose command name is the manager's. The name
// sits in brackets in /proc/<pid>/stat and may itself hold brackets, so the last ")" ends it.
bool isLiveManager(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    if (!in) return false;
    std::stringstream content;
    content << in.rdbuf();
    const std::string stat = content.str();
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 2 >= stat.size()) {
        return false;
    }
    const char state = stat[close + 2];
    return stat.substr(open + 1, close - open - 1) == kManagerProgramName && state != 'Z' &&
           state != 'X';
}

}  // namespace

Result<std::optional<int>> runningManager(const std::string& programFolder) {
    const auto pid = readPidFile(managerPidPath(programFolder));
    if (!pid) return pid.error();
    if (!*pid || !isLiveManager(**pid)) return std::optional<int>{};
    return pid;
}

Result<ManagerStop> stopManager(const std::string& programFolder, std::chrono::milliseconds wait) {
    const auto running = runningManager(programFolder);
    if (!running) return running.error();
    if (!*running) return ManagerStop::NotRunning;
    const int pid = **running;
    if (::kill(pid, SIGTERM) != 0) {
        // It ended between the look and the signal: nothing is left to stop.
        return errno == ESRCH ? ManagerStop::NotRunning : ManagerStop::SignalFailed;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (isLiveManager(pid) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ManagerStop::Stopped;
}

Result<ManagerPidFile> ManagerPidFile::claim(const std::string& programFolder) {
    const auto running = runningManager(programFolder);
    if (!running) return running.error();
    if (*running && **running != ::getpid()) {
        return Error{errc::kFileAlreadyOpen,
                     "The Timed Backups Manager is already running (process " +
                         std::to_string(**running) + ")"};
    }
    const std::string path = managerPidPath(programFolder);
    if (const Status written = writeFileAtomically(path, std::to_string(::getpid()) + "\n");
        !written) {
        return written.error();
    }
    return ManagerPidFile(path);
}

ManagerPidFile::ManagerPidFile(ManagerPidFile&& other) noexcept
    : m_path(std::move(other.m_path)) {
    other.m_path.clear();
}

ManagerPidFile::~ManagerPidFile() {
    if (m_path.empty()) return;
    const auto named = readPidFile(m_path);
    if (named && *named && **named == ::getpid()) ::unlink(m_path.c_str());
}

}  // namespace corvane
