#include "engine/run_log.h"

#include "archive/result_codes.h"
#include "common/error_log.h"
#include "common/file_io.h"
#include "common/text.h"

namespace corvane {

RunLog::RunLog(std::string programFolder, const ConfigStore& config, const RunFlags& flags,
               const Clock& clock, Host& host)
    : m_programFolder(std::move(programFolder)),
      m_config(config),
      m_flags(flags),
      m_clock(clock),
      m_host(host) {}

void RunLog::check(const Status& written, const std::string& fileName) const {
    if (written || !m_reported.insert(fileName).second) return;
    m_host.reportProblem("cannot write " + m_programFolder + fileName + ": " +
                         written.error().description);
}

void RunLog::line(const std::string& text) const {
    if (m_config.record().logFile != 1) return;
    check(appendLogLines(m_programFolder + "Backup.log", {text}), "Backup.log");
}

void RunLog::started(const std::string& setPath, const std::string& archivePath) const {
    line("### Backup Started - " + trim(setPath) + " - " + dateTimeText(m_clock.now()) + " ###");
    line("### Backup Destination & Name:  " + trim(archivePath) + " ###");
}

void RunLog::complete() const {
    line("### Backup Operation Complete - " + dateTimeText(m_clock.now()) + " ###");
}

std::string RunLog::runKindPrefix() const {
    return m_flags.timedRun ? "Timed Backup - " : "Command Line Backup - ";
}

void RunLog::compressFailedBlock(int code, const std::string& setPath) const {
    const char* what =
        code == archive::kAborted ? "Backup operation cancelled." : "Error performing Backup.";
    check(appendErrorLogBlock(m_programFolder, runKindPrefix() + what,
                              "Error #    : " + std::to_string(code), setPath, m_clock.now()),
          "error.log");
}

void RunLog::skippedFileBlock(const std::string& fileName, const std::string& setPath) const {
    check(appendErrorLogBlock(m_programFolder, runKindPrefix() + "Skipped File",
                              "File Name:   " + trim(fileName), setPath, m_clock.now()),
          "error.log");
}

void RunLog::offsiteFailedBlock(int code, const std::string& reason,
                                const std::string& setPath) const {
    check(appendErrorLogBlock(m_programFolder, runKindPrefix() + "Off-site copy failed.",
                              "Error #    : " + std::to_string(code) + " - " + reason, setPath,
                              m_clock.now()),
          "error.log");
}

void RunLog::createTimedErrorMarker() const {
    check(createEmptyFile(m_programFolder + "TError.dat"), "TError.dat");
}

}  // namespace corvane
