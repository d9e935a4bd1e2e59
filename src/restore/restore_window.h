#pragma once

#include "config/config_record.h"
#include "host/host.h"
#include "restore/restore_tree.h"
#include "restore/restorer.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::restore {

// The steps the restore window goes through; each is one page of the window.
enum class WindowStep {
    Empty,       // no archive open
    Choose,      // the tree, the destination and the overwrite policy
    Conflicts,   // "ask": the files already there, each with the user's choice
    Running,     // the progress of a restore or test, with Cancel
    Summary,     // where the files went, and what was left out and why
    TestReport,  // a test's result, entry by entry
};

enum class DestinationKind { OriginalPlace, Folder };

// One file already where an entry goes, on the Conflicts page.
struct ConflictRow {
    std::string target;
    std::uint64_t archiveSize = 0;
    std::int64_t archiveTimeNs = 0;
    std::uint64_t diskSize = 0;
    std::int64_t diskTimeNs = 0;
    Action choice = Action::Keep;  // Replace, Keep or Beside
};

// What the Running page shows.
struct ProgressState {
    std::string operation;  // "Restoring Daily.bac" or "Testing Daily.bac"
    std::string name;       // the entry being read
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    int percent = 0;  // of the bytes
    bool cancelling = false;
};

// One line of the summary's list of entries that were not written, and why.
struct SkippedLine {
    std::string name;
    std::string outcome;  // "kept", "refused", "failed", "not restored"
    std::string reason;
};

// One line of a test's report.
struct TestLine {
    std::string name;
    bool ok = true;
    std::string result;  // "OK", or why not
};

// The model of the restore window (cvrest with a display): every rule of the window lives
// here and the window binds its widgets to it. It talks to the user through the Host (boxes,
// choosers, the password prompt, the event loop's turns) and tells the window that something
// changed through onChanged.
class RestoreWindow : private RestoreEvents {
public:
    RestoreWindow(Host& host, const ConfigRecord& config);

    // Opens an archive (any volume of a split set names the set); false, after saying why in a
    // box, when it cannot be read.
    bool open(const std::string& archivePath);
    // "Open Archive...": a chooser for .bac and .zip files and volumes.
    bool browseArchive();
    WindowStep step() const { return m_step; }
    const std::string& archivePath() const { return m_archivePath; }
    std::string title() const;
    const archive::ArchiveListing& listing() const { return m_listing; }

    // The tree, its check boxes and the filter box.
    const RestoreTree& tree() const { return m_tree; }
    // Goes up each time the tree's rows change (another archive, another filter), so that a
    // view knows to rebuild them; check boxes alone do not change it.
    std::size_t treeVersion() const { return m_treeVersion; }
    void setChecked(std::size_t node, bool checked);
    void setFilter(const std::string& text);
    // "12 files, 3.4 MB chosen".
    std::string chosenText() const;

    // The destination choices.
    DestinationKind destination() const { return m_destination; }
    void setDestination(DestinationKind kind);
    const std::string& folder() const { return m_folder; }
    void setFolder(const std::string& folder);
    bool browseFolder();
    bool keepFolders() const { return m_keepFolders; }
    void setKeepFolders(bool keep);
    int stripFolders() const { return m_stripFolders; }
    void setStripFolders(int count);
    // The folder choices apply to a chosen folder only; stripping needs the structure kept.
    bool folderChoicesEnabled() const { return m_destination == DestinationKind::Folder; }
    bool stripEnabled() const { return folderChoicesEnabled() && m_keepFolders; }

    OverwritePolicy policy() const { return m_policy; }
    void setPolicy(OverwritePolicy policy);
    bool systemValidate() const { return m_systemValidate; }
    void setSystemValidate(bool on);

    bool restoreEnabled() const;
    bool testEnabled() const {
        return m_step == WindowStep::Choose && !m_tree.chosenEntries().empty();
    }
    // "Restore": plans; with files already there under "ask" the Conflicts page comes next,
    // else the restore runs.
    void restore();
    // "Test": checks the chosen entries without writing anything.
    void test();

    // The Conflicts page.
    const std::vector<ConflictRow>& conflicts() const { return m_conflictRows; }
    void setConflictChoice(std::size_t row, Action choice);
    void setAllConflicts(Action choice);
    void continueRestore();
    void backToChoose();

    // The Running page; Cancel may be pressed while a restore or test runs.
    const ProgressState& progressState() const { return m_progress; }
    void cancel();

    // The Summary page.
    const RestoreSummary& summary() const { return m_summary; }
    std::string summaryHeadline() const;
    // The folder "Open folder" shows: the destination, or the deepest folder holding every
    // restored file; empty when nothing was written.
    std::string openFolderPath() const;
    // The entries left out (kept, refused, failed, not done), with why; folders that were
    // already there and kept their own mode and time are no news and stay out of the list.
    std::vector<SkippedLine> skippedLines() const;

    // The Test Report page.
    const std::vector<TestLine>& testLines() const { return m_testLines; }
    std::string testHeadline() const { return m_testHeadline; }

    std::function<void()> onChanged;

private:
    // RestoreEvents: the restore's questions, asked through the Host.
    void progress(const RestoreProgress& progress) override;
    std::optional<std::string> password(bool again) override;
    bool volumeMissing(int number, const std::string& expected, std::string& foundAt) override;
    bool confirmLargeOutput(std::uint64_t bytes, std::uint64_t archiveBytes) override;

    RestoreOptions options() const;
    void run();
    void changed() {
        if (onChanged) onChanged();
    }

    Host& m_host;
    Restorer m_restorer{*this};
    WindowStep m_step = WindowStep::Empty;
    std::string m_archivePath;
    archive::ArchiveListing m_listing;
    RestoreTree m_tree;
    std::size_t m_treeVersion = 0;
    DestinationKind m_destination = DestinationKind::Folder;
    std::string m_folder;
    bool m_keepFolders = true;
    int m_stripFolders = 0;
    OverwritePolicy m_policy;
    bool m_systemValidate;
    std::string m_password;
    std::optional<RestorePlan> m_plan;
    std::vector<std::size_t> m_conflictPositions;
    std::vector<ConflictRow> m_conflictRows;
    ProgressState m_progress;
    std::chrono::steady_clock::time_point m_lastTurn{};
    RestoreSummary m_summary;
    std::vector<TestLine> m_testLines;
    std::string m_testHeadline;
};

// "3.4 MB", "512 KB", "12 bytes".
std::string sizeText(std::uint64_t bytes);

// An entry's time as the tree shows it ("2026-12-04 10:30:00"); empty for none.
std::string entryTimeText(std::int64_t timeNs);

}  // namespace corvane::restore
