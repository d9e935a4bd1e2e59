#pragma once

#include <cstdio>

#include "app/host.h"

namespace corvane {

// The host of unattended runs without a display: it never asks and never waits. Boxes and the
// timed error screen are written to the error stream (answered with the safe default), the
// status text to the output stream when it is a terminal.
class ConsoleHost final : public Host {
public:
    explicit ConsoleHost(std::FILE* out = stdout, std::FILE* err = stderr);

    Answer message(Icon icon, Buttons buttons, std::string_view title, std::string_view text,
                   int helpTopic) override;
    std::vector<std::string> chooseOpenFiles(const FileRequest&) override { return {}; }
    std::string chooseSaveFile(const FileRequest&) override { return {}; }
    std::string chooseFolder(std::string_view) override { return {}; }
    void setStatusText(std::string_view text) override;
    void setBusy(bool) override {}
    void setCommandEnabled(CommandId, bool) override {}
    void processPendingEvents() override {}
    void showTimedErrorScreen() override;

    // Clears the status line so that ordinary output starts on a clean line.
    void clearStatusLine();

private:
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_terminal;
};

}  // namespace corvane
