#pragma once

#include "archive/archive_reading.h"
#include "archive/inflate_stream.h"
#include "archive/volume_out.h"
#include "archive/zip_in.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace corvane::archive {

// What one worker thread owns while testing or extracting.
struct CheckContext {
    Inflater inflater;
    std::vector<std::uint8_t> buffer;
};

using ReadAt = std::function<Status(VolumePosition, std::span<std::uint8_t>)>;

// The bytes all entries of one run may still decode to, shared by the workers: an archive whose
// entries share their data (a bomb) cannot make a run decode without end.
class DecodeBudget {
public:
    explicit DecodeBudget(std::uint64_t bytes)
        : m_left(static_cast<std::int64_t>(std::min<std::uint64_t>(bytes, INT64_MAX / 2))) {}
    // False once the run has decoded more than it may.
    bool spend(std::uint64_t bytes) {
        const auto amount = static_cast<std::int64_t>(bytes);
        return m_left.fetch_sub(amount, std::memory_order_relaxed) - amount >= 0;
    }

private:
    std::atomic<std::int64_t> m_left;
};

// Where a checked entry's data goes, and what may stop it.
struct CheckOutput {
    EntryTarget* target = nullptr;  // null: the data is only checked
    std::size_t index = 0;          // the entry's number, for target->open
    DecodeBudget* budget = nullptr;
    std::function<bool()> stopped;  // true: the run is ending, stop at once (kAborted)
    std::atomic<std::uint64_t>* decoded = nullptr;  // counts the bytes decoded, for progress
    std::unique_ptr<EntrySink> sink;  // receives the opened sink; closed, not committed
};

struct CheckResult {
    int code = 0;                // kDone, or the failure: kCrcMismatch, kNotZip, kUnsupported...
    bool wrongPassword = false;  // the password does not open the entry (code kWrongPassword)
    std::string detail;
    bool overBudget = false;  // the run's decode budget ran out in this entry
};

// True when this reader can decode the entry: stored or deflated, plain or WinZip AES of a
// known strength.
bool isReadable(const ZipItem& item);

// Checks one entry: its local header against the central record, its data against the CRC,
// the sizes and the AES authentication code, and its data descriptor if it has one. With a
// target, the decoded data also goes to a sink opened once the password proved right.
CheckResult checkEntry(CheckContext& context, const ZipItem& item, const EntryData& entry,
                       const std::string& password, const ReadAt& read, CheckOutput& output);

// The local header disagrees with the central record: the reason, or empty.
std::string compareHeaders(const ZipItem& item, const LocalHeader& local);

}  // namespace corvane::archive
