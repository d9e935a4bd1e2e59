// Times the Backup Set statistics against `du -s` on one tree of 100,000 files in 10,000
// folder entries, both with a warm cache, and prints the ratio.
//   usage: statistics_bench TREE-FOLDER [RUNS]
// The tree is generated on the first run (a marker file says it is complete) and reused.
#include "config/config_store.h"
#include "host/command_state.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "scripted_host.h"
#include "sets/set_document.h"
#include "sets/set_statistics.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace corvane;
using Stopwatch = std::chrono::steady_clock;

constexpr int kTopFolders = 100;
constexpr int kSubFolders = 99;  // under each top folder: 100 + 100 * 99 = 10,000 folders
constexpr int kFilesPerFolder = 10;
constexpr double kLimit = 1.5;

std::string numbered(const char* prefix, int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%s%02d", prefix, number);
    return name;
}

void writeFiles(const std::string& folder, int& serial) {
    for (int i = 0; i < kFilesPerFolder; ++i, ++serial) {
        std::ofstream out(folder + numbered("file", i) + ".dat", std::ios::binary);
        // Sizes spread over 0..1023 bytes, so blocks and sizes both vary.
        out << std::string(static_cast<std::size_t>(serial) * 7919 % 1024, 'x');
    }
}

bool generateTree(const std::string& root) {
    const std::string marker = root + ".complete";
    if (::access(marker.c_str(), F_OK) == 0) return true;
    std::printf("generating %d files in %d folders under %s ...\n",
                kTopFolders * (1 + kSubFolders) * kFilesPerFolder, kTopFolders * (1 + kSubFolders),
                root.c_str());
    int serial = 0;
    for (int top = 0; top < kTopFolders; ++top) {
        const std::string topFolder = root + numbered("t", top) + "/";
        if (!makeFolders(topFolder)) return false;
        writeFiles(topFolder, serial);
        for (int sub = 0; sub < kSubFolders; ++sub) {
            const std::string subFolder = topFolder + numbered("s", sub) + "/";
            if (!makeFolders(subFolder)) return false;
            writeFiles(subFolder, serial);
        }
    }
    std::ofstream(marker) << "complete\n";
    return true;
}

double secondsSince(Stopwatch::time_point start) {
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

// One `du -s` over the tree, its output discarded; the time includes starting it.
double timeDu(const std::string& root) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string program = "du";
    std::string flag = "-s";
    std::string path = root;
    char* argv[] = {program.data(), flag.data(), path.data(), nullptr};
    const auto start = Stopwatch::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "du", &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start du\n");
        std::exit(2);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = secondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "du failed\n");
        std::exit(2);
    }
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TREE-FOLDER [RUNS]\n", argv[0]);
        return 64;
    }
    const std::string root = withTrailingSeparator(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    if (!generateTree(root)) {
        std::fprintf(stderr, "cannot create the tree under %s\n", root.c_str());
        return 2;
    }

    // A program folder of its own, and a set whose entries are the tree's 10,000 folders.
    char pattern[] = "/tmp/corvane-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 2;
    const std::string programFolder = std::string(pattern) + "/";
    ScriptedHost host;
    ConfigStore config(programFolder);
    config.loadAtStart();
    config.record().subFolders = 1;
    RunFlags flags;
    CommandState commands(host);
    SystemClock clock;
    RealFileSystem fileSystem;
    SetDocument document({programFolder, config, flags, host, commands, clock, fileSystem});
    document.newSet("Bench.cvt");
    for (int top = 0; top < kTopFolders; ++top)
        document.addFolder(root + numbered("t", top));
    const std::size_t entries = document.set().tree.count() - 3;

    SetStatistics statistics(document);
    statistics.calculate();  // warms the cache, as the first du does
    (void)timeDu(root);
    std::vector<double> duTimes;
    std::vector<double> statisticsTimes;
    for (int run = 0; run < runs; ++run) {
        duTimes.push_back(timeDu(root));
        const auto start = Stopwatch::now();
        statistics.calculate();
        statisticsTimes.push_back(secondsSince(start));
    }
    std::string removeCommand = "rm -rf '" + programFolder + "'";
    (void)std::system(removeCommand.c_str());

    const double du = median(duTimes);
    const double ours = median(statisticsTimes);
    const double ratio = ours / du;
    std::printf("set entries:       %zu folder entries\n", entries);
    std::printf("counted:           %s files, %s folders, %s\n", statistics.filesText().c_str(),
                statistics.foldersText().c_str(), statistics.uncompressedText().c_str());
    std::printf("du -s (median of %d):        %.1f ms\n", runs, du * 1000);
    std::printf("statistics (median of %d):   %.1f ms\n", runs, ours * 1000);
    std::printf("ratio statistics / du:       %.2f (limit %.1f) %s\n", ratio, kLimit,
                ratio <= kLimit ? "PASS" : "FAIL");
    return ratio <= kLimit ? 0 : 1;
}
