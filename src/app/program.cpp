#include "app/program.h"

#include "app/failure_notice.h"
#include "common/text.h"
#include "platform/process.h"
#include "platform/program_folder.h"

#include <unistd.h>

namespace corvane {

Status SiblingLauncher::start(const std::string& program,
                              const std::vector<std::string>& arguments) {
    const auto started = startDetached(siblingProgram(program), arguments);
    if (!started) return started.error();
    return {};
}

Program::Program(std::string programFolder, ProgramServices services)
    : m_programFolder(withTrailingSeparator(std::move(programFolder))),
      m_services(services),
      m_config(m_programFolder),
      m_commands(services.host),
      m_document({m_programFolder, m_config, m_flags, services.host, m_commands, services.clock,
                  services.fileSystem}),
      m_runner({m_programFolder, m_config, m_flags, services.host, m_document, services.component,
                services.clock, services.drives, services.fileSystem}) {}

LoadResult Program::load(const std::string& commandLine) {
    // Every step runs with its errors passed over.
    makeFolders(m_programFolder + "Backup Sets");
    ::unlink((m_programFolder + "cvup").c_str());  // an updater left behind
    m_flags.commandLineRun = false;
    m_config.loadAtStart();
    m_document.closeSet();
    m_pendingArchive.clear();

    CommandLine parsed = parseCommandLine(commandLine);
    // Names, records and archives all derive from the path: a relative one ("Daily.cvt") has no
    // folder part and would lose the set's name, so it is made absolute before anything else.
    parsed.path = absolutePath(parsed.path);
    switch (parsed.mode) {
        case RunMode::Interactive:
            return {parsed.mode, false, kExitSuccess};
        case RunMode::ArchiveHandOff:
            m_pendingArchive = parsed.path;
            return {parsed.mode, false, kExitSuccess};
        case RunMode::CommandLineBackup:
        case RunMode::TimedBackup:
            return runUnattended(parsed);
    }
    return {};
}

LoadResult Program::runUnattended(const CommandLine& commandLine) {
    BusyPointer busy(m_services.host);
    m_flags.timedRun = commandLine.mode == RunMode::TimedBackup;
    m_flags.commandLineRun = true;
    BackupSet& set = m_document.set();
    set.setPath = commandLine.path;
    if (m_document.openSet() != OpenOutcome::Opened) {
        announceFailure(commandLine.path, kExitSetNotOpened, 0);
        return {commandLine.mode, true, kExitSetNotOpened};
    }
    set.setName = fileNameOf(trim(set.setPath), set.setFolder);
    const UnattendedResult result = m_runner.runUnattended();
    int exitCode = kExitSuccess;
    switch (result.outcome) {
        case RunOutcome::Succeeded:
        case RunOutcome::NotStarted:
            exitCode = kExitSuccess;
            break;
        case RunOutcome::Failed:
            exitCode = kExitBackupFailed;
            break;
        case RunOutcome::Cancelled:
            exitCode = kExitCancelled;
            break;
        case RunOutcome::TestFailed:
            exitCode = kExitTestFailed;
            break;
        case RunOutcome::OffsiteFailed:
            exitCode = kExitOffsiteFailed;
            break;
    }
    announceFailure(set.setPath, exitCode, result.archiveCode);
    return {commandLine.mode, result.endProgram, exitCode};
}

void Program::announceFailure(const std::string& setPath, int exitCode, int archiveCode) {
    const auto notice = failureNoticeFor(setPath, exitCode, archiveCode);
    if (!notice || !sessionBusAvailable()) return;
    // A process of its own shows the notice and waits for a click on it, so the run ends now.
    (void)m_services.launcher.start("corvane", notifyFailureArguments(*notice));
}

bool Program::activate() {
    if (m_pendingArchive.empty()) return true;
    const std::string archive = m_pendingArchive;
    m_pendingArchive.clear();
    const Status started = m_services.launcher.start("cvrest", {archive});
    if (!started) {
        m_services.host.message(Icon::Exclamation, Buttons::Ok, "Error Loading",
                                "Error loading the restore program (cvrest) to open '" + archive +
                                    "'.\r\n\r\nError:  " + started.error().description + ".");
        return false;
    }
    return true;
}

void Program::close() {
    m_document.closeSet();
    m_config.saveAtExit(m_chosenCdCapacity);
}

}  // namespace corvane
