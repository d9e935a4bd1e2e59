#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::restore {

// The exit statuses of cvrest, in the classes of the main program's: 0 success, 1 failure,
// 2 cancelled, 64 bad usage; with their own codes for entries left out, a wrong password and a
// missing volume.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,         // the archive cannot be read, is damaged, or writing failed
    kExitCancelled = 2,      // cancelled by the user (Ctrl+C, a refused question)
    kExitSkipped = 3,        // done, but entries were refused or failed: see the summary
    kExitWrongPassword = 4,  // no password, or the wrong one
    kExitVolumeMissing = 5,  // a volume of a split archive was not found
    kExitUsage = 64,         // bad arguments, or the window is not available
};

// Where cvrest reads and writes: the process's terminal, or a script in the tests.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(std::string_view text) = 0;  // standard output
    virtual void err(std::string_view text) = 0;  // standard error
    // True when the user is there to answer: standard input and error are terminals.
    virtual bool interactive() const = 0;
    // A line of standard input without its line end; nullopt at its end.
    virtual std::optional<std::string> readLine() = 0;
    // A line typed without echo (a password) after `prompt`; nullopt at the end of input.
    virtual std::optional<std::string> readSecret(std::string_view prompt) = 0;
    // The contents of a file (a password file); nullopt when it cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
};

// The process's own standard streams; standard output is buffered until a question, an error
// line or the end.
class TerminalConsole final : public Console {
public:
    TerminalConsole() = default;
    ~TerminalConsole() override { flush(); }
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    void out(std::string_view text) override;
    void err(std::string_view text) override;
    bool interactive() const override;
    std::optional<std::string> readLine() override;
    std::optional<std::string> readSecret(std::string_view prompt) override;
    std::optional<std::string> readFile(const std::string& path) override;
    void flush();

private:
    std::string m_pending;
};

// What cvrest runs with besides its arguments.
struct CommandContext {
    std::string programFolder;  // Backup.cfg's folder: the restore settings' defaults
    std::string version;
    bool windowsBuilt = false;  // the restore window is in this build (it needs a display)
};

class Restorer;

// cvrest's command line: list, test and extract (see usageText()). `running` holds the
// Restorer of the command while it runs, so that a signal handler can cancel it (may be null).
int runCommandLine(const std::vector<std::string>& arguments, Console& console,
                   const CommandContext& context, std::atomic<Restorer*>* running = nullptr);

std::string usageText();

// True when the arguments ask for the restore window: none, or just an archive path.
bool opensWindow(const std::vector<std::string>& arguments);

}  // namespace corvane::restore
