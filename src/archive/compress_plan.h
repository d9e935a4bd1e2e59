#pragma once

#include "archive/file_selection.h"
#include "archive/name_set.h"
#include "archive/operations.h"
#include "archive/zip_in.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_set>
#include <vector>

namespace corvane::archive {

// One entry of the new archive, in order: a source file to add, or an entry of the existing
// archive to copy unchanged.
struct PlanStep {
    enum class Kind { Add, Copy };
    Kind kind = Kind::Add;
    std::size_t index = 0;  // into CompressPlan::sources or the old directory's items
    bool encrypt = false;   // Copy: a plain entry encrypted on the way with the run's password
    // Add: the old directory's entry this file replaces, kept when the file cannot be read.
    std::size_t replaces = kNoEntry;

    static constexpr std::size_t kNoEntry = ~std::size_t{0};
};

struct CompressPlan {
    std::vector<SourceEntry> sources;
    std::unique_ptr<VolumeReader> oldVolumes;
    std::optional<ArchiveDirectory> old;
    std::vector<PlanStep> steps;
    std::size_t additions = 0;
    std::uint64_t addedBytes = 0;
    // A plan fed while the run goes forgets what is written: steps and sources are then
    // numbered from these (a step's index is its source's number).
    std::size_t firstStep = 0;
    std::size_t firstSource = 0;

    PlanStep& step(std::size_t at) { return steps[at - firstStep]; }
    SourceEntry& source(std::size_t at) { return sources[at - firstSource]; }
    std::size_t stepCount() const { return firstStep + steps.size(); }
    std::size_t sourceCount() const { return firstSource + sources.size(); }
    // Drops the steps before `step`, and their sources; only for a plan of additions in order.
    void forgetBefore(std::size_t step);
};

// Selects the files, raises the preprocessing events, and decides file by file what the new
// archive holds. Returns kDone when there is an archive to write, else the run's result.
int buildPlan(const ArchiveSettings& settings, OperationEvents& events, CompressPlan& plan);

// The files the run itself writes, which the selection leaves out.
OwnOutput ownOutputOf(const ArchiveSettings& settings);

// The selection of a plain run (no update, a single archive) or of a preview, walked on a
// thread of its own and handed over as it goes, so that work starts while folders are still
// being listed. Its events are raised on the calling thread, from admit().
class SourceFeed {
public:
    // `preprocess`: raise the preprocessing events (compress) or not (preview).
    SourceFeed(const ArchiveSettings& settings, OperationEvents& events, bool preprocess);
    ~SourceFeed();  // stops the walk
    SourceFeed(const SourceFeed&) = delete;
    SourceFeed& operator=(const SourceFeed&) = delete;

    // Moves what the walk has found into the plan, raising the skipped and preprocessing
    // events; when `wait` is set, waits for something new first, but never longer than a short
    // while, so the caller can raise a progress event during a slow walk. kDone, or the code that ends
    // the run (a handler said stop, or the abort request).
    int admit(CompressPlan& plan, bool wait);
    // The walk has ended and everything it found is in the plan.
    bool finished() const { return m_finished; }

private:
    struct Found {
        SourceEntry entry;
        int skipReason = 0;  // non-zero: `entry.path` was skipped for this reason
    };

    OperationEvents& m_events;
    bool m_preprocess;
    const OwnOutput m_own;
    std::thread m_walk;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_space;
    static constexpr std::size_t kFeedLimit = 8192;
    std::deque<Found> m_found;
    bool m_walkDone = false;
    bool m_failed = false;
    bool m_finished = false;
    std::atomic<bool> m_stop{false};
    NameSet m_names;  // the stored names taken so far
};

// The longest stored name accepted (a header must fit in the smallest volume).
inline constexpr std::size_t kMaxStoredName = 32 * 1024;

}  // namespace corvane::archive
