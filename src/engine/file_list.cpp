#include "engine/file_list.h"

#include "archive/wildcard.h"
#include "common/text.h"

namespace corvane {

FileLists buildFileLists(const SetTree& tree) {
    FileLists lists;
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        const std::string& text = tree.at(index).text;
        const std::string trimmed = trim(text);
        if (trimmed == kFilesCategory || trimmed == kFoldersCategory ||
            trimmed == kExclusionsCategory) {
            continue;
        }
        std::string folder;
        if (endsWith(text, "/")) {
            lists.includes.push_back(trimmed + "*");
        } else if (startsWith(text, "-")) {
            lists.exclusions.push_back(text.size() > 2 ? text.substr(2) : std::string());
        } else if (startsWith(text, "**")) {
            const std::string path = text.size() > 5 ? text.substr(5) : std::string();
            lists.includes.push_back(path);
            fileNameOf(path, folder);
            lists.exclusions.push_back(folder);
        } else {
            // A file entry names one file: a "*" or "?" in its name is part of the name.
            std::string name = fileNameOf(trimmed, folder);
            if (folder.empty()) name = trimmed;
            lists.includes.push_back(folder + archive::escapeMask(name));
            lists.exclusions.push_back(folder);
        }
    }
    return lists;
}

}  // namespace corvane
