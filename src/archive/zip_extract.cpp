// Test and extract, one code path: an archive is read through and every requested entry is
// checked, its decoded data going to a sink (extract) or nowhere (test). Workers check batches
// of entries from the volumes at hand; an entry on a volume that is not there is checked again
// on this thread, which may ask for the disk once nothing else is reading.
#include "archive/operations.h"
#include "archive/result_codes.h"
#include "archive/work_pool.h"
#include "archive/zip_check.h"

#include <algorithm>
#include <chrono>
#include <deque>

namespace corvane::archive {

namespace {

using Pool = WorkerPool<CheckContext>;

constexpr int kPasswordAttempts = 3;
// Entries are finished in order, so a large entry holds up the finishing of those after it;
// the other workers go on with up to this many batches meanwhile (an outcome is small).
constexpr std::size_t kUnitsPerWorker = 512;
constexpr std::uint64_t kBatchBytes = 1 << 20;
constexpr std::size_t kBatchEntries = 64;
// Deflate expands a byte to at most 1032 (258 bytes per 2-bit match): entries that share no
// bytes can never decode to more than this many times the data they hold.
constexpr std::uint64_t kMaxExpansion = 1100;
constexpr std::uint64_t kBudgetSlack = 1 << 20;
// While a large entry is decoded, progress is reported (and the caller's event loop turns)
// this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// The outcome for one entry; `absent` asks for a check on the calling thread.
struct EntryOutcome {
    CheckResult result;
    std::unique_ptr<EntrySink> sink;
    bool absent = false;
};

struct Unit {
    std::size_t first = 0;  // position in the run's entry list
    std::size_t count = 0;
    std::string password;
    std::shared_ptr<std::vector<EntryOutcome>> outcomes;
    Pool::TicketPtr ticket;
};

class ExtractRun {
public:
    ExtractRun(const ArchiveSettings& settings, const ExtractRequest& request,
               OperationEvents& events)
        : m_request(request),
          m_events(events),
          m_volumes(settings.archivePath, &events),
          m_password(settings.password) {}

    int run();

private:
    int prepare();
    bool produce(Unit& unit);
    int finish(Unit& unit);
    int finishEntry(std::size_t index, const std::string& password, EntryOutcome outcome);
    EntryOutcome checkOn(std::size_t index, const std::string& password, bool here,
                         CheckContext& context);
    void report(std::size_t index, const CheckResult& result);
    int refusedPassword() { return m_events.aborted() ? kAborted : kWrongPassword; }
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
    // The decoder of the calling thread, made the first time an entry is checked here.
    CheckContext& hereContext() {
        if (!m_here) m_here = std::make_unique<CheckContext>();
        return *m_here;
    }
    // Entries needing no decoding: left out because they overlap or cannot be read here.
    bool passedOver(std::size_t index) const {
        return m_overlapping[index] || !isReadable(m_directory.items[index]);
    }

    const ExtractRequest& m_request;
    OperationEvents& m_events;
    // Set when the run ends, and by a Cancel seen on this thread: workers stop decoding.
    std::atomic<bool> m_stop{false};
    VolumeReader m_volumes;
    ArchiveDirectory m_directory;
    std::vector<std::size_t> m_entries;  // the requested entries, in order
    std::vector<bool> m_overlapping;
    std::unique_ptr<DecodeBudget> m_budget;
    std::unique_ptr<CheckContext> m_here;
    std::string m_password;
    Pool* m_pool = nullptr;
    std::deque<Unit> m_inFlight;
    std::size_t m_next = 0;
    bool m_refused = false;  // the password was asked for and not given
    int m_failure = kDone;
    OverallProgress m_progress;
    std::uint64_t m_packedDone = 0;
    std::uint64_t m_readDone = 0;
    std::atomic<std::uint64_t> m_decoded{0};  // by the workers, entries in flight included
};

EntryOutcome ExtractRun::checkOn(std::size_t index, const std::string& password, bool here,
                                 CheckContext& context) {
    const ZipItem& item = m_directory.items[index];
    const ReadAt read = here ? ReadAt([this](VolumePosition at, std::span<std::uint8_t> out) {
        return m_volumes.read(at, out);
    })
                             : ReadAt([this](VolumePosition at, std::span<std::uint8_t> out) {
                                   return m_volumes.readOpen(at, out);
                               });
    EntryOutcome outcome;
    auto entry = readEntryHeader(item, read, m_directory.prefixBytes);
    if (!entry) {
        outcome.result = CheckResult{entry.error().code, false, entry.error().description};
    } else {
        CheckOutput output{m_request.target, index,
                           m_budget.get(),   [this] { return m_stop.load() || m_events.aborted(); },
                           &m_decoded,       nullptr};
        outcome.result = checkEntry(context, item, *entry, password, read, output);
        outcome.sink = std::move(output.sink);
    }
    outcome.absent = !here && outcome.result.code == kVolumeMissing;
    // A sink whose data failed a check is dropped here, on the thread that wrote it.
    if (outcome.result.code != kDone || outcome.absent) outcome.sink.reset();
    return outcome;
}

int ExtractRun::prepare() {
    auto directory = readDirectory(m_volumes);
    if (!directory) return directory.error().code;
    m_directory = std::move(directory.value());
    const std::size_t total = m_directory.items.size();
    if (m_request.expectedEntries != 0 && m_request.expectedEntries != total) return kNotZip;
    if (m_request.entries.empty()) {
        m_entries.resize(total);
        for (std::size_t at = 0; at < total; ++at)
            m_entries[at] = at;
    } else {
        m_entries = m_request.entries;
        if (!std::is_sorted(m_entries.begin(), m_entries.end()) ||
            std::adjacent_find(m_entries.begin(), m_entries.end()) != m_entries.end() ||
            m_entries.back() >= total) {
            return kBadArguments;
        }
    }
    m_volumes.openPresent();
    m_overlapping = findOverlaps(m_directory, m_volumes);
    std::uint64_t packed = 0;
    for (const std::size_t index : m_entries) {
        const ZipItem& item = m_directory.items[index];
        ++m_progress.filesTotal;
        m_progress.bytesTotal += item.uncompressedSize;
        if (!m_overlapping[index]) packed = std::min(packed + item.compressedSize, UINT64_MAX / 2);
    }
    // Entries that share no bytes hold at most the archive's size between them.
    const std::uint64_t bound = packed > (UINT64_MAX / 2 - kBudgetSlack) / kMaxExpansion
                                    ? UINT64_MAX / 2
                                    : packed * kMaxExpansion + kBudgetSlack;
    m_budget = std::make_unique<DecodeBudget>(
        m_request.outputLimit != 0 ? std::min(m_request.outputLimit, bound) : bound);
    return kDone;
}

bool ExtractRun::produce(Unit& unit) {
    if (m_next >= m_entries.size()) return false;
    unit = Unit{};
    unit.first = m_next;
    std::uint64_t bytes = 0;
    while (m_next < m_entries.size() && unit.count < kBatchEntries && bytes < kBatchBytes) {
        const std::size_t index = m_entries[m_next];
        const ZipItem& item = m_directory.items[index];
        if (item.isEncrypted() && !passedOver(index) && m_password.empty()) {
            if (unit.count > 0) break;  // ask once the entries before are done
            drain();
            std::string answer;
            if (!m_events.passwordNeeded(answer)) {
                m_refused = true;
                return false;
            }
            m_password = answer;
        }
        if (!passedOver(index)) bytes += item.compressedSize;
        ++unit.count;
        ++m_next;
    }
    unit.password = m_password;
    unit.outcomes = std::make_shared<std::vector<EntryOutcome>>(unit.count);
    unit.ticket =
        m_pool->submit([this, first = unit.first, count = unit.count, outcomes = unit.outcomes,
                        password = unit.password](CheckContext& context) {
            for (std::size_t at = 0; at < count; ++at) {
                const std::size_t index = m_entries[first + at];
                if (passedOver(index)) continue;
                (*outcomes)[at] = checkOn(index, password, false, context);
            }
        });
    return true;
}

void ExtractRun::report(std::size_t index, const CheckResult& result) {
    m_events.entryResult(index, result.code, result.detail);
}

int ExtractRun::finishEntry(std::size_t index, const std::string& password, EntryOutcome outcome) {
    const ZipItem& item = m_directory.items[index];
    if (m_overlapping[index]) {
        outcome.result = CheckResult{kNotZip, false, "shares its data with another entry"};
    } else if (!isReadable(item)) {
        outcome.result = CheckResult{kUnsupported, false, "unsupported method or encryption"};
    } else {
        std::string used = password;
        if (outcome.absent) {
            drain();
            outcome = checkOn(index, used, true, hereContext());
        }
        for (int attempt = 0; outcome.result.wrongPassword; ++attempt) {
            if (attempt == kPasswordAttempts) {
                report(index, outcome.result);
                return kWrongPassword;
            }
            drain();
            if (used == m_password) {
                std::string answer = m_password;
                if (!m_events.passwordNeeded(answer)) return refusedPassword();
                m_password = answer;
            }
            used = m_password;
            outcome = checkOn(index, used, true, hereContext());
        }
    }
    CheckResult& result = outcome.result;
    if (result.code == kAborted || result.code == kStoppedByHandler) return result.code;
    if (result.code == kDone && outcome.sink) {
        if (Status committed = outcome.sink->commit(); !committed) {
            result = CheckResult{kCannotCreate, false, committed.error().description};
        }
    }
    report(index, result);
    m_events.fileProgress(item.name, item.uncompressedSize, item.uncompressedSize, true);
    if (result.code == kUnsupported) {
        m_events.skipped(item.name, kSkipUnsupported);
        record(kUnsupported);
    } else if (result.code == kCannotCreate) {
        m_events.skipped(item.name, kSkipUnwritable);
    } else if (result.code == kWriteFailed) {
        return kWriteFailed;  // the device failed: the entries after it would fail too
    } else if (result.code != kDone) {
        if (!m_events.integrityWarning(item.name)) return kAborted;
        if (result.overBudget) return kNotZip;
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

int ExtractRun::finish(Unit& unit) {
    for (std::size_t at = 0; at < unit.count; ++at) {
        if (m_events.aborted()) return kAborted;
        const int code =
            finishEntry(m_entries[unit.first + at], unit.password, std::move((*unit.outcomes)[at]));
        if (code != kDone) return code;
    }
    return kDone;
}

int ExtractRun::run() {
    if (const int code = prepare(); code != kDone) return code;
    const unsigned workers = workerCount();
    Pool pool(workers, [] { return std::make_unique<CheckContext>(); });
    m_pool = &pool;
    // Destroyed before the pool: whatever way the run ends, the workers stop soon after.
    struct StopOnExit {
        std::atomic<bool>& stop;
        ~StopOnExit() { stop.store(true); }
    } stopOnExit{m_stop};
    for (;;) {
        if (m_events.aborted()) return kAborted;
        Unit next;
        while (m_inFlight.size() < workers * kUnitsPerWorker && produce(next)) {
            m_inFlight.push_back(std::move(next));
        }
        if (m_events.aborted()) return kAborted;
        if (m_refused) return refusedPassword();
        if (m_inFlight.empty()) break;
        Unit unit = std::move(m_inFlight.front());
        m_inFlight.pop_front();
        while (!pool.waitFor(unit.ticket, kProgressInterval)) {
            // A large entry: its bytes so far, without counting it as done.
            OverallProgress partial = m_progress;
            partial.bytesDone = std::clamp(m_decoded.load(std::memory_order_relaxed),
                                           m_progress.bytesDone, m_progress.bytesTotal);
            m_events.overall(partial);
            if (m_events.aborted()) return kAborted;
        }
        if (const int code = finish(unit); code != kDone) return code;
    }
    if (m_failure != kDone) return m_failure;
    return m_events.hadWarnings() ? kDoneWithWarnings : kDone;
}

int runGuarded(const ArchiveSettings& settings, const ExtractRequest& request,
               OperationEvents& events) {
    if (settings.archivePath.empty()) return kBadArguments;
    try {
        return ExtractRun(settings, request, events).run();
    } catch (const std::bad_alloc&) {
        return kInternalError;
    } catch (const std::system_error&) {
        return kInternalError;
    }
}

}  // namespace

int runExtract(const ArchiveSettings& settings, const ExtractRequest& request,
               OperationEvents& events) {
    return runGuarded(settings, request, events);
}

int runTest(const ArchiveSettings& settings, OperationEvents& events) {
    return runGuarded(settings, ExtractRequest{}, events);
}

}  // namespace corvane::archive
