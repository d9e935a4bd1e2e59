#pragma once

#include "archive/archiver.h"
#include "config/config_store.h"
#include "host/host.h"
#include "host/run_flags.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "sets/set_document.h"

#include <string>

namespace corvane {

// What a backup, test or preview works with.
struct EngineContext {
    std::string programFolder;
    ConfigStore& config;
    const RunFlags& flags;
    Host& host;
    SetDocument& document;
    archive::ArchiveComponent& component;
    const Clock& clock;
    const Drives& drives;
    const FileSystem& fileSystem;
};

}  // namespace corvane
