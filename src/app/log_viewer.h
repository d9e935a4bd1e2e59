#pragma once

#include "host/host.h"

#include <string>
#include <string_view>

namespace corvane {

enum class LogKind { Backup, Error };

// The two log viewers: "Corvane Log File" over Backup.log and "Corvane Error Log" over
// error.log, each a read-only text with "&Delete Log" and "&Close".
class LogViewer {
public:
    static constexpr std::string_view kBackupTitle = "Corvane Log File";
    static constexpr std::string_view kErrorTitle = "Corvane Error Log";
    static constexpr std::string_view kDeleteCaption = "&Delete Log";
    static constexpr std::string_view kCloseCaption = "&Close";

    // The file of a log kind in the program folder.
    static std::string logPath(const std::string& programFolder, LogKind kind);

    // Loads the log: Backup.log whole; error.log line by line, each line followed by CR LF. A
    // file that cannot be read is reported and leaves the text empty.
    LogViewer(std::string programFolder, LogKind kind, Host& host);

    LogKind kind() const { return m_kind; }
    std::string_view title() const {
        return m_kind == LogKind::Backup ? kBackupTitle : kErrorTitle;
    }
    // The log's text with its CR LF line ends.
    const std::string& text() const { return m_text; }
    // Deleting is offered while there is a file to delete.
    bool deleteEnabled() const { return m_fileExists; }

    // Deletes the file and empties the text; a file that cannot be deleted is reported and its
    // text stays.
    void deleteLog();
    void close() { m_open = false; }
    bool isOpen() const { return m_open; }

private:
    std::string m_path;
    LogKind m_kind;
    Host& m_host;
    std::string m_text;
    bool m_fileExists = false;
    bool m_open = true;
};

}  // namespace corvane
