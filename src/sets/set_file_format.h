#pragma once

#include "common/result.h"
#include "config/config_record.h"
#include "sets/backup_set.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Where each part of a set file sits, by line number from 1. Entry lines follow the last of
// these, then the end line and the AllFolders line.
enum class SetLine : std::size_t {
    Header = 1,
    Options,
    SubFolders,
    Compression,
    Freshen,
    AddNew,
    DefaultLocation,
    Entries,
};
inline constexpr std::size_t kSetHeadLines = static_cast<std::size_t>(SetLine::Entries);

// The fields of a set file, one per line and split by place: what every reader and writer of
// the file agrees on. A field is the text between a line's first two double quotes, or the
// trimmed line when it holds no quote; a blank line is an empty field.
struct SetFileLines {
    std::vector<std::string> head;        // lines 1 to 8, as many as the file has
    std::vector<std::string> entries;     // the lines after line 8 up to the end line, as they are
    bool hasEndLine = false;              // "[END OF BACKUP]" was met
    std::optional<std::string> afterEnd;  // the line after it (the AllFolders line)
    std::string lastField;                // the file's very last field

    // The field of a head line; null when the file is shorter.
    const std::string* at(SetLine line) const;
    std::string* at(SetLine line);
};

SetFileLines splitSetFile(std::string_view text);

// The text of a file of `lines`: each field trimmed and quoted, lines ended by CR LF, then,
// when the head is complete, the entries, an end line and the AllFolders line if there is one.
std::string joinSetFile(const SetFileLines& lines);

// A set file as the program reads it. Options the file ends before are absent, so the caller
// keeps its defaults for them.
struct SetFileContents {
    bool compatible = false;  // the header test passed; nothing else is read otherwise
    std::optional<std::int16_t> subFolders;
    std::optional<std::int16_t> compression;
    std::optional<std::int16_t> freshen;
    std::optional<std::int16_t> addNew;
    std::optional<std::string> defaultLocation;
    std::vector<std::string> entries;  // fields of the entry lines, blank ones left out
    std::int16_t addAllFolders = 0;    // 0 also for a file without the line
    bool allFoldersMode = false;       // the file's last line is "AllFolders=1"
};

// Reads a set file's text without touching anything else. Option values follow the program's
// number rules: IncludeSubFolders strictly, the others leniently; a value that is not a number
// or does not fit is the error (13 or 6) of that conversion.
Result<SetFileContents> parseSetFile(std::string_view text);

// The text of a set file: one quoted field per line, lines ended by CR LF. Entry lines are the
// tree's nodes in index order, trimmed, without the three categories.
std::string formatSetFile(const BackupSet& set, const ConfigRecord& options);

// The text of `field` after its trimmed form's first `keyLength` characters (empty when shorter).
std::string valueAfterKey(std::string_view field, std::size_t keyLength);

}  // namespace corvane
