#include "archive/result_codes.h"

namespace corvane::archive {

const char* describeResult(int code) {
    switch (code) {
        case kDone:
            return "done";
        case kStoppedByHandler:
            return "stopped by an event handler";
        case kAborted:
            return "cancelled";
        case kCannotCreate:
            return "cannot create the archive";
        case kCannotOpen:
            return "cannot open the archive";
        case kWriteFailed:
            return "writing the archive failed";
        case kNotZip:
            return "not a ZIP archive, or damaged";
        case kWrongPassword:
            return "wrong password";
        case kCrcMismatch:
            return "data does not match its check value";
        case kUnsupported:
            return "unsupported compression method or feature";
        case kNothingToDo:
            return "nothing to do";
        case kDoneWithWarnings:
            return "done with warnings";
        case kVolumeMissing:
            return "a volume of the archive is missing";
        case kBadArguments:
            return "invalid settings";
        case kInternalError:
            return "out of memory or a system failure";
        case kNothingBackedUp:
            return "none of the set's files was found: nothing was backed up";
        default:
            return code < 1 ? "done" : "unknown error";
    }
}

}  // namespace corvane::archive
