#pragma once

#include "config/config_store.h"
#include "host/host.h"
#include "host/run_flags.h"
#include "platform/clock.h"

#include <set>
#include <string>

namespace corvane {

// The traces a run leaves in the program folder: Backup.log lines (only with LogFile on),
// error.log blocks (unattended runs, always) and TError.dat (timed runs).
class RunLog {
public:
    RunLog(std::string programFolder, const ConfigStore& config, const RunFlags& flags,
           const Clock& clock, Host& host);

    // One Backup.log line, when LogFile is on.
    void line(const std::string& text) const;
    void started(const std::string& setPath, const std::string& archivePath) const;
    void complete() const;

    // "Command Line Backup - " or "Timed Backup - " for error.log headers.
    std::string runKindPrefix() const;
    void compressFailedBlock(int code, const std::string& setPath) const;
    void skippedFileBlock(const std::string& fileName, const std::string& setPath) const;
    // The off-site copy failed: its error number and reason (the remote named in it).
    void offsiteFailedBlock(int code, const std::string& reason, const std::string& setPath) const;

    void createTimedErrorMarker() const;

private:
    // A log that cannot be written is reported to the host once per file and run.
    void check(const Status& written, const std::string& fileName) const;

    std::string m_programFolder;
    const ConfigStore& m_config;
    const RunFlags& m_flags;
    const Clock& m_clock;
    Host& m_host;
    mutable std::set<std::string> m_reported;
};

}  // namespace corvane
