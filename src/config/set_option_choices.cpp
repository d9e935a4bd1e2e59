#include "config/set_option_choices.h"

namespace corvane {

namespace {
constexpr std::array<std::int16_t, kCompressionItems.size()> kLevels = {6, 9, 1, 0};
}  // namespace

std::size_t compressionIndexFor(int level) {
    switch (level) {
        case 6: return 0;
        case 9: return 1;
        case 0: return 3;
        default: return 2;
    }
}

std::int16_t compressionLevelAt(std::size_t index) {
    return index < kLevels.size() ? kLevels[index] : kLevels[0];
}

SetOptionChoices SetOptionChoices::fromRecord(const ConfigRecord& record) {
    return {compressionIndexFor(record.compression), isChecked(record.addNew),
            isChecked(record.freshen), isChecked(record.addAllFolders)};
}

}  // namespace corvane
