#pragma once

#include "common/text.h"
#include "platform/clock.h"
#include "schedule/manager_control.h"
#include "schedule/timed_editor.h"
#include "scripted_host.h"
#include "set_text.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace corvane::test {

// A manager that records what the list asks of it, with the list file as it was at each call.
class FakeManager final : public ManagerControl {
public:
    explicit FakeManager(std::string listPath) : m_listPath(std::move(listPath)) {}

    Result<ManagerStop> stop() override {
        calls.push_back("stop");
        if (stateError) return *stateError;
        if (!running) return ManagerStop::NotRunning;
        if (signalFails) return ManagerStop::SignalFailed;
        running = false;
        listAtStop = fileExists(m_listPath) ? readFile(m_listPath) : "";
        return ManagerStop::Stopped;
    }
    Status start() override {
        calls.push_back("start");
        listAtStart = fileExists(m_listPath) ? readFile(m_listPath) : "";
        if (startError) return *startError;
        running = true;
        return {};
    }

    bool running = false;
    bool signalFails = false;
    std::optional<Error> stateError;
    std::optional<Error> startError;
    std::vector<std::string> calls;
    std::string listAtStop;
    std::string listAtStart;

private:
    std::string m_listPath;
};

// A program folder with "Backup Sets", a scripted host and a clock at 2026-12-04 14:30:20. The
// test fails when the logic showed a box or chooser the script did not expect.
class ScheduleFixture : public ::testing::Test {
protected:
    ScheduleFixture() : clock(fromLocal({2026, 12, 4, 14, 30, 20})) {
        makeFolder(home / "Backup Sets");
    }

    void TearDown() override {
        host.checkScriptFinished();
        EXPECT_EQ(host.busyDepth(), 0);
    }

    ScheduleContext context() { return {home.path(), host, clock}; }

    // Writes a set file of quoted fields, CR LF after each, into "Backup Sets".
    std::string writeSet(const std::string& name, const std::vector<std::string>& fields) {
        writeFile(home / ("Backup Sets/" + name), quotedFields(fields));
        return home / ("Backup Sets/" + name);
    }

    std::string writeStandardSet(const std::string& name, const std::string& location) {
        return writeSet(name, setFileLines({"/data/"}, location));
    }

    TempFolder home;
    ScriptedHost host;
    ManualClock clock;
};

// Makes a file unwritable while it lives, even for root (through the immutable attribute).
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path) : m_path(std::move(path)) {
        ::chmod(m_path.c_str(), 0444);
        setImmutable(true);
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC);
        m_effective = fd < 0;
        if (fd >= 0) ::close(fd);
    }
    ~ReadOnlyFile() {
        setImmutable(false);
        ::chmod(m_path.c_str(), 0644);
    }
    bool effective() const { return m_effective; }

private:
    void setImmutable(bool on) const {
        const int fd = ::geteuid() == 0 ? ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            (void)::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) ::close(fd);
    }

    std::string m_path;
    bool m_effective = false;
};

// One Timed.dat record written field by field, padded by hand.
inline std::string timedBytes(const std::string& setPath, const std::string& interval,
                              const std::string& runTime, const std::string& date,
                              const std::string& result) {
    auto pad = [](const std::string& text, std::size_t width) {
        std::string field = text.substr(0, width);
        field.resize(width, ' ');
        return field;
    };
    return pad(setPath, 150) + pad(interval, 14) + pad(runTime, 20) + pad(date, 20) +
           pad(result, 7);
}

}  // namespace corvane::test
