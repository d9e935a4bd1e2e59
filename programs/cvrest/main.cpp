// cvrest, the restore program: lists, tests and restores archives from the command line.
#include "platform/program_folder.h"
#include "restore/restore_cli.h"
#include "restore/restorer.h"

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
    corvane::restore::TerminalConsole console;
    const corvane::restore::CommandContext context{corvane::locateProgramFolder(), CORVANE_VERSION};
    return corvane::restore::runCommandLine(arguments, console, context, &g_running);
}
