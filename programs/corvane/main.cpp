// corvane: the main program. With a display it opens its windows; `corvane <set>` and
// `corvane ~~Timed<set>` back up a set unattended (with a progress window when there is a
// display, on the terminal otherwise); `corvane <archive>.bac` hands the archive to the restore
// program.
#include "app/console_host.h"
#include "app/failure_notice.h"
#include "app/offsite_check.h"
#include "app/product_info.h"
#include "app/program.h"
#include "archive/archiver.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"

#ifdef CORVANE_WITH_UI
#include "ui/application.h"
#include "ui/desktop_notifier.h"
#endif

#include <cstdio>
#include <cstring>

namespace {

using namespace corvane;

constexpr const char* kUsage =
    "usage: corvane                      open Corvane's windows (needs a display)\n"
    "       corvane <set file>           back up a Backup Set unattended\n"
    "       corvane ~~Timed<set file>    back up a set as a timed run\n"
    "       corvane <archive>.bac        open an archive in the restore program\n"
    "       corvane --offsite-check <set file>   test the set's off-site copy settings\n"
    "       corvane --help | --version\n"
    "Without a display, backups report on the terminal and failures go to error.log in the\n"
    "program folder ($CORVANE_HOME, or ~/.local/share/corvane/).\n"
    "Exit status: 0 success, 1 backup failed, 2 cancelled, 3 the set could not be opened,\n"
    "4 the test after the backup failed, 5 backed up but the off-site copy failed,\n"
    "64 bad usage.\n";

// Today's behaviour without a display: every run uses the console, which never asks and never
// waits.
int runOnConsole(const std::string& commandLine) {
    ConsoleHost host;
    SystemClock clock;
    RealFileSystem fileSystem;
    RealDrives drives;
    archive::Archiver component;
    SiblingLauncher launcher;
    Program program(locateProgramFolder(), {host, clock, fileSystem, drives, component, launcher});
    const LoadResult result = program.load(commandLine);
    host.clearStatusLine();
    if (result.mode == RunMode::ArchiveHandOff) {
        return program.activate() ? kExitSuccess : kExitBackupFailed;
    }
    if (!result.endProgram) program.close();
    return result.exitCode;
}

#ifdef CORVANE_WITH_UI
constexpr const char* kNoWindows =
    "No display was found (DISPLAY or WAYLAND_DISPLAY is not set), so the interactive program "
    "cannot open its windows.\n";
#else
constexpr const char* kNoWindows =
    "This build has no window layer, so the interactive program is not available.\n";
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%.*s\n", static_cast<int>(product::kTitle.size()), product::kTitle.data());
        return kExitSuccess;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--offsite-check") == 0) {
        if (argc != 3) {
            std::fputs(kUsage, stderr);
            return kExitUsage;
        }
        return checkOffsite(locateProgramFolder(), argv[2], stdout, stderr);
    }
    if (argc >= 2 && std::strcmp(argv[1], kNotifyFailureOption) == 0) {
        // Started by a run that failed: tells the desktop, then waits for a click on the notice.
        if (argc != 4) return kExitUsage;
#ifdef CORVANE_WITH_UI
        return ui::runFailureNotice(argc, argv, {argv[2], argv[3]});
#else
        return kExitSuccess;
#endif
    }
    const std::string commandLine = joinArguments(argc, argv);
    const RunMode mode = parseCommandLine(commandLine).mode;
#ifdef CORVANE_WITH_UI
    if (ui::displayAvailable()) return ui::runWithWindows(argc, argv, commandLine);
#endif
    if (mode == RunMode::Interactive) {
        std::fputs(kUsage, stderr);
        std::fputs(kNoWindows, stderr);
        return kExitUsage;
    }
    return runOnConsole(commandLine);
}
