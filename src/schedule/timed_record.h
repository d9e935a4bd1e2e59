#pragma once

#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/result.h"

namespace corvane {

// One entry of Timed.dat: 211 bytes of space-padded text fields.
struct TimedRecord {
    static constexpr std::size_t kSize = 211;
    static constexpr std::size_t kSetPathWidth = 150;
    static constexpr std::size_t kIntervalOffset = 150;
    static constexpr std::size_t kIntervalWidth = 14;
    static constexpr std::size_t kRunTimeOffset = 164;     // 150 + 14
    static constexpr std::size_t kRunTimeWidth = 20;
    static constexpr std::size_t kNextRunDateOffset = 184;  // 164 + 20
    static constexpr std::size_t kNextRunDateWidth = 20;
    static constexpr std::size_t kLastResultOffset = 204;   // 184 + 20
    static constexpr std::size_t kLastResultWidth = 7;

    std::string setPath;
    std::string interval;     // "Every 30 Days" ... "Every Hour"
    std::string runTime;      // "HH:MM:00"
    std::string nextRunDate;  // "YYYY-MM-DD"
    std::string lastResult = "N/A";

    Bytes encode() const;
    static TimedRecord decode(const Bytes& bytes);

    friend bool operator==(const TimedRecord&, const TimedRecord&) = default;
};

inline std::string timedListPath(const std::string& programFolder) {
    return programFolder + "Timed.dat";
}

// Every whole record of Timed.dat, decoded and trimmed; none when the file does not exist.
Result<std::vector<TimedRecord>> readTimedList(const std::string& programFolder);

// Replaces Timed.dat with `records`, in order, through a temporary file.
Status writeTimedList(const std::string& programFolder, const std::vector<TimedRecord>& records);

// The manager's move of an entry after starting it: writes RunTime and NextRunDate of record
// `number` (from 1) in place and leaves every other byte of the file alone, so a LastResult the
// run writes at the same time is never overwritten. Nothing is written when that record no
// longer holds `setPath` (the list changed under the manager); the result then tells false.
Result<bool> writeTimedSchedule(const std::string& programFolder, std::size_t number,
                                const std::string& setPath, const std::string& runTime,
                                const std::string& nextRunDate);

// After a timed run: writes `result` ("Success" or "Failed") into the LastResult field of the
// first record whose set path equals `setPath` (both trimmed, letter case significant), in place.
// No matching record: nothing is written.
Status recordTimedResult(const std::string& programFolder, const std::string& setPath,
                         const std::string& result);

}  // namespace corvane
