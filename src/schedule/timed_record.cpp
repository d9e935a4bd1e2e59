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

Status recordTimedResult(const std::string& programFolder, const std::string& setPath,
                         const std::string& result) {
    const RecordFile file(timedListPath(programFolder), TimedRecord::kSize);
    const auto records = file.readAll();
    if (!records) return records.error();
    const std::string wanted = trim(setPath);
    for (std::size_t i = 0; i < records->size(); ++i) {
        Bytes record = (*records)[i];
        if (readFixedField(record, 0, TimedRecord::kSetPathWidth) != wanted) continue;
        writeFixedField(record, TimedRecord::kLastResultOffset, TimedRecord::kLastResultWidth,
                        result);
        return file.write(i + 1, record);
    }
    return {};
}

}  // namespace corvane
