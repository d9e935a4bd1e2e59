// corvane: the main program. `corvane <set>` and `corvane ~~Timed<set>` back up a set
// unattended; `corvane <archive>.bac` hands the archive to the restore program.
#include "app/console_host.h"
#include "app/program.h"
#include "archive/archiver.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"

#include <cstdio>

int main(int argc, char** argv) {
    using namespace corvane;
    const std::string commandLine = joinArguments(argc, argv);
    const RunMode mode = parseCommandLine(commandLine).mode;
    if (mode == RunMode::Interactive) {
        std::fprintf(stderr,
                     "usage: corvane <set file>          back up a Backup Set\n"
                     "       corvane ~~Timed<set file>   back up a set as a timed run\n"
                     "       corvane <archive>.bac       open an archive in the restore "
                     "program\n"
                     "This build has no window layer, so the interactive program is not "
                     "available.\n");
        return kExitUsage;
    }

    // Without a window layer every run uses the console: it never asks and never waits.
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
