#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// The path separator of folder entries and paths ("/" on this platform).
inline constexpr char kSeparator = '/';

// Removes leading and trailing spaces (only spaces, as every reader of the program's texts does).
std::string trim(std::string_view text);

// Upper-cases a UTF-8 text letter by letter (Unicode simple case mapping); bytes that are not
// valid UTF-8 pass through unchanged. Used wherever paths are compared ignoring case.
std::string toUpper(std::string_view text);

// Lower-cases the ASCII letters only, as protocol names and keywords are compared.
std::string asciiLowered(std::string_view text);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);

// The name after the last separator of `path`, or empty text when there is none. When a
// separator is found, `folder` receives the first (length of trimmed path - length of name)
// characters of `path`, separator included; otherwise `folder` is left as it was.
std::string fileNameOf(std::string_view path, std::string& folder);

// The longest prefix of `text` that is at most `maxBytes` long and does not end inside a UTF-8
// sequence.
std::string_view cutAtCharBoundary(std::string_view text, std::size_t maxBytes);

// A fixed-width text field: cut at a character boundary and padded with spaces to `width`.
std::string fixedField(std::string_view text, std::size_t width);

// Reads a fixed-width field from a record and trims it.
std::string readFixedField(std::span<const std::uint8_t> record, std::size_t offset,
                           std::size_t width);

// Writes `text` as a fixed-width field into a record.
void writeFixedField(std::span<std::uint8_t> record, std::size_t offset, std::size_t width,
                     std::string_view text);

// `text` made safe for one line of a log: a backslash becomes "\\", and each byte of a control
// character (C0, DEL, C1), of a line or paragraph separator, of a bidirectional override and of
// a sequence that is not valid UTF-8 becomes "\xNN". A name can then neither start a line of
// its own nor disguise what a line says.
std::string escapeForLog(std::string_view text);

// Groups the digits of `value` in threes with commas ("1,234,567"); "0" for zero.
std::string groupedNumber(std::uint64_t value);

}  // namespace corvane
