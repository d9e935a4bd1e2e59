#include "archive/compress_plan.h"

#include "archive/result_codes.h"
#include "archive/winzip_aes.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <unordered_map>
#include <unordered_set>

namespace corvane::archive {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The handler's name, made safe: relative, no "." or ".." parts, folders ending in "/".
std::string cleanStoredName(const std::string& wanted, const SourceEntry& source) {
    std::string name = storedNameFor(wanted);
    if (name.empty()) return source.storedName;
    const bool folder = source.kind == SourceKind::Folder;
    if (folder && name.back() != '/') name += '/';
    if (!folder && name.back() == '/') name.pop_back();
    return name.empty() ? source.storedName : name;
}

// "Newer than the archived copy", at the precision the entry holds: the NTFS time (100 ns),
// else the extended timestamp (seconds), else the DOS time (2-second steps).
bool isNewer(const SourceEntry& source, const ZipItem& archived) {
    if (archived.ntfsMtime) {
        return ntfsTicksFromUnixNs(source.mtime * 1'000'000'000LL + source.mtimeNanoseconds) >
               *archived.ntfsMtime;
    }
    if (archived.unixMtime) return source.mtime > *archived.unixMtime;
    return toDosTime(source.mtime) > archived.dosTime;
}

// Raises the preprocessing event of one source and settles its stored name; false when the
// source is left out (its skip already reported).
int preprocessOne(OperationEvents& events, SourceEntry& source,
                  NameSet& names, bool& keep) {
    std::string stored = source.storedName;
    keep = false;
    if (!events.preprocessing(source.path, source.size, stored)) return kStoppedByHandler;
    if (events.aborted()) return kAborted;
    source.storedName = cleanStoredName(stored, source);
    if (source.storedName.size() > kMaxStoredName) {
        events.skipped(source.path, kSkipNameTooLong);
    } else if (!names.insert(source.storedName)) {
        events.skipped(source.path, kSkipDuplicateName);
    } else {
        keep = true;
    }
    return kDone;
}

int preprocess(OperationEvents& events, std::vector<SourceEntry>& sources) {
    std::vector<SourceEntry> kept;
    NameSet names;
    for (auto& source : sources) {
        bool keep = false;
        if (const int code = preprocessOne(events, source, names, keep); code != kDone) return code;
        if (keep) kept.push_back(std::move(source));
    }
    sources = std::move(kept);
    return kDone;
}

// True when the archived entry is protected as the run's password says: not at all without a
// password, else with WinZip AES under that very password (its verifier agrees).
bool protectionMatches(CompressPlan& plan, const ZipItem& item, const std::string& password) {
    if (password.empty()) return !item.isEncrypted();
    // Folders and links hold no data worth hiding: the writer never encrypts them.
    if (!item.isEncrypted() && (item.isFolder() || item.isSymlink())) return true;
    if (!item.isEncrypted() || !item.aes || item.aes->strength < 1 || item.aes->strength > 3) {
        return false;
    }
    auto& volumes = *plan.oldVolumes;
    const auto read = [&](VolumePosition at, std::span<std::uint8_t> out) {
        return volumes.read(at, out);
    };
    const auto data = readEntryHeader(item, read, plan.old->prefixBytes);
    if (!data || item.compressedSize < item.aes->overhead()) return false;
    std::vector<std::uint8_t> start(item.aes->saltLength() + zip::kAesVerifierSize);
    if (!volumes.read(data->dataStart, start)) return false;
    const auto salt = std::span(start).first(item.aes->saltLength());
    const AesKeys keys = deriveAesKeys(password, salt, item.aes->keyLength());
    return std::equal(keys.verifier.begin(), keys.verifier.end(), start.end() - 2);
}

// After an update every entry is protected as the run's password says: a plain entry is
// encrypted as it is copied, another is added again from its file when the run has it; only
// an entry that allows neither is kept as it was, with a warning.
enum class Protection { Matches, Encrypt, AddAgain };

Protection protectionOf(CompressPlan& plan, const ZipItem& item, const std::string& password) {
    if (protectionMatches(plan, item, password)) return Protection::Matches;
    return !item.isEncrypted() && !password.empty() ? Protection::Encrypt : Protection::AddAgain;
}

int planUpdate(const ArchiveSettings& settings, OperationEvents& events, CompressPlan& plan) {
    plan.oldVolumes = std::make_unique<VolumeReader>(settings.archivePath, &events);
    auto directory = readDirectory(*plan.oldVolumes);
    if (!directory) return directory.error().code;
    plan.old = std::move(directory.value());
    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t at = 0; at < plan.sources.size(); ++at)
        byName.emplace(plan.sources[at].storedName, at);
    std::vector<bool> placed(plan.sources.size(), false);
    for (std::size_t at = 0; at < plan.old->items.size(); ++at) {
        const ZipItem& item = plan.old->items[at];
        const auto match = byName.find(item.name);
        const bool hasSource = match != byName.end() && !placed[match->second];
        const bool newer = hasSource && isNewer(plan.sources[match->second], item);
        const bool keep = !hasSource || (newer && settings.skipIfNewer) ||
                          (!newer && settings.skipIfNotNewer);
        const Protection protection =
            keep ? protectionOf(plan, item, settings.password) : Protection::Matches;
        if (hasSource) placed[match->second] = true;
        if (!keep || (hasSource && protection == Protection::AddAgain)) {
            plan.steps.push_back({PlanStep::Kind::Add, match->second, false, at});
            continue;
        }
        if (hasSource) {
            events.skipped(plan.sources[match->second].path, newer ? kSkipNewer : kSkipNotNewer);
        }
        if (protection == Protection::AddAgain) events.skipped(item.name, kSkipProtectionKept);
        plan.steps.push_back({PlanStep::Kind::Copy, at, protection == Protection::Encrypt});
    }
    for (std::size_t at = 0; at < plan.sources.size(); ++at) {
        if (placed[at]) continue;
        if (settings.skipIfNotInArchive) {
            events.skipped(plan.sources[at].path, kSkipNotInArchive);
        } else {
            plan.steps.push_back({PlanStep::Kind::Add, at});
        }
    }
    return kDone;
}

}  // namespace

OwnOutput ownOutputOf(const ArchiveSettings& settings) {
    return OwnOutput(settings.archivePath, settings.useTempCopy ? settings.tempFolder : "",
                     settings.spanDisks);
}

int buildPlan(const ArchiveSettings& settings, OperationEvents& events, CompressPlan& plan) {
    const OwnOutput own = ownOutputOf(settings);
    const SelectionCallbacks callbacks{
        [&](const std::string& path, int reason) { events.skipped(path, reason); },
        [&] { return events.aborted(); }, nullptr, &own};
    if (!selectSources(settings.includes, settings.exclusions, callbacks, plan.sources)) {
        return kAborted;
    }
    if (const int code = preprocess(events, plan.sources); code != kDone) return code;
    if (settings.updating() && isRegularFile(settings.archivePath)) {
        if (const int code = planUpdate(settings, events, plan); code != kDone) return code;
    } else if (!settings.updating() || !settings.skipIfNotInArchive) {
        for (std::size_t at = 0; at < plan.sources.size(); ++at) {
            plan.steps.push_back({PlanStep::Kind::Add, at});
        }
    } else {
        for (const auto& source : plan.sources)
            events.skipped(source.path, kSkipNotInArchive);
    }
    bool encrypting = false;
    for (const auto& step : plan.steps) {
        encrypting = encrypting || step.encrypt;
        if (step.kind != PlanStep::Kind::Add) continue;
        ++plan.additions;
        plan.addedBytes += plan.sources[step.index].size;
    }
    if (plan.additions == 0 && !encrypting) {
        return events.hadWarnings() ? kDoneWithWarnings : kNothingToDo;
    }
    return kDone;
}

void CompressPlan::forgetBefore(std::size_t step) {
    if (step <= firstStep) return;
    const std::size_t source = steps[step - firstStep - 1].index + 1;
    steps.erase(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(step - firstStep));
    sources.erase(sources.begin(),
                  sources.begin() + static_cast<std::ptrdiff_t>(source - firstSource));
    firstStep = step;
    firstSource = source;
}

SourceFeed::SourceFeed(const ArchiveSettings& settings, OperationEvents& events, bool preprocess)
    : m_events(events), m_preprocess(preprocess), m_own(ownOutputOf(settings)) {
    m_walk = std::thread([this, includes = settings.includes, exclusions = settings.exclusions] {
        auto push = [this](Found found) {
            {
                // The walk waits while the run is far behind, so that what it found stays small.
                std::unique_lock lock(m_mutex);
                m_space.wait(lock, [&] { return m_found.size() < kFeedLimit || m_stop.load(); });
                m_found.push_back(std::move(found));
            }
            m_arrived.notify_one();
        };
        const SelectionCallbacks callbacks{[&](const std::string& path, int reason) {
                                               Found skip;
                                               skip.entry.path = path;
                                               skip.skipReason = reason;
                                               push(std::move(skip));
                                           },
                                           [this] { return m_stop.load() || m_events.aborted(); },
                                           [&](SourceEntry&& entry) {
                                               push(Found{std::move(entry), 0});
                                           },
                                           &m_own};
        std::vector<SourceEntry> unused;
        bool failed = false;
        try {
            selectSources(includes, exclusions, callbacks, unused);
        } catch (const std::exception&) {
            failed = true;  // out of memory: the run ends with kInternalError
        }
        {
            std::lock_guard lock(m_mutex);
            m_walkDone = true;
            m_failed = failed;
        }
        m_arrived.notify_one();
    });
}

namespace {
constexpr std::chrono::milliseconds kWalkWait{25};
}  // namespace

SourceFeed::~SourceFeed() {
    {
        std::lock_guard lock(m_mutex);
        m_stop.store(true);
    }
    m_space.notify_all();
    m_walk.join();
}

int SourceFeed::admit(CompressPlan& plan, bool wait) {
    std::deque<Found> found;
    bool done = false;
    {
        std::unique_lock lock(m_mutex);
        if (wait) m_arrived.wait_for(lock, kWalkWait, [&] { return !m_found.empty() || m_walkDone; });
        found.swap(m_found);
        done = m_walkDone;
        if (m_failed) return kInternalError;
    }
    m_space.notify_all();
    for (auto& item : found) {
        if (item.skipReason != 0) {
            m_events.skipped(item.entry.path, item.skipReason);
            continue;
        }
        bool keep = true;
        if (m_preprocess) {
            const int code = preprocessOne(m_events, item.entry, m_names, keep);
            if (code != kDone) return code;
        }
        if (!keep) continue;
        plan.steps.push_back({PlanStep::Kind::Add, plan.sourceCount()});
        ++plan.additions;
        plan.addedBytes += item.entry.size;
        plan.sources.push_back(std::move(item.entry));
    }
    if (m_events.aborted()) return kAborted;
    m_finished = done;
    return kDone;
}

}  // namespace corvane::archive
