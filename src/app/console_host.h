#pragma once

#include "host/host.h"

#include <cstdio>
#include <string>

namespace corvane {

// Progress of an unattended run on a terminal: one line redrawn in place. Prints nothing when
// the output is not a terminal.
class ConsoleProgressView final : public ProgressView, public PreviewingView {
public:
    ConsoleProgressView(std::FILE* out, bool terminal) : m_out(out), m_terminal(terminal) {}

    void open(ProgressKind kind, std::function<void()> onCancel) override;
    void setOperationLine(std::string_view text) override;
    void setFileProgress(int) override {}
    void setOverallProgress(int percent, std::string_view files, std::string_view bytes,
                            std::string_view ratio) override;
    void hide() override {}
    void show() override {}
    void close() override;

    void open(std::function<void()> onCancel) override;
    void setFile(std::string_view name) override { setOperationLine(name); }

    void clearLine();

private:
    void redraw();

    std::FILE* m_out;
    bool m_terminal;
    std::string m_line;
    std::string m_counters;
};

// The host of unattended runs without a display: it never asks and never waits. Boxes and the
// timed error screen are written to the error stream (answered with the safe default), progress
// and the status text to the output stream when it is a terminal.
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
    ProgressView& progressView() override { return m_progress; }
    PreviewingView& previewingView() override { return m_progress; }
    void beep() override {}
    Answer askPreview() override { return Answer::No; }
    std::optional<std::string> askArchivePassword() override { return std::nullopt; }
    void showMaximumArchiveSize() override;
    void reportProblem(std::string_view text) override;

    // Clears the status line so that ordinary output starts on a clean line.
    void clearStatusLine() { m_progress.clearLine(); }

private:
    std::FILE* m_err;
    ConsoleProgressView m_progress;
};

}  // namespace corvane
