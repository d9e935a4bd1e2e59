#pragma once

#include <string>

#include "common/result.h"
#include "platform/manager_process.h"

namespace corvane {

// How the timed backup list stops the Timed Backups Manager before it changes the schedule and
// starts it again afterwards. Tests substitute a recording fake or drive a real manager.
class ManagerControl {
public:
    virtual ~ManagerControl() = default;
    // Stops a running manager; an error when its state cannot be read.
    virtual Result<ManagerStop> stop() = 0;
    virtual Status start() = 0;
};

// The real manager: found through its pid file in the program folder, stopped with SIGTERM and
// started as `managerProgram` with no argument (by default cvtimer beside the running
// executable), which shows its tray icon where the desktop has a tray.
class ProcessManagerControl final : public ManagerControl {
public:
    explicit ProcessManagerControl(std::string programFolder, std::string managerProgram = {});

    Result<ManagerStop> stop() override;
    Status start() override;

private:
    std::string m_programFolder;
    std::string m_managerProgram;
};

}  // namespace corvane
