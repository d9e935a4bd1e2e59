#include "sets/set_file_format.h"

#include "common/text.h"

namespace corvane {

namespace {

void addLine(std::string& out, std::string_view field) {
    out += '"';
    out += field;
    out += "\"\r\n";
}

bool isCategoryText(std::string_view text) {
    return text == kFilesCategory || text == kFoldersCategory || text == kExclusionsCategory;
}

}  // namespace

std::string formatSetFile(const BackupSet& set, const ConfigRecord& options) {
    std::string out;
    addLine(out, kSetHeader);
    addLine(out, kOptionsLine);
    addLine(out, std::string(kSubFoldersKey) + std::to_string(options.subFolders));
    addLine(out, std::string(kCompressionKey) + std::to_string(options.compression));
    addLine(out, std::string(kFreshenKey) + std::to_string(options.freshen));
    addLine(out, std::string(kAddNewKey) + std::to_string(options.addNew));
    addLine(out, std::string(kDefaultLocationKey) + trim(set.defaultLocation));
    addLine(out, kEntriesLine);
    for (std::size_t index = 1; index <= set.tree.count(); ++index) {
        const std::string text = trim(set.tree.at(index).text);
        if (!isCategoryText(text)) addLine(out, text);
    }
    addLine(out, kEndLine);
    addLine(out, std::string(kAllFoldersKey) + std::to_string(options.addAllFolders));
    return out;
}

std::vector<std::string> splitSetFields(std::string_view content) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at < content.size()) {
        auto end = content.find('\n', at);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto open = line.find('"');
        if (open == std::string_view::npos) {
            fields.push_back(trim(line));
        } else {
            const auto close = line.find('"', open + 1);
            fields.emplace_back(line.substr(open + 1, close == std::string_view::npos
                                                          ? std::string_view::npos
                                                          : close - open - 1));
        }
        at = end + 1;
    }
    return fields;
}

std::string valueAfterKey(std::string_view field, std::size_t keyLength) {
    const std::string text = trim(field);
    return text.size() > keyLength ? text.substr(keyLength) : std::string();
}

}  // namespace corvane
