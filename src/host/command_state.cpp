#include "host/command_state.h"

namespace corvane {

CommandState::CommandState(Host& host) : m_host(host) {
    m_enabled.fill(true);
}

void CommandState::enable(CommandId id, bool enabled) {
    m_enabled[static_cast<std::size_t>(id)] = enabled;
    m_host.setCommandEnabled(id, enabled);
}

void CommandState::enable(std::initializer_list<CommandId> ids, bool enabled) {
    for (const CommandId id : ids)
        enable(id, enabled);
}

}  // namespace corvane
