#include "favorites/favorite_record.h"

#include "common/record_file.h"
#include "common/text.h"

namespace corvane {

Result<std::vector<std::string>> readFavoriteList(const std::string& programFolder) {
    const auto records = RecordFile(favoriteListPath(programFolder), kFavoriteRecordSize).readAll();
    if (!records) return records.error();
    std::vector<std::string> paths;
    paths.reserve(records->size());
    for (const Bytes& record : *records) {
        paths.push_back(readFixedField(record, 0, kFavoriteRecordSize));
    }
    return paths;
}

Status writeFavoriteList(const std::string& programFolder,
                         const std::vector<std::string>& setPaths) {
    std::vector<Bytes> encoded;
    encoded.reserve(setPaths.size());
    for (const std::string& path : setPaths) {
        Bytes record(kFavoriteRecordSize, ' ');
        writeFixedField(record, 0, kFavoriteRecordSize, path);
        encoded.push_back(std::move(record));
    }
    return RecordFile(favoriteListPath(programFolder), kFavoriteRecordSize).rewriteAll(encoded);
}

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
