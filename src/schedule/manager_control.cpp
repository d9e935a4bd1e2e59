#include "schedule/manager_control.h"

#include "platform/process.h"
#include "platform/program_folder.h"

namespace corvane {

ProcessManagerControl::ProcessManagerControl(std::string programFolder, std::string managerProgram)
    : m_programFolder(std::move(programFolder)),
      m_managerProgram(managerProgram.empty() ? siblingProgram(std::string(kManagerProgramName))
                                              : std::move(managerProgram)) {}

Result<ManagerStop> ProcessManagerControl::stop() {
    return stopManager(m_programFolder);
}

Status ProcessManagerControl::start() {
    const auto started = startDetached(m_managerProgram, {});
    if (!started) return started.error();
    return {};
}

}  // namespace corvane
