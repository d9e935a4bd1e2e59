// The test operation: reads an archive through and checks every entry, on worker threads
// where the entry's volumes are at hand, on this thread where disks must be asked for.
#include <algorithm>
#include <deque>

#include "archive/operations.h"
#include "archive/result_codes.h"
#include "archive/work_pool.h"
#include "archive/zip_check.h"

namespace corvane::archive {

namespace {

using Pool = WorkerPool<CheckContext>;

constexpr int kPasswordAttempts = 3;
constexpr std::size_t kUnitsPerWorker = 16;
constexpr std::uint64_t kBytesPerWorker = std::uint64_t{8} << 20;

struct Unit {
    std::size_t index = 0;
    bool inlineCheck = false;  // needs volumes that are not open: checked on this thread
    int failure = 0;           // the local header could not be read
    std::string failureDetail;
    EntryData entry;
    std::string password;
    std::shared_ptr<CheckResult> result;
    Pool::TicketPtr ticket;
    std::uint64_t bytes = 0;
};

class TestRun {
public:
    TestRun(const ArchiveSettings& settings, OperationEvents& events)
        : m_events(events), m_volumes(settings.archivePath, &events), m_password(settings.password) {}

    int run();

private:
    int checkOverlaps();
    bool produce(Unit& unit, bool idle);
    // Returns kDone to go on, or the code that ends the test.
    int finish(Unit& unit);
    int record(int code) {
        if (m_failure == kDone) m_failure = code;
        return kDone;
    }

    // Waits for every check in flight, so that asking for a disk cannot close a volume a
    // worker reads.
    void drain() {
        for (auto& unit : m_inFlight) {
            if (unit.ticket) m_pool->wait(unit.ticket);
        }
    }

    OperationEvents& m_events;
    VolumeReader m_volumes;
    Pool* m_pool = nullptr;
    std::deque<Unit> m_inFlight;
    ArchiveDirectory m_directory;
    std::string m_password;
    std::size_t m_next = 0;
    int m_failure = kDone;
    OverallProgress m_progress;
    std::uint64_t m_packedDone = 0;
    std::uint64_t m_readDone = 0;
};

int TestRun::checkOverlaps() {
    std::vector<std::size_t> order(m_directory.items.size());
    for (std::size_t at = 0; at < order.size(); ++at) order[at] = at;
    const auto& items = m_directory.items;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(items[a].diskStart, items[a].localOffset) <
               std::tie(items[b].diskStart, items[b].localOffset);
    });
    for (std::size_t at = 0; at < order.size(); ++at) {
        const ZipItem& item = items[order[at]];
        // The least an entry takes: its header with the name, and its data.
        const std::uint64_t end = item.localOffset + zip::kLocalHeaderSize + item.name.size() +
                                  item.compressedSize;
        const bool clash =
            at + 1 < order.size()
                ? items[order[at + 1]].diskStart == item.diskStart &&
                      items[order[at + 1]].localOffset < end
                : m_directory.end.centralDisk == item.diskStart &&
                      m_directory.centralStart.offset < end + (item.diskStart == 0 ? m_directory.prefixBytes : 0);
        if (!clash) continue;
        const std::string& name = at + 1 < order.size() ? items[order[at + 1]].name : item.name;
        if (!m_events.integrityWarning(name)) return kAborted;
        record(kNotZip);
    }
    return kDone;
}

bool TestRun::produce(Unit& unit, bool idle) {
    if (m_next >= m_directory.items.size()) return false;
    const ZipItem& item = m_directory.items[m_next];
    // Asking for a disk closes the others: only with nothing in flight.
    if (!idle && !m_volumes.isOpen(item.diskStart)) return false;
    auto readHeader = [&](VolumePosition at, std::span<std::uint8_t> out) {
        return idle ? m_volumes.read(at, out) : m_volumes.readOpen(at, out);
    };
    auto entry = readEntryHeader(item, readHeader, m_directory.prefixBytes);
    if (!entry && !idle && entry.error().code == kVolumeMissing) return false;
    unit = Unit{};
    unit.index = m_next++;
    if (!entry) {
        unit.failure = entry.error().code;
        unit.failureDetail = entry.error().description;
        return true;
    }
    unit.entry = std::move(entry.value());
    unit.bytes = item.compressedSize;
    if (item.isEncrypted() && m_password.empty()) {
        std::string answer;
        if (!m_events.passwordNeeded(answer)) {
            unit.failure = kAborted;
            return true;
        }
        m_password = answer;
    }
    unit.password = m_password;
    const std::uint64_t span = item.compressedSize + zip::kDataDescriptorSize64;
    unit.inlineCheck = !m_volumes.advanceOpen(unit.entry.dataStart, span).has_value();
    return true;
}

int TestRun::finish(Unit& unit) {
    const ZipItem& item = m_directory.items[unit.index];
    if (unit.failure == kAborted) return kAborted;
    CheckResult result;
    if (unit.failure != 0) {
        result = CheckResult{unit.failure, false, unit.failureDetail};
    } else if (unit.result) {
        result = *unit.result;
    }
    for (int attempt = 0; result.wrongPassword; ++attempt) {
        if (attempt == kPasswordAttempts) return kWrongPassword;
        drain();
        std::string answer = m_password;
        if (unit.password == m_password) {
            if (!m_events.passwordNeeded(answer)) return kAborted;
            m_password = answer;
        }
        unit.password = m_password;
        CheckContext context;
        result = checkEntry(context, item, unit.entry, unit.password,
                            [&](VolumePosition at, std::span<std::uint8_t> out) { return m_volumes.read(at, out); });
    }
    if (result.code == kAborted || result.code == kStoppedByHandler) return result.code;
    m_events.fileProgress(item.name, item.uncompressedSize, item.uncompressedSize, true);
    if (result.code == kUnsupported) {
        m_events.skipped(item.name, kSkipUnsupported);
        record(kUnsupported);
    } else if (result.code != kDone) {
        if (!m_events.integrityWarning(item.name)) return kAborted;
        record(result.code);
    }
    ++m_progress.filesDone;
    m_progress.bytesDone += item.uncompressedSize;
    m_readDone += item.uncompressedSize;
    m_packedDone += item.compressedSize;
    m_progress.ratioPercent = m_readDone == 0 ? 0
        : static_cast<int>(100 - std::min<std::uint64_t>(m_packedDone * 100 / m_readDone, 100));
    m_events.overall(m_progress);
    return kDone;
}

int TestRun::run() {
    auto directory = readDirectory(m_volumes);
    if (!directory) return directory.error().code;
    m_directory = std::move(directory.value());
    for (const auto& item : m_directory.items) {
        ++m_progress.filesTotal;
        m_progress.bytesTotal += item.uncompressedSize;
    }
    if (const int code = checkOverlaps(); code != kDone) return code;
    const unsigned workers = workerCount();
    Pool pool(workers, [] { return std::make_unique<CheckContext>(); });
    m_pool = &pool;
    auto& inFlight = m_inFlight;
    std::uint64_t bytesInFlight = 0;
    for (;;) {
        if (m_events.aborted()) return kAborted;
        Unit next;
        while (inFlight.size() < workers * kUnitsPerWorker && bytesInFlight < workers * kBytesPerWorker &&
               (inFlight.empty() || !inFlight.back().inlineCheck) && produce(next, inFlight.empty())) {
            if (!next.inlineCheck && next.failure == 0) {
                next.result = std::make_shared<CheckResult>();
                const ZipItem* item = &m_directory.items[next.index];
                next.ticket = pool.submit([this, item, entry = next.entry, password = next.password,
                                           result = next.result](CheckContext& context) {
                    *result = checkEntry(context, *item, entry, password,
                                         [this](VolumePosition at, std::span<std::uint8_t> out) {
                                             return m_volumes.readOpen(at, out);
                                         });
                });
            }
            bytesInFlight += next.bytes;
            inFlight.push_back(std::move(next));
        }
        if (inFlight.empty()) break;
        Unit unit = std::move(inFlight.front());
        inFlight.pop_front();
        if (unit.ticket) pool.wait(unit.ticket);
        if (unit.inlineCheck && unit.failure == 0) {
            CheckContext context;
            unit.result = std::make_shared<CheckResult>(checkEntry(
                context, m_directory.items[unit.index], unit.entry, unit.password,
                [this](VolumePosition at, std::span<std::uint8_t> out) { return m_volumes.read(at, out); }));
        }
        bytesInFlight -= unit.bytes;
        if (const int code = finish(unit); code != kDone) return code;
    }
    if (m_failure != kDone) return m_failure;
    return m_events.hadWarnings() ? kDoneWithWarnings : kDone;
}

}  // namespace

int runTest(const ArchiveSettings& settings, OperationEvents& events) {
    if (settings.archivePath.empty()) return kBadArguments;
    try {
        return TestRun(settings, events).run();
    } catch (const std::bad_alloc&) {
        return kInternalError;
    } catch (const std::system_error&) {
        return kInternalError;
    }
}

}  // namespace corvane::archive
