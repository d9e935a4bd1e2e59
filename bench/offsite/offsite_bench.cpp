// Sends files with Corvane's off-site copy, as a backup run would, and prints the wall time.
//   usage: offsite_bench PROGRAM-FOLDER SET FILE...
// The remote comes from the set's section of Offsite.ini in the program folder.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "offsite/offsite_copy.h"

int main(int argc, char** argv) {
    using namespace corvane::offsite;
    if (argc < 4) {
        std::fprintf(stderr, "usage: offsite_bench PROGRAM-FOLDER SET FILE...\n");
        return 64;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    const auto start = std::chrono::steady_clock::now();
    const auto settings = readOffsiteSettings(folder, argv[2]);
    if (!settings || !settings->has_value()) {
        std::fprintf(stderr, "%s\n",
                     settings ? "no section for the set" : settings.error().description.c_str());
        return 1;
    }
    const std::vector<std::string> files(argv + 3, argv + argc);
    const std::atomic<bool> cancel{false};
    const auto copied = copyArchive(**settings, files, {}, cancel);
    if (!copied) {
        std::fprintf(stderr, "%s\n", copied.error().description.c_str());
        return 5;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& file : copied->files) {
        std::printf("%s  %llu bytes  %.2f s\n", file.remoteAddress.c_str(),
                    static_cast<unsigned long long>(file.size), file.seconds);
    }
    std::printf("total %.2f s\n", seconds);
    return 0;
}
