#include "restore/restore_window.h"

#include "archive/result_codes.h"
#include "common/date_text.h"
#include "restore/restore_paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace corvane::restore {

namespace {

constexpr std::string_view kTitle = "Corvane Restore";
constexpr auto kTurnInterval = std::chrono::milliseconds(50);

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

bool isFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::size_t writtenFiles(const RestoreSummary& summary) {
    return static_cast<std::size_t>(
        std::count_if(summary.entries.begin(), summary.entries.end(), [](const auto& entry) {
            return entry.kind != EntryKind::Folder &&
                   (entry.outcome == Outcome::Restored || entry.outcome == Outcome::Replaced ||
                    entry.outcome == Outcome::Beside);
        }));
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string sizeText(std::uint64_t bytes) {
    char text[32];
    if (bytes < 1024) return plural(bytes, "byte", "bytes");
    if (bytes < 1024 * 1024) {
        std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(bytes) / 1024);
    } else if (bytes < std::uint64_t{1} << 30) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1 << 20));
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / (1 << 30));
    }
    return text;
}

std::string entryTimeText(std::int64_t timeNs) {
    if (timeNs == 0) return {};
    const auto since = std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::nanoseconds(timeNs));
    return dateTimeText(TimePoint(since));
}

RestoreWindow::RestoreWindow(Host& host, const ConfigRecord& config) : m_host(host) {
    RestoreOptions defaults;
    applyConfigDefaults(config, defaults);
    m_policy = defaults.policy;
    m_systemValidate = defaults.systemValidate;
}

bool RestoreWindow::open(const std::string& archivePath) {
    const std::string path = lastVolumeOf(archivePath);
    archive::ArchiveListing listing;
    // A path that names nothing is not a disk to ask for.
    int code = isFile(path) ? archive::kDone : archive::kCannotOpen;
    if (code == archive::kDone) {
        BusyPointer busy(m_host);
        code = m_restorer.list(path, listing);
    }
    if (code != archive::kDone) {
        m_host.message(Icon::Critical, Buttons::Ok, kTitle,
                       "The archive " + printable(path) +
                           " cannot be opened: " + archive::describeResult(code) + ".");
        return false;
    }
    m_archivePath = path;
    m_listing = std::move(listing);
    m_tree.build(m_listing);
    ++m_treeVersion;
    m_password.clear();
    m_plan.reset();
    m_step = WindowStep::Choose;
    changed();
    return true;
}

bool RestoreWindow::browseArchive() {
    FileRequest request;
    request.title = "Open Backup Archive";
    // The volumes' pattern is *.z followed by two question marks.
    request.filter =
        "Backup Archives (*.bac;*.zip)|*.bac;*.zip|Volumes of split archives "
        "(*.z\?\?)|*.z\?\?|All Files (*.*)|*.*";
    request.initialFolder = folderOf(m_archivePath);
    request.mustExist = true;
    const auto chosen = m_host.chooseOpenFiles(request);
    return !chosen.empty() && open(chosen.front());
}

std::string RestoreWindow::title() const {
    if (m_archivePath.empty()) return std::string(kTitle);
    return std::string(kTitle) + " - " + printable(fileNameOf(m_archivePath));
}

void RestoreWindow::setChecked(std::size_t node, bool checked) {
    m_tree.setChecked(node, checked);
    changed();
}

void RestoreWindow::setFilter(const std::string& text) {
    m_tree.setFilter(text);
    ++m_treeVersion;
    changed();
}

std::string RestoreWindow::chosenText() const {
    return plural(m_tree.chosenFiles(), "file", "files") + ", " + sizeText(m_tree.chosenBytes()) +
           " chosen";
}

void RestoreWindow::setDestination(DestinationKind kind) {
    m_destination = kind;
    changed();
}

void RestoreWindow::setFolder(const std::string& folder) {
    m_folder = folder;
    changed();
}

bool RestoreWindow::browseFolder() {
    const std::string chosen = m_host.chooseFolder("Restore to Folder");
    if (chosen.empty()) return false;
    m_folder = chosen;
    m_destination = DestinationKind::Folder;
    changed();
    return true;
}

void RestoreWindow::setKeepFolders(bool keep) {
    m_keepFolders = keep;
    changed();
}

void RestoreWindow::setStripFolders(int count) {
    m_stripFolders = std::clamp(count, 0, 64);
    changed();
}

void RestoreWindow::setPolicy(OverwritePolicy policy) {
    m_policy = policy;
    changed();
}

void RestoreWindow::setSystemValidate(bool on) {
    m_systemValidate = on;
    changed();
}

bool RestoreWindow::restoreEnabled() const {
    if (m_step != WindowStep::Choose || m_tree.chosenEntries().empty()) return false;
    return m_destination == DestinationKind::OriginalPlace || !m_folder.empty();
}

RestoreOptions RestoreWindow::options() const {
    RestoreOptions options;
    options.archivePath = m_archivePath;
    options.password = m_password;
    options.entries = m_tree.chosenEntries();
    if (m_destination == DestinationKind::Folder) {
        options.destination = m_folder;
        options.keepFolders = m_keepFolders;
        options.stripFolders = m_keepFolders ? m_stripFolders : 0;
    }
    options.policy = m_policy;
    options.systemValidate = m_systemValidate;
    return options;
}

void RestoreWindow::restore() {
    if (!restoreEnabled()) return;
    if (m_destination == DestinationKind::OriginalPlace &&
        m_host.message(Icon::Question, Buttons::YesNo, "Restore to Original Places",
                       "The chosen files go back to the places they were backed up from.\r\n\r\n"
                       "Do you want to continue?") != Answer::Yes) {
        return;
    }
    RestoreOptions planned = options();
    const auto left = m_tree.leftOutEntries();
    planned.entries->insert(planned.entries->end(), left.begin(), left.end());
    std::sort(planned.entries->begin(), planned.entries->end());
    auto plan = m_restorer.plan(m_listing, planned);
    if (!plan) {
        m_host.message(Icon::Critical, Buttons::Ok, kTitle,
                       "The restore cannot start: " + plan.error().description + ".");
        return;
    }
    m_plan = std::move(plan.value());
    m_conflictPositions = m_plan->conflicts();
    m_conflictRows.clear();
    for (const std::size_t position : m_conflictPositions) {
        const PlannedEntry& entry = m_plan->entries[position];
        const archive::ZipItem& item = m_listing.items[entry.index];
        m_conflictRows.push_back(ConflictRow{m_plan->targetPath(entry), item.uncompressedSize,
                                             item.modificationTimeNs(), entry.existingSize,
                                             entry.existingTimeNs, Action::Keep});
    }
    if (!m_conflictRows.empty()) {
        m_step = WindowStep::Conflicts;
        changed();
        return;
    }
    run();
}

void RestoreWindow::setConflictChoice(std::size_t row, Action choice) {
    if (row >= m_conflictRows.size()) return;
    if (choice == Action::Replace || choice == Action::Keep || choice == Action::Beside) {
        m_conflictRows[row].choice = choice;
    }
    changed();
}

void RestoreWindow::setAllConflicts(Action choice) {
    for (std::size_t row = 0; row < m_conflictRows.size(); ++row)
        setConflictChoice(row, choice);
}

void RestoreWindow::continueRestore() {
    if (m_step != WindowStep::Conflicts || !m_plan) return;
    for (std::size_t row = 0; row < m_conflictRows.size(); ++row)
        m_plan->decide(m_conflictPositions[row], m_conflictRows[row].choice);
    run();
}

void RestoreWindow::backToChoose() {
    if (m_step == WindowStep::Running || m_step == WindowStep::Empty) return;
    m_plan.reset();
    m_conflictRows.clear();
    m_step = WindowStep::Choose;
    changed();
}

void RestoreWindow::run() {
    m_progress =
        ProgressState{"Restoring " + printable(fileNameOf(m_archivePath)), {}, 0, 0, 0, false};
    m_step = WindowStep::Running;
    changed();
    m_summary = m_restorer.run(*m_plan, m_listing, options());
    m_plan.reset();
    m_step = WindowStep::Summary;
    changed();
}

void RestoreWindow::test() {
    if (!testEnabled()) return;
    m_progress =
        ProgressState{"Testing " + printable(fileNameOf(m_archivePath)), {}, 0, 0, 0, false};
    m_step = WindowStep::Running;
    changed();
    const TestReport report = m_restorer.test(m_listing, options());
    m_testLines.clear();
    std::size_t failed = 0;
    for (const auto& entry : report.entries) {
        const bool ok = entry.code == archive::kDone;
        failed += ok ? 0 : 1;
        m_testLines.push_back(TestLine{printable(entry.name), ok,
                                       ok ? "OK"
                                          : std::string(archive::describeResult(entry.code)) +
                                                (entry.detail.empty() ? "" : ": " + entry.detail)});
    }
    const std::string tested = plural(report.entries.size(), "entry", "entries");
    if (report.archiveResult == archive::kDone) {
        m_testHeadline = "All " + tested + " tested are OK.";
    } else if (report.status == RestoreStatus::Cancelled) {
        m_testHeadline = "The test was cancelled after " + tested + ".";
    } else {
        m_testHeadline = "The test found problems: " + plural(failed, "entry", "entries") +
                         " failed (" + archive::describeResult(report.archiveResult) + ").";
    }
    m_step = WindowStep::TestReport;
    changed();
}

void RestoreWindow::cancel() {
    if (m_step != WindowStep::Running) return;
    m_progress.cancelling = true;
    m_restorer.requestAbort();
    changed();
}

void RestoreWindow::progress(const RestoreProgress& progress) {
    m_progress.name = printable(progress.name);
    m_progress.filesDone = progress.filesDone;
    m_progress.filesTotal = progress.filesTotal;
    m_progress.percent = progress.bytesTotal == 0
                             ? 100
                             : static_cast<int>(progress.bytesDone * 100 / progress.bytesTotal);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastTurn < kTurnInterval && progress.filesDone != progress.filesTotal) return;
    m_lastTurn = now;
    changed();
    // The window's Cancel button is pressed during this turn.
    m_host.processPendingEvents();
}

std::optional<std::string> RestoreWindow::password(bool again) {
    if (again) {
        m_host.message(Icon::Exclamation, Buttons::Ok, kTitle,
                       "The password is not right for this archive. Please try again.");
    }
    const auto entered = m_host.askArchivePassword();
    if (!entered) {
        m_restorer.requestAbort();
        return std::nullopt;
    }
    m_password = *entered;
    return entered;
}

bool RestoreWindow::volumeMissing(int number, const std::string& expected, std::string& foundAt) {
    const std::string name = fileNameOf(expected);
    const std::string which = number == 0 ? "the last disk" : "disk #" + std::to_string(number);
    m_host.beep();
    const Answer answer =
        m_host.message(Icon::Information, Buttons::OkCancel, "Insert Disk",
                       "Please insert " + which + " of the set (" + printable(name) +
                           ").\r\n\r\nClick OK "
                           "when it is in, or Cancel to look for the file " +
                           printable(name) + " yourself.");
    if (answer == Answer::Ok) return true;
    FileRequest request;
    request.title = "Locate " + name;
    request.filter = name + "|" + name + "|All Files (*.*)|*.*";
    request.initialFolder = folderOf(expected);
    request.mustExist = true;
    const auto chosen = m_host.chooseOpenFiles(request);
    if (chosen.empty()) {
        m_restorer.requestAbort();
        return false;
    }
    foundAt = chosen.front();
    return true;
}

bool RestoreWindow::confirmLargeOutput(std::uint64_t bytes, std::uint64_t archiveBytes) {
    return m_host.message(Icon::Exclamation, Buttons::YesNo, "Large Restore",
                          "The chosen files would take " + sizeText(bytes) +
                              ", far more than the archive's " + sizeText(archiveBytes) +
                              ". Archives made to fill a disk look like this.\r\n\r\n"
                              "Do you want to restore them anyway?") == Answer::Yes;
}

std::string RestoreWindow::summaryHeadline() const {
    const std::string files = plural(writtenFiles(m_summary), "file", "files");
    const std::string where = printable(m_summary.destination);
    const std::size_t problems = m_summary.problems().size();
    switch (m_summary.status) {
        case RestoreStatus::Done:
            return "Restored " + files + " to " + where + ".";
        case RestoreStatus::DoneWithSkips:
            return "Restored " + files + " to " + where + "; " +
                   plural(problems, "entry was", "entries were") + " not restored (see the list).";
        case RestoreStatus::Cancelled:
            return "The restore was cancelled after " + files + ". Nothing was left half written." +
                   (m_summary.message.empty() ? "" : " " + m_summary.message);
        case RestoreStatus::WrongPassword:
            return "No password, or the wrong one, was given; the encrypted files were not "
                   "restored.";
        case RestoreStatus::VolumeMissing:
            return "A volume of the archive is missing; " + files + " were restored.";
        case RestoreStatus::NothingChosen:
            return "Nothing was chosen to restore.";
        case RestoreStatus::Failed:
            return "The restore failed: " +
                   (m_summary.message.empty()
                        ? std::string(archive::describeResult(m_summary.archiveResult))
                        : m_summary.message);
    }
    return {};
}

std::string RestoreWindow::openFolderPath() const {
    std::optional<std::string> common;
    for (const auto& entry : m_summary.entries) {
        if (entry.outcome != Outcome::Restored && entry.outcome != Outcome::Replaced &&
            entry.outcome != Outcome::Beside) {
            continue;
        }
        const std::string folder =
            entry.kind == EntryKind::Folder ? entry.target : folderOf(entry.target);
        if (!common) {
            common = folder;
            continue;
        }
        // The longest leading run of whole folders both share.
        std::size_t same = 0;
        while (same < common->size() && same < folder.size() && (*common)[same] == folder[same])
            ++same;
        const bool whole = (same == common->size() || (*common)[same] == '/') &&
                           (same == folder.size() || folder[same] == '/');
        if (!whole) same = common->rfind('/', same);
        common = common->substr(0, std::max<std::size_t>(same, 1));
    }
    if (!common) return {};
    if (m_destination == DestinationKind::Folder && !m_folder.empty()) return m_folder;
    return *common;
}

std::vector<SkippedLine> RestoreWindow::skippedLines() const {
    std::vector<SkippedLine> lines;
    for (const auto& entry : m_summary.entries) {
        switch (entry.outcome) {
            case Outcome::Restored:
            case Outcome::Replaced:
            case Outcome::Beside:
                continue;
            case Outcome::Kept:
                if (entry.kind == EntryKind::Folder) continue;
                break;
            case Outcome::Refused:
            case Outcome::Failed:
            case Outcome::NotDone:
                break;
        }
        lines.push_back(SkippedLine{printable(entry.name), outcomeText(entry.outcome),
                                    printable(entry.reason)});
    }
    return lines;
}

}  // namespace corvane::restore
