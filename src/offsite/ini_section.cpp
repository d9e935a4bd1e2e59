#include "offsite/ini_section.h"

#include "offsite/offsite_error.h"

#include <ini.h>

namespace corvane::offsite {

namespace {

// inih reads at most 200 bytes of a line, its end and a NUL included; the rest would become a
// line of its own. Section names it keeps to 49 bytes.
constexpr std::size_t kLongestLine = 200 - 2;
constexpr std::size_t kLongestSection = 50 - 1;

struct Collector {
    const std::string* wanted = nullptr;
    IniSection section;
    std::vector<IniEntry>* all = nullptr;
};

int collectKey(void* user, const char* section, const char* name, const char* value) {
    auto& collector = *static_cast<Collector*>(user);
    if (collector.all != nullptr) collector.all->push_back(IniEntry{section, name, value});
    if (collector.wanted != nullptr && *collector.wanted == section) {
        collector.section.found = true;
        collector.section.keys.emplace_back(name, value);
    }
    return 1;
}

// True when `line` (without its end) opens the section `name`, for sections without keys.
bool opensSection(std::string_view line, const std::string& name) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    if (line.empty() || line.front() != '[') return false;
    const auto close = line.find(']');
    return close != std::string_view::npos && line.substr(1, close - 1) == name;
}

// The lines inih would cut or split are errors rather than silently different values; true
// when `section` has a header line of its own.
Result<bool> checkLines(const std::string& text, const std::string& section,
                        const std::string& fileName) {
    if (text.find('\0') != std::string::npos) {
        return failure(Failure::Settings, fileName + " is not a text file");
    }
    bool headerSeen = section.empty();
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        if (end - start > kLongestLine) {
            return failure(Failure::Settings, fileName + " line " + std::to_string(lineNumber) +
                                                  " is longer than " +
                                                  std::to_string(kLongestLine) + " characters");
        }
        headerSeen = headerSeen || opensSection({text.data() + start, end - start}, section);
        start = end + 1;
    }
    return headerSeen;
}

Status parse(const std::string& text, Collector& collector, const std::string& fileName) {
    const int badLine = ::ini_parse_string(text.c_str(), collectKey, &collector);
    if (badLine != 0) {
        return failure(Failure::Settings, fileName + " line " + std::to_string(badLine) +
                                              " is not a \"Name=value\" line or a [section]");
    }
    return {};
}

}  // namespace

Result<IniSection> readIniSection(const std::string& text, const std::string& section,
                                  const std::string& fileName) {
    if (section.size() > kLongestSection) {
        return failure(Failure::Settings, "the section name [" + section + "] of " + fileName +
                                              " is longer than " + std::to_string(kLongestSection) +
                                              " characters");
    }
    const auto headerSeen = checkLines(text, section, fileName);
    if (!headerSeen) return headerSeen.error();
    Collector collector;
    collector.wanted = &section;
    if (Status parsed = parse(text, collector, fileName); !parsed) return parsed.error();
    collector.section.found = collector.section.found || *headerSeen;
    return collector.section;
}

Result<std::vector<IniEntry>> readIniEntries(const std::string& text, const std::string& fileName) {
    if (const auto checked = checkLines(text, "", fileName); !checked) return checked.error();
    std::vector<IniEntry> entries;
    Collector collector;
    collector.all = &entries;
    if (Status parsed = parse(text, collector, fileName); !parsed) return parsed.error();
    return entries;
}

}  // namespace corvane::offsite
