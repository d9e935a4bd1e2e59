#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/config_record.h"

namespace corvane {

// Captions in the toolkit's mnemonic form: "&" marks the access key, "&&" shows one "&".
inline constexpr std::string_view kCompressionStyleCaption = "Compression Style";
inline constexpr std::string_view kAddNewCaption =
    "Add new found files in existing backups when backup archive exists";
inline constexpr std::string_view kFreshenCaption =
    "Only freshen files in existing backups when backup archive exists";
inline constexpr std::string_view kAddAllFoldersCaption =
    "Always include all found folders in current backup set";

// The "Compression Style" list of the options dialog, the new-set dialog and the wizard, in
// list order (unsorted).
inline constexpr std::array<std::string_view, 4> kCompressionItems = {
    "Normal", "High (Slowest)", "Low (Fastest)", "None"};

// The list position shown for a stored level; a level other than 0, 6 and 9 shows
// "Low (Fastest)".
std::size_t compressionIndexFor(int level);

// The level a list position stores; a position outside the list stores the normal level.
std::int16_t compressionLevelAt(std::size_t index);

// The four set options that the new-set dialog and the wizard show and store as the defaults.
struct SetOptionChoices {
    std::size_t compressionIndex = 0;
    bool addNew = false;
    bool freshen = false;
    bool addAllFolders = false;

    static SetOptionChoices fromRecord(const ConfigRecord& record);
    std::int16_t compression() const { return compressionLevelAt(compressionIndex); }
};

// A check-state field as a check box shows it, and back.
inline bool isChecked(std::int16_t field) { return field != 0; }
inline std::int16_t checkState(bool checked) { return checked ? 1 : 0; }

}  // namespace corvane
