// Feeds arbitrary bytes to the set-file parser, then to the set reader, interactive and
// unattended, over a fake file tree. Any crash or sanitizer report is a fault; so is a parse
// that the file's own lines, written back, do not reproduce, a change to the set file when
// nothing was dropped, and a write to any other file.
#include "common/text.h"
#include "config/config_store.h"
#include "host/command_state.h"
#include "platform/clock.h"
#include "scripted_host.h"
#include "sets/set_document.h"
#include "sets/set_file_format.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace corvane;

// Paths that mention "missing" do not exist, "denied" cannot be read, everything else exists;
// folders hold two sub-folders and a hidden one, three levels deep.
class FakeFileSystem final : public FileSystem {
public:
    Result<PathKind> probe(const std::string& path) const override {
        if (path.find("missing") != std::string::npos)
            return Error{errc::kFileNotFound, "File not found"};
        if (path.find("denied") != std::string::npos)
            return Error{errc::kPermissionDenied, "Permission denied"};
        return !path.empty() && path.back() == '/' ? PathKind::Folder : PathKind::File;
    }
    Result<std::vector<DirEntry>> list(const std::string& folder) const override {
        if (auto kind = probe(folder); !kind) return kind.error();
        if (std::count(folder.begin(), folder.end(), '/') > 6) return std::vector<DirEntry>{};
        return std::vector<DirEntry>{{".h", true}, {"a", true}, {"b", true}, {"f.txt", false}};
    }
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

const std::string& home() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/corvane-fuzz-XXXXXX";
        const std::string made = ::mkdtemp(pattern);
        ::mkdir((made + "/Backup Sets").c_str(), 0755);
        return made + "/";
    }();
    return folder;
}

std::vector<std::string> trimmed(const std::vector<std::string>& fields) {
    std::vector<std::string> out;
    for (const auto& field : fields)
        out.push_back(trim(field));
    return out;
}

// Whatever the parser reads, the lines it split the text into, joined again, read the same.
void parseAndRejoin(const std::string& content) {
    const auto first = parseSetFile(content);
    const auto again = parseSetFile(joinSetFile(splitSetFile(content)));
    if (first.ok() != again.ok()) std::abort();
    if (!first) return;
    const SetFileContents& a = *first;
    const SetFileContents& b = *again;
    if (a.compatible != b.compatible || a.subFolders != b.subFolders ||
        a.compression != b.compression || a.freshen != b.freshen || a.addNew != b.addNew ||
        a.defaultLocation != b.defaultLocation || a.addAllFolders != b.addAllFolders ||
        trimmed(a.entries) != trimmed(b.entries)) {
        std::abort();
    }
}

void runOnce(const std::string& content, bool unattended, bool verify) {
    const std::string setPath = home() + "Backup Sets/Fuzz.cvt";
    std::ofstream(setPath, std::ios::binary | std::ios::trunc) << content;
    std::filesystem::remove(home() + "Backup.cfg");
    std::filesystem::remove(home() + "error.log");

    ScriptedHost host;
    // Interactive runs answer every "Not Found" question with Yes until the script runs out.
    for (int i = 0; i < 4; ++i)
        host.expectMessage("Not Found", Answer::Yes);
    ConfigStore config(home());
    config.loadAtStart();
    config.record().verifyExists = verify ? 1 : 0;
    (void)config.save();
    RunFlags flags{unattended, false};
    CommandState commands(host);
    ManualClock clock(TimePoint{});
    FakeFileSystem fileSystem;
    SetDocument document({home(), config, flags, host, commands, clock, fileSystem});
    document.set().setPath = setPath;
    const OpenOutcome outcome = document.openSet();
    if (!verify && readAll(setPath) != content) std::abort();  // nothing dropped: file untouched
    if (outcome == OpenOutcome::Opened && document.set().tree.count() < 3) std::abort();
    if (host.busyDepth() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    parseAndRejoin(content);
    runOnce(content, true, false);
    runOnce(content, false, size % 2 == 0);
    return 0;
}
