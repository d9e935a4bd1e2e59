// Feeds arbitrary bytes to the start-up read of Backup.cfg. It must never fail: afterwards the
// file holds a whole record, and a valid current record is left exactly as it was.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "config/config_store.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string home = [] {
        char pattern[] = "/tmp/corvane-fuzz-cfg-XXXXXX";
        return std::string(::mkdtemp(pattern)) + "/";
    }();
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::ofstream(home + "Backup.cfg", std::ios::binary | std::ios::trunc) << content;

    corvane::ConfigStore store(home);
    store.loadAtStart();
    const std::string after = readAll(home + "Backup.cfg");
    if (after.size() < corvane::ConfigRecord::kSize) std::abort();
    if (store.record().version != corvane::ConfigRecord::kCurrentVersion) std::abort();
    bool wasCurrent = false;
    if (size >= corvane::ConfigRecord::kSize) {
        corvane::ConfigRecord::Bytes bytes{};
        std::copy_n(data, bytes.size(), bytes.begin());
        wasCurrent = corvane::ConfigRecord::decode(bytes).version ==
                     corvane::ConfigRecord::kCurrentVersion;
    }
    if (wasCurrent && after != content) std::abort();
    store.reload();
    if (store.record().version != corvane::ConfigRecord::kCurrentVersion) std::abort();
    return 0;
}
