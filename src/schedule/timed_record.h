#pragma once

#include <string>

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

// After a timed run: writes `result` ("Success" or "Failed") into the LastResult field of the
// first record whose set path equals `setPath` (both trimmed, letter case significant), in place.
// No matching record: nothing is written.
Status recordTimedResult(const std::string& programFolder, const std::string& setPath,
                         const std::string& result);

}  // namespace corvane
