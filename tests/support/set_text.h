#pragma once

#include <string>
#include <vector>

namespace corvane::test {

// The "Incompatible Backup Set" message, word for word.
inline constexpr const char* kIncompatibleText =
    "The Backup Set you are attempting to open was created with Corvane previous to v5.0.  "
    "Previous Backup Sets are not compatible with this version.\r\n\r\nYour Backup Set will "
    "have to be recreated using this version of Corvane.";

// A set file's bytes: each field quoted and ended by CR LF.
inline std::string quotedFields(const std::vector<std::string>& fields) {
    std::string content;
    for (const auto& field : fields)
        content += "\"" + field + "\"\r\n";
    return content;
}

// The lines of a set file as the set window writes them: the header, the options in their
// places, `entries`, and the end.
inline std::vector<std::string> setFileLines(const std::vector<std::string>& entries,
                                             const std::string& location, int compression = 6,
                                             int freshen = 0, int addNew = 0,
                                             const std::string& allFolders = "0") {
    std::vector<std::string> lines = {"Corvane Set - v6.0",
                                      "[OPTIONS]",
                                      "IncludeSubFolders=1",
                                      "CompressionStyle=" + std::to_string(compression),
                                      "BackupFreshen=" + std::to_string(freshen),
                                      "BackupAddNew=" + std::to_string(addNew),
                                      "DefaultLocation=" + location,
                                      "[FOLDERS/PATHS]"};
    lines.insert(lines.end(), entries.begin(), entries.end());
    lines.push_back("[END OF BACKUP]");
    lines.push_back("AllFolders=" + allFolders);
    return lines;
}

// The same as the file's bytes.
inline std::string setFileText(const std::vector<std::string>& entries, const std::string& location,
                               int compression = 6, int freshen = 0, int addNew = 0) {
    return quotedFields(setFileLines(entries, location, compression, freshen, addNew));
}

}  // namespace corvane::test
