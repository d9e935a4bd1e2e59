#include "schedule/task_record.h"

#include "common/record_file.h"
#include "common/text.h"

namespace corvane {

Bytes TaskRecord::encode() const {
    Bytes bytes(kSize, ' ');
    writeFixedField(bytes, 0, kSetPathWidth, setPath);
    writeFixedField(bytes, kLastPerformedOffset, kLastPerformedWidth, lastPerformed);
    return bytes;
}

TaskRecord TaskRecord::decode(const Bytes& bytes) {
    return {readFixedField(bytes, 0, kSetPathWidth),
            readFixedField(bytes, kLastPerformedOffset, kLastPerformedWidth)};
}

Result<std::vector<TaskRecord>> readTaskList(const std::string& programFolder) {
    return RecordList<TaskRecord>(taskListPath(programFolder)).readAll();
}

Status writeTaskList(const std::string& programFolder, const std::vector<TaskRecord>& records) {
    return RecordList<TaskRecord>(taskListPath(programFolder)).rewriteAll(records);
}

Status stampTask(const std::string& programFolder, const std::string& setPath, TimePoint when) {
    const std::string wanted = toUpper(trim(setPath));
    const auto changed =
        RecordList<TaskRecord>(taskListPath(programFolder))
            .changeFirst(
                [&](const TaskRecord& record) { return toUpper(record.setPath) == wanted; },
                [&](Bytes& record) {
                    writeFixedField(record, TaskRecord::kLastPerformedOffset,
                                    TaskRecord::kLastPerformedWidth, dateTimeText(when));
                });
    if (!changed) return changed.error();
    return {};
}

}  // namespace corvane
