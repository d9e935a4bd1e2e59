#pragma once

#include <string>

namespace corvane {

enum class RunMode {
    Interactive,        // empty command line
    ArchiveHandOff,     // an archive path: the restore program gets it
    CommandLineBackup,  // a set path: backed up unattended
    TimedBackup,        // "~~Timed" and a set path, from the Timed Backups Manager
};

struct CommandLine {
    RunMode mode = RunMode::Interactive;
    std::string path;  // the archive or set path, as given (nothing removed)
};

// Tells the four forms apart, in this order: empty; ending in ".BAC" (any letter case);
// beginning with "~~Timed" (letter case significant); anything else is a set path.
CommandLine parseCommandLine(const std::string& text);

// The program's arguments joined with single spaces: the command line as the program sees it.
std::string joinArguments(int argc, const char* const* argv);

}  // namespace corvane
