#include "schedule/set_location.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "common/text.h"
#include "schedule/schedule_texts.h"
#include "sets/set_file_format.h"

namespace corvane {

namespace {

// Reads a set file one field at a time, each the text between the quotes of its line.
class FieldReader {
public:
    explicit FieldReader(const std::string& path) : m_in(path, std::ios::binary) {}

    bool opened() const { return m_in.is_open(); }
    bool failed() const { return m_in.bad(); }

    // The next field; false at the end of the file.
    bool next(std::string& field) {
        std::string line;
        if (!std::getline(m_in, line)) return false;
        const auto fields = splitSetFields(line);
        field = fields.empty() ? std::string() : fields.front();
        return true;
    }

    // The next field, or "AllFolders=0" when the file has ended: a read past the end is no error.
    std::string nextOrAllFolders() {
        std::string field;
        return next(field) ? field : std::string(kAllFoldersKey) + "0";
    }

private:
    std::ifstream m_in;
};

Error openError(const std::string& path) { return errorFromErrno(errno, path); }

const Error kReadFailed{errc::kDeviceIo, "Device I/O error"};

void addQuoted(std::string& out, std::string_view field) {
    out += '"';
    out += trim(field);
    out += "\"\r\n";
}

Status writeAll(int fd, const std::string& content, const std::string& path) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errorFromErrno(errno, path);
        }
        done += static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0) return errorFromErrno(errno, path);
    return {};
}

// Writes the copy beside the set file with the set file's permissions and renames it over the
// set file.
Status replaceWithCopy(const std::string& setPath, const std::string& content) {
    const std::string copyPath = setPath + "1";
    struct stat original {};
    const mode_t mode = ::stat(setPath.c_str(), &original) == 0 ? (original.st_mode & 07777) : 0644;
    const int fd = ::open(copyPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return errorFromErrno(errno, copyPath);
    Status status = writeAll(fd, content, copyPath);
    if (::close(fd) != 0 && status) status = errorFromErrno(errno, copyPath);
    if (status && ::rename(copyPath.c_str(), setPath.c_str()) != 0) {
        status = errorFromErrno(errno, setPath);
    }
    if (!status) ::unlink(copyPath.c_str());
    return status;
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
    FieldReader reader(trim(setPath));
    if (!reader.opened()) return openError(trim(setPath));
    std::string header;
    const bool any = reader.next(header);
    if (reader.failed()) return kReadFailed;
    return any && trim(header).find(kSetHeaderMark) != std::string::npos;
}

Result<SetSummary> readSetSummary(const std::string& setPath) {
    FieldReader reader(trim(setPath));
    if (!reader.opened()) return openError(trim(setPath));
    std::string field;
    const bool any = reader.next(field);
    if (reader.failed()) return kReadFailed;
    if (!any || trim(field).find(kSetHeaderMark) == std::string::npos) return SetSummary{};
    for (int line = 2; line <= 7; ++line) {
        if (!reader.next(field)) {
            if (reader.failed()) return kReadFailed;
            return Error{errc::kInputPastEnd, "Input past end of file"};
        }
    }
    return SetSummary{true, trim(valueAfterKey(field, kDefaultLocationKey.size()))};
}

Status rewriteSetLocation(const std::string& setPath, std::string_view location) {
    const std::string path = trim(setPath);
    FieldReader reader(path);
    if (!reader.opened()) return openError(path);

    std::string out;
    for (int line = 1; line <= 6; ++line) addQuoted(out, reader.nextOrAllFolders());
    reader.nextOrAllFolders();
    addQuoted(out, std::string(kDefaultLocationKey) + trim(location));
    addQuoted(out, reader.nextOrAllFolders());
    bool endLineCopied = false;
    std::string field;
    while (!endLineCopied && reader.next(field)) {
        addQuoted(out, field);
        endLineCopied = trim(field) == kEndLine;
    }
    if (!endLineCopied) addQuoted(out, kEndLine);
    addQuoted(out, reader.nextOrAllFolders());
    if (reader.failed()) return kReadFailed;
    return replaceWithCopy(path, out);
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
