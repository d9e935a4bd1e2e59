// Measures the deflate engines available here (libdeflate levels 1-12, ISA-L levels 0-3) on a
// folder: total output size (an entry that does not shrink counts as stored) and single-thread
// CPU seconds, with files above the chunk size compressed in chunks as the writer does.
//   usage: engine_probe FOLDER [chunkBytes]
#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::size_t libdeflateSize(libdeflate_compressor* c, const Bytes& data, std::size_t chunk,
                           Bytes& out) {
    std::size_t total = 0;
    for (std::size_t at = 0; at < data.size() || at == 0; at += chunk) {
        const std::size_t n = std::min(chunk, data.size() - at);
        out.resize(libdeflate_deflate_compress_bound(c, n));
        const std::size_t got =
            libdeflate_deflate_compress(c, data.data() + at, n, out.data(), out.size());
        total += got == 0 || got >= n ? n + 5 : got;
        if (data.empty()) break;
    }
    return total;
}

std::size_t isalSize(int level, const Bytes& data, std::size_t chunk, Bytes& out, Bytes& levelBuf) {
    std::size_t total = 0;
    for (std::size_t at = 0; at < data.size() || at == 0; at += chunk) {
        const std::size_t n = std::min(chunk, data.size() - at);
        isal_zstream s;
        isal_deflate_init(&s);
        s.level = static_cast<std::uint32_t>(level);
        s.level_buf = levelBuf.data();
        s.level_buf_size = static_cast<std::uint32_t>(levelBuf.size());
        if (at > 0) {
            const std::size_t dict = std::min<std::size_t>(at, 32768);
            isal_deflate_set_dict(&s, const_cast<std::uint8_t*>(data.data() + at - dict),
                                  static_cast<std::uint32_t>(dict));
        }
        out.resize(n + n / 8 + 1024);
        s.next_in = const_cast<std::uint8_t*>(data.data() + at);
        s.avail_in = static_cast<std::uint32_t>(n);
        s.next_out = out.data();
        s.avail_out = static_cast<std::uint32_t>(out.size());
        s.end_of_stream = at + n >= data.size();
        s.flush = s.end_of_stream ? NO_FLUSH : FULL_FLUSH;
        isal_deflate(&s);
        total += s.total_out >= n ? n + 5 : s.total_out;
        if (data.empty()) break;
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::size_t chunk = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : (1u << 20);
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(argv[1]))
        if (e.is_regular_file() && !e.is_symlink()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    struct Config {
        std::string name;
        int engine;
        int level;
        std::size_t size = 0;
        double cpu = 0;
    };
    std::vector<Config> configs;
    for (int l = 0; l <= 3; ++l)
        configs.push_back({"isal-" + std::to_string(l), 1, l});
    for (int l : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})
        configs.push_back({"libdeflate-" + std::to_string(l), 0, l});
    std::vector<libdeflate_compressor*> compressors(13, nullptr);
    for (int l = 1; l <= 12; ++l)
        compressors[static_cast<std::size_t>(l)] = libdeflate_alloc_compressor(l);
    Bytes levelBuf(ISAL_DEF_LVL3_LARGE), out;
    std::size_t raw = 0;
    double crcIsal = 0, crcLd = 0;
    std::uint32_t sink = 0;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        raw += data.size();
        double t = cpuSeconds();
        sink ^= crc32_gzip_refl(0, data.data(), data.size());
        crcIsal += cpuSeconds() - t;
        t = cpuSeconds();
        sink ^= libdeflate_crc32(0, data.data(), data.size());
        crcLd += cpuSeconds() - t;
        for (auto& c : configs) {
            t = cpuSeconds();
            c.size += c.engine == 0 ? libdeflateSize(compressors[static_cast<std::size_t>(c.level)],
                                                     data, chunk, out)
                                    : isalSize(c.level, data, chunk, out, levelBuf);
            c.cpu += cpuSeconds() - t;
        }
    }
    std::printf("%zu files, %zu bytes; crc isal %.3fs libdeflate %.3fs (%u)\n", files.size(), raw,
                crcIsal, crcLd, sink & 1);
    for (const auto& c : configs)
        std::printf("%-14s %12zu bytes %6.2f%%  %7.2fs cpu  %7.1f MB/s\n", c.name.c_str(), c.size,
                    100.0 * static_cast<double>(c.size) / static_cast<double>(raw), c.cpu,
                    static_cast<double>(raw) / 1e6 / c.cpu);
}
