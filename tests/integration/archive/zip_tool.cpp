// A command-line front end to the archive component, for the benchmark and for tests that need
// the component in a process of its own (killed part way, for one).
//   zip_tool compress ARCHIVE [-l LEVEL] [-p PASSWORD] [-s DISKSIZE] [-f] [-u] [-t TEMP]
//                              [-x EXCLUSION]... INCLUDE...
//   zip_tool test ARCHIVE [-p PASSWORD]
//   zip_tool preview [-l LEVEL] [-x EXCLUSION]... INCLUDE...
// Prints the result code (and the estimate for preview); exits 0 on success, 1 on failure,
// 2 when cancelled.
#include "archive/archiver.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using corvane::archive::Archiver;

namespace {

class Reporter final : public corvane::archive::ArchiveObserver {
public:
    void onSkippedFile(const std::string& name, int reason) override {
        std::fprintf(stderr, "skipped %s (%d)\n", name.c_str(), reason);
    }
    bool onIntegrityWarning(const std::string& name) override {
        std::fprintf(stderr, "integrity warning: %s\n", name.c_str());
        return true;
    }
    void onOperationComplete(std::uint64_t estimate) override { m_estimate = estimate; }
    bool onPasswordNeeded(std::string& password) override {
        if (m_asked++ > 0 || m_password.empty()) return false;
        password = m_password;
        return true;
    }

    std::uint64_t m_estimate = 0;
    std::string m_password;
    int m_asked = 0;
};

int usage() {
    std::fprintf(stderr, "usage: zip_tool compress|test|preview ...\n");
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    Archiver zip;
    corvane::archive::ArchiveSettings settings;
    Reporter reporter;
    int at = 2;
    if (command != "preview") {
        if (argc < 3) return usage();
        settings.archivePath = argv[at++];
    }
    for (; at < argc; ++at) {
        const std::string arg = argv[at];
        const bool hasValue = at + 1 < argc;
        if (arg == "-l" && hasValue) {
            settings.level = std::atoi(argv[++at]);
        } else if (arg == "-p" && hasValue) {
            settings.password = argv[++at];
            reporter.m_password = settings.password;
        } else if (arg == "-s" && hasValue) {
            settings.spanDisks = true;
            settings.diskSize = std::strtoull(argv[++at], nullptr, 10);
        } else if (arg == "-f") {
            settings.skipIfNotNewer = true;
        } else if (arg == "-u") {
            settings.skipIfNotInArchive = true;
        } else if (arg == "-t" && hasValue) {
            settings.useTempCopy = true;
            settings.tempFolder = argv[++at];
        } else if (arg == "-x" && hasValue) {
            settings.exclusions.push_back(argv[++at]);
        } else {
            settings.includes.push_back(arg);
        }
    }
    int result = 0;
    if (command == "compress") {
        result = zip.compress(settings, reporter);
    } else if (command == "test") {
        result = zip.test(settings, reporter);
    } else if (command == "preview") {
        result = zip.preview(settings, reporter);
        std::printf("estimate %llu\n", static_cast<unsigned long long>(reporter.m_estimate));
    } else {
        return usage();
    }
    std::printf("result %d\n", result);
    if (corvane::archive::isCancelled(result)) return 2;
    return corvane::archive::isSuccess(result) ? 0 : 1;
}
