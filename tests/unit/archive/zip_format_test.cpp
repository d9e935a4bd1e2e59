// ZIP records: encoding against decoding, ZIP64 placeholders, DOS times, names, masks.
#include "archive/result_codes.h"
#include "archive/wildcard.h"
#include "archive/zip_header.h"
#include "common/le_codec.h"

#include <gtest/gtest.h>

namespace corvane::archive {
namespace {

ZipItem sampleItem(std::uint64_t compressed, std::uint64_t uncompressed, std::uint64_t offset,
                   std::uint32_t disk) {
    ZipItem item;
    item.name = "home/ann/r\xC3\xA9sum\xC3\xA9.txt";
    item.method = zip::kMethodDeflate;
    item.dosTime = toDosTime(1700000000);
    item.unixMtime = 1700000000;
    item.crc = 0xDEADBEEF;
    item.compressedSize = compressed;
    item.uncompressedSize = uncompressed;
    item.localOffset = offset;
    item.diskStart = disk;
    item.externalAttributes = 0100644u << 16;
    return item;
}

TEST(ZipRecords, HeadersRoundTripWithAndWithoutZip64) {
    struct Case {
        std::uint64_t compressed, uncompressed, offset;
        std::uint32_t disk;
    };
    const Case cases[] = {
        {100, 200, 300, 0},
        {zip::kMax32 - 1, zip::kMax32 - 1, zip::kMax32 - 1, 0xFFFE},  // the largest plain values
        {zip::kMax32, 5, 7, 0},                                       // each field alone
        {5, std::uint64_t{6} << 32, 7, 0},
        {5, 6, std::uint64_t{1} << 40, 0},
        {5, 6, 7, 0x10000},
        {std::uint64_t{1} << 33, std::uint64_t{1} << 34, std::uint64_t{1} << 35, 70000},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.offset);
        ZipItem item = sampleItem(test.compressed, test.uncompressed, test.offset, test.disk);
        item.aes = AesInfo{zip::kAesVersion2, zip::kAesStrength256, zip::kMethodStore};
        const Bytes record = encodeCentralHeader(item);
        std::size_t consumed = 0;
        auto parsed = parseCentralHeader(record, consumed);
        ASSERT_TRUE(parsed.ok());
        EXPECT_EQ(consumed, record.size());
        EXPECT_EQ(parsed->name, item.name);
        EXPECT_EQ(parsed->compressedSize, test.compressed);
        EXPECT_EQ(parsed->uncompressedSize, test.uncompressed);
        EXPECT_EQ(parsed->localOffset, test.offset);
        EXPECT_EQ(parsed->diskStart, test.disk);
        EXPECT_EQ(parsed->unixMtime, item.unixMtime);
        ASSERT_TRUE(parsed->aes.has_value());
        EXPECT_EQ(parsed->aes->vendorVersion, zip::kAesVersion2);
        EXPECT_EQ(parsed->dataMethod(), zip::kMethodStore);
        EXPECT_EQ(parsed->unixMode(), 0100644u);

        // The local header carries the sizes in a ZIP64 field when asked.
        const Bytes header = encodeLocalHeader(item, false, true);
        auto local = parseLocalFixed(header);
        ASSERT_TRUE(local.ok());
        auto complete = completeLocal(*local, std::span(header).subspan(zip::kLocalHeaderSize));
        ASSERT_TRUE(complete.ok());
        EXPECT_EQ(complete->sizes.compressed, item.compressedSize);
        EXPECT_EQ(complete->sizes.uncompressed, item.uncompressedSize);
        EXPECT_EQ(complete->totalSize(), header.size());
    }
    // A streamed entry leaves its CRC to the data descriptor.
    auto streamed = parseLocalFixed(encodeLocalHeader(sampleItem(1, 2, 3, 0), true, false));
    ASSERT_TRUE(streamed.ok());
    EXPECT_EQ(streamed->crc, 0u);
    EXPECT_NE(streamed->flags & zip::kFlagDataDescriptor, 0);
}

TEST(ZipRecords, MalformedRecordsAreDamageNotCrashes) {
    ZipItem item = sampleItem(10, 20, 30, 0);
    item.localOffset = zip::kMax32;  // needs a ZIP64 field
    Bytes record = encodeCentralHeader(item);
    std::size_t consumed = 0;
    struct Case {
        const char* name;
        Bytes bytes;
    };
    Bytes badSignature = record;
    badSignature[0] = 'Q';
    Bytes shortZip64 = record;
    // Shrink the ZIP64 field to 4 bytes: the offset it must hold no longer fits.
    const std::size_t extraAt = zip::kCentralHeaderSize + item.name.size();
    le::putU16(shortZip64, extraAt + 2, 4);
    const Case cases[] = {
        {"empty", {}},
        {"bad signature", badSignature},
        {"cut in the name", Bytes(record.begin(), record.begin() + zip::kCentralHeaderSize + 3)},
        {"short ZIP64 field", shortZip64},
    };
    for (const auto& test : cases) {
        auto parsed = parseCentralHeader(test.bytes, consumed);
        ASSERT_FALSE(parsed.ok()) << test.name;
        EXPECT_EQ(parsed.error().code, kNotZip) << test.name;
    }
}

TEST(ZipItem, DosTimesAndUtf8Names) {
    const std::int64_t even = 1700000000;
    EXPECT_EQ(fromDosTime(toDosTime(even)), even);
    EXPECT_EQ(fromDosTime(toDosTime(even + 1)), even);        // odd seconds round down
    EXPECT_EQ(toDosTime(0) >> 16, (1u << 5) | 1u);            // before 1980: 1980-01-01
    EXPECT_EQ(toDosTime(std::int64_t{1} << 40) >> 25, 127u);  // far future: 2107
    const std::pair<const char*, bool> names[] = {
        {"plain.txt", true},        {"r\xC3\xA9sum\xC3\xA9", true},
        {"\xF0\x9F\x98\x80", true}, {"latin1 \xE9t\xE9", false},
        {"cut \xC3", false},        {"\x80 stray", false},
    };
    for (const auto& [name, utf8] : names)
        EXPECT_EQ(isUtf8(name), utf8) << name;
}

TEST(Wildcard, MatchesStarsAndQuestionMarksCaseSensitively) {
    struct Case {
        const char* mask;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"*.txt", "notes.txt", true},
        {"*.txt", "notes.TXT", false},
        {"*.txt", "a/b/notes.txt", true},  // "*" crosses folders
        {"/home/*/cache", "/home/ann/cache", true},
        {"/home/*/cache", "/home/ann/cache/x", false},
        {"?.c", "a.c", true},
        {"?.c", "ab.c", false},
        {"?.c", "\xC3\xA9.c", true},  // "?" is one character, not one byte
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"*", "", true},
        {"", "", true},
        {"", "x", false},
        {"**", "anything", true},
        // A backslash makes the next character literal (a file entry's own name).
        {"a\\*.txt", "a*.txt", true},
        {"a\\*.txt", "ab.txt", false},
        {"b\\?", "b?", true},
        {"b\\?", "bx", false},
        {"c\\\\d", "c\\d", true},
        {"*\\*", "x*", true},
        {"end\\", "end\\", true},
    };
    for (const auto& test : cases)
        EXPECT_EQ(matchesMask(test.mask, test.text), test.match) << test.mask << " " << test.text;
}

}  // namespace
}  // namespace corvane::archive
