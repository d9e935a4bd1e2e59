#pragma once

#include "archive/zip_item.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::archive::test {

// Builds archives record by record, for tests of the reader against what no writer here
// makes: foreign encryption, entries that share their data, hostile names and links.
class RawZip {
public:
    // Appends a local header for `item` followed by `data` exactly as given (already
    // compressed or encrypted), and remembers its central record. Returns the local offset.
    std::uint64_t add(ZipItem item, std::string_view data);
    // Remembers a central record without writing anything: it may point anywhere.
    void addCentral(const ZipItem& item) {
        m_central += encodeCentral(item);
        ++m_count;
    }
    // Appends bytes as they are.
    void appendRaw(std::string_view bytes) { m_bytes += bytes; }
    std::uint64_t size() const { return m_bytes.size(); }
    // The archive: what was appended, the central directory and the end record.
    std::string finish() const;

private:
    static std::string encodeCentral(const ZipItem& item);

    std::string m_bytes;
    std::string m_central;
    std::uint64_t m_count = 0;
};

// An item made on Unix with `mode` (type bits included), sizes and CRC of `content`.
ZipItem unixItem(std::string name, std::string_view content, std::uint32_t mode);
// `content` as a raw deflate stream (ISA-L).
std::string deflateData(std::string_view content);
// A raw deflate stream of `size` zero bytes, about a thousandth of that long.
std::string deflateZeros(std::uint64_t size);

}  // namespace corvane::archive::test
