#pragma once

#include "app/command_line.h"
#include "config/config_store.h"
#include "engine/backup_runner.h"
#include "host/command_state.h"
#include "host/host.h"
#include "host/run_flags.h"
#include "sets/set_document.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane {

// Starts the sibling programs (cvrest, cvtimer); tests record the requests instead.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    virtual Status start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// Starts programs found beside the running executable.
class SiblingLauncher final : public ProgramLauncher {
public:
    Status start(const std::string& program, const std::vector<std::string>& arguments) override;
};

// The services the program runs on: the real ones, or a test's fakes.
struct ProgramServices {
    Host& host;
    const Clock& clock;
    const FileSystem& fileSystem;
    const Drives& drives;
    archive::ArchiveComponent& component;
    ProgramLauncher& launcher;
};

// Exit status of an unattended run.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitBackupFailed = 1,
    kExitCancelled = 2,
    kExitSetNotOpened = 3,
    kExitTestFailed = 4,
    kExitOffsiteFailed = 5,  // backed up (and tested), but the off-site copy failed
    kExitUsage = 64,
};

struct LoadResult {
    RunMode mode = RunMode::Interactive;
    bool endProgram = false;  // an unattended run has ended the program
    int exitCode = kExitSuccess;
};

// The program-wide state of one run of Corvane (program folder, configuration, run flags, the
// open set, the pending archive) and its start-up, run modes and closing step.
class Program {
public:
    Program(std::string programFolder, ProgramServices services);

    // The main window's load step: prepares the program folder, loads the configuration, closes
    // any set and acts on the command line (an unattended backup runs here).
    LoadResult load(const std::string& commandLine);

    // Each time the main window becomes active: hands a pending archive to the restore program,
    // once. False when the restore program could not be started (the user was told).
    bool activate();

    // The closing step: closes the set (asking to save) and stores the configuration with the
    // CD capacity chosen during this run.
    void close();

    const std::string& programFolder() const { return m_programFolder; }
    ConfigStore& config() { return m_config; }
    RunFlags& flags() { return m_flags; }
    CommandState& commands() { return m_commands; }
    SetDocument& document() { return m_document; }
    BackupRunner& runner() { return m_runner; }
    const std::string& pendingArchive() const { return m_pendingArchive; }
    std::string& chosenCdCapacity() { return m_chosenCdCapacity; }

private:
    LoadResult runUnattended(const CommandLine& commandLine);
    // Has the desktop told about a run that failed or skipped files.
    void announceFailure(const std::string& setPath, int exitCode, int archiveCode);

    std::string m_programFolder;
    ProgramServices m_services;
    ConfigStore m_config;
    RunFlags m_flags;
    CommandState m_commands;
    SetDocument m_document;
    BackupRunner m_runner;
    std::string m_pendingArchive;
    std::string m_chosenCdCapacity;
};

}  // namespace corvane
