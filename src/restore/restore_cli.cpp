// cvrest's command line: list, test and extract, with the terminal as the user's voice.
#include "restore/restore_cli.h"

#include "archive/result_codes.h"
#include "common/date_text.h"
#include "config/config_store.h"
#include "platform/program_folder.h"
#include "restore/cli_events.h"
#include "restore/restore_paths.h"
#include "restore/restorer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

namespace corvane::restore {

namespace {

constexpr const char* kWindowMissing =
    "cvrest: the restore window is not available in this build.\n";
constexpr const char* kNoDisplay =
    "cvrest: no display was found (DISPLAY or WAYLAND_DISPLAY is not set), so the restore "
    "window cannot open.\n";
constexpr const char* kCommands =
    "From the command line:\n"
    "  cvrest list ARCHIVE\n"
    "  cvrest test ARCHIVE\n"
    "  cvrest extract ARCHIVE -d FOLDER [PATTERN...]\n"
    "See cvrest --help.\n";

struct Arguments {
    std::string command;
    std::string archive;
    std::string destination;
    std::optional<std::string> overwrite;
    std::optional<std::string> passwordFile;
    int strip = 0;
    bool flat = false;
    bool yes = false;
    bool verbose = false;
    std::vector<std::string> patterns;
};

std::string absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::error_code error;
    const auto full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

// Parses the words after the command; an error text when they make no sense.
std::optional<std::string> parse(const std::vector<std::string>& words, Arguments& parsed) {
    bool optionsEnded = false;
    for (std::size_t at = 1; at < words.size(); ++at) {
        const std::string& word = words[at];
        const bool hasValue = at + 1 < words.size();
        const bool extract = parsed.command == "extract";
        const bool reads = parsed.command != "list";
        if (optionsEnded || word.empty() || word.front() != '-' || word == "-") {
            if (parsed.archive.empty()) {
                parsed.archive = word;
            } else if (reads) {
                parsed.patterns.push_back(word);
            } else {
                return "list takes one archive";
            }
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "-d" && extract && hasValue) {
            parsed.destination = words[++at];
        } else if (word == "--overwrite" && extract && hasValue) {
            parsed.overwrite = words[++at];
            if (!parsePolicy(*parsed.overwrite)) {
                return "--overwrite takes ask, newer, never, always or rename";
            }
        } else if (word == "--password-file" && reads && hasValue) {
            parsed.passwordFile = words[++at];
        } else if (word == "--strip" && extract && hasValue) {
            const std::string& count = words[++at];
            if (count.empty() || count.size() > 4 ||
                count.find_first_not_of("0123456789") != std::string::npos) {
                return "--strip takes a number of folders";
            }
            parsed.strip = std::stoi(count);
        } else if (word == "--flat" && extract) {
            parsed.flat = true;
        } else if ((word == "-y" || word == "--yes") && extract) {
            parsed.yes = true;
        } else if ((word == "-v" || word == "--verbose") && reads) {
            parsed.verbose = true;
        } else {
            return "unknown option or missing value: " + word;
        }
    }
    if (parsed.archive.empty()) return parsed.command + " needs an archive";
    return std::nullopt;
}

std::string sizeText(std::uint64_t bytes) {
    return std::to_string(bytes);
}

std::string momentText(std::int64_t nanoseconds) {
    return dateTimeText(TimePoint(
        std::chrono::duration_cast<TimePoint::duration>(std::chrono::nanoseconds(nanoseconds))));
}

std::string timeOf(const archive::ZipItem& item) {
    return momentText(item.modificationTimeNs());
}

int exitFor(RestoreStatus status) {
    switch (status) {
        case RestoreStatus::Done:
            return kExitOk;
        case RestoreStatus::DoneWithSkips:
            return kExitSkipped;
        case RestoreStatus::Cancelled:
            return kExitCancelled;
        case RestoreStatus::WrongPassword:
            return kExitWrongPassword;
        case RestoreStatus::VolumeMissing:
            return kExitVolumeMissing;
        case RestoreStatus::Failed:
        case RestoreStatus::NothingChosen:
            return kExitFailed;
    }
    return kExitFailed;
}

class Command {
public:
    Command(const Arguments& arguments, Console& console, const CommandContext& context,
            std::atomic<Restorer*>* running)
        : m_arguments(arguments),
          m_console(console),
          m_context(context),
          m_events(console, arguments.yes),
          m_restorer(m_events),
          m_running(running) {
        if (m_running != nullptr) m_running->store(&m_restorer);
    }
    ~Command() {
        if (m_running != nullptr) m_running->store(nullptr);
    }
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    int run();

private:
    int list();
    int test();
    int extract();
    bool prepareOptions();
    int listingFailed(int code);
    bool confirmOriginalPlace(std::size_t writes);
    bool answerConflicts(RestorePlan& plan, const archive::ArchiveListing& listing);
    void printSummary(const RestoreSummary& summary);

    const Arguments& m_arguments;
    Console& m_console;
    const CommandContext& m_context;
    CliEvents m_events;
    Restorer m_restorer;
    std::atomic<Restorer*>* m_running;
    RestoreOptions m_options;
    archive::ArchiveListing m_listing;
};

int Command::listingFailed(int code) {
    m_console.err("cvrest: " + printable(m_options.archivePath) + ": " +
                  archive::describeResult(code) + "\n");
    return exitFor(statusOf(code));
}

bool Command::prepareOptions() {
    m_options.archivePath = lastVolumeOf(absolute(m_arguments.archive));
    ConfigStore config(m_context.programFolder);
    config.reload();
    applyConfigDefaults(config.record(), m_options);
    if (m_arguments.overwrite) m_options.policy = *parsePolicy(*m_arguments.overwrite);
    m_options.destination = absolute(m_arguments.destination);
    m_options.stripFolders = m_arguments.strip;
    m_options.keepFolders = !m_arguments.flat;
    m_options.patterns = m_arguments.patterns;
    if (m_arguments.passwordFile) {
        const std::string& file = *m_arguments.passwordFile;
        auto text = file == "-" ? m_console.readLine() : m_console.readFile(file);
        if (!text) {
            m_console.err("cvrest: cannot read the password from " + printable(file) + "\n");
            return false;
        }
        // The first line, without its line end.
        m_options.password = text->substr(0, text->find_first_of("\r\n"));
        m_events.setPasswordGiven();
    }
    return true;
}

int Command::list() {
    if (const int code = m_restorer.list(m_options.archivePath, m_listing); code != 0) {
        return listingFailed(code);
    }
    std::uint64_t total = 0;
    const auto column = [](const std::string& text, std::size_t width) {
        return std::string(width - std::min(width, text.size()), ' ') + text;
    };
    m_console.out(column("Size", 14) + "  Modified             Name\n");
    // Entries of one run share their times: the last text is kept.
    std::int64_t lastNs = 0;
    std::string lastText;
    for (std::size_t at = 0; at < m_listing.items.size(); ++at) {
        const archive::ZipItem& item = m_listing.items[at];
        total += item.uncompressedSize;
        const std::int64_t ns = item.modificationTimeNs();
        if (lastText.empty() || ns != lastNs) {
            lastNs = ns;
            lastText = momentText(ns);
        }
        std::string line = column(item.isFolder() ? "-" : sizeText(item.uncompressedSize), 14);
        line += "  ";
        line += lastText;
        line += "  ";
        line += printable(item.name);
        if (item.isSymlink()) line += "  (link)";
        if (item.isEncrypted()) line += "  (encrypted)";
        if (m_listing.overlapping[at]) line += "  (shares data with another entry: not restored)";
        line += '\n';
        m_console.out(line);
    }
    m_console.out(std::to_string(m_listing.items.size()) + " entries, " + sizeText(total) +
                  " bytes\n");
    return kExitOk;
}

int Command::test() {
    if (const int code = m_restorer.list(m_options.archivePath, m_listing); code != 0) {
        return listingFailed(code);
    }
    const TestReport report = m_restorer.test(m_listing, m_options);
    m_events.endProgress();
    std::size_t failed = 0;
    for (const auto& entry : report.entries) {
        const bool ok = entry.code == archive::kDone;
        if (!ok) ++failed;
        if (ok && !m_arguments.verbose) continue;
        const std::string detail = entry.detail.empty() ? "" : " (" + entry.detail + ")";
        m_console.out(std::string(ok ? "OK      " : "FAILED  ") + printable(entry.name) +
                      (ok ? "" : ": " + std::string(archive::describeResult(entry.code)) + detail) +
                      "\n");
    }
    const std::string tested = std::to_string(report.entries.size());
    if (report.status == RestoreStatus::NothingChosen) {
        m_console.err("cvrest: no entry of the archive matches\n");
    } else if (report.archiveResult == archive::kDone) {
        m_console.out("All " + tested + " entries are OK.\n");
    } else if (failed > 0) {
        m_console.out(std::to_string(failed) + " of " + tested + " entries failed.\n");
    }
    if (report.archiveResult != archive::kDone && report.status != RestoreStatus::NothingChosen) {
        m_console.err("cvrest: test stopped: " +
                      std::string(archive::describeResult(report.archiveResult)) + "\n");
    }
    if (report.archiveResult == archive::kUnsupported) return kExitFailed;
    return exitFor(report.status);
}

bool Command::confirmOriginalPlace(std::size_t writes) {
    if (!m_options.toOriginalPlace() || !m_console.interactive() || m_arguments.yes) return true;
    m_console.err("Restore " + std::to_string(writes) +
                  " entries to their original places (their stored paths below /)? [y/N] ");
    const auto answer = m_console.readLine();
    return answer && (*answer == "y" || *answer == "Y" || *answer == "yes");
}

bool Command::answerConflicts(RestorePlan& plan, const archive::ArchiveListing& listing) {
    const auto conflicts = plan.conflicts();
    if (conflicts.empty()) return true;
    if (!m_console.interactive()) {
        m_console.err("cvrest: " + std::to_string(conflicts.size()) +
                      " files already exist and are kept (no terminal to ask; see --overwrite)\n");
        return true;
    }
    std::optional<Action> all;
    for (const std::size_t position : conflicts) {
        if (all) {
            plan.decide(position, *all);
            continue;
        }
        const PlannedEntry& entry = plan.entries[position];
        const archive::ZipItem& item = listing.items[entry.index];
        m_console.err(printable(plan.targetPath(entry)) + " exists (" +
                      sizeText(entry.existingSize) + " bytes, " + momentText(entry.existingTimeNs) +
                      "); the archive's copy: " + sizeText(item.uncompressedSize) + " bytes, " +
                      timeOf(item) +
                      ".\nReplace it? [y]es, [n]o, [b]oth (restore beside it), [A]ll, [N]one, "
                      "[q]uit: ");
        const auto answer = m_console.readLine();
        if (!answer || *answer == "q") return false;
        static const std::map<std::string, std::pair<Action, bool>> kAnswers = {
            {"y", {Action::Replace, false}}, {"n", {Action::Keep, false}},
            {"b", {Action::Beside, false}},  {"A", {Action::Replace, true}},
            {"N", {Action::Keep, true}},
        };
        const auto known = kAnswers.find(*answer);
        const auto [choice, forAll] =
            known != kAnswers.end() ? known->second : std::pair{Action::Keep, false};
        plan.decide(position, choice);
        if (forAll) all = choice;
    }
    return true;
}

void Command::printSummary(const RestoreSummary& summary) {
    std::size_t written = 0;
    for (const auto& entry : summary.entries) {
        if (entry.kind != EntryKind::Folder &&
            (entry.outcome == Outcome::Restored || entry.outcome == Outcome::Replaced ||
             entry.outcome == Outcome::Beside)) {
            ++written;
        }
    }
    std::string line = "Restored " + std::to_string(written) + " files and links under " +
                       printable(summary.destination);
    std::vector<std::string> details;
    const auto count = [&](Outcome outcome, const char* text) {
        const auto n = std::count_if(
            summary.entries.begin(), summary.entries.end(), [&](const EntryReport& entry) {
                return entry.kind != EntryKind::Folder && entry.outcome == outcome;
            });
        if (n > 0) details.push_back(std::to_string(n) + " " + text);
    };
    count(Outcome::Replaced, "replaced");
    count(Outcome::Beside, "restored beside an existing file");
    count(Outcome::Kept, "kept as they were");
    for (std::size_t at = 0; at < details.size(); ++at)
        line += (at == 0 ? " (" : ", ") + details[at] + (at + 1 == details.size() ? ")" : "");
    m_console.out(line + ".\n");
    const auto problems = summary.problems();
    if (!problems.empty()) {
        m_console.out("Not restored (" + std::to_string(problems.size()) + "):\n");
        for (const EntryReport* entry : problems) {
            m_console.out("  " + std::string(outcomeText(entry->outcome)) + "  " +
                          printable(entry->name) + ": " + printable(entry->reason) + "\n");
        }
    }
    if (!summary.message.empty()) m_console.err("cvrest: " + summary.message + "\n");
}

int Command::extract() {
    if (const int code = m_restorer.list(m_options.archivePath, m_listing); code != 0) {
        return listingFailed(code);
    }
    // A destination that is not there yet is made, as the user named it.
    if (!m_options.toOriginalPlace() && !makeFolders(m_options.destination)) {
        m_console.err("cvrest: cannot create the folder " + printable(m_options.destination) +
                      "\n");
        return kExitFailed;
    }
    auto plan = m_restorer.plan(m_listing, m_options);
    if (!plan) {
        m_console.err("cvrest: " + plan.error().description + "\n");
        return kExitFailed;
    }
    if (plan->entries.empty()) {
        m_console.err("cvrest: no entry of the archive matches\n");
        return kExitFailed;
    }
    if (!confirmOriginalPlace(plan->writeCount()) || !answerConflicts(*plan, m_listing)) {
        m_console.err("cvrest: nothing was restored\n");
        return kExitCancelled;
    }
    const RestoreSummary summary = m_restorer.run(*plan, m_listing, m_options);
    m_events.endProgress();
    printSummary(summary);
    return exitFor(summary.status);
}

int Command::run() {
    if (!prepareOptions()) return kExitFailed;
    // A name that is not there is a typing mistake, not a disk to ask for.
    std::error_code error;
    if (!std::filesystem::exists(m_options.archivePath, error)) {
        m_console.err("cvrest: " + printable(m_options.archivePath) + ": no such file\n");
        return kExitFailed;
    }
    if (m_arguments.command == "list") return list();
    if (m_arguments.command == "test") return test();
    return extract();
}

}  // namespace

std::string usageText() {
    return "usage: cvrest list ARCHIVE\n"
           "       cvrest test ARCHIVE [--password-file FILE] [-v] [PATTERN...]\n"
           "       cvrest extract ARCHIVE [-d FOLDER] [--overwrite POLICY] [--password-file FILE]\n"
           "                      [--strip N] [--flat] [-y] [PATTERN...]\n"
           "       cvrest --help | --version\n"
           "       cvrest [ARCHIVE]   the restore window (with a display)\n"
           "\n"
           "Lists, tests and restores Corvane archives (and other ZIP archives), single,\n"
           "split into volumes (give the last one, ARCHIVE.bac) or password-protected.\n"
           "\n"
           "  -d FOLDER             restore into FOLDER, keeping the stored folders; without it\n"
           "                        every file goes back to its original place (its stored path\n"
           "                        below /), which a terminal user confirms first\n"
           "  --overwrite POLICY    files already there: ask, newer (replace only by a newer\n"
           "                        copy), never, always, rename (restore beside as \"name "
           "(1)\");\n"
           "                        the default comes from the restore settings of Backup.cfg\n"
           "  --password-file FILE  read the password from the first line of FILE (- for\n"
           "                        standard input); otherwise a terminal user is asked\n"
           "  --strip N             leave out the first N folders of each stored path\n"
           "  --flat                put every file straight into FOLDER\n"
           "  -y, --yes             no questions: restore to the original place and write\n"
           "                        archives that expand far beyond their size\n"
           "  -v, --verbose         test: list every entry, not only the failed ones\n"
           "  PATTERN               restore or test only matching entries: * and ? match\n"
           "                        any characters; a folder takes everything in it\n"
           "\n"
           "Exit status: 0 done, 1 failed (unreadable or damaged archive, write error), 2\n"
           "cancelled, 3 done but entries were refused or failed (listed), 4 wrong or missing\n"
           "password, 5 a volume is missing, 64 bad usage.\n";
}

bool opensWindow(const std::vector<std::string>& arguments) {
    return arguments.empty() ||
           (arguments.size() == 1 && !arguments[0].empty() && arguments[0].front() != '-' &&
            arguments[0] != "list" && arguments[0] != "test" && arguments[0] != "extract");
}

int runCommandLine(const std::vector<std::string>& arguments, Console& console,
                   const CommandContext& context, std::atomic<Restorer*>* running) {
    if (opensWindow(arguments)) {
        console.err(context.windowsBuilt ? kNoDisplay : kWindowMissing);
        console.err(kCommands);
        return kExitUsage;
    }
    const std::string& first = arguments[0];
    if (first == "--help" || first == "-h") {
        console.out(usageText());
        return kExitOk;
    }
    if (first == "--version") {
        console.out("cvrest (Corvane) " + context.version + "\n");
        return kExitOk;
    }
    Arguments parsed;
    parsed.command = first;
    if (first != "list" && first != "test" && first != "extract") {
        console.err("cvrest: unknown command " + printable(first) + "\n" + usageText());
        return kExitUsage;
    }
    if (const auto problem = parse(arguments, parsed)) {
        console.err("cvrest: " + *problem + "\n" + usageText());
        return kExitUsage;
    }
    return Command(parsed, console, context, running).run();
}

}  // namespace corvane::restore
