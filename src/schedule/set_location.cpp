#include "schedule/set_location.h"

#include "common/file_io.h"
#include "common/text.h"
#include "schedule/schedule_texts.h"
#include "sets/set_file_format.h"

namespace corvane {

namespace {

// The set file's fields, or the error of reading it.
Result<SetFileLines> readSetLines(const std::string& path) {
    const auto content = readWholeFile(path);
    if (!content) return content.error();
    return splitSetFile(
        std::string_view(reinterpret_cast<const char*>(content->data()), content->size()));
}

// Writes the copy beside the set file (its path followed by "1") and renames it over the set
// file.
Status replaceWithCopy(const std::string& setPath, const std::string& content) {
    return replaceFileThrough(
        setPath, setPath + "1",
        std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

bool passesHeaderTest(const SetFileLines& lines) {
    const std::string* header = lines.at(SetLine::Header);
    return header != nullptr && header->find(kSetHeaderMark) != std::string::npos;
}

}  // namespace

std::string chooseBackupSet(Host& host, const std::string& programFolder) {
    FileRequest request;
    request.title = schedule_texts::kChooseSetTitle;
    request.filter = schedule_texts::kSetFilter;
    request.initialFolder = programFolder + "Backup Sets";
    request.mustExist = true;
    const auto chosen = host.chooseOpenFiles(request);
    return chosen.empty() ? std::string() : chosen.front();
}

Result<bool> hasSetHeader(const std::string& setPath) {
    const auto lines = readSetLines(trim(setPath));
    if (!lines) return lines.error();
    return passesHeaderTest(*lines);
}

Result<SetSummary> readSetSummary(const std::string& setPath) {
    const auto lines = readSetLines(trim(setPath));
    if (!lines) return lines.error();
    if (!passesHeaderTest(*lines)) return SetSummary{};
    const std::string* location = lines->at(SetLine::DefaultLocation);
    if (location == nullptr) return Error{errc::kInputPastEnd, "Input past end of file"};
    return SetSummary{true, trim(valueAfterKey(*location, kDefaultLocationKey.size()))};
}

Status rewriteSetLocation(const std::string& setPath, std::string_view location) {
    const std::string path = trim(setPath);
    const auto read = readSetLines(path);
    if (!read) return read.error();
    // Every line the file lacks, up to the one after the end line, reads as "AllFolders=0".
    const std::string pastEnd = std::string(kAllFoldersKey) + "0";
    SetFileLines lines = *read;
    lines.head.resize(kSetHeadLines, pastEnd);
    *lines.at(SetLine::DefaultLocation) = std::string(kDefaultLocationKey) + trim(location);
    if (!lines.afterEnd) lines.afterEnd = pastEnd;
    return replaceWithCopy(path, joinSetFile(lines));
}

Result<std::string> locationInFolder(const std::string& folder, std::string_view currentLocation) {
    const std::string current = trim(currentLocation);
    const auto slash = current.rfind(kSeparator);
    if (slash == std::string::npos) return folder + "$DATE$.bac";  // no file-name part to keep
    const std::string name = current.substr(slash + 1);
    if (name.find("$DATE$") != std::string::npos) return folder + "$DATE$.bac";
    if (name.size() < 3) return Error{errc::kInvalidCall, "Invalid procedure call or argument"};
    return folder + name.substr(0, name.size() - 3) + "bac";
}

}  // namespace corvane
