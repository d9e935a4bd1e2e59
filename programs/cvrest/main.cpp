// cvrest, the restore program: lists, tests and restores archives from the command line, and
// with a display (cvrest alone, or with just an archive) in its window.
#include "platform/program_folder.h"
#include "restore/restore_cli.h"
#include "restore/restorer.h"

#ifdef CORVANE_WITH_UI
#include "ui/application.h"
#include "ui/restore_application.h"

#include <filesystem>
#endif

#include <signal.h>
#include <stdlib.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

std::atomic<corvane::restore::Restorer*> g_running{nullptr};

// Ctrl+C or SIGTERM cancels the running restore, which then removes its unfinished files; a
// second one ends the program at once.
void cancelRunning(int signal) {
    if (corvane::restore::Restorer* running = g_running.load()) running->requestAbort();
    ::signal(signal, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = cancelRunning;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // Without TZ the C library reads /etc/localtime again for every DOS time converted.
    ::setenv("TZ", ":/etc/localtime", 0);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#ifdef CORVANE_WITH_UI
    if (corvane::ui::displayAvailable() && corvane::restore::opensWindow(arguments)) {
        std::string archive = arguments.empty() ? std::string() : arguments.front();
        std::error_code error;
        if (!archive.empty() && archive.front() != '/') {
            const auto full = std::filesystem::absolute(archive, error);
            if (!error) archive = full.lexically_normal().string();
        }
        return corvane::ui::runRestoreWindow(argc, argv, archive);
    }
#endif
    corvane::restore::TerminalConsole console;
#ifdef CORVANE_WITH_UI
    const bool windowsBuilt = true;
#else
    const bool windowsBuilt = false;
#endif
    const corvane::restore::CommandContext context{corvane::locateProgramFolder(), CORVANE_VERSION,
                                                   windowsBuilt};
    return corvane::restore::runCommandLine(arguments, console, context, &g_running);
}
