#include "restore/restore_cli.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace corvane::restore {

namespace {

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

constexpr std::size_t kOutputBuffer = 64 * 1024;

void TerminalConsole::flush() {
    writeAll(STDOUT_FILENO, m_pending);
    m_pending.clear();
}

void TerminalConsole::out(std::string_view text) {
    m_pending += text;
    if (m_pending.size() >= kOutputBuffer) flush();
}

void TerminalConsole::err(std::string_view text) {
    flush();
    writeAll(STDERR_FILENO, text);
}

bool TerminalConsole::interactive() const {
    return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1;
}

std::optional<std::string> TerminalConsole::readLine() {
    flush();
    // Byte by byte, so that nothing after the line is taken from the input; an interrupted
    // read (Ctrl+C) ends the answer.
    std::string line;
    for (;;) {
        char byte = 0;
        const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
        if (got <= 0) return line.empty() || got < 0 ? std::nullopt : std::optional(line);
        if (byte == '\n') return line;
        line += byte;
    }
}

std::optional<std::string> TerminalConsole::readSecret(std::string_view prompt) {
    err(prompt);
    termios saved{};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    auto line = readLine();
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        err("\n");
    }
    return line;
}

std::optional<std::string> TerminalConsole::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

}  // namespace corvane::restore
