#include "common/number_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace corvane {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the leading number of `text` as plain digits for strtod; returns how many characters
// it used (0 when no digit was found).
std::size_t scanNumber(std::string_view text, bool allowInnerBlanks, std::string& number) {
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) number += text[at++];
    bool digits = false;
    const auto takeDigits = [&] {
        while (at < text.size()) {
            if (isDigit(text[at])) {
                number += text[at++];
                digits = true;
            } else if (allowInnerBlanks && isBlank(text[at])) {
                ++at;
            } else {
                break;
            }
        }
    };
    takeDigits();
    if (at < text.size() && text[at] == '.') {
        number += text[at++];
        takeDigits();
    }
    if (!digits) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E' || text[at] == 'd' ||
                             text[at] == 'D')) {
        std::size_t exponentAt = at + 1;
        std::string exponent = "e";
        if (exponentAt < text.size() && (text[exponentAt] == '-' || text[exponentAt] == '+')) {
            exponent += text[exponentAt++];
        }
        if (exponentAt < text.size() && isDigit(text[exponentAt])) {
            while (exponentAt < text.size() && isDigit(text[exponentAt])) {
                exponent += text[exponentAt++];
            }
            number += exponent;
            at = exponentAt;
        }
    }
    return at;
}

}  // namespace

double leadingNumber(std::string_view text) {
    std::string number;
    if (scanNumber(text, true, number) == 0) return 0;
    return std::strtod(number.c_str(), nullptr);
}

Result<std::int16_t> roundToInt16(double value) {
    const double rounded = std::nearbyint(value);  // the default rounding mode is half to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return Error{errc::kOverflow, "Overflow"};
    return static_cast<std::int16_t>(rounded);
}

Result<std::int16_t> strictInt16(std::string_view text) {
    std::string number;
    std::size_t used = scanNumber(text, false, number);
    while (used > 0 && used < text.size() && isBlank(text[used])) ++used;
    if (used == 0 || used != text.size()) return Error{errc::kTypeMismatch, "Type mismatch"};
    return roundToInt16(std::strtod(number.c_str(), nullptr));
}

}  // namespace corvane
