#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

struct OverallProgress {
    std::uint64_t filesTotal = 0;
    std::uint64_t filesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::uint64_t bytesDone = 0;
    int ratioPercent = 0;
};

// The component's events, raised on the thread that called the operation while it runs.
class ComponentEvents {
public:
    virtual ~ComponentEvents() = default;
    virtual void fileProgress(const std::string& /*name*/, int /*percent*/, bool /*last*/) {}
    virtual void overallProgress(const OverallProgress& /*progress*/) {}
    virtual void previewingFile(const std::string& /*name*/) {}
    virtual void operationComplete(std::uint64_t /*estimatedBytes*/) {}
    // reason >= 100: the file cannot be opened.
    virtual void skippedFile(const std::string& /*name*/, int /*reason*/) {}
    // Returns false to stop the test.
    virtual bool integrityWarning(const std::string& /*name*/) { return true; }
    // Returns false to stop the run (result 517); may change the name stored for the file.
    virtual bool preprocessingFile(const std::string& /*name*/, std::uint64_t /*size*/,
                                   std::string& /*storedName*/) {
        return true;
    }
    // Disk `number` (0: the last disk) is wanted; returns false when the user refused.
    virtual bool insertDisk(int /*number*/) { return true; }
    // The folder of a new volume holds files; returns true to clear them.
    virtual bool diskNotEmpty(const std::string& /*folder*/) { return false; }
    // Returns false to abort; otherwise `password` holds the one to try.
    virtual bool passwordNeeded(std::string& /*password*/) { return false; }
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
    virtual int preview(ComponentEvents& events) = 0;
    virtual int compress(ComponentEvents& events) = 0;
    virtual int test(ComponentEvents& events) = 0;
    // Asks the running operation to stop; it then returns 518.
    virtual void requestAbort() = 0;
    virtual int currentOperation() const = 0;
};

}  // namespace corvane
