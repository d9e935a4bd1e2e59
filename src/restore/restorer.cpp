#include "restore/restorer.h"

#include "archive/result_codes.h"
#include "restore/disk_target.h"

#include <algorithm>
#include <map>

namespace corvane::restore {

namespace {

using archive::ArchiveListing;

constexpr std::uint64_t kOutputSlack = 1 << 20;

// The component's events, passed on to the restore's.
class Relay final : public archive::ArchiveObserver {
public:
    Relay(RestoreEvents& events, bool passwordGiven) : m_events(events), m_again(passwordGiven) {}

    void onFileProgress(const std::string& name, int, bool) override { m_progress.name = name; }
    void onOverallProgress(const archive::OverallProgress& overall) override {
        m_progress.filesDone = overall.filesDone;
        m_progress.filesTotal = overall.filesTotal;
        m_progress.bytesDone = overall.bytesDone;
        m_progress.bytesTotal = overall.bytesTotal;
        m_events.progress(m_progress);
    }
    bool onIntegrityWarning(const std::string&) override { return true; }
    bool onInsertDisk(int) override { return false; }
    bool onVolumeMissing(int number, const std::string& expected, std::string& foundAt) override {
        return m_events.volumeMissing(number, expected, foundAt);
    }
    bool onPasswordNeeded(std::string& password) override {
        const auto answer = m_events.password(m_again);
        m_again = true;
        if (!answer) return false;
        password = *answer;
        return true;
    }
    void onEntryResult(std::size_t index, int code, const std::string& detail) override {
        results[index] = {code, detail};
    }

    std::map<std::size_t, std::pair<int, std::string>> results;

private:
    RestoreEvents& m_events;
    bool m_again;
    RestoreProgress m_progress;
};

bool writes(const PlannedEntry& entry) {
    return entry.action == Action::Create || entry.action == Action::Replace ||
           entry.action == Action::Beside;
}

std::string failureText(int code, const std::string& detail) {
    switch (code) {
        case archive::kCrcMismatch:
        case archive::kNotZip:
            return "damaged in the archive: " + detail;
        case archive::kUnsupported:
            return "compressed or encrypted in a way this program cannot read";
        case archive::kWrongPassword:
            return "wrong password";
        default:
            return detail.empty() ? archive::describeResult(code) : detail;
    }
}

Outcome writtenOutcome(Action action) {
    return action == Action::Replace  ? Outcome::Replaced
           : action == Action::Beside ? Outcome::Beside
                                      : Outcome::Restored;
}

}  // namespace

const char* outcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Restored:
            return "restored";
        case Outcome::Replaced:
            return "replaced";
        case Outcome::Beside:
            return "restored beside";
        case Outcome::Kept:
            return "kept";
        case Outcome::Refused:
            return "refused";
        case Outcome::Failed:
            return "failed";
        case Outcome::NotDone:
            return "not restored";
    }
    return "";
}

std::size_t RestoreSummary::count(Outcome outcome) const {
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(),
                      [&](const auto& entry) { return entry.outcome == outcome; }));
}

std::vector<const EntryReport*> RestoreSummary::problems() const {
    std::vector<const EntryReport*> found;
    for (const auto& entry : entries) {
        if (entry.outcome == Outcome::Refused || entry.outcome == Outcome::Failed ||
            entry.outcome == Outcome::NotDone) {
            found.push_back(&entry);
        }
    }
    return found;
}

RestoreStatus statusOf(int archiveResult) {
    switch (archiveResult) {
        case archive::kDone:
        case archive::kDoneWithWarnings:
        case archive::kNothingToDo:
            return RestoreStatus::Done;
        case archive::kUnsupported:
            return RestoreStatus::DoneWithSkips;
        case archive::kAborted:
        case archive::kStoppedByHandler:
            return RestoreStatus::Cancelled;
        case archive::kWrongPassword:
            return RestoreStatus::WrongPassword;
        case archive::kVolumeMissing:
            return RestoreStatus::VolumeMissing;
        default:
            return RestoreStatus::Failed;
    }
}

void Restorer::requestAbort() {
    m_abort.store(true);
    m_archiver.requestAbort();
}

int Restorer::list(const std::string& archivePath, ArchiveListing& listing) {
    m_abort.store(false);
    Relay relay(m_events, false);
    archive::ArchiveSettings settings;
    settings.archivePath = archivePath;
    return m_archiver.list(settings, relay, listing);
}

RestoreSummary Restorer::run(RestorePlan& plan, const ArchiveListing& listing,
                             const RestoreOptions& options) {
    m_abort.store(false);
    RestoreSummary summary;
    summary.destination = plan.folders->rootPath();
    for (const std::size_t position : plan.conflicts())
        plan.decide(position, Action::Keep);
    std::vector<std::string> failures(plan.entries.size());
    int result = archive::kDone;
    Relay relay(m_events, !options.password.empty());
    DiskTarget target(plan, listing);
    const auto stopped = [this] { return m_abort.load(); };

    archive::ExtractRequest request;
    request.target = &target;
    request.expectedEntries = listing.items.size();
    const std::uint64_t declared = plan.declaredBytes(listing);
    const std::uint64_t usual = kOutputRatio * std::max<std::uint64_t>(listing.archiveBytes, 1);
    if (plan.entries.empty()) {
        summary.status = RestoreStatus::NothingChosen;
        summary.message = "No entry of the archive matches.";
        return summary;
    }
    // A restore that does not start lists no entries: the message says why.
    if (const auto shortfall = spaceShortfall(plan, listing)) {
        summary.status = RestoreStatus::Failed;
        summary.message = *shortfall + " Nothing was written.";
        summary.archiveResult = archive::kWriteFailed;
        return summary;
    }
    if (declared > usual && !options.allowLargeOutput &&
        !m_events.confirmLargeOutput(declared, listing.archiveBytes)) {
        summary.status = RestoreStatus::Cancelled;
        summary.message =
            "The restore would write far more than the archive holds; nothing "
            "was written.";
        summary.archiveResult = archive::kAborted;
        return summary;
    }
    request.outputLimit =
        declared > UINT64_MAX - kOutputSlack ? UINT64_MAX : declared + kOutputSlack;
    for (std::size_t at = 0; at < plan.entries.size() && !stopped(); ++at) {
        const PlannedEntry& entry = plan.entries[at];
        if (!writes(entry)) continue;
        if (Status made = plan.folders->make(entry.folder); !made) {
            failures[at] = made.error().description;
        } else if (entry.kind != EntryKind::Folder) {
            request.entries.push_back(entry.index);
        }
    }
    archive::ArchiveSettings settings;
    settings.archivePath = options.archivePath;
    settings.password = options.password;
    if (stopped()) {
        result = archive::kAborted;
    } else if (!request.entries.empty()) {
        result = m_archiver.extract(settings, request, relay);
    }
    if (!archive::isCancelled(result) && !stopped()) target.finishLinks(stopped);
    target.finishFolders();
    if (stopped() && result == archive::kDone) result = archive::kAborted;
    summary.status = statusOf(result);
    summary.archiveResult = result;

    for (std::size_t at = 0; at < plan.entries.size(); ++at) {
        const PlannedEntry& entry = plan.entries[at];
        EntryReport report{entry.index,
                           listing.items[entry.index].name,
                           entry.placed ? plan.targetPath(entry) : std::string(),
                           entry.kind,
                           Outcome::NotDone,
                           {}};
        if (entry.action == Action::Refuse) {
            report.outcome = Outcome::Refused;
            report.reason = entry.reason;
        } else if (entry.action == Action::Keep) {
            report.outcome = Outcome::Kept;
            report.reason = entry.reason;
        } else if (!failures[at].empty()) {
            report.outcome = Outcome::Failed;
            report.reason = failures[at];
        } else if (entry.kind == EntryKind::Folder) {
            report.outcome = plan.folders->state(entry.folder) == PathState::Folder
                                 ? writtenOutcome(entry.action)
                                 : Outcome::NotDone;
        } else if (const auto written = target.outcome(at)) {
            report.outcome = written->empty() ? writtenOutcome(entry.action) : Outcome::Refused;
            report.reason = *written;
        } else if (const auto found = relay.results.find(entry.index);
                   found != relay.results.end() && found->second.first != archive::kDone) {
            report.outcome = Outcome::Failed;
            report.reason = failureText(found->second.first, found->second.second);
        } else {
            report.reason = summary.status == RestoreStatus::Cancelled
                                ? "the restore was cancelled first"
                                : "the restore stopped first";
        }
        summary.entries.push_back(std::move(report));
    }
    if (summary.status == RestoreStatus::Done && !summary.problems().empty()) {
        summary.status = RestoreStatus::DoneWithSkips;
    }
    return summary;
}

TestReport Restorer::test(const ArchiveListing& listing, const RestoreOptions& options) {
    m_abort.store(false);
    archive::ExtractRequest request;
    request.expectedEntries = listing.items.size();
    for (std::size_t index = 0; index < listing.items.size(); ++index) {
        if (isChosen(options, index, listing.items[index].name)) request.entries.push_back(index);
    }
    TestReport report;
    if (request.entries.empty()) {
        report.status = RestoreStatus::NothingChosen;
        return report;
    }
    archive::ArchiveSettings settings;
    settings.archivePath = options.archivePath;
    settings.password = options.password;
    Relay relay(m_events, !options.password.empty());
    report.archiveResult = m_archiver.extract(settings, request, relay);
    report.status = statusOf(report.archiveResult);
    for (const std::size_t index : request.entries) {
        const auto found = relay.results.find(index);
        if (found == relay.results.end()) continue;
        report.entries.push_back(
            {index, listing.items[index].name, found->second.first, found->second.second});
    }
    return report;
}

}  // namespace corvane::restore
