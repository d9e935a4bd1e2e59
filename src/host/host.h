#pragma once

#include "host/command_id.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

enum class Icon { Information, Exclamation, Question, Critical };
enum class Buttons { Ok, OkCancel, YesNo, OkHelp };
enum class Answer { Ok, Cancel, Yes, No };

// What an open-file or save-file chooser shows.
struct FileRequest {
    std::string title;
    std::string filter;         // "Corvane Sets (*.cvt)|*.cvt"
    std::string initialFolder;  // empty: the current folder
    std::string defaultExtension;
    bool multiSelect = false;
    bool mustExist = false;         // open: only existing files
    bool confirmOverwrite = false;  // save: ask before replacing a file
};

enum class ProgressKind { Backup = 1, Test = 2 };

// The "Corvane - Operation Status" window of a backup or test. It cannot be closed from its
// title bar; its Cancel button calls the handler given to open() (and then disables itself).
class ProgressView {
public:
    virtual ~ProgressView() = default;
    // Opens with both bars at 0, playing the animation for `kind`.
    virtual void open(ProgressKind kind, std::function<void()> onCancel) = 0;
    virtual void setOperationLine(std::string_view text) = 0;
    virtual void setFileProgress(int percent) = 0;
    // The overall bar, and the "Files Processed:", "Bytes Processed:" and "Ratio Achieved:"
    // values as they are to be shown.
    virtual void setOverallProgress(int percent, std::string_view files, std::string_view bytes,
                                    std::string_view ratio) = 0;
    virtual void hide() = 0;
    virtual void show() = 0;
    virtual void close() = 0;
};

// The "Previewing..." window shown while the archive size is estimated. Its Cancel button calls
// the handler given to open() and closes the window.
class PreviewingView {
public:
    virtual ~PreviewingView() = default;
    virtual void open(std::function<void()> onCancel) = 0;
    virtual void setFile(std::string_view name) = 0;
    virtual void close() = 0;
};

// The one way the program's logic talks to the user: boxes, choosers, the status text, the busy
// pointer, command states, the event loop's turn, and the timed error screen. The window layer,
// the console of unattended runs and the tests' ScriptedHost each implement it.
class Host {
public:
    virtual ~Host() = default;

    // A message box; texts are shown as given (lines joined with CR LF). helpTopic 0: none.
    virtual Answer message(Icon icon, Buttons buttons, std::string_view title,
                           std::string_view text, int helpTopic = 0) = 0;

    // Full paths of the chosen files; empty when cancelled.
    virtual std::vector<std::string> chooseOpenFiles(const FileRequest& request) = 0;
    // The chosen path; empty when cancelled.
    virtual std::string chooseSaveFile(const FileRequest& request) = 0;
    // The chosen folder; empty when cancelled.
    virtual std::string chooseFolder(std::string_view title) = 0;

    virtual void setStatusText(std::string_view text) = 0;
    // Busy pointer on (true) or back to normal (false); calls nest. Use BusyPointer.
    virtual void setBusy(bool busy) = 0;
    virtual void setCommandEnabled(CommandId id, bool enabled) = 0;
    // Lets the window repaint and handle input during a long walk.
    virtual void processPendingEvents() = 0;

    // The "Backup Error" screen of unattended runs: modal, closes itself after 30 seconds.
    virtual void showTimedErrorScreen() = 0;

    virtual ProgressView& progressView() = 0;
    virtual PreviewingView& previewingView() = 0;
    // A 1000 Hz tone for one second, before asking for the next disk.
    virtual void beep() = 0;

    // The "Preview Backup Archive Size" question: Answer::Yes or Answer::No.
    virtual Answer askPreview() = 0;
    // The "Password Protected Backup Archive" prompt: the entered text, trimmed, or nullopt when
    // cancelled.
    virtual std::optional<std::string> askArchivePassword() = 0;
    // The "Maximum Archive Size" notice, modal, closed with OK.
    virtual void showMaximumArchiveSize() = 0;

    // A problem that needs no answer and may reach no log, such as a log that cannot be
    // written. It is written to the standard error stream unless a host shows it otherwise.
    virtual void reportProblem(std::string_view text);
};

// Shows the busy pointer for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(Host& host) : m_host(host) { m_host.setBusy(true); }
    ~BusyPointer() { m_host.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Host& m_host;
};

// Texts of the timed error screen, shared by every host that shows it.
inline constexpr std::string_view kTimedErrorTitle = "Backup Error";
// The timed error screen closes itself after this long when nobody presses OK.
inline constexpr int kTimedErrorScreenMilliseconds = 30000;
std::vector<std::string> timedErrorScreenLines();

}  // namespace corvane
