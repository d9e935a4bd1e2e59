#include "favorites/favorite_record.h"

#include "common/record_file.h"
#include "common/text.h"

namespace corvane {

Bytes FavoriteRecord::encode() const {
    Bytes bytes(kSize, ' ');
    writeFixedField(bytes, 0, kSize, setPath);
    return bytes;
}

FavoriteRecord FavoriteRecord::decode(const Bytes& bytes) {
    return {readFixedField(bytes, 0, kSize)};
}

Result<std::vector<std::string>> readFavoriteList(const std::string& programFolder) {
    const auto records = RecordList<FavoriteRecord>(favoriteListPath(programFolder)).readAll();
    if (!records) return records.error();
    std::vector<std::string> paths;
    paths.reserve(records->size());
    for (const FavoriteRecord& record : *records)
        paths.push_back(record.setPath);
    return paths;
}

Status writeFavoriteList(const std::string& programFolder,
                         const std::vector<std::string>& setPaths) {
    std::vector<FavoriteRecord> records;
    records.reserve(setPaths.size());
    for (const std::string& path : setPaths)
        records.push_back({path});
    return RecordList<FavoriteRecord>(favoriteListPath(programFolder)).rewriteAll(records);
}

Status addFavoriteAfterBackup(const std::string& programFolder, const std::string& setPath) {
    const RecordList<FavoriteRecord> list(favoriteListPath(programFolder));
    const auto records = list.readAll();
    if (!records) return records.error();
    const std::string wanted = toUpper(trim(setPath));
    for (const FavoriteRecord& record : *records) {
        if (toUpper(record.setPath) == wanted) return {};
    }
    const std::size_t count = records->size();
    return list.file().write(count == 20 ? 1 : count + 1, FavoriteRecord{trim(setPath)}.encode());
}

}  // namespace corvane
