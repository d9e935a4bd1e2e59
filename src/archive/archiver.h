#pragma once

#include "archive/archive_observer.h"
#include "archive/archive_reading.h"
#include "archive/archive_settings.h"
#include "archive/output_file.h"
#include "archive/result_codes.h"

#include <atomic>

namespace corvane::archive {

// The archive component: writes, tests and previews standard ZIP archives.
//
// Each operation takes the settings of its run, blocks until done and returns a code of
// result_codes.h (isSuccess / isCancelled / isFailure tell how a run counts). Events reach the
// observer on the calling thread while the operation runs; requestAbort() may be called from
// any thread or from a handler.
//
//   ArchiveSettings settings;
//   settings.archivePath = "/media/usb/Office.bac";
//   settings.includes = {"/home/ann/Documents/*",     // a whole folder
//                        "/home/ann/notes.txt"};      // one file...
//   settings.exclusions = {"/home/ann/", "*.tmp"};     // ...from its own folder only
//   int result = archiver.compress(settings, progressWindow);  // kDone, 527 with skips...
//
// compress() with all update switches off writes a new archive and replaces an existing one
// only when the new one is complete. With skipIfNotNewer / skipIfNotInArchive / skipIfNewer
// it updates the existing archive: unchanged entries are copied as they are, and the result
// again replaces the old archive only on success. spanDisks writes volumes name.z01, name.z02,
// ... and name.bac of diskSize bytes each (0 = the free space of each disk inserted).
class ArchiveComponent {
public:
    enum Operation : int {
        kIdle = 0,
        kPreviewing = 1,
        kCompressing = 3,
        kTesting = 6,
        kListing = 7,
        kExtracting = 8
    };

    virtual ~ArchiveComponent() = default;

    // Estimates the compressed size of the selection: previewing-file events, then
    // operation-complete with the estimate in bytes.
    virtual int preview(const ArchiveSettings& settings, ArchiveObserver& events) = 0;
    virtual int compress(const ArchiveSettings& settings, ArchiveObserver& events) = 0;
    // Checks every entry of the archive at settings.archivePath.
    virtual int test(const ArchiveSettings& settings, ArchiveObserver& events) = 0;
    // Thread-safe; the running operation stops soon after with kAborted.
    virtual void requestAbort() = 0;
    virtual Operation currentOperation() const = 0;
};

// Corvane's own ZIP engine, which also lists and extracts. Compressing, testing and extracting
// run on worker threads internally.
class Archiver final : public ArchiveComponent {
public:
    Archiver() = default;
    Archiver(const Archiver&) = delete;
    Archiver& operator=(const Archiver&) = delete;

    int preview(const ArchiveSettings& settings, ArchiveObserver& events) override;
    int compress(const ArchiveSettings& settings, ArchiveObserver& events) override;
    int test(const ArchiveSettings& settings, ArchiveObserver& events) override;
    // The entries of the archive at settings.archivePath (asking for its last disk if needed).
    int list(const ArchiveSettings& settings, ArchiveObserver& events, ArchiveListing& listing);
    // Decodes the requested entries with every check of test() into the request's target;
    // events, codes and Cancel as test() (test is this without a target). A sink is committed
    // only once its entry passed every check.
    int extract(const ArchiveSettings& settings, const ExtractRequest& request,
                ArchiveObserver& events);
    void requestAbort() override { m_abort.store(true); }
    Operation currentOperation() const override { return m_operation.load(); }

    // Where archives are written; tests put a failing device here. Null: plain files.
    void setOutputFactory(OutputFactory* factory) { m_outputFactory = factory; }

private:
    template <class Run>
    int perform(Operation operation, ArchiveObserver& observer, Run run);

    OutputFactory* m_outputFactory = nullptr;
    std::atomic<bool> m_abort{false};
    std::atomic<Operation> m_operation{kIdle};
};

}  // namespace corvane::archive
