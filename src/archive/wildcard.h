#pragma once

#include <string_view>

namespace corvane::archive {

// Wildcard masks of the include and exclusion lists: "*" matches any run of characters, "/"
// included; "?" matches one character (a whole UTF-8 sequence). Case-sensitive.
bool matchesMask(std::string_view mask, std::string_view text);
bool hasWildcard(std::string_view text);

}  // namespace corvane::archive
