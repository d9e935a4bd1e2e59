#pragma once

#include <string>
#include <string_view>

namespace corvane::archive {

// Wildcard masks of the include and exclusion lists: "*" matches any run of characters, "/"
// included; "?" matches one character (a whole UTF-8 sequence); a backslash makes the character
// after it literal ("\\*" is a star). Case-sensitive.
bool matchesMask(std::string_view mask, std::string_view text);
// True when `text` holds an unescaped "*" or "?".
bool hasWildcard(std::string_view text);
// The mask that matches exactly `text`, and the text a mask without wildcards stands for.
std::string escapeMask(std::string_view text);
std::string unescapeMask(std::string_view mask);

}  // namespace corvane::archive
