// Engines and piece joining, the deflate block walker, CRC combining.
#include "archive/crc32.h"
#include "archive/deflate_engine.h"
#include "archive/deflate_scan.h"
#include "archive/inflate_stream.h"
#include "archive_support.h"

#include <gtest/gtest.h>

#include <span>

namespace corvane::archive {
namespace {

using test::randomData;
using test::textData;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// Inflates a whole stream, fed in small slices to exercise the streaming path; nothing when the
// stream is damaged, cut short or followed by other bytes.
std::optional<std::vector<std::uint8_t>> inflateAll(std::span<const std::uint8_t> stream) {
    Inflater inflater;
    std::vector<std::uint8_t> out;
    const auto sink = [&](std::span<const std::uint8_t> block) {
        out.insert(out.end(), block.begin(), block.end());
    };
    for (std::size_t at = 0; at < stream.size() || (at == 0 && stream.empty()); at += 4093) {
        std::size_t leftover = 0;
        const auto slice = stream.subspan(at, std::min<std::size_t>(4093, stream.size() - at));
        const auto outcome = inflater.feed(slice, sink, leftover);
        if (outcome == Inflater::Outcome::Failed) return std::nullopt;
        if (outcome == Inflater::Outcome::Finished) {
            if (leftover != 0 || at + slice.size() != stream.size()) return std::nullopt;
            return out;
        }
    }
    return std::nullopt;
}

std::string zeros(std::size_t size, unsigned) {
    return std::string(size, '\0');
}
std::string mixed(std::size_t size, unsigned seed) {
    return textData(size / 2, seed) + randomData(size - size / 2, seed);
}

TEST(DeflateEngine, WholeBuffersAndJoinedPiecesRoundTripAtEveryLevel) {
    const std::pair<const char*, std::string (*)(std::size_t, unsigned)> kinds[] = {
        {"text", textData}, {"random", randomData}, {"zeros", zeros}, {"mixed", mixed}};
    for (int level = 0; level <= 9; ++level) {
        Compressor compressor(level);
        for (const auto& [kind, make] : kinds) {
            SCOPED_TRACE(std::string(kind) + " level " + std::to_string(level));
            for (const std::size_t size : {0u, 1u, 100u, 70000u}) {
                const auto input = bytesOf(make(size, 7));
                const auto packed = compressor.compressWhole(input);
                if (packed.empty()) continue;  // no gain: the caller stores
                EXPECT_LT(packed.size(), input.size()) << size;
                EXPECT_EQ(inflateAll(packed), input) << size;
            }
            // Uneven pieces, an empty one among them, as a shrinking file gives.
            const auto input = bytesOf(make(3 * 100000 + 17, 3));
            const std::size_t cuts[] = {0, 100000, 100000, 250000, input.size()};
            std::vector<std::uint8_t> joined;
            for (std::size_t at = 0; at + 1 < std::size(cuts); ++at) {
                ByteBuffer out;
                compressor.compressPiece(
                    std::span(input).first(cuts[at]),
                    std::span(input).subspan(cuts[at], cuts[at + 1] - cuts[at]),
                    at + 2 == std::size(cuts), out);
                joined.insert(joined.end(), out.begin(), out.end());
            }
            EXPECT_EQ(inflateAll(joined), input);
        }
    }
}

TEST(DeflateScan, FindsTheFinalBlockRejectsDamageAndJoinsStreams) {
    ByteBuffer stored;
    appendStoredBlocks(bytesOf(randomData(70000, 5)), true, stored);
    const auto final = findFinalBlock(stored);
    ASSERT_TRUE(final.has_value());
    EXPECT_EQ(final->headerBit, (5 + 65535) * 8u);
    EXPECT_EQ(final->endBit, stored.size() * 8);
    const std::pair<const char*, std::vector<std::uint8_t>> broken[] = {
        {"empty", {}},
        {"reserved block type", {0x07}},
        {"stored length mismatch", {0x01, 0x05, 0x00, 0x00, 0x00}},
        {"cut short", {stored.begin(), stored.begin() + 100}},
        {"no final block", {stored.begin(), stored.begin() + 5 + 65535}},
    };
    for (const auto& [name, stream] : broken)
        EXPECT_FALSE(findFinalBlock(stream).has_value()) << name;

    // A joinable stream ends on a byte and another stream may follow it.
    Compressor compressor(9);
    const auto first = bytesOf(textData(50000, 9));
    const auto second = bytesOf(textData(30000, 10));
    const auto firstPacked = compressor.compressWhole(first);  // a view into the compressor
    ByteBuffer a(firstPacked.begin(), firstPacked.end());
    const auto secondPacked = compressor.compressWhole(second);
    ASSERT_TRUE(makeJoinable(a));
    EXPECT_EQ(std::vector<std::uint8_t>(a.end() - 4, a.end()),
              (std::vector<std::uint8_t>{0, 0, 0xFF, 0xFF}));
    a.insert(a.end(), secondPacked.begin(), secondPacked.end());
    auto expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(inflateAll(a), expected);
}

TEST(Crc32, CombineEqualsTheCrcOfTheWhole) {
    EXPECT_EQ(crc32Update(0, bytesOf("123456789")), 0xCBF43926u);  // the check value
    const auto data = bytesOf(randomData(300000, 4));
    for (const std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, data.size()}) {
        const auto tail = std::span(data).subspan(cut);
        EXPECT_EQ(crc32Combine(crc32Update(0, std::span(data).first(cut)), crc32Update(0, tail),
                               tail.size()),
                  crc32Update(0, data))
            << cut;
    }
}

}  // namespace
}  // namespace corvane::archive
