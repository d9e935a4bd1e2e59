#include "platform/manager_process.h"

#include "common/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>
#include <thread>

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
    const auto [end, failure] =
        std::from_chars(text.data() + first, text.data() + text.size(), pid);
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
    const std::string path = managerPidPath(programFolder);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return errorFromErrno(errno, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int lockErrno = errno;
        ::close(fd);
        if (lockErrno != EWOULDBLOCK) return errorFromErrno(lockErrno, path);
        const auto holder = readPidFile(path);
        const std::string who =
            holder && *holder ? " (process " + std::to_string(**holder) + ")" : std::string();
        return Error{errc::kFileAlreadyOpen, "The Timed Backups Manager is already running" + who};
    }
    const std::string content = std::to_string(::getpid()) + "\n";
    Status written = ::ftruncate(fd, 0) == 0 ? writeFully(fd, content, path, 0)
                                             : Status(errorFromErrno(errno, path));
    if (!written) {
        ::close(fd);
        return written.error();
    }
    return ManagerPidFile(path, fd);
}

ManagerPidFile::ManagerPidFile(ManagerPidFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(other.m_fd) {
    other.m_fd = -1;
}

ManagerPidFile::~ManagerPidFile() {
    if (m_fd < 0) return;
    // Removed while still locked, so a manager starting now finds either the locked file or none.
    ::unlink(m_path.c_str());
    ::close(m_fd);
}

}  // namespace corvane
