#pragma once

#include "common/date_text.h"
#include "platform/clock.h"
#include "platform/manager_process.h"
#include "schedule/manager_control.h"
#include "schedule/schedule_rules.h"
#include "scripted_host.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

namespace corvane::test {

// The stored date and time texts of the current minute, `daysAhead` days on.
struct Minute {
    std::string date;
    std::string time;
};
inline Minute currentMinute(int daysAhead = 0) {
    const LocalDateTime now = toLocal(std::chrono::system_clock::now());
    return {dateText(addDays(dateOf(now), daysAhead)), runTimeText(now.hour, now.minute)};
}

// A program folder (CORVANE_HOME for every process started from the test) with a "bin" folder
// that holds copies of the built programs, as an installation keeps them side by side. Any
// manager still running at the end is stopped.
class ManagerFixture : public ::testing::Test {
protected:
    ManagerFixture() {
        makeFolder(home / "bin");
        makeFolder(home / "Backup Sets");
        ::setenv("CORVANE_HOME", home.path().c_str(), 1);
        installProgram("bin/cvtimer");
    }

    ~ManagerFixture() override {
        (void)stopManager(home.path());
        ::unsetenv("CORVANE_HOME");
    }

    // Copies a program this build made ("bin/cvtimer") into the fixture's bin/.
    void installProgram(const std::string& builtPath) {
        const std::filesystem::path source = builtProgram(builtPath);
        std::filesystem::copy_file(source, home / ("bin/" + source.filename().string()),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    std::string managerProgram() const { return home / "bin/cvtimer"; }

    // Polls `condition` every 20 ms for up to `limit`.
    static bool waitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    std::optional<int> runningPid() const {
        const auto running = runningManager(home.path());
        return running ? *running : std::nullopt;
    }

    // The manager's log so far; empty before it has written anything.
    std::string logText() const {
        return fileExists(home / "CVTimer.log") ? readFile(home / "CVTimer.log") : std::string();
    }

    bool managerStarts() {
        return waitFor([this] { return runningPid().has_value(); });
    }

    TempFolder home;
    ScriptedHost host;
    SystemClock clock;
};

}  // namespace corvane::test
