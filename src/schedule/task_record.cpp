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
    const auto records = RecordFile(taskListPath(programFolder), TaskRecord::kSize).readAll();
    if (!records) return records.error();
    std::vector<TaskRecord> decoded;
    decoded.reserve(records->size());
    for (const Bytes& record : *records) decoded.push_back(TaskRecord::decode(record));
    return decoded;
}

Status writeTaskList(const std::string& programFolder, const std::vector<TaskRecord>& records) {
    std::vector<Bytes> encoded;
    encoded.reserve(records.size());
    for (const TaskRecord& record : records) encoded.push_back(record.encode());
    return RecordFile(taskListPath(programFolder), TaskRecord::kSize).rewriteAll(encoded);
}

Status stampTask(const std::string& programFolder, const std::string& setPath, TimePoint when) {
    const RecordFile file(taskListPath(programFolder), TaskRecord::kSize);
    const auto records = file.readAll();
    if (!records) return records.error();
    const std::string wanted = toUpper(trim(setPath));
    for (std::size_t i = 0; i < records->size(); ++i) {
        Bytes record = (*records)[i];
        if (toUpper(readFixedField(record, 0, TaskRecord::kSetPathWidth)) != wanted) continue;
        writeFixedField(record, TaskRecord::kLastPerformedOffset, TaskRecord::kLastPerformedWidth,
                        dateTimeText(when));
        return file.write(i + 1, record);
    }
    return {};
}

}  // namespace corvane
