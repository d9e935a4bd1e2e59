#pragma once

#include <string>

#include "app/host.h"
#include "app/run_flags.h"
#include "config/config_store.h"
#include "engine/archive_component.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "sets/set_document.h"

namespace corvane {

// What a backup, test or preview works with.
struct EngineContext {
    std::string programFolder;
    ConfigStore& config;
    const RunFlags& flags;
    Host& host;
    SetDocument& document;
    ArchiveComponent& component;
    const Clock& clock;
    const Drives& drives;
};

}  // namespace corvane
