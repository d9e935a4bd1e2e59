// Engines, piece joining, streaming inflate, CRC combining and WinZip AES primitives.
#include "archive/crc32.h"
#include "archive/deflate_engine.h"
#include "archive/deflate_scan.h"
#include "archive/inflate_stream.h"
#include "archive/winzip_aes.h"
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

// Inflates a whole stream, fed in small slices to exercise the streaming path.
std::optional<std::vector<std::uint8_t>> inflateAll(std::span<const std::uint8_t> stream) {
    Inflater inflater;
    std::vector<std::uint8_t> out;
    const auto sink = [&](std::span<const std::uint8_t> block) {
        out.insert(out.end(), block.begin(), block.end());
    };
    for (std::size_t at = 0; at < stream.size() || stream.empty(); at += 4093) {
        std::size_t leftover = 0;
        const auto slice = stream.subspan(at, std::min<std::size_t>(4093, stream.size() - at));
        const auto outcome = inflater.feed(slice, sink, leftover);
        if (outcome == Inflater::Outcome::Failed) return std::nullopt;
        if (outcome == Inflater::Outcome::Finished) {
            if (leftover != 0 || at + slice.size() != stream.size()) return std::nullopt;
            return out;
        }
        if (stream.empty()) break;
    }
    return std::nullopt;
}

struct DataKind {
    const char* name;
    std::string (*make)(std::size_t, unsigned);
};

std::string zeros(std::size_t size, unsigned) {
    return std::string(size, '\0');
}
std::string mixed(std::size_t size, unsigned seed) {
    return textData(size / 2, seed) + randomData(size - size / 2, seed);
}

const DataKind kKinds[] = {
    {"text", textData}, {"random", randomData}, {"zeros", zeros}, {"mixed", mixed}};

TEST(DeflateEngine, WholeBuffersRoundTripOrReportNoGainAtEveryLevel) {
    for (int level = 0; level <= 9; ++level) {
        Compressor compressor(level);
        for (const auto& kind : kKinds) {
            for (const std::size_t size :
                 {std::size_t{0}, std::size_t{1}, std::size_t{100}, std::size_t{70000}}) {
                const auto input = bytesOf(kind.make(size, 7));
                const auto packed = compressor.compressWhole(input);
                if (packed.empty()) continue;
                EXPECT_LT(packed.size(), input.size()) << level << kind.name << size;
                EXPECT_EQ(inflateAll(packed), input) << level << kind.name << size;
            }
        }
        EXPECT_EQ(engineForLevel(level).kind == EngineKind::Store, level == 0);
    }
}

TEST(DeflateEngine, PiecesConcatenateIntoOneValidStream) {
    for (int level : {0, 1, 3, 6, 9}) {
        Compressor compressor(level);
        for (const auto& kind : kKinds) {
            const auto input = bytesOf(kind.make(3 * 100000 + 17, 3));
            // Uneven pieces, an empty one among them, as a shrinking file gives.
            const std::size_t cuts[] = {0, 100000, 100000, 250000, input.size()};
            std::vector<std::uint8_t> joined;
            for (std::size_t at = 0; at + 1 < std::size(cuts); ++at) {
                const auto history = std::span(input).first(cuts[at]);
                const auto piece = std::span(input).subspan(cuts[at], cuts[at + 1] - cuts[at]);
                ByteBuffer out;
                compressor.compressPiece(history, piece, at + 2 == std::size(cuts), out);
                joined.insert(joined.end(), out.begin(), out.end());
            }
            EXPECT_EQ(inflateAll(joined), input) << level << kind.name;
        }
    }
}

TEST(DeflateEngine, IncompressibleDataIsRecognisedCheaply) {
    Compressor compressor(6);
    EXPECT_TRUE(compressor.looksIncompressible(bytesOf(randomData(200000, 1))));
    EXPECT_FALSE(compressor.looksIncompressible(bytesOf(textData(200000, 1))));
    EXPECT_FALSE(
        compressor.looksIncompressible(bytesOf(randomData(1000, 1))));  // too small to judge
}

TEST(DeflateScan, FindsTheFinalBlockOrRejectsDamage) {
    // Stored blocks: final flag in bit 0 of the second block's first byte.
    ByteBuffer stored;
    const auto data = bytesOf(randomData(70000, 5));
    appendStoredBlocks(data, true, stored);
    const auto final = findFinalBlock(stored);
    ASSERT_TRUE(final.has_value());
    EXPECT_EQ(final->headerBit, (5 + 65535) * 8u);
    EXPECT_EQ(final->endBit, stored.size() * 8);

    struct Case {
        const char* name;
        std::vector<std::uint8_t> stream;
    };
    const Case broken[] = {
        {"empty", {}},
        {"reserved block type", {0x07}},
        {"stored length mismatch", {0x01, 0x05, 0x00, 0x00, 0x00}},
        {"cut short", std::vector<std::uint8_t>(stored.begin(), stored.begin() + 100)},
        {"no final block", std::vector<std::uint8_t>(stored.begin(), stored.begin() + 5 + 65535)},
    };
    for (const auto& test : broken)
        EXPECT_FALSE(findFinalBlock(test.stream).has_value()) << test.name;
}

TEST(DeflateScan, JoinableStreamsDecodeToTheSameBytesAndEndOnAByte) {
    Compressor compressor(9);
    const auto first = bytesOf(textData(50000, 9));
    const auto second = bytesOf(textData(30000, 10));
    const auto firstPacked = compressor.compressWhole(first);
    ByteBuffer a(firstPacked.begin(), firstPacked.end());
    const auto secondPacked = compressor.compressWhole(second);
    ByteBuffer b(secondPacked.begin(), secondPacked.end());
    ASSERT_FALSE(a.empty() || b.empty());
    ASSERT_TRUE(makeJoinable(a));
    EXPECT_EQ(std::vector<std::uint8_t>(a.end() - 4, a.end()),
              (std::vector<std::uint8_t>{0, 0, 0xFF, 0xFF}));
    a.insert(a.end(), b.begin(), b.end());
    auto expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(inflateAll(a), expected);
}

TEST(Inflater, RejectsDamagedStreams) {
    Compressor compressor(6);
    const auto whole = compressor.compressWhole(bytesOf(textData(20000, 2)));
    ASSERT_FALSE(whole.empty());
    const std::vector<std::uint8_t> packed(whole.begin(), whole.end());
    auto damaged = packed;
    damaged[damaged.size() / 2] ^= 0x5A;
    auto truncated = packed;
    truncated.resize(packed.size() / 2);
    const auto damagedOut = inflateAll(damaged);
    // A flipped bit may still decode; it must then give other bytes.
    EXPECT_TRUE(!damagedOut || *damagedOut != bytesOf(textData(20000, 2)));
    EXPECT_FALSE(inflateAll(truncated).has_value());
}

TEST(Crc32, CombineEqualsTheCrcOfTheWhole) {
    const auto data = bytesOf(randomData(300000, 4));
    const std::uint32_t whole = crc32Update(0, data);
    EXPECT_EQ(crc32Update(0, bytesOf("123456789")), 0xCBF43926u);  // the check value
    for (const std::size_t cut :
         {std::size_t{0}, std::size_t{1}, std::size_t{4096}, std::size_t{299999}, data.size()}) {
        const auto head = std::span(data).first(cut);
        const auto tail = std::span(data).subspan(cut);
        EXPECT_EQ(crc32Combine(crc32Update(0, head), crc32Update(0, tail), tail.size()), whole)
            << cut;
    }
}

TEST(WinZipAes, KeysFollowPbkdf2AndCipherRoundTrips) {
    std::vector<std::uint8_t> salt(16);
    for (std::size_t at = 0; at < salt.size(); ++at)
        salt[at] = static_cast<std::uint8_t>(at);
    const AesKeys keys = deriveAesKeys("password", salt, 32);
    // PBKDF2-HMAC-SHA1, 1000 iterations, 66 bytes, as Python's hashlib computes it.
    const std::string expected =
        "0309e2fe4e0bdfe7d0fe4828d41c234416e2d9bfb61cdd8f643a11cfbfdfc119"
        "e78b0eb3d9243415743b2fe4f5e67c6689bd2c3e512d0fda622dd7d1b0565b83"
        "256b";
    std::string derived;
    char hex[3];
    for (const auto& part :
         {keys.encryption, keys.authentication,
          std::vector<std::uint8_t>(keys.verifier.begin(), keys.verifier.end())}) {
        for (const auto byte : part) {
            std::snprintf(hex, sizeof hex, "%02x", byte);
            derived += hex;
        }
    }
    EXPECT_EQ(derived, expected);

    auto data = bytesOf(textData(10000, 8));
    const auto plain = data;
    AesCipher encrypt(keys);
    encrypt.encrypt(std::span(data).first(333));  // odd slices keep the counter right
    encrypt.encrypt(std::span(data).subspan(333));
    const auto code = encrypt.finish();
    EXPECT_NE(data, plain);
    AesCipher decrypt(keys);
    decrypt.decrypt(data);
    EXPECT_EQ(decrypt.finish(), code);
    EXPECT_EQ(data, plain);
}

}  // namespace
}  // namespace corvane::archive
