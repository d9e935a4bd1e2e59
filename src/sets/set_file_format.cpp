#include "sets/set_file_format.h"

#include "common/number_text.h"
#include "common/text.h"

#include <utility>

namespace corvane {

namespace {

void addLine(std::string& out, std::string_view field) {
    out += '"';
    out += trim(field);
    out += "\"\r\n";
}

bool isCategoryText(std::string_view text) {
    return text == kFilesCategory || text == kFoldersCategory || text == kExclusionsCategory;
}

std::string fieldOfLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto open = line.find('"');
    if (open == std::string_view::npos) return trim(line);
    const auto close = line.find('"', open + 1);
    return std::string(line.substr(
        open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
}

Result<std::int16_t> lenientOption(const std::string& field, std::string_view key) {
    return roundToInt16(leadingNumber(valueAfterKey(field, key.size())));
}

}  // namespace

const std::string* SetFileLines::at(SetLine line) const {
    const auto index = static_cast<std::size_t>(line) - 1;
    return index < head.size() ? &head[index] : nullptr;
}

std::string* SetFileLines::at(SetLine line) {
    return const_cast<std::string*>(std::as_const(*this).at(line));
}

SetFileLines splitSetFile(std::string_view text) {
    SetFileLines lines;
    std::size_t at = 0;
    while (at < text.size() && !(lines.hasEndLine && lines.afterEnd)) {
        auto end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string field = fieldOfLine(text.substr(at, end - at));
        lines.lastField = field;
        if (lines.head.size() < kSetHeadLines) {
            lines.head.push_back(std::move(field));
        } else if (lines.hasEndLine) {
            lines.afterEnd = std::move(field);
        } else if (trim(field) == kEndLine) {
            lines.hasEndLine = true;
        } else {
            lines.entries.push_back(std::move(field));
        }
        at = end + 1;
    }
    // The last field is the file's own, even past the lines a reader takes.
    for (std::size_t next = at; next < text.size();) {
        auto end = text.find('\n', next);
        if (end == std::string_view::npos) end = text.size();
        lines.lastField = fieldOfLine(text.substr(next, end - next));
        next = end + 1;
    }
    return lines;
}

std::string joinSetFile(const SetFileLines& lines) {
    std::string out;
    for (const auto& field : lines.head)
        addLine(out, field);
    // A file cut short in its head stays so: an end line there would be read as an option.
    if (lines.head.size() < kSetHeadLines) return out;
    for (const auto& field : lines.entries)
        addLine(out, field);
    addLine(out, kEndLine);
    if (lines.afterEnd) addLine(out, *lines.afterEnd);
    return out;
}

Result<SetFileContents> parseSetFile(std::string_view text) {
    const SetFileLines lines = splitSetFile(text);
    SetFileContents contents;
    // An empty file reads as an empty first field.
    const std::string* header = lines.at(SetLine::Header);
    if (header == nullptr || header->find(kSetHeaderMark) == std::string::npos) return contents;
    contents.compatible = true;
    contents.allFoldersMode = trim(lines.lastField) == "AllFolders=1";

    if (const std::string* field = lines.at(SetLine::SubFolders)) {
        auto value = strictInt16(valueAfterKey(*field, kSubFoldersKey.size()));
        if (!value) return value.error();
        contents.subFolders = *value;
    }
    for (const auto& [line, key, target] :
         {std::tuple{SetLine::Compression, kCompressionKey, &contents.compression},
          std::tuple{SetLine::Freshen, kFreshenKey, &contents.freshen},
          std::tuple{SetLine::AddNew, kAddNewKey, &contents.addNew}}) {
        if (const std::string* field = lines.at(line)) {
            auto value = lenientOption(*field, key);
            if (!value) return value.error();
            *target = *value;
        }
    }
    if (const std::string* field = lines.at(SetLine::DefaultLocation)) {
        contents.defaultLocation = valueAfterKey(*field, kDefaultLocationKey.size());
    }
    for (const auto& field : lines.entries) {
        if (!trim(field).empty()) contents.entries.push_back(field);
    }
    if (lines.hasEndLine && lines.afterEnd) {
        auto value = lenientOption(*lines.afterEnd, kAllFoldersKey);
        if (!value) return value.error();
        contents.addAllFolders = *value;
    }
    return contents;
}

std::string formatSetFile(const BackupSet& set, const ConfigRecord& options) {
    SetFileLines lines;
    lines.head = {std::string(kSetHeader),
                  std::string(kOptionsLine),
                  std::string(kSubFoldersKey) + std::to_string(options.subFolders),
                  std::string(kCompressionKey) + std::to_string(options.compression),
                  std::string(kFreshenKey) + std::to_string(options.freshen),
                  std::string(kAddNewKey) + std::to_string(options.addNew),
                  std::string(kDefaultLocationKey) + trim(set.defaultLocation),
                  std::string(kEntriesLine)};
    for (std::size_t index = 1; index <= set.tree.count(); ++index) {
        const std::string text = trim(set.tree.at(index).text);
        if (!isCategoryText(text)) lines.entries.push_back(text);
    }
    lines.afterEnd = std::string(kAllFoldersKey) + std::to_string(options.addAllFolders);
    return joinSetFile(lines);
}

std::string valueAfterKey(std::string_view field, std::size_t keyLength) {
    const std::string text = trim(field);
    return text.size() > keyLength ? text.substr(keyLength) : std::string();
}

}  // namespace corvane
