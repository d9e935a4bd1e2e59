#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "platform/clock.h"
#include "schedule/timed_record.h"

namespace corvane {

// The Timed Backups Manager's log, CVTimer.log in the program folder: one line per event, each
// opened by the date and time. Writing never fails the caller; a log past its size limit is
// moved to CVTimer.log.old and started afresh.
class ManagerLog {
public:
    static constexpr std::uintmax_t kSizeLimit = 1024 * 1024;

    ManagerLog(std::string programFolder, const Clock& clock);
    const std::string& path() const { return m_path; }
    void write(std::string_view line) const;

private:
    std::string m_path;
    const Clock& m_clock;
};

// The schedule as the manager carries it out: each pass reads Timed.dat, starts every entry
// that has fallen due, and moves it on by its period to the first moment after now (a period
// missed while the machine was off runs once). The move is written into the entry's RunTime
// and NextRunDate in place before the run starts; no other byte of the file is touched.
class TimedScheduler {
public:
    // Starts the timed run of one set: the program with "~~Timed" followed by the set path,
    // unchanged. Returns the run's process id (0 when it is not known).
    using StartRun = std::function<Result<int>(const std::string& setPath)>;

    TimedScheduler(std::string programFolder, const Clock& clock, StartRun startRun,
                   const ManagerLog& log);

    // One pass; returns the moment the next entry falls due, nullopt when none is scheduled.
    std::optional<TimePoint> runDue();

private:
    void reportStartFailure(const std::string& setPath, const Error& error);
    // Logs a problem with an entry once, not at every pass.
    void reportOnce(const std::string& key, const std::string& line);

    std::string m_programFolder;
    const Clock& m_clock;
    StartRun m_startRun;
    const ManagerLog& m_log;
    std::set<std::string> m_reported;
    // Runs started whose move could not be written: they are not started again.
    std::set<std::string> m_startedUnmoved;
    // The process of the last run started for each set path: a run still going when its set
    // falls due again is not started a second time over the same archive.
    std::map<std::string, int> m_runs;
};

// The tray icon's tip: the manager's name, then the entry of `records` that falls due first
// (its set's file name, time and date), or that nothing is scheduled.
std::string managerToolTip(const std::vector<TimedRecord>& records);

// The command-line argument of a timed run of `setPath`.
inline std::string timedRunArgument(const std::string& setPath) { return "~~Timed" + setPath; }

}  // namespace corvane
