#pragma once

#include <string>

#include "common/result.h"

namespace corvane {

// Favorite.dat: records of 150 bytes, each one set path, space-padded.
inline constexpr std::size_t kFavoriteRecordSize = 150;

inline std::string favoriteListPath(const std::string& programFolder) {
    return programFolder + "Favorite.dat";
}

// After a successful backup: when no record holds `setPath` (both trimmed and upper-cased), it
// is written as record N + 1, N being the record count, except that a list of exactly 20
// records has its first record replaced.
Status addFavoriteAfterBackup(const std::string& programFolder, const std::string& setPath);

}  // namespace corvane
