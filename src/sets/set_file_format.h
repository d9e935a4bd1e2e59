#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_record.h"
#include "sets/backup_set.h"

namespace corvane {

// The header test: the first field must contain this text, letter case significant.
inline constexpr std::string_view kSetHeaderMark = "Corvane Set";
inline constexpr std::string_view kSetHeader = "Corvane Set - v6.0";
inline constexpr std::string_view kOptionsLine = "[OPTIONS]";
inline constexpr std::string_view kEntriesLine = "[FOLDERS/PATHS]";
inline constexpr std::string_view kEndLine = "[END OF BACKUP]";

// Option keys. Readers take option lines by position and cut these lengths off their front, so
// writers must keep both the order and the exact letters.
inline constexpr std::string_view kSubFoldersKey = "IncludeSubFolders=";
inline constexpr std::string_view kCompressionKey = "CompressionStyle=";
inline constexpr std::string_view kFreshenKey = "BackupFreshen=";
inline constexpr std::string_view kAddNewKey = "BackupAddNew=";
inline constexpr std::string_view kDefaultLocationKey = "DefaultLocation=";
inline constexpr std::string_view kAllFoldersKey = "AllFolders=";

// The text of a set file: one quoted field per line, lines ended by CR LF. Entry lines are the
// tree's nodes in index order, trimmed, without the three categories.
std::string formatSetFile(const BackupSet& set, const ConfigRecord& options);

// The fields of a set file, one per line: the text between the first two double quotes, or the
// trimmed line when it holds no quote. A blank line is an empty field.
std::vector<std::string> splitSetFields(std::string_view content);

// The text of `field` after its trimmed form's first `keyLength` characters (empty when shorter).
std::string valueAfterKey(std::string_view field, std::size_t keyLength);

}  // namespace corvane
