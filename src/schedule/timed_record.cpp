#include "schedule/timed_record.h"

#include "common/record_file.h"
#include "common/text.h"

namespace corvane {

Bytes TimedRecord::encode() const {
    Bytes bytes(kSize, ' ');
    writeFixedField(bytes, 0, kSetPathWidth, setPath);
    writeFixedField(bytes, kIntervalOffset, kIntervalWidth, interval);
    writeFixedField(bytes, kRunTimeOffset, kRunTimeWidth, runTime);
    writeFixedField(bytes, kNextRunDateOffset, kNextRunDateWidth, nextRunDate);
    writeFixedField(bytes, kLastResultOffset, kLastResultWidth, lastResult);
    return bytes;
}

TimedRecord TimedRecord::decode(const Bytes& bytes) {
    TimedRecord record;
    record.setPath = readFixedField(bytes, 0, kSetPathWidth);
    record.interval = readFixedField(bytes, kIntervalOffset, kIntervalWidth);
    record.runTime = readFixedField(bytes, kRunTimeOffset, kRunTimeWidth);
    record.nextRunDate = readFixedField(bytes, kNextRunDateOffset, kNextRunDateWidth);
    record.lastResult = readFixedField(bytes, kLastResultOffset, kLastResultWidth);
    return record;
}

Result<std::vector<TimedRecord>> readTimedList(const std::string& programFolder) {
    return RecordList<TimedRecord>(timedListPath(programFolder)).readAll();
}

Status writeTimedList(const std::string& programFolder, const std::vector<TimedRecord>& records) {
    return RecordList<TimedRecord>(timedListPath(programFolder)).rewriteAll(records);
}

Result<bool> writeTimedSchedule(const std::string& programFolder, std::size_t number,
                                const std::string& setPath, const std::string& runTime,
                                const std::string& nextRunDate) {
    const RecordFile file(timedListPath(programFolder), TimedRecord::kSize);
    const auto current = file.read(number);
    if (!current) return current.error();
    if (readFixedField(*current, 0, TimedRecord::kSetPathWidth) != trim(setPath)) return false;

    // RunTime and NextRunDate lie side by side, so one write covers both.
    static_assert(TimedRecord::kRunTimeOffset + TimedRecord::kRunTimeWidth ==
                  TimedRecord::kNextRunDateOffset);
    const std::string fields = fixedField(runTime, TimedRecord::kRunTimeWidth) +
                               fixedField(nextRunDate, TimedRecord::kNextRunDateWidth);
    if (Status written = file.writeWithin(number, TimedRecord::kRunTimeOffset, fields); !written) {
        return written.error();
    }
    return true;
}

Status recordTimedResult(const std::string& programFolder, const std::string& setPath,
                         const std::string& result) {
    const std::string wanted = trim(setPath);
    const auto changed =
        RecordList<TimedRecord>(timedListPath(programFolder))
            .changeFirst([&](const TimedRecord& record) { return record.setPath == wanted; },
                         [&](Bytes& record) {
                             writeFixedField(record, TimedRecord::kLastResultOffset,
                                             TimedRecord::kLastResultWidth, result);
                         });
    if (!changed) return changed.error();
    return {};
}

}  // namespace corvane
