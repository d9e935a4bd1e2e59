// corvane: opens a Backup Set without questions, saves it back and prints its tree.
#include <cstdio>
#include <string>

#include "app/command_state.h"
#include "app/console_host.h"
#include "app/run_flags.h"
#include "common/text.h"
#include "config/config_store.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "sets/set_document.h"

namespace {

void printTree(const corvane::SetTree& tree, const std::optional<std::string>& key, int depth) {
    for (const auto& child : tree.childrenOf(key)) {
        const corvane::SetEntry* node = tree.find(child);
        std::printf("%*s%s\n", depth * 2, "", node->text.c_str());
        printTree(tree, child, depth + 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace corvane;
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvane <set file>\n");
        return 64;
    }
    std::string commandLine = argv[1];
    for (int i = 2; i < argc; ++i) commandLine += std::string(" ") + argv[i];

    const std::string programFolder = locateProgramFolder();
    makeFolders(programFolder + "Backup Sets");
    ConfigStore config(programFolder);
    config.loadAtStart();
    ConsoleHost host;
    CommandState commands(host);
    RunFlags flags{true, false};
    SystemClock clock;
    RealFileSystem fileSystem;
    SetDocument document({programFolder, config, flags, host, commands, clock, fileSystem});
    document.closeSet();

    document.set().setPath = commandLine;
    if (document.openSet() != OpenOutcome::Opened) return 3;
    std::string folder;
    document.set().setName = fileNameOf(trim(commandLine), folder);
    if (!document.saveSet()) return 1;
    host.clearStatusLine();
    std::printf("Backup Set %s (destination %s)\n", trim(commandLine).c_str(),
                document.set().defaultLocation.c_str());
    printTree(document.set().tree, std::nullopt, 1);
    return 0;
}
