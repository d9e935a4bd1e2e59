// The preview operation: estimates the size of the archive a compress run would write, without
// writing it. Header sizes are exact; the data is estimated from samples compressed with the
// level's own engine:
//  - small files by systematic sampling in proportion to size (every file that holds one of
//    the points spaced kSampleSpacing apart in the run of all small files' bytes is compressed
//    whole and stands for kSampleSpacing bytes at its ratio);
//  - larger files by blocks spread evenly over them, one sixteenth of each file.
#include "archive/compress_jobs.h"
#include "archive/compress_plan.h"
#include "archive/file_selection.h"
#include "archive/operations.h"
#include "archive/result_codes.h"
#include "archive/work_pool.h"
#include "archive/zip_out.h"

#include <algorithm>
#include <deque>

namespace corvane::archive {

namespace {

using Pool = WorkerPool<CompressContext>;

constexpr std::uint64_t kSmallFile = 64 * 1024;
constexpr std::uint64_t kSampleSpacing = 1024 * 1024;
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::uint64_t kSampledShare = 32;  // one block in this many
constexpr std::size_t kMaxInFlight = 64;

struct Sample {
    double estimate = 0;  // estimated data bytes of the file
};

// The bytes a compress run writes around an entry's data.
std::uint64_t entryOverhead(const SourceEntry& source, bool encrypted) {
    const bool file = source.kind != SourceKind::Folder;
    const bool aes = encrypted && file;
    const bool streamed = source.kind == SourceKind::File && source.size > kPieceSize;
    const std::uint64_t extras = zip::kTimestampExtraSize + (aes ? zip::kAesExtraSize : 0);
    std::uint64_t bytes = zip::kLocalHeaderSize + zip::kCentralHeaderSize +
                          2 * source.storedName.size() + 2 * extras + zip::kNtfsExtraSize;
    if (aes) bytes += zip::kAes256Overhead;
    if (streamed)
        bytes += source.size >= kZip64StreamThreshold ? zip::kDataDescriptorSize64 + 20
                                                      : zip::kDataDescriptorSize32;
    return bytes;
}

// Compresses `input` with the level's engine; the packed size, or the input's when it does
// not shrink.
std::size_t packedSize(CompressContext& context, std::span<const std::uint8_t> input) {
    if (input.size() >= kBlockSize && context.compressor.looksIncompressible(input))
        return input.size();
    const auto packed = context.compressor.compressWhole(input);
    return packed.empty() ? input.size() : packed.size();
}

void sampleSmall(CompressContext& context, const std::string& path, std::uint64_t size,
                 Sample& out) {
    out.estimate = static_cast<double>(size);
    const auto file = openSource(path);
    const auto data = file
                          ? readSource(file->fd(), 0, static_cast<std::size_t>(size), context.input)
                          : std::nullopt;
    if (!data || data->empty()) return;
    const double ratio =
        static_cast<double>(packedSize(context, *data)) / static_cast<double>(data->size());
    out.estimate = ratio * static_cast<double>(kSampleSpacing);
}

void sampleLarge(CompressContext& context, const std::string& path, std::uint64_t size,
                 Sample& out) {
    out.estimate = static_cast<double>(size);
    const auto file = openSource(path);
    if (!file) return;
    const std::uint64_t blocks = std::max<std::uint64_t>(1, size / (kBlockSize * kSampledShare));
    const std::uint64_t stride = blocks > 1 ? (size - kBlockSize) / (blocks - 1) : 0;
    std::uint64_t read = 0;
    std::uint64_t packed = 0;
    for (std::uint64_t block = 0; block < blocks; ++block) {
        const auto data = readSource(file->fd(), block * stride, kBlockSize, context.input);
        if (!data) return;
        read += data->size();
        packed += packedSize(context, *data);
    }
    if (read == 0) return;
    const double ratio = std::min(1.0, static_cast<double>(packed) / static_cast<double>(read));
    out.estimate = ratio * static_cast<double>(size);
}

}  // namespace

int runPreview(const ArchiveSettings& settings, OperationEvents& events) {
    try {
        const int level = settings.effectiveLevel();
        const bool store = engineForLevel(level).kind == EngineKind::Store;
        const bool encrypted = !settings.password.empty();
        double estimate = static_cast<double>(zip::kMaxEndBlockSize);
        const unsigned workers = workerCount();
        Pool pool(workers, [level] { return std::make_unique<CompressContext>(level); });
        std::deque<std::pair<std::shared_ptr<Sample>, Pool::TicketPtr>> inFlight;
        auto collect = [&] {
            pool.wait(inFlight.front().second);
            estimate += inFlight.front().first->estimate;
            inFlight.pop_front();
        };
        // Samples are taken while the walk goes on.
        CompressPlan plan;
        SourceFeed feed(settings, events, false);
        std::uint64_t smallBytes = kSampleSpacing / 2;  // the first point sits mid-way
        for (std::size_t next = 0;;) {
            if (const int code = feed.admit(plan, next >= plan.sources.size()); code != kDone) {
                return code;
            }
            if (next >= plan.sources.size() && feed.finished()) break;
            for (; next < plan.sources.size(); ++next) {
                const SourceEntry& source = plan.sources[next];
                if (events.aborted()) return kAborted;
                events.previewing(source.path);
                estimate += static_cast<double>(entryOverhead(source, encrypted));
                if (source.kind != SourceKind::File || store) {
                    estimate += static_cast<double>(source.size);
                    continue;
                }
                const bool small = source.size <= kSmallFile;
                if (small) {
                    const std::uint64_t before = smallBytes / kSampleSpacing;
                    smallBytes += source.size;
                    if (smallBytes / kSampleSpacing == before) continue;
                }
                auto sample = std::make_shared<Sample>();
                auto ticket = pool.submit([sample, path = source.path, size = source.size,
                                           small](CompressContext& context) {
                    (small ? sampleSmall : sampleLarge)(context, path, size, *sample);
                });
                inFlight.emplace_back(sample, ticket);
                if (inFlight.size() >= kMaxInFlight) collect();
            }
        }
        while (!inFlight.empty())
            collect();
        if (events.aborted()) return kAborted;
        const bool nothing = plan.sources.empty();
        events.complete(nothing ? 0 : static_cast<std::uint64_t>(estimate));
        if (nothing) return events.hadWarnings() ? kDoneWithWarnings : kNothingToDo;
        return events.hadWarnings() ? kDoneWithWarnings : kDone;
    } catch (const std::bad_alloc&) {
        return kInternalError;
    } catch (const std::system_error&) {
        return kInternalError;
    }
}

}  // namespace corvane::archive
