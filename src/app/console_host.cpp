#include "app/console_host.h"

#include <unistd.h>

#include <string>

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

ConsoleHost::ConsoleHost(std::FILE* out, std::FILE* err)
    : m_out(out), m_err(err), m_terminal(::isatty(::fileno(out)) != 0) {}

Answer ConsoleHost::message(Icon, Buttons buttons, std::string_view title, std::string_view text,
                            int) {
    std::fprintf(m_err, "%.*s: %s\n", static_cast<int>(title.size()), title.data(),
                 forTerminal(text).c_str());
    switch (buttons) {
        case Buttons::YesNo: return Answer::No;
        case Buttons::OkCancel: return Answer::Cancel;
        default: return Answer::Ok;
    }
}

void ConsoleHost::setStatusText(std::string_view text) {
    if (!m_terminal) return;
    // One line, redrawn in place.
    std::fprintf(m_out, "\r\033[K%.*s", static_cast<int>(text.size()), text.data());
    std::fflush(m_out);
}

void ConsoleHost::clearStatusLine() {
    if (m_terminal) std::fputs("\r\033[K", m_out);
}

void ConsoleHost::showTimedErrorScreen() {
    clearStatusLine();
    std::fprintf(m_err, "%s\n", std::string(kTimedErrorTitle).c_str());
    for (const auto& line : timedErrorScreenLines()) std::fprintf(m_err, "  %s\n", line.c_str());
}

}  // namespace corvane
