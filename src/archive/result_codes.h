#pragma once

namespace corvane::archive {

// The result codes of the archive component's operations: the one table of them. The README
// lists it for users who read error.log.
enum ResultCode : int {
    kDone = 0,
    kStoppedByHandler =
        517,               // an event handler stopped the run (disk change refused, file too big)
    kAborted = 518,        // the abort request was set (Cancel)
    kCannotCreate = 519,   // the archive (or a temporary file for it) cannot be created
    kCannotOpen = 520,     // the archive (or one of its volumes) cannot be opened
    kWriteFailed = 521,    // writing failed (disk full, device error)
    kNotZip = 522,         // not a ZIP archive, or damaged beyond reading
    kWrongPassword = 523,  // no password, or the wrong one, for an encrypted entry
    kCrcMismatch = 524,    // an entry's data does not match its CRC or authentication code
    kUnsupported = 525,    // a compression method or feature this reader does not handle
    kNothingToDo = 526,    // no file matched, or freshen found nothing newer
    kDoneWithWarnings = 527,  // done, but files were skipped
    kVolumeMissing = 528,     // a volume of a split archive was not found
    kBadArguments = 529,      // the settings do not describe a possible run
    kInternalError = 530,     // out of memory, or a system service (random numbers) failed
    // Given by a backup run, not the component: "nothing to do" or "files skipped", and no
    // archive at the destination, as none of the set's files or folders was found.
    kNothingBackedUp = 531,
};

// How a run counts a result: below 1, 526 and 527 are successes; 517 and 518 are cancels;
// everything else is a failure.
inline bool isSuccess(int code) {
    return code < 1 || code == kNothingToDo || code == kDoneWithWarnings;
}
inline bool isCancelled(int code) {
    return code == kAborted || code == kStoppedByHandler;
}
inline bool isFailure(int code) {
    return !isSuccess(code) && !isCancelled(code);
}

// A short English description of a code, for logs and messages.
const char* describeResult(int code);

}  // namespace corvane::archive
