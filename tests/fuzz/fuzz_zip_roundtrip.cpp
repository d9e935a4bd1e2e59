// Write-then-read-back fuzzer: files made from the input, compressed with options taken from
// it, must test clean and read back byte for byte; pieces compressed apart must join into one
// stream that inflates to the input.
#include "archive/archiver.h"
#include "archive/deflate_engine.h"
#include "archive/inflate_stream.h"
#include "archive/volume_in.h"
#include "archive/winzip_aes.h"
#include "archive/zip_in.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace corvane::archive;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "round trip failed: %s\n", what);
        std::abort();
    }
}

std::string scratchFolder() {
    // A memory file system when there is one: the writer syncs every archive it makes.
    const char* base = std::getenv("TMPDIR");
    struct stat info {};
    const char* fallback = ::stat("/dev/shm", &info) == 0 ? "/dev/shm" : "/tmp";
    return std::string(base != nullptr ? base : fallback) + "/fuzz-zip-roundtrip-" +
           std::to_string(::getpid()) + "/";
}

std::vector<std::uint8_t> inflateAll(std::span<const std::uint8_t> stream) {
    Inflater inflater;
    std::vector<std::uint8_t> out;
    std::size_t leftover = 0;
    const auto outcome = inflater.feed(
        stream,
        [&](std::span<const std::uint8_t> block) {
            out.insert(out.end(), block.begin(), block.end());
        },
        leftover);
    check(outcome == Inflater::Outcome::Finished && leftover == 0, "pieces do not form one stream");
    return out;
}

void joinPieces(int level, std::span<const std::uint8_t> input,
                std::span<const std::uint8_t> cuts) {
    Compressor compressor(level);
    std::vector<std::size_t> points = {0};
    for (const auto cut : cuts)
        points.push_back(std::min(input.size(), points.back() + cut * 97));
    points.push_back(input.size());
    std::vector<std::uint8_t> joined;
    ByteBuffer piece;
    for (std::size_t at = 0; at + 1 < points.size(); ++at) {
        compressor.compressPiece(input.first(points[at]),
                                 input.subspan(points[at], points[at + 1] - points[at]),
                                 at + 2 == points.size(), piece);
        joined.insert(joined.end(), piece.begin(), piece.end());
    }
    check(inflateAll(joined) == std::vector<std::uint8_t>(input.begin(), input.end()),
          "joined pieces differ");
}

// Reads every entry back with the component's reader.
void readBack(const std::string& archive, const std::string& password,
              const std::vector<std::pair<std::string, std::string>>& files,
              const std::string& root) {
    VolumeReader volumes(archive, nullptr);
    auto directory = readDirectory(volumes);
    check(directory.ok(), "directory unreadable");
    // Beside the files, the archive holds an entry for the folder that holds them.
    std::size_t folders = 0;
    for (const auto& item : directory->items) {
        if (!item.isFolder()) continue;
        check(item.name == (root + "src/").substr(1), "unexpected folder entry");
        ++folders;
    }
    check(folders == 1 && directory->items.size() == files.size() + 1, "entry count");
    const auto read = [&](VolumePosition at, std::span<std::uint8_t> out) {
        return volumes.read(at, out);
    };
    for (const auto& item : directory->items) {
        if (item.isFolder()) continue;
        auto entry = readEntryHeader(item, read, 0);
        check(entry.ok(), "local header");
        std::vector<std::uint8_t> data(static_cast<std::size_t>(item.compressedSize));
        check(read(entry->dataStart, data).ok(), "data");
        if (item.aes) {
            AesCipher cipher(deriveAesKeys(password, std::span(data).first(16), 32));
            std::vector<std::uint8_t> body(data.begin() + 18, data.end() - 10);
            cipher.decrypt(body);
            data = std::move(body);
        }
        const auto content = item.dataMethod() == 8 ? inflateAll(data) : data;
        bool found = false;
        for (const auto& [name, expected] : files) {
            if (item.name == (root + name).substr(1)) {
                check(std::string(content.begin(), content.end()) == expected, "content differs");
                found = true;
            }
        }
        check(found, "unexpected entry");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int level = data[0] % 10;
    const bool encrypt = (data[1] & 1) != 0;
    const bool split = (data[1] & 2) != 0;
    const std::size_t fileCount = 1 + data[2] % 4;
    const std::span<const std::uint8_t> body(data + 4, size - 4);
    joinPieces(level, body, std::span<const std::uint8_t>(data + 1, 3));

    static const std::string root = scratchFolder();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "src");
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t at = 0; at < fileCount; ++at) {
        const std::size_t from = body.size() * at / fileCount;
        const std::size_t to = body.size() * (at + 1) / fileCount;
        std::string content(body.begin() + static_cast<std::ptrdiff_t>(from),
                            body.begin() + static_cast<std::ptrdiff_t>(to));
        // Repeat short inputs so that files reach past a split volume now and then.
        if (split) {
            while (content.size() < 70000 && !content.empty())
                content += content;
        }
        const std::string name = "src/f" + std::to_string(at);
        if (FILE* file = std::fopen((root + name).c_str(), "wb")) {
            std::fwrite(content.data(), 1, content.size(), file);
            std::fclose(file);
        }
        files.emplace_back(name, std::move(content));
    }
    Archiver zip;
    ArchiveSettings settings;
    ArchiveObserver quiet;
    settings.archivePath = root + "out.zip";
    settings.includes.push_back(root + "src/*");
    settings.level = level;
    settings.password = encrypt ? "fuzz" : "";
    settings.spanDisks = split;
    settings.diskSize = split ? 64 * 1024 : 0;
    check(zip.compress(settings, quiet) == kDone, "compress");
    check(zip.test(settings, quiet) == kDone, "test");
    readBack(settings.archivePath, settings.password, files, root);
    return 0;
}
