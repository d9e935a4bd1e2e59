#pragma once

#include "archive/archive_observer.h"
#include "archive/output_file.h"
#include "archive/result_codes.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::archive {

// The archive component: writes, tests and previews standard ZIP archives.
//
// Set the fields, fill the lists, then call one operation; it blocks until done and returns a
// code of result_codes.h (isSuccess / isCancelled / isFailure tell how a run counts). Events
// reach the observer on the calling thread while the operation runs; requestAbort() may be
// called from any thread or from a handler. Compressing runs on worker threads internally.
//
//   Archiver zip;
//   zip.archivePath = "/media/usb/Office.bac";
//   zip.addInclude("/home/ann/Documents/*");        // a whole folder
//   zip.addInclude("/home/ann/notes.txt");          // one file...
//   zip.addExclusion("/home/ann/");                 // ...from its own folder only
//   zip.addExclusion("*.tmp");
//   zip.level = 6;
//   zip.setObserver(&progressWindow);
//   int result = zip.compress();                    // kDone, 527 when files were skipped...
//
// compress() with all update switches off writes a new archive and replaces an existing one
// only when the new one is complete. With skipIfNotNewer / skipIfNotInArchive / skipIfNewer
// it updates the existing archive: unchanged entries are copied as they are, and the result
// again replaces the old archive only on success. spanDisks writes volumes name.z01, name.z02,
// ... and name.bac of diskSize bytes each (0 = the free space of each disk inserted).
class Archiver {
public:
    Archiver() = default;
    Archiver(const Archiver&) = delete;
    Archiver& operator=(const Archiver&) = delete;

    std::string archivePath;
    int level = 6;   // 0 store, 1 fastest ... 9 smallest
    int method = 8;  // 8 deflate (0 stores everything)
    bool spanDisks = false;
    std::uint64_t diskSize = 0;       // bytes per volume; 0 = the free space of each inserted disk
    bool skipIfNotInArchive = false;  // update only files already in the archive
    bool skipIfNotNewer = false;      // freshen: leave files not newer than their copy
    bool skipIfNewer = false;         // leave files newer than their archived copy
    bool useTempCopy = false;         // build the new archive in tempFolder (when it exists)
    std::string tempFolder;
    std::string password;  // non-empty: WinZip AES-256 for every file
    bool runStart = true;

    void addInclude(const std::string& entry) { m_includes.push_back(entry); }
    void addExclusion(const std::string& entry) { m_exclusions.push_back(entry); }
    void clearLists();
    const std::vector<std::string>& includes() const { return m_includes; }
    const std::vector<std::string>& exclusions() const { return m_exclusions; }

    // Lists emptied, update switches off, temporary copy off, temporary folder and password
    // empty, the run-start switch on, the abort request cleared. Path, level, method and span
    // settings stay.
    void reset();

    void setObserver(ArchiveObserver* observer) { m_observer = observer; }

    // Thread-safe; the running operation stops soon after with kAborted.
    void requestAbort() { m_abort.store(true); }

    // Estimates the compressed size of the selection: previewing-file events, then
    // operation-complete with the estimate in bytes.
    int preview();
    int compress();
    // Checks every entry of the archive at archivePath.
    int test();

    // 0 idle, 1 previewing, 3 compressing, 6 testing.
    int currentOperation() const { return m_operation.load(); }

    // Where archives are written; tests put a failing device here. Null: plain files.
    void setOutputFactory(OutputFactory* factory) { m_outputFactory = factory; }

    enum Operation : int { kIdle = 0, kPreviewing = 1, kCompressing = 3, kTesting = 6 };

private:
    template <class Run>
    int perform(Operation operation, Run run);

    std::vector<std::string> m_includes;
    std::vector<std::string> m_exclusions;
    ArchiveObserver* m_observer = nullptr;
    OutputFactory* m_outputFactory = nullptr;
    std::atomic<bool> m_abort{false};
    std::atomic<int> m_operation{kIdle};
};

}  // namespace corvane::archive
