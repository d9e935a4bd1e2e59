#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace corvane {

// The Timed Backups Manager announces itself through a pid file in the program folder: it
// writes its process id there when it starts and removes the file when it ends. It counts as
// running exactly while the file names a live process of this program name.
inline constexpr std::string_view kManagerPidFileName = "CVTimer.pid";
inline constexpr std::string_view kManagerProgramName = "cvtimer";

inline std::string managerPidPath(const std::string& programFolder) {
    return programFolder + std::string(kManagerPidFileName);
}

// The id of the running manager; nullopt when there is no pid file, it names no process, the
// process has ended (a zombie included) or it is another program. An error when the file exists
// but cannot be read.
Result<std::optional<int>> runningManager(const std::string& programFolder);

enum class ManagerStop {
    NotRunning,    // nothing to stop
    Stopped,       // SIGTERM was delivered
    SignalFailed,  // the manager runs but could not be signalled (another user's process)
};

// Sends SIGTERM to the running manager and waits up to `wait` for it to end, so that it is no
// longer reading or writing Timed.dat when the caller goes on. A manager that outlives the wait
// still counts as stopped: it has been told to end.
Result<ManagerStop> stopManager(const std::string& programFolder,
                                std::chrono::milliseconds wait = std::chrono::seconds(5));

// The manager's own side: holds the pid file, locked, while the manager runs. The lock keeps a
// second manager for the same program folder from starting, even when both start at once.
class ManagerPidFile {
public:
    // Locks the pid file and writes this process's id into it. Fails with "file already open"
    // (55) when another manager holds it.
    static Result<ManagerPidFile> claim(const std::string& programFolder);

    ManagerPidFile(ManagerPidFile&& other) noexcept;
    ManagerPidFile& operator=(ManagerPidFile&&) = delete;
    ManagerPidFile(const ManagerPidFile&) = delete;
    ManagerPidFile& operator=(const ManagerPidFile&) = delete;
    // Removes the file and releases the lock.
    ~ManagerPidFile();

private:
    ManagerPidFile(std::string path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    std::string m_path;
    int m_fd = -1;
};

}  // namespace corvane
