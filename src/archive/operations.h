#pragma once

#include "archive/operation_events.h"
#include "archive/output_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::archive {

// Everything an operation reads from the component's settings.
struct ArchiveSettings {
    std::string archivePath;
    std::vector<std::string> includes;
    std::vector<std::string> exclusions;
    int level = 6;
    int method = 8;
    bool spanDisks = false;
    std::uint64_t diskSize = 0;
    bool skipIfNotInArchive = false;
    bool skipIfNotNewer = false;
    bool skipIfNewer = false;
    bool useTempCopy = false;
    std::string tempFolder;
    std::string password;
    OutputFactory* outputFactory = nullptr;  // null: plain files

    bool updating() const { return skipIfNotInArchive || skipIfNotNewer || skipIfNewer; }
};

// The three operations; each returns a code of result_codes.h.
int runCompress(const ArchiveSettings& settings, OperationEvents& events);
int runTest(const ArchiveSettings& settings, OperationEvents& events);
int runPreview(const ArchiveSettings& settings, OperationEvents& events);

}  // namespace corvane::archive
