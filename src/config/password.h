#pragma once

#include <string>
#include <string_view>

namespace corvane {

enum class ShiftDirection { Down, Up };

// The stored form of the archive password: every byte lowered by 3 (Down, for storing) or
// raised by 3 (Up, for reading). Codes wrap around within 0-255, so Up undoes Down for every
// byte.
std::string shiftText(std::string_view text, ShiftDirection direction);

// A password can be stored when it survives the round trip through the space-padded,
// trimmed field: it may not begin or end with "#", which is stored as a space.
bool isStorablePassword(std::string_view password);

// The text for the PasswordText field: the password trimmed, cut to 30 bytes at a character
// boundary, shifted down.
std::string storedPasswordText(std::string_view password);

// The password held in a PasswordText field: trimmed, shifted up.
std::string passwordFromStored(std::string_view storedText);

}  // namespace corvane
