#include "app/console_host.h"

#include "host/dialog_texts.h"

#include <unistd.h>

namespace corvane {

namespace {

// Boxes' texts use CR LF; a terminal wants LF.
std::string forTerminal(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

}  // namespace

void ConsoleProgressView::open(ProgressKind, std::function<void()>) {
    m_line.clear();
    m_counters.clear();
}

void ConsoleProgressView::open(std::function<void()>) {
    m_line = "Previewing...";
    m_counters.clear();
    redraw();
}

void ConsoleProgressView::setOperationLine(std::string_view text) {
    m_line = std::string(text);
    redraw();
}

void ConsoleProgressView::setOverallProgress(int percent, std::string_view files,
                                             std::string_view bytes, std::string_view) {
    m_counters = std::to_string(percent) + "%  files " + std::string(files) + "  bytes " +
                 std::string(bytes);
    redraw();
}

void ConsoleProgressView::close() {
    clearLine();
}

void ConsoleProgressView::clearLine() {
    if (!m_terminal) return;
    std::fputs("\r\033[K", m_out);
    std::fflush(m_out);
}

void ConsoleProgressView::redraw() {
    if (!m_terminal) return;
    std::string text = m_counters.empty() ? m_line : m_counters + "  " + m_line;
    if (text.size() > 120) text = text.substr(0, 117) + "...";
    std::fprintf(m_out, "\r\033[K%s", text.c_str());
    std::fflush(m_out);
}

ConsoleHost::ConsoleHost(std::FILE* out, std::FILE* err)
    : m_err(err), m_progress(out, ::isatty(::fileno(out)) != 0) {}

Answer ConsoleHost::message(Icon, Buttons buttons, std::string_view title, std::string_view text,
                            int) {
    clearStatusLine();
    std::fprintf(m_err, "%.*s: %s\n", static_cast<int>(title.size()), title.data(),
                 forTerminal(text).c_str());
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

void ConsoleHost::setStatusText(std::string_view text) {
    m_progress.setOperationLine(text);
}

void ConsoleHost::showTimedErrorScreen() {
    clearStatusLine();
    std::fprintf(m_err, "%s\n", std::string(kTimedErrorTitle).c_str());
    for (const auto& line : timedErrorScreenLines())
        std::fprintf(m_err, "  %s\n", line.c_str());
}

void ConsoleHost::showMaximumArchiveSize() {
    clearStatusLine();
    std::fprintf(m_err, "%s\n", std::string(dialog_texts::kMaximumBackupSizeHeading).c_str());
    for (const auto line : dialog_texts::kMaximumBackupSizeLines) {
        std::fprintf(m_err, "  %s\n", std::string(line).c_str());
    }
}

void ConsoleHost::reportProblem(std::string_view text) {
    m_progress.clearLine();
    std::fprintf(m_err, "corvane: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace corvane
