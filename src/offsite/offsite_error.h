#pragma once

#include "common/result.h"

#include <string>

namespace corvane::offsite {

// Why an off-site operation failed; the value is the Error's code. The caller tells the kinds
// apart through failureOf(), for instance to phrase error.log or to choose an exit status.
enum class Failure {
    Settings = 600,     // Offsite.ini or the credentials file is missing, unsafe or wrong
    LocalFile = 601,    // a local file to send cannot be read
    Unreachable = 602,  // no connection could be made (refused, no route, DNS, TLS, host key)
    CredentialsRefused = 603,  // the remote refused the credentials (401, 403, login denied)
    OutOfSpace = 604,          // the remote has no room (507, 413, EntityTooLarge, quota)
    ConnectionDropped = 605,   // the connection broke or stalled during a transfer
    Cancelled = 606,           // the cancel flag was set
    Refused = 607,             // the remote refused the request for another reason (404, 409...)
    ServerFault = 608,         // the remote failed on its side (5xx)
    Mismatch = 609,            // the remote holds a different size than was sent
    NotFound = 610,            // the object or folder asked for does not exist
};

// An Error of the given kind; `description` is a phrase without a final full stop.
Error failure(Failure kind, std::string description);

// The kind of an Error made here; Refused for any other code.
Failure failureOf(const Error& error);

// A short name of the kind for log lines and messages: "unreachable", "credentials refused"...
std::string failureName(Failure kind);

// Network trouble that another attempt may overcome; refused credentials never are.
bool isRetryable(const Error& error);

}  // namespace corvane::offsite
