#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane::archive {

// Why a file was left out (the reason of ArchiveObserver::onSkippedFile). Reasons from 100 up
// mean the file could not be opened or read; they make a run end with kDoneWithWarnings.
enum SkipReason : int {
    kSkipNotNewer = 1,       // freshen: not newer than its archived copy (that copy stays)
    kSkipNotInArchive = 2,   // not in the archive and only archived files are updated
    kSkipNewer = 3,          // newer than its archived copy, and such files are skipped
    kSkipSpecialFile = 4,    // a device, pipe or socket: not a file, folder or link
    kSkipDuplicateName = 5,  // another file already has this stored name
    kSkipNameTooLong = 6,    // the stored name does not fit a ZIP header
    kSkipCannotOpen = 100,   // cannot be opened (missing, no permission)
    kSkipReadFailed = 101,   // a read failed part way (device error)
    kSkipUnsupported = 102,  // test: an entry this reader cannot check (method, encryption)
    kSkipUnwritable = 103,   // extract: the entry's file cannot be created where it goes
    // Update: an archived entry kept as it was although its protection does not match the
    // run's password (it could be neither re-encrypted nor added again from its file).
    kSkipProtectionKept = 104,
    // A file that changed while it was read (it shrank, grew or was written to): nothing of it
    // is stored, so that no entry mixes old and new content.
    kSkipChangedWhileRead = 105,
};

// The progress of a whole operation.
struct OverallProgress {
    std::uint64_t filesTotal = 0;
    std::uint64_t filesDone = 0;
    std::uint64_t bytesTotal = 0;  // bytes of the files to process (uncompressed)
    std::uint64_t bytesDone = 0;
    int ratioPercent = 0;  // space saved so far: 100 - compressed * 100 / uncompressed
};

// The events of the archive component. Every handler has a harmless default; all are called
// on the thread that started the operation, in archive order, while the operation runs. A
// handler may call Archiver::requestAbort(). Names are the file's path as the user knows it:
// the source path when compressing or previewing, the stored name when testing.
class ArchiveObserver {
public:
    virtual ~ArchiveObserver() = default;

    // Progress of one file; `lastReport` marks its final report (100%).
    virtual void onFileProgress(const std::string& /*name*/, int /*percent*/, bool /*lastReport*/) {
    }
    virtual void onOverallProgress(const OverallProgress& /*progress*/) {}
    // Preview: a file it takes into account.
    virtual void onPreviewingFile(const std::string& /*name*/) {}
    // Preview: done; the estimated archive size in bytes.
    virtual void onOperationComplete(std::uint64_t /*estimatedBytes*/) {}
    virtual void onSkippedFile(const std::string& /*name*/, int /*reason*/) {}
    // Test: an entry is damaged or inconsistent. Return false to stop the test (kAborted).
    virtual bool onIntegrityWarning(const std::string& /*name*/) { return true; }
    // Compress: a file about to be added, with its size; `storedName` is the name it will have
    // in the archive and may be changed. Return false to stop the run (kStoppedByHandler).
    virtual bool onPreprocessingFile(const std::string& /*name*/, std::uint64_t /*size*/,
                                     std::string& /*storedName*/) {
        return true;
    }
    // A disk is wanted: numbers 2, 3, ... while writing a split archive, 1, 2, ... or 0 (the
    // last disk) while reading one. Return true once it is inserted, false to stop the run
    // (kStoppedByHandler).
    virtual bool onInsertDisk(int /*number*/) { return true; }
    // Reading: volume `number` is not at `expected`. Return true to look again, with
    // `foundAt` set when the user located the file elsewhere; false stops the run as
    // onInsertDisk does. By default the disk is asked for.
    virtual bool onVolumeMissing(int number, const std::string& /*expected*/,
                                 std::string& /*foundAt*/) {
        return onInsertDisk(number);
    }
    // The folder a new volume goes to already holds files. Return true to delete those files
    // (only files directly in that folder); false leaves them.
    virtual bool onDiskNotEmpty(const std::string& /*folder*/) { return false; }
    // An encrypted entry needs a password (none set, or the one set is wrong). Set `password`
    // and return true to try it; false stops the operation: kAborted when the handler set the
    // abort request (the user's Cancel), else kWrongPassword.
    virtual bool onPasswordNeeded(std::string& /*password*/) { return false; }
    // Test and extract: how entry `index` of the listing came out (kDone, or the code saying
    // why it failed or was left out) with the reader's detail. Once per entry, in order.
    virtual void onEntryResult(std::size_t /*index*/, int /*code*/, const std::string& /*detail*/) {
    }
};

}  // namespace corvane::archive
