#pragma once

#include <string>
#include <vector>

#include "common/date_text.h"
#include "common/file_io.h"
#include "common/result.h"

namespace corvane {

// One entry of Tasks.dat: 180 bytes, the set path and when it was last backed up.
struct TaskRecord {
    static constexpr std::size_t kSize = 180;
    static constexpr std::size_t kSetPathWidth = 150;
    static constexpr std::size_t kLastPerformedOffset = 150;
    static constexpr std::size_t kLastPerformedWidth = 30;

    std::string setPath;
    std::string lastPerformed = "N/A";

    Bytes encode() const;
    static TaskRecord decode(const Bytes& bytes);

    friend bool operator==(const TaskRecord&, const TaskRecord&) = default;
};

inline std::string taskListPath(const std::string& programFolder) {
    return programFolder + "Tasks.dat";
}

// Every whole record of Tasks.dat, decoded and trimmed; none when the file does not exist.
Result<std::vector<TaskRecord>> readTaskList(const std::string& programFolder);

// Replaces Tasks.dat with `records`, in order, through a temporary file.
Status writeTaskList(const std::string& programFolder, const std::vector<TaskRecord>& records);

// After a successful backup: stamps `when` into the first record whose set path equals `setPath`
// (both trimmed and upper-cased), in place. Never adds a record.
Status stampTask(const std::string& programFolder, const std::string& setPath, TimePoint when);

}  // namespace corvane
