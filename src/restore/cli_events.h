#pragma once

#include "restore/restore_cli.h"
#include "restore/restorer.h"

#include <chrono>

namespace corvane::restore {

// A restore's questions and progress on the terminal: a progress line when someone watches,
// prompts when someone can answer; without a terminal nothing is asked.
class CliEvents final : public RestoreEvents {
public:
    CliEvents(Console& console, bool yes) : m_console(console), m_yes(yes) {}

    // The password came with the command (a file): a request for one means it was wrong.
    void setPasswordGiven() { m_passwordGiven = true; }
    // Ends the progress line, if one was drawn.
    void endProgress();

    void progress(const RestoreProgress& progress) override;
    std::optional<std::string> password(bool again) override;
    bool volumeMissing(int number, const std::string& expected, std::string& foundAt) override;
    bool confirmLargeOutput(std::uint64_t bytes, std::uint64_t archiveBytes) override;

private:
    Console& m_console;
    bool m_yes;
    bool m_passwordGiven = false;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
};

}  // namespace corvane::restore
