// Restore fuzzer: any bytes taken as an archive are listed, planned and restored into a scratch
// folder without a crash, a hang or a leak, and nothing ever appears beside that folder. The
// first byte chooses the overwrite policy and whether the restore keeps folders.
#include "restore/restorer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace corvane::restore;

class Answers final : public RestoreEvents {
public:
    std::optional<std::string> password(bool again) override {
        if (again) return std::nullopt;
        return std::string("fuzz");
    }
};

std::string scratchFolder() {
    const char* base = std::getenv("TMPDIR");
    struct stat info {};
    const char* fallback = ::stat("/dev/shm", &info) == 0 ? "/dev/shm" : "/tmp";
    return std::string(base != nullptr ? base : fallback) + "/fuzz-restore-" +
           std::to_string(::getpid());
}

// Folders an archive made unwritable are opened up before they are removed.
void removeTree(const std::string& path) {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(path, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = [] {
        const std::string path = scratchFolder();
        ::mkdir(path.c_str(), 0700);
        return path;
    }();
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    const std::string archive = folder + "/a.zip";
    const std::string destination = folder + "/dest";
    if (FILE* file = std::fopen(archive.c_str(), "wb")) {
        if (size > 1) std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    }
    ::mkdir(destination.c_str(), 0700);
    RestoreOptions options;
    options.archivePath = archive;
    options.destination = destination;
    options.policy = static_cast<OverwritePolicy>(choice % 5);
    options.keepFolders = (choice & 0x08) == 0;
    options.stripFolders = (choice >> 4) & 0x03;
    Answers answers;
    Restorer restorer(answers);
    corvane::archive::ArchiveListing listing;
    if (restorer.list(archive, listing) == 0) {
        if (auto plan = restorer.plan(listing, options)) {
            for (const std::size_t position : plan->conflicts())
                plan->decide(position, (choice & 0x40) ? Action::Replace : Action::Beside);
            (void)restorer.run(*plan, listing, options);
        }
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename();
        if (name != "a.zip" && name != "dest") {
            std::fprintf(stderr, "written outside the destination: %s\n", name.c_str());
            std::abort();
        }
    }
    removeTree(destination);
    return 0;
}
