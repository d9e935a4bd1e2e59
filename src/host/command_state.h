#pragma once

#include "host/command_id.h"
#include "host/host.h"

#include <array>
#include <initializer_list>

namespace corvane {

// The enabled state of every command, mirrored to the host. Operations change it and read it
// (a set counts as open while "ID_FileSave" is enabled).
class CommandState {
public:
    explicit CommandState(Host& host);

    bool isEnabled(CommandId id) const { return m_enabled[static_cast<std::size_t>(id)]; }
    void enable(CommandId id, bool enabled);
    void enable(std::initializer_list<CommandId> ids, bool enabled);

private:
    Host& m_host;
    std::array<bool, kCommandCount> m_enabled{};
};

// The commands that need a set with content (a file, wildcard or folder entry).
inline constexpr std::initializer_list<CommandId> kContentCommands = {
    CommandId::Backup, CommandId::ActionsBackup, CommandId::BackupSetProperties};

}  // namespace corvane
