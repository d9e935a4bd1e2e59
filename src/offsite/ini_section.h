#pragma once

#include "common/result.h"

#include <string>
#include <utility>
#include <vector>

namespace corvane::offsite {

using IniKeys = std::vector<std::pair<std::string, std::string>>;

struct IniSection {
    bool found = false;
    IniKeys keys;  // in file order; a key written twice appears twice
};

// The keys of `section` ("" for the keys before any section header) in INI text, read by inih.
// `fileName` only names the file in errors. Lines inih cannot take (too long, no "=", a NUL
// byte) are errors, so that a value is never silently cut; so is a section name inih would cut.
Result<IniSection> readIniSection(const std::string& text, const std::string& section,
                                  const std::string& fileName);

// One "Name=value" line as inih reads it, with the section it belongs to.
struct IniEntry {
    std::string section;
    std::string name;
    std::string value;
    friend bool operator==(const IniEntry&, const IniEntry&) = default;
};

// Every key of INI text in file order, read by inih under the same rules as readIniSection.
Result<std::vector<IniEntry>> readIniEntries(const std::string& text, const std::string& fileName);

}  // namespace corvane::offsite
