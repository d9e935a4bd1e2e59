// cvtimer, the Timed Backups Manager: starts the timed backups of Timed.dat when they fall due.
#include "platform/clock.h"
#include "platform/manager_process.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "schedule/timed_scheduler.h"

#ifdef CORVANE_WITH_UI
#include "ui/application.h"
#include "ui/manager_tray.h"
#endif

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

using namespace corvane;

// Even with nothing due soon the schedule is looked at this often, so a changed system clock
// or a machine waking from sleep is noticed.
constexpr std::chrono::milliseconds kLongestWait = std::chrono::seconds(30);

// Exit status: 0 stopped by a signal, 1 could not run, 3 another manager already runs for this
// program folder, 64 bad usage.
constexpr int kExitAlreadyRunning = 3;

constexpr const char* kUsage =
    "usage: cvtimer [--headless]\n"
    "Runs the Timed Backups Manager: starts the timed backups listed in Timed.dat in the\n"
    "program folder when they fall due, until it receives SIGTERM. Without --headless it shows\n"
    "a tray icon where the desktop has a tray.\n";

int waitMilliseconds(const std::optional<TimePoint>& next, TimePoint now) {
    if (!next) return static_cast<int>(kLongestWait.count());
    const auto until = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::clamp(until, std::chrono::milliseconds(0), kLongestWait).count());
}

// Empties the inotify queue; the events only wake the loop, which then rereads the schedule.
void drain(int fd) {
    alignas(inotify_event) char buffer[4096];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

// The signals that end the manager arrive through a descriptor, so that they interrupt the wait
// but never a write of Timed.dat. Blocking them first also keeps them blocked in every thread
// started later.
int endSignalDescriptor() {
    sigset_t endSignals;
    sigemptyset(&endSignals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&endSignals, signal);
    ::sigprocmask(SIG_BLOCK, &endSignals, nullptr);
    return ::signalfd(-1, &endSignals, SFD_CLOEXEC);
}

// `note`, when not empty, says once why there is no tray icon.
int runHeadless(int signalFd, const std::string& programFolder, const Clock& clock,
                const ManagerLog& log, const std::string& note) {
    if (signalFd < 0) {
        log.write(std::string("Not started: no signal descriptor: ") + std::strerror(errno));
        return 1;
    }
    const int watchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd < 0 || ::inotify_add_watch(watchFd, programFolder.c_str(),
                                           IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM |
                                               IN_CREATE | IN_DELETE) < 0) {
        log.write("Changes of Timed.dat are noticed only every 30 seconds: cannot watch " +
                  programFolder);
    }
    log.write("Timed Backups Manager started (process " + std::to_string(::getpid()) +
              ", program folder " + programFolder + ")");
    if (!note.empty()) log.write(note);

    const std::string corvane = siblingProgram("corvane");
    TimedScheduler scheduler(
        programFolder, clock,
        [&corvane](const std::string& setPath) {
            return startDetached(corvane, {timedRunArgument(setPath)});
        },
        log);
    for (;;) {
        const auto next = scheduler.runDue();
        pollfd waits[2] = {{signalFd, POLLIN, 0}, {watchFd, POLLIN, 0}};
        const int ready = ::poll(waits, watchFd >= 0 ? 2 : 1, waitMilliseconds(next, clock.now()));
        if (ready < 0 && errno != EINTR) {
            log.write(std::string("Stopped: waiting failed: ") + std::strerror(errno));
            return 1;
        }
        if ((waits[0].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            const ssize_t got = ::read(signalFd, &info, sizeof info);
            const int signal = got == sizeof info ? static_cast<int>(info.ssi_signo) : 0;
            log.write("Timed Backups Manager stopped (signal " + std::to_string(signal) + ")");
            return 0;
        }
        if (watchFd >= 0 && (waits[1].revents & POLLIN) != 0) drain(watchFd);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 2 ? argv[1] : "";
    if (mode == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc > 2 || (!mode.empty() && mode != "--headless")) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    const int signalFd = endSignalDescriptor();
    const std::string programFolder = locateProgramFolder();
    makeFolders(programFolder);
    SystemClock clock;
    const ManagerLog log(programFolder, clock);
    // One manager a program folder, whichever way it runs.
    auto pidFile = ManagerPidFile::claim(programFolder);
    if (!pidFile) {
        std::fprintf(stderr, "cvtimer: %s\n", pidFile.error().description.c_str());
        log.write("Not started: " + pidFile.error().description);
        // Another manager already carries out the schedule: a code of its own, which the
        // service unit does not restart on.
        return pidFile.error().code == errc::kFileAlreadyOpen ? kExitAlreadyRunning : 1;
    }
    if (mode == "--headless") return runHeadless(signalFd, programFolder, clock, log, {});
    std::string note = "No display: the manager runs without a tray icon.";
#ifdef CORVANE_WITH_UI
    if (ui::displayAvailable()) {
        const int status = ui::runManagerTray(argc, argv, signalFd, programFolder, clock, log);
        if (status >= 0) return status;
        note = "This desktop has no system tray: the manager runs without a tray icon.";
    }
#endif
    std::fprintf(stderr, "cvtimer: %s\n", note.c_str());
    return runHeadless(signalFd, programFolder, clock, log, note);
}
