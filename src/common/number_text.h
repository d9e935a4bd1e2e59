#pragma once

#include <cstdint>
#include <string_view>

#include "common/result.h"

namespace corvane {

// The number at the start of a text, the lenient way the program reads numeric fields: leading
// blanks are skipped, blanks between digits are ignored, a sign, a decimal part and an exponent
// are taken; reading stops at the first other character. 0 when no digit comes first.
double leadingNumber(std::string_view text);

// The strict conversion to a 16-bit integer: the whole text, blanks around it aside, must be a
// number (type mismatch, error 13, otherwise); it is rounded half to even and must fit 16 bits
// (overflow, error 6, otherwise).
Result<std::int16_t> strictInt16(std::string_view text);

// Rounds half to even into 16 bits; overflow (error 6) when out of range.
Result<std::int16_t> roundToInt16(double value);

}  // namespace corvane
