#include "app/log_viewer.h"

#include "common/file_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

// Each line of the text followed by CR LF, whatever ended it in the file (CR LF, LF or nothing).
std::string linesWithCrLf(std::string_view content) {
    std::string text;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? content.size() : end + 1;
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.append(line);
        text += "\r\n";
        start = next;
    }
    return text;
}

}  // namespace

std::string LogViewer::logPath(const std::string& programFolder, LogKind kind) {
    return programFolder + (kind == LogKind::Backup ? "Backup.log" : "error.log");
}

LogViewer::LogViewer(std::string programFolder, LogKind kind, Host& host)
    : m_path(logPath(programFolder, kind)), m_kind(kind), m_host(host) {
    const auto content = readWholeFile(m_path);
    if (!content) {
        m_fileExists = ::access(m_path.c_str(), F_OK) == 0;
        m_host.message(Icon::Exclamation, Buttons::Ok, "Unable to Read Log",
                       "The log file '" + m_path + "' could not be read.\r\n\r\nError:  " +
                           content.error().description + ".");
        return;
    }
    m_fileExists = true;
    const std::string_view bytes(reinterpret_cast<const char*>(content->data()), content->size());
    m_text = m_kind == LogKind::Backup ? std::string(bytes) : linesWithCrLf(bytes);
}

void LogViewer::deleteLog() {
    if (::unlink(m_path.c_str()) != 0 && errno != ENOENT) {
        const int error = errno;
        m_host.message(Icon::Exclamation, Buttons::Ok, "Unable to Delete Log",
                       "The log file '" + m_path +
                           "' could not be deleted.\r\n\r\nError:  " + std::strerror(error) + ".");
        return;
    }
    m_fileExists = false;
    m_text.clear();
}

}  // namespace corvane
