// Reader fuzzer: any bytes, as one archive or cut into split volumes, must be tested without a
// crash, a hang or a leak; the deflate block walker must survive them too.
#include "archive/archiver.h"
#include "archive/deflate_scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using corvane::archive::ArchiveObserver;
using corvane::archive::Archiver;

class Answers final : public ArchiveObserver {
public:
    bool onPasswordNeeded(std::string& password) override {
        password = "fuzz";
        return m_asked++ < 2;
    }
    bool onInsertDisk(int) override { return false; }

private:
    int m_asked = 0;
};

std::string scratchFolder() {
    // A memory file system when there is one: the writer syncs every archive it makes.
    const char* base = std::getenv("TMPDIR");
    struct stat info {};
    const char* fallback = ::stat("/dev/shm", &info) == 0 ? "/dev/shm" : "/tmp";
    return std::string(base != nullptr ? base : fallback) + "/fuzz-zip-read-" +
           std::to_string(::getpid());
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = [] {
        const std::string path = scratchFolder();
        ::mkdir(path.c_str(), 0700);
        return path + "/";
    }();
    (void)corvane::archive::findFinalBlock(std::span<const std::uint8_t>(data, size));

    // The first byte chooses how many volumes the rest is cut into (1 to 3).
    const std::size_t volumes = size == 0 ? 1 : 1 + data[0] % 3;
    const std::uint8_t* body = size == 0 ? data : data + 1;
    const std::size_t length = size == 0 ? 0 : size - 1;
    std::vector<std::string> paths;
    for (std::size_t at = 0; at < volumes; ++at) {
        char name[32];
        std::snprintf(name, sizeof name, "a.z%02zu", at + 1);
        paths.push_back(folder + (at + 1 == volumes ? std::string("a.zip") : std::string(name)));
        const std::size_t from = length * at / volumes;
        const std::size_t to = length * (at + 1) / volumes;
        writeFile(paths.back(), body + from, to - from);
    }
    Answers answers;
    Archiver zip;
    corvane::archive::ArchiveSettings settings;
    settings.archivePath = folder + "a.zip";
    (void)zip.test(settings, answers);
    for (const auto& path : paths)
        ::unlink(path.c_str());
    return 0;
}
