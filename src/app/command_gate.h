#pragma once

#include "host/host.h"

#include <array>

namespace corvane {

// The host the main window's logic talks to: it passes everything on to the window layer, and
// while an operation (a backup, a test, an open) runs it keeps every command that would start
// a second one disabled, whatever the operation enables meanwhile. At the operation's end each
// command gets back the state the logic last gave it.
class CommandGate final : public Host {
public:
    explicit CommandGate(Host& inner) : m_inner(inner) { m_states.fill(true); }

    // The commands that stay usable while an operation runs: the menus themselves and the help
    // pages and web links, which open outside the program.
    static bool availableDuringOperation(CommandId id);

    void beginOperation();
    void endOperation();
    bool operationRunning() const { return m_depth > 0; }
    // What the window shows for a command now.
    bool isEnabled(CommandId id) const;

    Answer message(Icon icon, Buttons buttons, std::string_view title, std::string_view text,
                   int helpTopic = 0) override {
        return m_inner.message(icon, buttons, title, text, helpTopic);
    }
    std::vector<std::string> chooseOpenFiles(const FileRequest& request) override {
        return m_inner.chooseOpenFiles(request);
    }
    std::string chooseSaveFile(const FileRequest& request) override {
        return m_inner.chooseSaveFile(request);
    }
    std::string chooseFolder(std::string_view title) override {
        return m_inner.chooseFolder(title);
    }
    void setStatusText(std::string_view text) override { m_inner.setStatusText(text); }
    void setBusy(bool busy) override { m_inner.setBusy(busy); }
    void setCommandEnabled(CommandId id, bool enabled) override;
    void processPendingEvents() override { m_inner.processPendingEvents(); }
    void showTimedErrorScreen() override { m_inner.showTimedErrorScreen(); }
    ProgressView& progressView() override { return m_inner.progressView(); }
    PreviewingView& previewingView() override { return m_inner.previewingView(); }
    void beep() override { m_inner.beep(); }
    Answer askPreview() override { return m_inner.askPreview(); }
    std::optional<std::string> askArchivePassword() override {
        return m_inner.askArchivePassword();
    }
    void showMaximumArchiveSize() override { m_inner.showMaximumArchiveSize(); }

private:
    void apply(CommandId id) { m_inner.setCommandEnabled(id, isEnabled(id)); }

    Host& m_inner;
    std::array<bool, kCommandCount> m_states{};
    int m_depth = 0;
};

// Closes the gate for as long as it lives.
class OperationScope {
public:
    explicit OperationScope(CommandGate& gate) : m_gate(gate) { m_gate.beginOperation(); }
    ~OperationScope() { m_gate.endOperation(); }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    CommandGate& m_gate;
};

}  // namespace corvane
