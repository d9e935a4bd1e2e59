#pragma once

#include "archive/zip_item.h"
#include "common/result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace corvane::archive {

// What list() finds: the entries as the central directory gives them, over every volume.
struct ArchiveListing {
    std::vector<ZipItem> items;  // directory order; indices into this are the entries' numbers
    // overlapping[i]: entry i shares bytes with another entry (a crafted archive). Such an
    // entry is shown but never decoded.
    std::vector<bool> overlapping;
    std::vector<std::string> volumePaths;  // every volume's file, the last one (the archive) last
    std::uint64_t archiveBytes = 0;        // the sizes of the volumes at hand, added up
};

// Where one extracted entry's data goes. write() is called on a worker thread; close() there
// too once the data is all written (checks not yet known); commit() on the calling thread, in
// archive order, once every check (CRC, sizes, authentication code) passed. A sink destroyed
// without commit() must leave nothing behind.
class EntrySink {
public:
    virtual ~EntrySink() = default;
    virtual Status write(std::span<const std::uint8_t> data) = 0;
    virtual Status close() = 0;
    virtual Status commit() = 0;
};

// Opens the sinks of an extraction. open() is called on worker threads (so it must be
// thread-safe) once an entry's password is known to be right, just before its data is read;
// it may be called again for the same entry after a failed attempt (a volume asked for).
class EntryTarget {
public:
    virtual ~EntryTarget() = default;
    virtual Result<std::unique_ptr<EntrySink>> open(std::size_t index, const ZipItem& item) = 0;
};

// Which entries extract() takes and where they go.
struct ExtractRequest {
    std::vector<std::size_t> entries;  // indices of the listing, ascending; empty: every entry
    EntryTarget* target = nullptr;     // null: the data is checked and dropped (a test)
    // The most bytes all entries may decode to together; past it the run stops (kNotZip).
    // 0: the component's own bound, a multiple of the archive's size that no honest
    // archive reaches.
    std::uint64_t outputLimit = 0;
    // The entry count of the listing the indices refer to; 0: not checked. A different
    // count means the archive changed since it was listed (kNotZip).
    std::size_t expectedEntries = 0;
};

}  // namespace corvane::archive
