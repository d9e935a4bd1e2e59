#include "app/command_line.h"

#include "common/text.h"

namespace corvane {

CommandLine parseCommandLine(const std::string& text) {
    if (text.empty()) return {RunMode::Interactive, {}};
    if (text.size() >= 4 && toUpper(text.substr(text.size() - 4)) == ".BAC") {
        return {RunMode::ArchiveHandOff, text};
    }
    if (startsWith(text, "~~Timed")) return {RunMode::TimedBackup, text.substr(7)};
    return {RunMode::CommandLineBackup, text};
}

std::string joinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

}  // namespace corvane
