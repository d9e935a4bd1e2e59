#pragma once

#include "common/file_io.h"
#include "common/result.h"

#include <string>
#include <vector>

namespace corvane {

// One entry of Favorite.dat: 150 bytes, one set path, space-padded.
struct FavoriteRecord {
    static constexpr std::size_t kSize = 150;

    std::string setPath;

    Bytes encode() const;
    static FavoriteRecord decode(const Bytes& bytes);
};

inline std::string favoriteListPath(const std::string& programFolder) {
    return programFolder + "Favorite.dat";
}

// Every whole record of Favorite.dat, trimmed; none when the file does not exist.
Result<std::vector<std::string>> readFavoriteList(const std::string& programFolder);

// Replaces Favorite.dat with `setPaths`, in order, through a temporary file.
Status writeFavoriteList(const std::string& programFolder,
                         const std::vector<std::string>& setPaths);

// After a successful backup: when no record holds `setPath` (both trimmed and upper-cased), it
// is written as record N + 1, N being the record count, except that a list of exactly 20
// records has its first record replaced.
Status addFavoriteAfterBackup(const std::string& programFolder, const std::string& setPath);

}  // namespace corvane
