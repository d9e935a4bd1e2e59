#include "app/command_gate.h"

namespace corvane {

bool CommandGate::availableDuringOperation(CommandId id) {
    switch (id) {
        case CommandId::File:
        case CommandId::Actions:
        case CommandId::Options:
        case CommandId::View:
        case CommandId::Help:
        case CommandId::AddMenu:
        case CommandId::HelpContents:
        case CommandId::HelpQXHome:
        case CommandId::HelpCVHome:
            return true;
        default:
            return false;
    }
}

bool CommandGate::isEnabled(CommandId id) const {
    const bool state = m_states[static_cast<std::size_t>(id)];
    return state && (m_depth == 0 || availableDuringOperation(id));
}

void CommandGate::setCommandEnabled(CommandId id, bool enabled) {
    m_states[static_cast<std::size_t>(id)] = enabled;
    apply(id);
}

void CommandGate::beginOperation() {
    if (m_depth++ > 0) return;
    for (std::size_t index = 0; index < kCommandCount; ++index) {
        const auto id = static_cast<CommandId>(index);
        if (!availableDuringOperation(id)) m_inner.setCommandEnabled(id, false);
    }
}

void CommandGate::endOperation() {
    if (m_depth == 0 || --m_depth > 0) return;
    for (std::size_t index = 0; index < kCommandCount; ++index) {
        apply(static_cast<CommandId>(index));
    }
}

}  // namespace corvane
