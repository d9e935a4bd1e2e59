#pragma once

#include "common/result.h"
#include "offsite/ini_section.h"

#include <optional>
#include <string>

namespace corvane::offsite {

// `text` with the section `section` holding `keys`, or without that section when `keys` is
// nullopt. The section keeps its place (a new one goes at the end); every other line stays as
// it was, and so do blank lines and comments within the section. Fails, naming `fileName`, when a value or the section name cannot be written so that
// inih reads it back the same, or when the text would read differently for any other section.
Result<std::string> withSection(const std::string& text, const std::string& section,
                                const std::optional<IniKeys>& keys, const std::string& fileName);

// Writes (or removes, for nullopt) the section `setName` of Offsite.ini in `programFolder`,
// which ends in "/": the whole file is replaced at once and keeps its permission bits.
Status writeOffsiteSection(const std::string& programFolder, const std::string& setName,
                           const std::optional<IniKeys>& keys);

}  // namespace corvane::offsite
