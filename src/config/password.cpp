#include "config/password.h"

#include "common/text.h"
#include "config/config_record.h"

namespace corvane {

std::string shiftText(std::string_view text, ShiftDirection direction) {
    std::string shifted(text);
    const int by = direction == ShiftDirection::Down ? -3 : 3;
    for (char& c : shifted) {
        c = static_cast<char>(static_cast<unsigned char>(static_cast<unsigned char>(c) + by));
    }
    return shifted;
}

bool isStorablePassword(std::string_view password) {
    const std::string text = trim(password);
    return text.empty() || (text.front() != '#' && text.back() != '#');
}

std::string storedPasswordText(std::string_view password) {
    const std::string text = trim(password);
    return shiftText(cutAtCharBoundary(text, config_layout::kPasswordTextWidth),
                     ShiftDirection::Down);
}

std::string passwordFromStored(std::string_view storedText) {
    return shiftText(trim(storedText), ShiftDirection::Up);
}

}  // namespace corvane
