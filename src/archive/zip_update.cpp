// The compress operation: writes a new archive from the plan, compressing files on worker
// threads while this thread writes their results in archive order and raises the events.
#include "archive/compress_jobs.h"
#include "archive/compress_plan.h"
#include "archive/crc32.h"
#include "archive/result_codes.h"
#include "archive/work_pool.h"
#include "archive/zip_header.h"
#include "archive/zip_out.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <future>

namespace corvane::archive {

namespace {

using Pool = WorkerPool<CompressContext>;

constexpr std::size_t kCopyBlock = std::size_t{1} << 20;
constexpr std::size_t kProbeSample = 8 * 1024;
constexpr std::size_t kProbeSamples = 4;
// Bounds on the work in flight: memory stays a few pieces per worker whatever the data.
constexpr std::size_t kUnitsPerWorker = 8;
// Small files travel in batches, which keeps thread hand-offs rare.
constexpr std::uint64_t kBatchBytes = 512 * 1024;
constexpr std::size_t kBatchFiles = 64;
constexpr std::size_t kPiecesPerWorker = 2;
constexpr std::size_t kForgetSteps = 4096;
constexpr std::size_t kStepsAhead = 4096;
// Longest stretch without an event while workers compress: the window pumps on events.
constexpr std::chrono::milliseconds kHeartbeat{25};
// What a header, extras, descriptor and directory record add to an entry at most.
constexpr std::uint64_t kEntryOverhead =
    zip::kLocalHeaderSize + zip::kCentralHeaderSize +
    2 * (zip::kZip64ExtraMaxSize + zip::kTimestampExtraSize + zip::kNtfsExtraSize +
         zip::kAesExtraSize) +
    zip::kDataDescriptorSize64 + zip::kAes256Overhead;
// A deflate stream of stored blocks: 5 bytes of header per 65535 bytes, and one more block.
constexpr std::uint64_t kStoredBlockOverhead = 5;
constexpr std::uint64_t kStoredBlockData = 0xFFFF;

struct Unit {
    enum class Type { File, Piece, Inline };
    Type type = Type::Inline;
    std::size_t step = 0;
    std::uint64_t offset = 0;
    std::size_t length = 0;
    bool last = true;
    bool store = false;
    int failure = 0;  // the source could not be opened
    std::uint64_t bytes = 0;
    std::shared_ptr<SharedFile> source;
    std::vector<std::size_t> batch;  // File: the steps of the files packed together
    std::shared_ptr<std::vector<PackedFile>> files;
    std::shared_ptr<PackedPiece> piece;
    Pool::TicketPtr ticket;
};

// The large file being written piece by piece.
struct Streaming {
    ZipItem item;
    bool dropped = false;
    bool zip64 = false;
    std::uint32_t crc = 0;
    std::uint64_t read = 0;
    std::uint64_t written = 0;
    std::unique_ptr<AesCipher> cipher;
};

std::uint16_t neededVersion(const ZipItem& item, bool zip64Local) {
    std::uint16_t version = zip::kVersionDefault;
    if (zip64Local || needsZip64(item)) version = zip::kVersionZip64;
    if (item.aes) version = zip::kVersionAes;
    return version;
}

Error failure(int code, const std::string& what) {
    return Error{code, what};
}

FileState stateOf(const SourceEntry& source) {
    return {source.size, source.mtime, source.mtimeNanoseconds};
}

class CompressRun {
public:
    // With a feed the plan grows while the run goes; without one it is complete.
    CompressRun(const ArchiveSettings& settings, OperationEvents& events, OutputFactory& output,
                CompressPlan& plan, SourceFeed* feed)
        : m_settings(settings),
          m_level(settings.effectiveLevel()),
          m_events(events),
          m_output(output),
          m_plan(plan),
          m_feed(feed),
          m_probe(1) {}

    int run();

private:
    Status finishVolumes(VolumeWriter& volumes, bool split);
    bool nextUnit(Unit& unit);
    void submit(Pool& pool, Unit& unit);
    Status handle(Unit& unit);
    Status writeFile(const SourceEntry& source, PackedFile& packed);
    Status writePiece(const SourceEntry& source, Unit& unit);
    Status writeInline(const SourceEntry& source, int failure);
    Status copyEntry(const ZipItem& old, bool encrypt);
    Status list(ZipItem item);
    std::uint64_t entryCount() const { return m_spool ? m_spool->count() : m_items.size(); }
    void skipAdd(const std::string& path, int reason);
    Status keepOldCopy(const PlanStep& step);
    ZipItem itemFor(const SourceEntry& source) const;
    void fileDone(const SourceEntry& source, std::uint64_t read, std::uint64_t packed);
    bool sampleIncompressible(const SharedFile& file, std::uint64_t size);
    std::uint64_t sizeBound() const;

    const ArchiveSettings& m_settings;
    const int m_level;
    OperationEvents& m_events;
    OutputFactory& m_output;
    CompressPlan& m_plan;
    SourceFeed* m_feed;
    Compressor m_probe;
    std::unique_ptr<ZipWriter> m_zip;
    std::vector<ZipItem> m_items;            // split output: offsets may still move
    std::unique_ptr<DirectorySpool> m_spool;  // a single archive: records written at once
    Streaming m_stream;
    OverallProgress m_progress;
    std::uint64_t m_packedDone = 0;
    std::uint64_t m_readDone = 0;
    std::size_t m_nextStep = 0;
    std::uint64_t m_nextOffset = 0;
    std::shared_ptr<SharedFile> m_cutting;
    bool m_cuttingStore = false;
    bool m_addSkipped = false;  // the file being added was left out
};

std::uint64_t CompressRun::sizeBound() const {
    std::uint64_t bound = zip::kSplitMarkerSize + zip::kMaxEndBlockSize;
    for (const auto& step : m_plan.steps) {
        if (step.kind == PlanStep::Kind::Copy) {
            const ZipItem& item = m_plan.old->items[step.index];
            bound += item.compressedSize + 2 * item.name.size() + kEntryOverhead +
                     item.otherExtra.size();
        } else {
            const SourceEntry& source = m_plan.sources[step.index];
            bound += source.size + (source.size / kStoredBlockData + 1) * kStoredBlockOverhead +
                     2 * source.storedName.size() + kEntryOverhead;
        }
    }
    return bound;
}

bool CompressRun::sampleIncompressible(const SharedFile& file, std::uint64_t size) {
    std::vector<std::uint8_t> samples;
    ByteBuffer buffer;
    const std::uint64_t stride = (size - kProbeSample) / (kProbeSamples - 1);
    for (std::size_t at = 0; at < kProbeSamples; ++at) {
        const auto sample = readSource(file.fd(), at * stride, kProbeSample, buffer);
        if (!sample) return false;
        samples.insert(samples.end(), sample->begin(), sample->end());
    }
    return m_probe.looksIncompressible(samples);
}

bool CompressRun::nextUnit(Unit& unit) {
    if (m_nextStep >= m_plan.stepCount()) return false;
    const PlanStep& step = m_plan.step(m_nextStep);
    unit = Unit{};
    unit.step = m_nextStep;
    if (step.kind == PlanStep::Kind::Copy) {
        ++m_nextStep;
        return true;
    }
    const SourceEntry& source = m_plan.source(step.index);
    if (source.kind != SourceKind::File) {
        ++m_nextStep;
        return true;
    }
    if (source.size <= kPieceSize) {
        unit.type = Unit::Type::File;
        while (m_nextStep < m_plan.stepCount() && unit.batch.size() < kBatchFiles &&
               (unit.batch.empty() || unit.bytes < kBatchBytes)) {
            const PlanStep& next = m_plan.step(m_nextStep);
            if (next.kind != PlanStep::Kind::Add) break;
            const SourceEntry& file = m_plan.source(next.index);
            if (file.kind != SourceKind::File || file.size > kPieceSize) break;
            unit.batch.push_back(m_nextStep++);
            unit.bytes += file.size;
        }
        return true;
    }
    if (m_nextOffset == 0) {
        m_cutting = openSource(source.path);
        if (!m_cutting) {
            unit.failure = kSkipCannotOpen;
            ++m_nextStep;
            return true;
        }
        if (!unchangedSince(m_cutting->fd(), stateOf(source))) {
            unit.failure = kSkipChangedWhileRead;
            m_cutting.reset();
            ++m_nextStep;
            return true;
        }
        m_cuttingStore = engineForLevel(m_level).kind == EngineKind::Store ||
                         sampleIncompressible(*m_cutting, source.size);
    }
    unit.type = Unit::Type::Piece;
    unit.offset = m_nextOffset;
    unit.length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, source.size - m_nextOffset));
    unit.last = m_nextOffset + unit.length >= source.size;
    unit.store = m_cuttingStore;
    unit.source = m_cutting;
    unit.bytes = unit.length;
    m_nextOffset += unit.length;
    if (unit.last) {
        m_nextOffset = 0;
        m_cutting.reset();
        ++m_nextStep;
    }
    return true;
}

void CompressRun::submit(Pool& pool, Unit& unit) {
    if (unit.type == Unit::Type::File) {
        unit.files = std::make_shared<std::vector<PackedFile>>(unit.batch.size());
        // Copies: the list of sources may grow (and move) while the job runs.
        std::vector<std::pair<std::string, FileState>> sources;
        for (const std::size_t at : unit.batch) {
            const SourceEntry& source = m_plan.source(m_plan.step(at).index);
            sources.emplace_back(source.path, stateOf(source));
        }
        unit.ticket = pool.submit([files = unit.files, sources = std::move(sources),
                                   &password = m_settings.password](CompressContext& context) {
            for (std::size_t at = 0; at < sources.size(); ++at) {
                packFile(context, sources[at].first, sources[at].second, password, (*files)[at]);
            }
        });
    } else if (unit.type == Unit::Type::Piece) {
        unit.piece = std::make_shared<PackedPiece>();
        const FileState expected = stateOf(m_plan.source(m_plan.step(unit.step).index));
        unit.ticket = pool.submit([piece = unit.piece, source = unit.source, offset = unit.offset,
                                   length = unit.length, last = unit.last, store = unit.store,
                                   expected](CompressContext& context) {
            packPiece(context, *source, offset, length, last, store, expected, *piece);
        });
    }
}

ZipItem CompressRun::itemFor(const SourceEntry& source) const {
    ZipItem item;
    item.name = source.storedName;
    if (!isUtf8(item.name)) item.flags = 0;  // bytes in some other encoding: no promise
    item.dosTime = toDosTime(source.mtime);
    item.unixMtime = source.mtime;
    item.ntfsMtime = ntfsTicksFromUnixNs(source.mtime * 1'000'000'000LL + source.mtimeNanoseconds);
    item.externalAttributes =
        (source.mode << 16) | (source.kind == SourceKind::Folder ? zip::kDosFolderAttribute : 0);
    return item;
}

void CompressRun::fileDone(const SourceEntry& source, std::uint64_t read, std::uint64_t packed) {
    m_events.fileProgress(source.path, read, read, true);
    m_readDone += read;
    m_packedDone += packed;
    ++m_progress.filesDone;
    m_progress.bytesDone += source.size;
    m_progress.ratioPercent =
        m_readDone == 0
            ? 0
            : static_cast<int>(100 - std::min<std::uint64_t>(m_packedDone * 100 / m_readDone, 100));
    // Totals are known once the walk has ended; until then there is no overall progress.
    if (m_feed != nullptr && !m_feed->finished()) return;
    m_progress.filesTotal = m_plan.additions;
    m_progress.bytesTotal = m_plan.addedBytes;
    m_events.overall(m_progress);
}

Status CompressRun::writeFile(const SourceEntry& source, PackedFile& packed) {
    if (packed.noRandom) return failure(kInternalError, "no random numbers for encryption");
    if (packed.skipReason != 0) {
        skipAdd(source.path, packed.skipReason);
        return {};
    }
    ZipItem item = itemFor(source);
    item.method = packed.aes ? zip::kMethodAes : packed.method;
    item.aes = packed.aes;
    if (packed.aes) item.flags |= zip::kFlagEncrypted;
    item.crc = packed.aes && packed.aes->vendorVersion == zip::kAesVersion2 ? 0 : packed.crc;
    item.compressedSize = packed.data.size();
    item.uncompressedSize = packed.size;
    item.versionNeeded = neededVersion(item, false);
    if (Status written = m_zip->writeLocalHeader(item, false, false); !written) return written;
    if (Status written = m_zip->writeData(packed.data); !written) return written;
    if (Status listed = list(std::move(item)); !listed) return listed;
    fileDone(source, packed.size, packed.data.size());
    return {};
}

Status CompressRun::writePiece(const SourceEntry& source, Unit& unit) {
    PackedPiece& piece = *unit.piece;
    if (unit.offset == 0) {
        m_stream = Streaming{};
        if (piece.skipReason != 0) {
            m_stream.dropped = true;
            skipAdd(source.path, piece.skipReason);
            return {};
        }
        m_stream.item = itemFor(source);
        ZipItem& item = m_stream.item;
        const std::uint16_t method = unit.store ? zip::kMethodStore : zip::kMethodDeflate;
        item.method = method;
        if (!m_settings.password.empty()) {
            auto aes = startAes(m_settings.password);
            if (!aes) return failure(kInternalError, "no random numbers for encryption");
            item.method = zip::kMethodAes;
            item.flags |= zip::kFlagEncrypted;
            item.aes = AesInfo{zip::kAesVersion1, zip::kAesStrength256, method};
            m_stream.cipher = std::move(aes->cipher);
            m_stream.written = aes->header.size();
            m_stream.zip64 = source.size >= kZip64StreamThreshold;
            item.versionNeeded = neededVersion(item, m_stream.zip64);
            if (Status written = m_zip->writeLocalHeader(item, true, m_stream.zip64); !written)
                return written;
            if (Status written = m_zip->writeData(aes->header); !written) return written;
        } else {
            m_stream.zip64 = source.size >= kZip64StreamThreshold;
            item.versionNeeded = neededVersion(item, m_stream.zip64);
            if (Status written = m_zip->writeLocalHeader(item, true, m_stream.zip64); !written)
                return written;
        }
    }
    if (m_stream.dropped) return {};
    if (piece.skipReason != 0) {
        // The bytes written so far stay as unlisted space; the entry is left out.
        m_stream.dropped = true;
        skipAdd(source.path, piece.skipReason);
        return {};
    }
    if (m_stream.cipher) m_stream.cipher->encrypt(piece.data);
    if (Status written = m_zip->writeData(piece.data); !written) return written;
    m_stream.crc = crc32Combine(m_stream.crc, piece.crc, piece.size);
    m_stream.read += piece.size;
    m_stream.written += piece.data.size();
    if (!unit.last) {
        m_events.fileProgress(source.path, unit.offset + unit.length, source.size, false);
        return {};
    }
    ZipItem& item = m_stream.item;
    if (m_stream.cipher) {
        const auto code = m_stream.cipher->finish();
        if (Status written = m_zip->writeData(code); !written) return written;
        m_stream.written += code.size();
    }
    item.flags |= zip::kFlagDataDescriptor;
    item.crc = m_stream.crc;
    item.compressedSize = m_stream.written;
    item.uncompressedSize = m_stream.read;
    if (Status written = m_zip->writeDescriptor(item, m_stream.zip64); !written) return written;
    item.versionNeeded = neededVersion(item, m_stream.zip64);
    if (Status listed = list(item); !listed) return listed;
    fileDone(source, m_stream.read, m_stream.written);
    return {};
}

Status CompressRun::writeInline(const SourceEntry& source, int failureReason) {
    if (failureReason != 0) {
        skipAdd(source.path, failureReason);
        return {};
    }
    ZipItem item = itemFor(source);
    PackedFile packed;
    if (source.kind == SourceKind::Symlink) {
        ByteBuffer target(static_cast<std::size_t>(source.size) + 1);
        const ssize_t length =
            ::readlink(source.path.c_str(), reinterpret_cast<char*>(target.data()), target.size());
        if (length < 0) {
            skipAdd(source.path, kSkipCannotOpen);
            return {};
        }
        target.resize(static_cast<std::size_t>(length));
        // A link's target is stored like a name, unencrypted, so that any tool can list it.
        CompressContext context(0);
        packBytes(context, std::move(target), {}, packed);
        return writeFile(source, packed);
    }
    item.versionNeeded = neededVersion(item, false);
    if (Status written = m_zip->writeLocalHeader(item, false, false); !written) return written;
    if (Status listed = list(std::move(item)); !listed) return listed;
    fileDone(source, 0, 0);
    return {};
}

Status CompressRun::copyEntry(const ZipItem& old, bool encrypt) {
    auto& volumes = *m_plan.oldVolumes;
    auto data = readEntryHeader(
        old, [&](VolumePosition at, std::span<std::uint8_t> out) { return volumes.read(at, out); },
        m_plan.old->prefixBytes);
    if (!data) return data.error();
    ZipItem item = old;
    std::optional<AesStart> aes;
    if (encrypt) {
        // The compressed bytes as they are, under the run's password.
        aes = startAes(m_settings.password);
        if (!aes) return failure(kInternalError, "no random numbers for encryption");
        item.aes = AesInfo{old.uncompressedSize >= zip::kAe1MinimumSize ? zip::kAesVersion1
                                                                         : zip::kAesVersion2,
                           zip::kAesStrength256, old.method};
        item.method = zip::kMethodAes;
        item.flags |= zip::kFlagEncrypted;
        if (item.aes->vendorVersion == zip::kAesVersion2) item.crc = 0;
        item.compressedSize = old.compressedSize + zip::kAes256Overhead;
    }
    // Traditional encryption checks its header against the time when a descriptor is used:
    // such entries keep theirs.
    const bool descriptor = old.hasDataDescriptor() && old.isEncrypted() && !old.aes;
    item.flags = static_cast<std::uint16_t>(item.flags & ~zip::kFlagDataDescriptor);
    const bool zip64 = item.compressedSize >= zip::kMax32 || item.uncompressedSize >= zip::kMax32;
    item.versionNeeded = std::max(item.versionNeeded, neededVersion(item, zip64));
    if (Status written = m_zip->writeLocalHeader(item, descriptor, zip64); !written) return written;
    if (aes) {
        if (Status written = m_zip->writeData(aes->header); !written) return written;
    }
    std::vector<std::uint8_t> block;
    VolumePosition at = data->dataStart;
    for (std::uint64_t left = old.compressedSize; left > 0;) {
        if (m_events.aborted()) return failure(kAborted, "cancelled");
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, kCopyBlock)));
        if (Status got = volumes.read(at, block); !got) return got;
        if (aes) aes->cipher->encrypt(block);
        if (Status written = m_zip->writeData(block); !written) return written;
        at.offset += block.size();
        left -= block.size();
    }
    if (aes) {
        const auto code = aes->cipher->finish();
        if (Status written = m_zip->writeData(code); !written) return written;
    }
    if (descriptor) {
        if (Status written = m_zip->writeDescriptor(item, zip64); !written) return written;
        item.flags |= zip::kFlagDataDescriptor;
    }
    return list(std::move(item));
}

// A written source is not needed again: its names go, so that the memory serves the
// directory entries that take their place.
void release(SourceEntry& source) {
    std::string().swap(source.path);
    std::string().swap(source.storedName);
}

// Puts a written entry in the central directory.
Status CompressRun::list(ZipItem item) {
    if (!m_spool) {
        m_items.push_back(std::move(item));
        return {};
    }
    return m_spool->add(item);
}

void CompressRun::skipAdd(const std::string& path, int reason) {
    m_events.skipped(path, reason);
    m_addSkipped = true;
}

// A file that could not be added again leaves the archive's copy of it in place.
Status CompressRun::keepOldCopy(const PlanStep& step) {
    const bool skipped = m_addSkipped;
    m_addSkipped = false;
    if (!skipped || step.replaces == PlanStep::kNoEntry) return {};
    return copyEntry(m_plan.old->items[step.replaces], false);
}

Status CompressRun::handle(Unit& unit) {
    const PlanStep& step = m_plan.step(unit.step);
    if (step.kind == PlanStep::Kind::Copy) {
        return copyEntry(m_plan.old->items[step.index], step.encrypt);
    }
    SourceEntry& source = m_plan.source(step.index);
    Status written;
    switch (unit.type) {
        case Unit::Type::File:
            for (std::size_t at = 0; at < unit.batch.size() && written; ++at) {
                const PlanStep& fileStep = m_plan.step(unit.batch[at]);
                SourceEntry& file = m_plan.source(fileStep.index);
                written = writeFile(file, (*unit.files)[at]);
                release(file);
                if (written) written = keepOldCopy(fileStep);
            }
            return written;
        case Unit::Type::Piece:
            written = writePiece(source, unit);
            if (!unit.last) return written;
            release(source);
            return written ? keepOldCopy(step) : written;
        case Unit::Type::Inline:
            break;
    }
    written = writeInline(source, unit.failure);
    release(source);
    return written ? keepOldCopy(step) : written;
}

// Flushing and installing a large archive can take a while on a busy disk; events go on
// meanwhile, so a window stays alive. Volumes of a split archive may ask for a disk on the way:
// they finish on this thread.
Status CompressRun::finishVolumes(VolumeWriter& volumes, bool split) {
    if (split) return volumes.finish();
    auto finishing = std::async(std::launch::async, [&volumes] { return volumes.finish(); });
    while (finishing.wait_for(kHeartbeat) != std::future_status::ready) {
        m_events.overall(m_progress);
    }
    return finishing.get();
}

int CompressRun::run() {
    VolumeOptions options;
    options.archivePath = m_settings.archivePath;
    options.split = m_settings.spanDisks;
    options.diskSize = m_settings.diskSize;
    if (m_settings.useTempCopy) options.tempFolder = m_settings.tempFolder;
    options.sizeBound = sizeBound();
    VolumeWriter volumes(options, m_output, m_events);
    if (Status started = volumes.start(); !started) return started.error().code;
    m_zip = std::make_unique<ZipWriter>(volumes);
    if (!m_settings.spanDisks) m_spool = std::make_unique<DirectorySpool>(volumes.workFolder());

    const unsigned workers = workerCount();
    Pool pool(workers, [&] { return std::make_unique<CompressContext>(m_level); });
    std::deque<Unit> inFlight;
    std::uint64_t bytesInFlight = 0;
    // The slowest engine needs no queue to keep busy, and its match finder is the largest.
    const EngineChoice engine = engineForLevel(m_level);
    const std::size_t piecesPerWorker =
        engine.kind == EngineKind::Libdeflate && engine.engineLevel >= 10 ? 1 : kPiecesPerWorker;
    const std::uint64_t maxBytes = std::uint64_t{workers} * piecesPerWorker * kPieceSize;
    for (;;) {
        if (m_events.aborted()) return kAborted;
        // Take more from the walk only while little is waiting: the plan stays small.
        if (m_feed != nullptr && !m_feed->finished() &&
            m_plan.stepCount() - m_nextStep < kStepsAhead) {
            // Wait for the walk only when there is nothing else to do.
            const bool idle = inFlight.empty() && m_nextStep >= m_plan.stepCount();
            if (const int code = m_feed->admit(m_plan, idle); code != kDone) return code;
            // A slow walk still shows life: the window's pump runs on these events.
            if (idle) m_events.overall(m_progress);
        }
        Unit next;
        while (inFlight.size() < workers * kUnitsPerWorker && bytesInFlight < maxBytes &&
               nextUnit(next)) {
            submit(pool, next);
            bytesInFlight += next.bytes;
            inFlight.push_back(std::move(next));
        }
        if (inFlight.empty()) {
            if (m_feed != nullptr && !m_feed->finished()) continue;
            break;
        }
        Unit unit = std::move(inFlight.front());
        inFlight.pop_front();
        // Large pieces take a while: keep raising events so the window stays alive and Cancel is seen.
        while (unit.ticket && !pool.waitFor(unit.ticket, kHeartbeat)) {
            m_events.overall(m_progress);
            if (m_events.aborted()) return kAborted;
        }
        bytesInFlight -= unit.bytes;
        if (Status handled = handle(unit); !handled) return handled.error().code;
        if (m_feed != nullptr) {
            // What is written is not needed again: memory stays flat however many files come.
            const std::size_t needed = inFlight.empty() ? m_nextStep : inFlight.front().step;
            if (needed - m_plan.firstStep >= kForgetSteps) m_plan.forgetBefore(needed);
        }
    }
    if (entryCount() == 0) return m_events.hadWarnings() ? kDoneWithWarnings : kNothingToDo;
    const Status written =
        m_spool ? m_zip->writeDirectory(*m_spool) : m_zip->writeDirectory(m_items);
    if (!written) return written.error().code;
    if (m_events.aborted()) return kAborted;
    if (Status finished = finishVolumes(volumes, options.split); !finished) {
        return finished.error().code;
    }
    return m_events.hadWarnings() ? kDoneWithWarnings : kDone;
}

}  // namespace

int runCompress(const ArchiveSettings& settings, OperationEvents& events, OutputFactory& output) {
    if (settings.archivePath.empty() ||
        (settings.method != zip::kMethodDeflate && settings.method != zip::kMethodStore)) {
        return kBadArguments;
    }
    if (settings.spanDisks &&
        (settings.updating() ||
         (settings.diskSize != 0 && settings.diskSize < zip::kMinimumVolumeSize))) {
        return kBadArguments;
    }
    struct stat target {};
    if (::stat(settings.archivePath.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        return kCannotCreate;
    }
    try {
        CompressPlan plan;
        if (!settings.updating() && !settings.spanDisks) {
            // A plain run starts compressing while the walk goes on.
            SourceFeed feed(settings, events, true);
            return CompressRun(settings, events, output, plan, &feed).run();
        }
        if (const int code = buildPlan(settings, events, plan); code != kDone) return code;
        return CompressRun(settings, events, output, plan, nullptr).run();
    } catch (const std::bad_alloc&) {
        return kInternalError;
    } catch (const std::system_error&) {
        return kInternalError;
    }
}

}  // namespace corvane::archive
