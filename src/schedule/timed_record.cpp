#include "schedule/timed_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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
    const auto records = RecordFile(timedListPath(programFolder), TimedRecord::kSize).readAll();
    if (!records) return records.error();
    std::vector<TimedRecord> decoded;
    decoded.reserve(records->size());
    for (const Bytes& record : *records) decoded.push_back(TimedRecord::decode(record));
    return decoded;
}

Status writeTimedList(const std::string& programFolder, const std::vector<TimedRecord>& records) {
    std::vector<Bytes> encoded;
    encoded.reserve(records.size());
    for (const TimedRecord& record : records) encoded.push_back(record.encode());
    return RecordFile(timedListPath(programFolder), TimedRecord::kSize).rewriteAll(encoded);
}

Result<bool> writeTimedSchedule(const std::string& programFolder, std::size_t number,
                                const std::string& setPath, const std::string& runTime,
                                const std::string& nextRunDate) {
    const std::string path = timedListPath(programFolder);
    const auto current = RecordFile(path, TimedRecord::kSize).read(number);
    if (!current) return current.error();
    if (readFixedField(*current, 0, TimedRecord::kSetPathWidth) != trim(setPath)) return false;

    // RunTime and NextRunDate lie side by side, so one write covers both.
    static_assert(TimedRecord::kRunTimeOffset + TimedRecord::kRunTimeWidth ==
                  TimedRecord::kNextRunDateOffset);
    const std::string fields = fixedField(runTime, TimedRecord::kRunTimeWidth) +
                               fixedField(nextRunDate, TimedRecord::kNextRunDateWidth);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return errorFromErrno(errno, path);
    const auto offset =
        static_cast<off_t>((number - 1) * TimedRecord::kSize + TimedRecord::kRunTimeOffset);
    std::size_t done = 0;
    while (done < fields.size()) {
        const ssize_t written = ::pwrite(fd, fields.data() + done, fields.size() - done,
                                         offset + static_cast<off_t>(done));
        if (written < 0) {
            if (errno == EINTR) continue;
            const Error error = errorFromErrno(errno, path);
            ::close(fd);
            return error;
        }
        done += static_cast<std::size_t>(written);
    }
    if (::close(fd) != 0) return errorFromErrno(errno, path);
    return true;
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
