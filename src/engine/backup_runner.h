#pragma once

#include "engine/backup_type_dialog.h"
#include "engine/engine_context.h"
#include "engine/run_log.h"

#include <optional>
#include <string>

namespace corvane {

enum class RunOutcome {
    NotStarted,  // refused or cancelled before anything was written
    Succeeded,
    Failed,
    Cancelled,
    TestFailed,     // the backup succeeded, its test did not
    OffsiteFailed,  // the backup (and its test) succeeded, its off-site copy did not
};

struct UnattendedResult {
    RunOutcome outcome = RunOutcome::NotStarted;
    bool endProgram = true;
    int archiveCode = 0;  // the compress step's result code (527: files were skipped)
};

// Backs up the open set through the archive component, tests and previews archives, and keeps
// the logs and records of every run.
class BackupRunner {
public:
    explicit BackupRunner(EngineContext context);

    // An interactive backup after the backup-type dialog reported OK: preparation (destination,
    // drive checks, disk questions), the optional preview, the compress, the records and the
    // test that TestMode asks for.
    RunOutcome runInteractive(const BackupChoice& choice);

    // The unattended backup of the opened set: no questions, failures to error.log.
    UnattendedResult runUnattended();

    // "Te&st Backup": asks for an archive and tests it, with its three messages.
    void testChosenArchive();

    // The password of the last run, offered again to the component for tests.
    const std::string& currentPassword() const { return m_currentPassword; }

private:
    struct Prepared {
        std::string archivePath;
        bool clearDisks = false;
        std::uint64_t diskSize = 0;
    };

    std::optional<Prepared> prepare(const BackupChoice& choice);
    std::optional<std::string> chooseArchivePath();
    bool driveSuitsStyle(const std::string& archivePath);
    // The settings of the compress of every run, interactive or not: the set's lists, its
    // level, the style's spanning and, for a single archive that exists, the update switches.
    // The password is handed over separately, after any preview.
    archive::ArchiveSettings compressSettings(const std::string& archivePath,
                                              std::uint64_t diskSize) const;
    void applyExistingArchiveRules(archive::ArchiveSettings& settings) const;
    // With password protection on, the stored password becomes the run's current one (and is
    // returned); otherwise the current one is emptied.
    const std::string& handOverPassword();
    LocalDateTime today() const { return toLocal(m_context.clock.now()); }
    // Opens the progress window; its Cancel shows that the run is stopping and asks the
    // component to abort.
    ProgressView& openProgressView(ProgressKind kind);

    // The preview offered before a disk backup; false when the run is to end.
    bool offerPreview(const archive::ArchiveSettings& settings);
    void showPreviewResults(const std::string& archivePath, std::uint64_t estimatedBytes);
    // The compress step's result as the run takes it: "nothing to do" or "files skipped" with
    // no archive at the destination means none of the set's files was there (a drive not
    // mounted, say), so nothing was backed up and the run failed.
    int compressOutcome(int code, const std::string& archivePath) const;
    // Runs the test call with the progress window; returns the component's result.
    int runTest(const std::string& archivePath);
    void showTestResult(int code);
    void logTestResult(int code) const;
    void updateRecordsAfterBackup();

    // Sends the finished archive (its volumes first, when it was split into files side by side)
    // to the set's remote of Offsite.ini, when it has one. False when the copy failed or was
    // cancelled: the user is told (a box, or error.log when unattended); the archive stays.
    bool copyOffsite(const std::string& archivePath, int disksAsked);
    void reportOffsiteFailure(const std::string& what, const Error& error);

    EngineContext m_context;
    RunLog m_log;
    BackupStyle m_style = BackupStyle::SingleArchive;
    std::string m_currentPassword;
};

}  // namespace corvane
