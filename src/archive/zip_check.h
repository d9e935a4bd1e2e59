#pragma once

#include "archive/inflate_stream.h"
#include "archive/volume_out.h"
#include "archive/zip_in.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace corvane::archive {

// What one worker thread owns while testing.
struct CheckContext {
    Inflater inflater;
    std::vector<std::uint8_t> buffer;
};

using ReadAt = std::function<Status(VolumePosition, std::span<std::uint8_t>)>;

struct CheckResult {
    int code = 0;                // kDone, or the failure: kCrcMismatch, kNotZip, kUnsupported...
    bool wrongPassword = false;  // the password does not open the entry (code kWrongPassword)
    std::string detail;
};

// Checks one entry: its local header against the central record, its data against the CRC,
// the sizes and the AES authentication code, and its data descriptor if it has one.
CheckResult checkEntry(CheckContext& context, const ZipItem& item, const EntryData& entry,
                       const std::string& password, const ReadAt& read);

// The local header disagrees with the central record: the reason, or empty.
std::string compareHeaders(const ZipItem& item, const LocalHeader& local);

}  // namespace corvane::archive
