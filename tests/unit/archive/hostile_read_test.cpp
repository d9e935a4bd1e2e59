// Hostile archives met by test, list and extract: entries that share one stream (bombs) are
// judged without decoding the shared data again, decoding stops at the run's bound, and a
// pipe or device in the place of the archive or a volume is refused at once (520).
#include "archive/archiver.h"
#include "archive/crc32.h"
#include "archive/zip_header.h"
#include "archive_support.h"
#include "raw_zip.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <map>

namespace corvane::archive {
namespace {

using test::RawZip;
using test::writeFile;
using namespace std::chrono_literals;

constexpr std::uint64_t kMiB = 1 << 20;

// Counts the results of the entries.
class ResultObserver : public test::RecordingObserver {
public:
    void onEntryResult(std::size_t, int code, const std::string&) override { ++results[code]; }
    std::map<int, std::size_t> results;
};

// Runs `operation` on a thread of its own. One that has not ended within `limit` (a hang, or
// an hour of decoding) is stopped with `stop` and fails the test.
int endsWithin(std::chrono::seconds limit, const std::function<int()>& operation,
               const std::function<void()>& stop) {
    auto running = std::async(std::launch::async, operation);
    if (running.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << "still running after " << limit.count() << " s";
        stop();
    }
    return running.get();
}

std::uint32_t crcOfZeros(std::uint64_t size) {
    const std::vector<std::uint8_t> zeros(kMiB, 0);
    std::uint32_t crc = 0;
    for (std::uint64_t done = 0; done < size; done += kMiB)
        crc = crc32Update(crc, zeros);
    return crc;
}

// Many central records, one name, all at one local header over `size` zero bytes.
std::string sameHeaderBomb(std::size_t entries, std::uint64_t size) {
    RawZip zip;
    ZipItem item = test::unixItem("zeros", "", S_IFREG | 0644);
    item.method = zip::kMethodDeflate;
    item.uncompressedSize = size;
    item.crc = crcOfZeros(size);
    const std::string stream = test::deflateZeros(size);
    item.localOffset = zip.add(item, stream);
    item.compressedSize = stream.size();
    for (std::size_t at = 1; at < entries; ++at)
        zip.addCentral(item);
    return zip.finish();
}

// The overlap of distinct files: each entry's data is a stored block quoting the next entry's
// local header, followed by that entry's data, down to one shared stream of `size` zeros.
std::string quotedOverlapBomb(std::size_t entries, std::uint64_t size) {
    const std::string kernel = test::deflateZeros(size);
    std::vector<ZipItem> items(entries);
    std::vector<std::string> headers(entries);
    // From the last entry back: each one's sizes and CRC follow from the one after it.
    for (std::size_t at = entries; at-- > 0;) {
        ZipItem& item = items[at];
        char name[16];
        std::snprintf(name, sizeof name, "f%05zu", at);
        item = test::unixItem(name, "", S_IFREG | 0644);
        item.method = zip::kMethodDeflate;
        if (at + 1 == entries) {
            item.compressedSize = kernel.size();
            item.uncompressedSize = size;
            item.crc = crcOfZeros(size);
        } else {
            const ZipItem& next = items[at + 1];
            const std::string& quoted = headers[at + 1];
            item.compressedSize = 5 + quoted.size() + next.compressedSize;
            item.uncompressedSize = quoted.size() + next.uncompressedSize;
            const auto quotedBytes =
                std::span(reinterpret_cast<const std::uint8_t*>(quoted.data()), quoted.size());
            item.crc = crc32Combine(crc32Update(0, quotedBytes), next.crc, next.uncompressedSize);
        }
        const Bytes header = encodeLocalHeader(item, false, false);
        headers[at].assign(header.begin(), header.end());
    }
    RawZip zip;
    for (std::size_t at = 0; at < entries; ++at) {
        items[at].localOffset = zip.size();
        zip.appendRaw(headers[at]);
        if (at + 1 < entries) {
            // A stored block that is not the last: header bits 000, then LEN and NLEN.
            const auto length = static_cast<std::uint16_t>(headers[at + 1].size());
            const char block[5] = {
                0, static_cast<char>(length & 0xFF), static_cast<char>(length >> 8),
                static_cast<char>(~length & 0xFF), static_cast<char>((~length >> 8) & 0xFF)};
            zip.appendRaw(std::string_view(block, 5));
        }
    }
    zip.appendRaw(kernel);
    for (const auto& item : items)
        zip.addCentral(item);
    return zip.finish();
}

class HostileReads : public ::testing::Test {
protected:
    void SetUp() override {
        zip.setObserver(&observer);
        zip.settings.archivePath = folder / "hostile.zip";
    }

    corvane::test::TempFolder folder;
    test::ZipUnderTest zip;
    ResultObserver observer;
};

TEST_F(HostileReads, EntriesSharingOneStreamAreDecodedOnce) {
    struct Case {
        const char* name;
        std::function<std::string()> make;
        std::size_t entries;
    };
    const Case cases[] = {
        {"20,000 records at one header over 1 GiB",
         [] { return sameHeaderBomb(20000, 1024 * kMiB); }, 20000},
        {"2,000 files quoting each other over 64 MiB",
         [] { return quotedOverlapBomb(2000, 64 * kMiB); }, 2000},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        writeFile(zip.settings.archivePath, test.make());
        EXPECT_LT(std::filesystem::file_size(zip.settings.archivePath), 3 * kMiB);
        observer.events.clear();
        observer.results.clear();
        const int code = endsWithin(
            60s, [&] { return zip.test(); }, [&] { zip.requestAbort(); });
        EXPECT_EQ(code, kNotZip);
        // One entry decodes the stream; every other one is reported without being decoded.
        EXPECT_EQ(observer.results[kDone], 1u);
        EXPECT_EQ(observer.results[kNotZip], test.entries - 1);
        EXPECT_EQ(observer.count("warning"), test.entries - 1);

        ArchiveListing listing;
        ASSERT_EQ(zip.list(listing), kDone);
        ASSERT_EQ(listing.items.size(), test.entries);
        EXPECT_EQ(std::count(listing.overlapping.begin(), listing.overlapping.end(), true),
                  static_cast<std::ptrdiff_t>(test.entries - 1));
    }
}

// Collects what an extraction writes.
class MemoryTarget final : public EntryTarget {
public:
    class Sink final : public EntrySink {
    public:
        Sink(MemoryTarget& target, std::size_t index) : m_target(target), m_index(index) {}
        Status write(std::span<const std::uint8_t> data) override {
            m_data.append(data.begin(), data.end());
            return {};
        }
        Status close() override { return {}; }
        Status commit() override {
            m_target.committed[m_index] = std::move(m_data);
            return {};
        }

    private:
        MemoryTarget& m_target;
        std::size_t m_index;
        std::string m_data;
    };
    Result<std::unique_ptr<EntrySink>> open(std::size_t index, const ZipItem&) override {
        return std::unique_ptr<EntrySink>(std::make_unique<Sink>(*this, index));
    }
    std::map<std::size_t, std::string> committed;
};

TEST_F(HostileReads, DecodingStopsAtTheRunsBound) {
    RawZip raw;
    ZipItem item = test::unixItem("", "", S_IFREG | 0644);
    item.method = zip::kMethodDeflate;
    item.uncompressedSize = 4 * kMiB;
    item.crc = crcOfZeros(4 * kMiB);
    for (const char* name : {"a", "b", "c", "d"}) {
        item.name = name;
        raw.add(item, test::deflateZeros(4 * kMiB));
    }
    writeFile(zip.settings.archivePath, raw.finish());
    struct Case {
        std::uint64_t limit;
        int code;
        std::size_t committed;
    };
    for (const Case& test : {Case{0, kDone, 4}, Case{16 * kMiB, kDone, 4},
                             Case{10 * kMiB, kNotZip, 2}, Case{kMiB, kNotZip, 0}}) {
        SCOPED_TRACE(test.limit);
        MemoryTarget target;
        ExtractRequest request;
        request.target = &target;
        request.outputLimit = test.limit;
        observer.events.clear();
        EXPECT_EQ(zip.extract(request), test.code);
        EXPECT_EQ(target.committed.size(), test.committed);
        EXPECT_EQ(observer.count("warning"), test.code == kDone ? 0u : 1u);
        for (const auto& [index, data] : target.committed)
            EXPECT_EQ(data, std::string(4 * kMiB, '\0')) << index;
    }
}

TEST_F(HostileReads, PipesAndDevicesAreRefusedAtOnce) {
    // A split archive whose first volume will be put aside for a pipe.
    corvane::test::makeFolder(folder / "src");
    writeFile(folder / "src/data.bin", test::randomData(200000, 3));
    zip.settings.includes.push_back(folder / "src/*");
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 64 * 1024;
    zip.settings.archivePath = folder / "split.bac";
    ASSERT_EQ(zip.compress(), kDone);
    std::filesystem::rename(folder / "split.z01", folder / "split.z01.kept");

    ASSERT_EQ(::mkfifo((folder / "pipe.bac").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder / "split.z01").c_str(), 0600), 0);
    corvane::test::makeFolder(folder / "folder.bac");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder / "socket.bac";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    struct Case {
        const char* name;
        std::string path;
        std::string pipe;  // a pipe a reader may be stuck on
    };
    const Case cases[] = {
        {"archive is a pipe", folder / "pipe.bac", folder / "pipe.bac"},
        {"a volume is a pipe", folder / "split.bac", folder / "split.z01"},
        {"archive is a folder", folder / "folder.bac", ""},
        {"archive is a socket", socketPath, ""},
        {"archive is a device", "/dev/zero", ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        zip.settings.archivePath = test.path;
        // A reader stuck opening the pipe is let go by opening its other end.
        const auto release = [&] {
            if (test.pipe.empty()) return;
            const int end = ::open(test.pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (end >= 0) ::close(end);
        };
        observer.events.clear();
        EXPECT_EQ(endsWithin(
                      20s, [&] { return zip.test(); }, release),
                  kCannotOpen);
        ArchiveListing listing;
        EXPECT_EQ(endsWithin(
                      20s, [&] { return zip.list(listing); }, release),
                  test.name == std::string("a volume is a pipe") ? kDone : kCannotOpen);
        EXPECT_EQ(observer.count("insert-disk"), 0u);
    }
    ::close(listener);
}

}  // namespace
}  // namespace corvane::archive
