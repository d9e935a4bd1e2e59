#include "favorites/favorite_record.h"

#include "common/record_file.h"
#include "common/text.h"

namespace corvane {

Status addFavoriteAfterBackup(const std::string& programFolder, const std::string& setPath) {
    const RecordFile file(favoriteListPath(programFolder), kFavoriteRecordSize);
    const auto records = file.readAll();
    if (!records) return records.error();
    const std::string wanted = toUpper(trim(setPath));
    for (const Bytes& record : *records) {
        if (toUpper(readFixedField(record, 0, kFavoriteRecordSize)) == wanted) return {};
    }
    Bytes record(kFavoriteRecordSize, ' ');
    writeFixedField(record, 0, kFavoriteRecordSize, trim(setPath));
    const std::size_t count = records->size();
    return file.write(count == 20 ? 1 : count + 1, record);
}

}  // namespace corvane
