#include "offsite/offsite_error.h"

namespace corvane::offsite {

Error failure(Failure kind, std::string description) {
    return Error{static_cast<int>(kind), std::move(description)};
}

Failure failureOf(const Error& error) {
    if (error.code >= static_cast<int>(Failure::Settings) &&
        error.code <= static_cast<int>(Failure::NotFound)) {
        return static_cast<Failure>(error.code);
    }
    return Failure::Refused;
}

std::string failureName(Failure kind) {
    switch (kind) {
        case Failure::Settings:
            return "bad off-site settings";
        case Failure::LocalFile:
            return "local file unreadable";
        case Failure::Unreachable:
            return "remote unreachable";
        case Failure::CredentialsRefused:
            return "credentials refused";
        case Failure::OutOfSpace:
            return "remote out of space";
        case Failure::ConnectionDropped:
            return "connection dropped";
        case Failure::Cancelled:
            return "cancelled";
        case Failure::Refused:
            return "request refused";
        case Failure::ServerFault:
            return "remote server error";
        case Failure::Mismatch:
            return "size check failed";
        case Failure::NotFound:
            return "not found";
    }
    return "request refused";
}

bool isRetryable(const Error& error) {
    switch (failureOf(error)) {
        case Failure::Unreachable:
        case Failure::ConnectionDropped:
        case Failure::ServerFault:
        case Failure::Mismatch:
            return true;
        default:
            return false;
    }
}

}  // namespace corvane::offsite
