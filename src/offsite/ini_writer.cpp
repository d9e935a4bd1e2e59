#include "offsite/ini_writer.h"

#include "common/file_io.h"
#include "offsite/offsite_error.h"
#include "offsite/offsite_settings.h"

#include <algorithm>
#include <string_view>

namespace corvane::offsite {

namespace {

Error writeError(const std::string& text) {
    return failure(Failure::Settings, text);
}

bool hasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// The name of the section `line` opens, or nullopt for any other line.
std::optional<std::string_view> headerOf(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return line.substr(1, close - 1);
}

bool isBlankOrComment(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    return first == std::string_view::npos || line[first] == ';' || line[first] == '#';
}

std::string sectionText(const std::string& section, const IniKeys& keys) {
    std::string text = "[" + section + "]\n";
    for (const auto& [name, value] : keys)
        text += name + "=" + value + "\n";
    return text;
}

std::vector<IniEntry> without(std::vector<IniEntry> entries, const std::string& section) {
    std::erase_if(entries, [&](const IniEntry& entry) { return entry.section == section; });
    return entries;
}

}  // namespace

Result<std::string> withSection(const std::string& text, const std::string& section,
                                const std::optional<IniKeys>& keys, const std::string& fileName) {
    if (section.empty() || hasControl(section) ||
        section.find_first_of("[]") != std::string::npos) {
        return writeError("\"" + section + "\" cannot be a section name of " + fileName);
    }
    if (keys) {
        for (const auto& [name, value] : *keys) {
            if (hasControl(value)) {
                return writeError("the " + name + " value holds a line break or another "
                                  "control character, which " + fileName + " cannot hold");
            }
        }
    }
    const auto before = readIniEntries(text, fileName);
    if (!before) return before.error();

    // The section's lines (all of its blocks, should it appear twice) give way to the new
    // block, written where its first block was.
    std::string result;
    bool inside = false;
    bool written = false;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        if (const auto header = headerOf(line)) {
            inside = *header == section;
            if (inside && !written && keys) result += sectionText(section, *keys);
            written = written || inside;
        }
        // Blank lines and comments stay: they keep the sections apart as they were, and a
        // comment may speak of the next section.
        if (!inside || isBlankOrComment(line)) {
            result.append(line);
            result += '\n';
        }
        start = next;
    }
    if (!written && keys) {
        if (!result.empty() && result.find_last_not_of('\n') + 2 >= result.size()) result += '\n';
        result += sectionText(section, *keys);
    }

    // What inih reads back decides: the other sections as before, this one as given.
    const auto after = readIniEntries(result, fileName);
    if (!after) return after.error();
    if (without(*before, section) != without(*after, section)) {
        return writeError(fileName + " is laid out in a way that editing [" + section +
                          "] would change other sets' settings; edit it in a text editor");
    }
    std::vector<IniEntry> mine;
    if (keys) {
        for (const auto& [name, value] : *keys)
            mine.push_back(IniEntry{section, name, value});
    }
    std::vector<IniEntry> read;
    for (const auto& entry : *after) {
        if (entry.section == section) read.push_back(entry);
    }
    for (std::size_t at = 0; at < mine.size(); ++at) {
        if (at >= read.size() || read[at] != mine[at]) {
            return writeError("the " + mine[at].name + " value \"" + mine[at].value +
                              "\" would not read back the same from " + fileName +
                              " (leading or trailing spaces, or \" ;\" which starts a comment)");
        }
    }
    return result;
}

Status writeOffsiteSection(const std::string& programFolder, const std::string& setName,
                           const std::optional<IniKeys>& keys) {
    const std::string path = programFolder + kOffsiteFileName;
    std::string text;
    if (auto content = readWholeFile(path)) {
        text.assign(content->begin(), content->end());
    } else if (!isNotFoundCode(content.error().code)) {
        return writeError(path + " cannot be read: " + content.error().description);
    } else if (!keys) {
        return {};
    }
    auto changed = withSection(text, setName, keys, path);
    if (!changed) return changed.error();
    if (Status written = writeFileAtomically(path, *changed); !written) {
        return writeError(path + " cannot be written: " + written.error().description);
    }
    return {};
}

}  // namespace corvane::offsite
