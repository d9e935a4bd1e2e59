// The test operation: reads an archive through and checks every entry. Workers check batches
// of entries from the volumes at hand; an entry on a volume that is not there is checked again
// on this thread, which may ask for the disk once nothing else is reading.
#include "archive/operations.h"
#include "archive/result_codes.h"
#include "archive/work_pool.h"
#include "archive/zip_check.h"

#include <algorithm>
#include <deque>

namespace corvane::archive {

namespace {

using Pool = WorkerPool<CheckContext>;

constexpr int kPasswordAttempts = 3;
constexpr std::size_t kUnitsPerWorker = 8;
constexpr std::uint64_t kBatchBytes = 1 << 20;
constexpr std::size_t kBatchEntries = 64;

// The outcome for one entry; `absent` asks for a check on the calling thread.
struct EntryOutcome {
    CheckResult result;
    bool absent = false;
};

struct Unit {
    std::size_t first = 0;
    std::size_t count = 0;
    std::string password;
    std::shared_ptr<std::vector<EntryOutcome>> outcomes;
    Pool::TicketPtr ticket;
};

class TestRun {
public:
    TestRun(const ArchiveSettings& settings, OperationEvents& events)
        : m_events(events),
          m_volumes(settings.archivePath, &events),
          m_password(settings.password) {}

    int run();

private:
    int checkOverlaps();
    bool produce(Unit& unit);
    int finish(Unit& unit);
    int finishEntry(std::size_t index, const std::string& password, EntryOutcome outcome);
    CheckResult checkHere(const ZipItem& item, const std::string& password);
    // Waits for every check in flight, so that asking for a disk cannot close a volume a
    // worker reads.
    void drain() {
        for (auto& unit : m_inFlight) {
            if (unit.ticket) m_pool->wait(unit.ticket);
        }
    }
    void record(int code) {
        if (m_failure == kDone) m_failure = code;
    }

    OperationEvents& m_events;
    VolumeReader m_volumes;
    ArchiveDirectory m_directory;
    std::string m_password;
    Pool* m_pool = nullptr;
    std::deque<Unit> m_inFlight;
    std::size_t m_next = 0;
    bool m_refused = false;  // the password was asked for and not given
    int m_failure = kDone;
    OverallProgress m_progress;
    std::uint64_t m_packedDone = 0;
    std::uint64_t m_readDone = 0;
};

int TestRun::checkOverlaps() {
    const auto& items = m_directory.items;
    std::vector<std::size_t> order(items.size());
    for (std::size_t at = 0; at < order.size(); ++at)
        order[at] = at;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(items[a].diskStart, items[a].localOffset) <
               std::tie(items[b].diskStart, items[b].localOffset);
    });
    for (std::size_t at = 0; at < order.size(); ++at) {
        const ZipItem& item = items[order[at]];
        // The least an entry takes: its header with the name, and its data.
        const std::uint64_t end =
            item.localOffset + zip::kLocalHeaderSize + item.name.size() + item.compressedSize;
        const bool last = at + 1 == order.size();
        const bool clash = !last
                               ? items[order[at + 1]].diskStart == item.diskStart &&
                                     items[order[at + 1]].localOffset < end
                               : m_directory.end.centralDisk == item.diskStart &&
                                     m_directory.centralStart.offset <
                                         end + (item.diskStart == 0 ? m_directory.prefixBytes : 0);
        if (!clash) continue;
        if (!m_events.integrityWarning(last ? item.name : items[order[at + 1]].name))
            return kAborted;
        record(kNotZip);
    }
    return kDone;
}

bool TestRun::produce(Unit& unit) {
    if (m_next >= m_directory.items.size()) return false;
    unit = Unit{};
    unit.first = m_next;
    std::uint64_t bytes = 0;
    while (m_next < m_directory.items.size() && unit.count < kBatchEntries && bytes < kBatchBytes) {
        const ZipItem& item = m_directory.items[m_next];
        if (item.isEncrypted() && m_password.empty()) {
            if (unit.count > 0) break;  // ask once the entries before are done
            drain();
            std::string answer;
            if (!m_events.passwordNeeded(answer)) {
                m_refused = true;
                return false;
            }
            m_password = answer;
        }
        bytes += item.compressedSize;
        ++unit.count;
        ++m_next;
    }
    unit.password = m_password;
    unit.outcomes = std::make_shared<std::vector<EntryOutcome>>(unit.count);
    std::vector<const ZipItem*> items;
    for (std::size_t at = 0; at < unit.count; ++at)
        items.push_back(&m_directory.items[unit.first + at]);
    unit.ticket = m_pool->submit([this, items = std::move(items), outcomes = unit.outcomes,
                                  password = unit.password](CheckContext& context) {
        const ReadAt read = [this](VolumePosition at, std::span<std::uint8_t> out) {
            return m_volumes.readOpen(at, out);
        };
        for (std::size_t at = 0; at < items.size(); ++at) {
            auto& outcome = (*outcomes)[at];
            auto entry = readEntryHeader(*items[at], read, m_directory.prefixBytes);
            if (entry) outcome.result = checkEntry(context, *items[at], *entry, password, read);
            const int code = entry ? outcome.result.code : entry.error().code;
            if (!entry) outcome.result = CheckResult{code, false, entry.error().description};
            outcome.absent = code == kVolumeMissing;
        }
    });
    return true;
}

CheckResult TestRun::checkHere(const ZipItem& item, const std::string& password) {
    const ReadAt read = [this](VolumePosition at, std::span<std::uint8_t> out) {
        return m_volumes.read(at, out);
    };
    auto entry = readEntryHeader(item, read, m_directory.prefixBytes);
    if (!entry) return CheckResult{entry.error().code, false, entry.error().description};
    CheckContext context;
    return checkEntry(context, item, *entry, password, read);
}

int TestRun::finishEntry(std::size_t index, const std::string& password, EntryOutcome outcome) {
    const ZipItem& item = m_directory.items[index];
    CheckResult result = outcome.result;
    std::string used = password;
    if (outcome.absent) {
        drain();
        result = checkHere(item, used);
    }
    for (int attempt = 0; result.wrongPassword; ++attempt) {
        if (attempt == kPasswordAttempts) return kWrongPassword;
        drain();
        if (used == m_password) {
            std::string answer = m_password;
            if (!m_events.passwordNeeded(answer)) return kAborted;
            m_password = answer;
        }
        used = m_password;
        result = checkHere(item, used);
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
    m_progress.ratioPercent =
        m_readDone == 0
            ? 0
            : static_cast<int>(100 - std::min<std::uint64_t>(m_packedDone * 100 / m_readDone, 100));
    m_events.overall(m_progress);
    return kDone;
}

int TestRun::finish(Unit& unit) {
    for (std::size_t at = 0; at < unit.count; ++at) {
        if (m_events.aborted()) return kAborted;
        const int code = finishEntry(unit.first + at, unit.password, (*unit.outcomes)[at]);
        if (code != kDone) return code;
    }
    return kDone;
}

int TestRun::run() {
    auto directory = readDirectory(m_volumes);
    if (!directory) return directory.error().code;
    m_directory = std::move(directory.value());
    m_volumes.openPresent();
    for (const auto& item : m_directory.items) {
        ++m_progress.filesTotal;
        m_progress.bytesTotal += item.uncompressedSize;
    }
    if (const int code = checkOverlaps(); code != kDone) return code;
    const unsigned workers = workerCount();
    Pool pool(workers, [] { return std::make_unique<CheckContext>(); });
    m_pool = &pool;
    for (;;) {
        if (m_events.aborted()) return kAborted;
        Unit next;
        while (m_inFlight.size() < workers * kUnitsPerWorker && produce(next)) {
            m_inFlight.push_back(std::move(next));
        }
        if (m_events.aborted() || m_refused) return kAborted;
        if (m_inFlight.empty()) break;
        Unit unit = std::move(m_inFlight.front());
        m_inFlight.pop_front();
        pool.wait(unit.ticket);
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
