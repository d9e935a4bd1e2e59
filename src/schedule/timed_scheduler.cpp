#include "schedule/timed_scheduler.h"

#include "common/error_log.h"
#include "common/file_io.h"
#include "common/text.h"
#include "platform/process.h"
#include "schedule/schedule_rules.h"
#include "schedule/timed_record.h"

#include <filesystem>

namespace corvane {

ManagerLog::ManagerLog(std::string programFolder, const Clock& clock)
    : m_path(std::move(programFolder) + "CVTimer.log"), m_clock(clock) {}

void ManagerLog::write(std::string_view line) const {
    std::error_code ignored;
    if (std::filesystem::file_size(m_path, ignored) > kSizeLimit) {
        std::filesystem::rename(m_path, m_path + ".old", ignored);
    }
    (void)appendLogLines(m_path, {dateTimeText(m_clock.now()) + "  " + std::string(line)});
}

TimedScheduler::TimedScheduler(std::string programFolder, const Clock& clock, StartRun startRun,
                               const ManagerLog& log)
    : m_programFolder(std::move(programFolder)),
      m_clock(clock),
      m_startRun(std::move(startRun)),
      m_log(log) {}

void TimedScheduler::reportStartFailure(const std::string& setPath, const Error& error) {
    // A backup that never ran is a failed one: the list, error.log and the manager's log say so.
    m_log.write("Cannot start corvane " + timedRunArgument(setPath) + ": " + error.description);
    (void)recordTimedResult(m_programFolder, setPath, "Failed");
    (void)appendErrorLogBlock(
        m_programFolder, "Timed Backup - Error performing Backup.",
        "Error #    : " + std::to_string(error.code) +
            " - The backup program could not be started: " + error.description,
        setPath, m_clock.now());
}

void TimedScheduler::reportOnce(const std::string& key, const std::string& line) {
    if (m_reported.insert(key).second) m_log.write(line);
}

std::optional<TimePoint> TimedScheduler::runDue() {
    const auto records = readTimedList(m_programFolder);
    if (!records) {
        reportOnce(
            "read " + records.error().description,
            "Cannot read " + timedListPath(m_programFolder) + ": " + records.error().description);
        return std::nullopt;
    }
    std::optional<TimePoint> earliest;
    const auto consider = [&earliest](TimePoint moment) {
        if (!earliest || moment < *earliest) earliest = moment;
    };
    const TimePoint now = m_clock.now();
    for (std::size_t number = 1; number <= records->size(); ++number) {
        const TimedRecord& entry = (*records)[number - 1];
        if (entry.setPath.empty()) continue;
        const std::string key = std::to_string(number) + "|" + entry.setPath + "|" +
                                entry.nextRunDate + "|" + entry.runTime + "|" + entry.interval;
        const auto period = intervalPeriod(entry.interval);
        const auto due = dueMoment(entry.nextRunDate, entry.runTime);
        if (!period || !due) {
            reportOnce(key, "Skipped " + entry.setPath + ": the interval \"" + entry.interval +
                                "\", date \"" + entry.nextRunDate + "\" or time \"" +
                                entry.runTime + "\" is not valid");
            continue;
        }
        if (*due > now) {
            consider(*due);
            continue;
        }
        if (m_startedUnmoved.count(key) != 0) continue;

        const ScheduledRun next = nextRunAfter(*due, *period, now);
        const std::string nextDate = dateText(next.nextRunDate);
        const auto moved =
            writeTimedSchedule(m_programFolder, number, entry.setPath, next.runTime, nextDate);
        if (moved && !*moved) continue;  // the list changed under us; the next pass rereads it
        if (!moved) {
            m_log.write("Cannot move on " + entry.setPath + ": " + moved.error().description);
            m_startedUnmoved.insert(key);
        }
        if (const auto running = m_runs.find(entry.setPath);
            running != m_runs.end() && processExists(running->second)) {
            m_log.write("Not started corvane " + timedRunArgument(entry.setPath) +
                        ": its previous run (process " + std::to_string(running->second) +
                        ") is still going; next run " + nextDate + " " + next.runTime);
            if (moved) consider(*dueMoment(nextDate, next.runTime));
            continue;
        }
        const auto started = m_startRun(entry.setPath);
        if (started) {
            if (*started > 0) m_runs[entry.setPath] = *started;
            m_log.write("Started corvane " + timedRunArgument(entry.setPath) + "; next run " +
                        nextDate + " " + next.runTime);
        } else {
            reportStartFailure(entry.setPath, started.error());
        }
        if (moved) consider(*dueMoment(nextDate, next.runTime));
    }
    return earliest;
}

std::string managerToolTip(const std::vector<TimedRecord>& records) {
    std::string tip = "Corvane Timed Backups";
    const TimedRecord* first = nullptr;
    std::optional<TimePoint> earliest;
    for (const TimedRecord& record : records) {
        const auto due = dueMoment(trim(record.nextRunDate), trim(record.runTime));
        if (due && (!earliest || *due < *earliest)) {
            earliest = due;
            first = &record;
        }
    }
    if (first == nullptr) return tip + "\nNo timed backup is scheduled";
    std::string folder;
    const std::string time = trim(first->runTime).substr(0, 5);
    return tip + "\nNext: " + fileNameOf(trim(first->setPath), folder) + " at " + time + " on " +
           trim(first->nextRunDate);
}

}  // namespace corvane
