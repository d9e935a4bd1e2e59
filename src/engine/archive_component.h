#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_observer.h"

namespace corvane {

// What the engine sets on the archive component before an operation.
struct ComponentSettings {
    std::string archivePath;
    std::vector<std::string> includes;
    std::vector<std::string> exclusions;
    int level = 6;   // 0 none, 1 fastest ... 9 smallest
    int method = 8;  // Deflate
    bool spanDisks = false;
    std::uint64_t diskSize = 0;  // 0: the free space of each inserted disk
    bool skipIfNotInArchive = false;
    bool skipIfNotNewer = false;
    bool skipIfNewer = false;  // never turned on by the engine
    bool useTempCopy = false;
    std::string tempFolder;
    std::string password;
    bool runStart = true;
};

// The archive component: writes, tests and previews ZIP archives. Operations return the result
// codes of archive/result_codes.h.
class ArchiveComponent {
public:
    enum Operation { kIdle = 0, kPreviewing = 1, kCompressing = 3, kTesting = 6 };

    virtual ~ArchiveComponent() = default;
    // Lists emptied, update switches and temporary copy off, password empty, run-start on.
    virtual void reset() = 0;
    virtual ComponentSettings& settings() = 0;
    // Events reach `events` on the calling thread while the operation runs.
    virtual int preview(archive::ArchiveObserver& events) = 0;
    virtual int compress(archive::ArchiveObserver& events) = 0;
    virtual int test(archive::ArchiveObserver& events) = 0;
    // Asks the running operation to stop; it then returns 518.
    virtual void requestAbort() = 0;
    virtual int currentOperation() const = 0;
};

}  // namespace corvane
