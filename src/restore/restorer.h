#pragma once

#include "archive/archiver.h"
#include "restore/restore_plan.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::restore {

// How a restore (or a test) ended, for the summary and the exit code.
enum class RestoreStatus {
    Done,           // everything chosen was restored or kept as the policy said
    DoneWithSkips,  // done, but entries were refused or failed (see the summary)
    Failed,         // the archive could not be read, or writing failed
    Cancelled,
    WrongPassword,
    VolumeMissing,
    NothingChosen,  // no entry matched
};

enum class Outcome {
    Restored,  // written where nothing was
    Replaced,  // written over what was there
    Beside,    // written under a numbered name beside what was there
    Kept,      // what was there stays (policy, the user's choice, an existing folder)
    Refused,   // not written: unsafe or impossible
    Failed,    // could not be read or written
    NotDone,   // the restore ended before it
};
const char* outcomeText(Outcome outcome);

struct EntryReport {
    std::size_t index = 0;  // in the listing
    std::string name;       // the stored name
    std::string target;     // where it went, or would have gone
    EntryKind kind = EntryKind::File;
    Outcome outcome = Outcome::NotDone;
    std::string reason;
};

struct RestoreSummary {
    RestoreStatus status = RestoreStatus::Done;
    int archiveResult = 0;  // the component's code
    std::string message;    // what stopped the restore, when something did
    std::string destination;
    std::vector<EntryReport> entries;

    std::size_t count(Outcome outcome) const;
    // Entries the user should hear about: refused, failed or not done.
    std::vector<const EntryReport*> problems() const;
};

// One line of a test's report.
struct TestedEntry {
    std::size_t index = 0;
    std::string name;
    int code = 0;  // kDone, or why it failed
    std::string detail;
};
struct TestReport {
    RestoreStatus status = RestoreStatus::Done;
    int archiveResult = 0;
    std::vector<TestedEntry> entries;
};

struct RestoreProgress {
    std::string name;  // the entry being restored
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

// What a restore tells and asks while it runs, on the calling thread. The restore window's
// model and the command line each answer it their way.
class RestoreEvents {
public:
    virtual ~RestoreEvents() = default;
    virtual void progress(const RestoreProgress& /*progress*/) {}
    // The password for the encrypted entries; `again` after a wrong one. nullopt: none given.
    virtual std::optional<std::string> password(bool /*again*/) { return std::nullopt; }
    // Volume `number` (1, 2, ...; 0 = the last) is not at `expected`. Return true to look
    // again (a disk was inserted), with `foundAt` set when the user located it elsewhere.
    virtual bool volumeMissing(int /*number*/, const std::string& /*expected*/,
                               std::string& /*foundAt*/) {
        return false;
    }
    // The chosen entries would write `bytes`, more than kOutputRatio times the archive's
    // `archiveBytes`: go on?
    virtual bool confirmLargeOutput(std::uint64_t /*bytes*/, std::uint64_t /*archiveBytes*/) {
        return false;
    }
};

// Lists, tests and restores archives with the archive component: plan() decides everything
// first, the caller answers the plan's conflicts, and run() writes.
class Restorer {
public:
    explicit Restorer(RestoreEvents& events) : m_events(events) {}

    // The archive's entries; a code of result_codes.h.
    int list(const std::string& archivePath, archive::ArchiveListing& listing);
    Result<RestorePlan> plan(const archive::ArchiveListing& listing,
                             const RestoreOptions& options) const {
        return makePlan(listing, options);
    }
    // Carries out a plan; conflicts still undecided keep what is there.
    RestoreSummary run(RestorePlan& plan, const archive::ArchiveListing& listing,
                       const RestoreOptions& options);
    // Checks the chosen entries (all when `entries` is empty) without writing anything.
    TestReport test(const archive::ArchiveListing& listing, const RestoreOptions& options);

    // From any thread, or from an event: the running operation stops soon after.
    void requestAbort();

private:
    RestoreEvents& m_events;
    archive::Archiver m_archiver;
    std::atomic<bool> m_abort{false};
};

// The status a component code stands for.
RestoreStatus statusOf(int archiveResult);

}  // namespace corvane::restore
