#pragma once

#include "app/help_pages.h"
#include "app/progress_display.h"
#include "host/host.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <vector>

class QDialog;

namespace corvane::ui {

class ProgressWindow;
class PreviewingWindow;

// The host of the window layer: message boxes, file and folder choosers, the busy pointer, the
// event loop's turn, the progress and previewing windows and the small modal screens, all with
// Qt widgets. Every modal window goes through runModal(), which tests replace to answer windows
// from a script instead of waiting for a user.
class QtHost : public QObject, public Host {
    Q_OBJECT

public:
    QtHost();
    ~QtHost() override;

    // The window that boxes and dialogs belong to while no other window is open over it.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    QWidget* mainWindow() const { return m_mainWindow; }
    QWidget* dialogParent() const;

    void setHelp(HelpPages* help) { m_help = help; }
    // Opens the help page of a topic (Help buttons, F1); topic 0 is the contents.
    void showHelp(int topic);

    // Shows a modal window and returns its result code once it has closed.
    virtual int runModal(QDialog& dialog);

    // The state the logic last gave a command (all start enabled).
    bool commandEnabled(CommandId id) const { return m_commands[static_cast<std::size_t>(id)]; }
    const QString& statusText() const { return m_statusText; }

    // How long the timed error screen waits before closing itself.
    void setTimedErrorMilliseconds(int milliseconds) { m_timedErrorMilliseconds = milliseconds; }

    ProgressDisplay& progressDisplay() { return m_progress; }
    PreviewingDisplay& previewingDisplay() { return m_previewing; }
    ProgressWindow* progressWindow() const;
    PreviewingWindow* previewingWindow() const;
    bool busy() const { return m_busyDepth > 0; }

    Answer message(Icon icon, Buttons buttons, std::string_view title, std::string_view text,
                   int helpTopic = 0) override;
    std::vector<std::string> chooseOpenFiles(const FileRequest& request) override;
    std::string chooseSaveFile(const FileRequest& request) override;
    std::string chooseFolder(std::string_view title) override;
    void setStatusText(std::string_view text) override;
    void setBusy(bool busy) override;
    void setCommandEnabled(CommandId id, bool enabled) override;
    void processPendingEvents() override;
    void showTimedErrorScreen() override;
    ProgressView& progressView() override { return m_progress; }
    PreviewingView& previewingView() override { return m_previewing; }
    void beep() override;
    Answer askPreview() override;
    std::optional<std::string> askArchivePassword() override;
    void showMaximumArchiveSize() override;

signals:
    void statusTextChanged(const QString& text);
    void commandEnabledChanged(int commandIndex, bool enabled);
    // Before each turn of the event loop that a long operation gives: windows whose model
    // changed during the operation redraw.
    void eventsPumped();
    void progressOpened();

private:
    void syncProgressWindow();
    void syncPreviewingWindow();

    QPointer<QWidget> m_mainWindow;
    HelpPages* m_help = nullptr;
    std::vector<QDialog*> m_modals;
    std::array<bool, kCommandCount> m_commands{};
    QString m_statusText;
    int m_busyDepth = 0;
    int m_timedErrorMilliseconds = kTimedErrorScreenMilliseconds;
    ProgressDisplay m_progress;
    PreviewingDisplay m_previewing;
    QPointer<QDialog> m_progressWindow;
    QPointer<QDialog> m_previewingWindow;
};

// Shows the normal pointer over a window the user works in while the busy pointer is on.
class NormalPointer {
public:
    explicit NormalPointer(bool busy);
    ~NormalPointer();
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool m_pushed;
};

}  // namespace corvane::ui
