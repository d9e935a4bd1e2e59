// Engines: whole buffers and pieces compressed apart inflate to the input at every level, and
// the guess that data will not shrink comes from real compression.
#include "archive/deflate_engine.h"
#include "archive/inflate_stream.h"
#include "archive_support.h"
#include "temp_folder.h"

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

TEST(DeflateEngine, TextIsToldFromBinaryData) {
    const std::string tarOfText = std::string(400, '\0') + textData(8000, 5);  // header padding
    std::string machineCode;
    while (machineCode.size() < 8192)
        machineCode += std::string("\x48\x89\xe5\x00\x00\x00\x01\x0f\x05", 9);
    EXPECT_TRUE(looksLikeText(bytesOf(textData(20000, 1))));
    EXPECT_TRUE(looksLikeText(bytesOf(tarOfText)));
    EXPECT_FALSE(looksLikeText(bytesOf(randomData(20000, 2))));
    EXPECT_FALSE(looksLikeText(bytesOf(machineCode)));
}

}  // namespace
}  // namespace corvane::archive

namespace corvane::archive {
namespace {

// Base64 of random bytes, in 76-character lines as mail and PEM files hold it.
std::string base64Text(std::size_t size, unsigned seed) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string bytes = randomData(size, seed);
    std::string text;
    for (std::size_t at = 0; text.size() < size; ++at) {
        text += kAlphabet[static_cast<unsigned char>(bytes[at % bytes.size()]) & 63];
        if (text.size() % 77 == 76) text += '\n';
    }
    text.resize(size);
    return text;
}

TEST(DeflateEngine, TextOfASmallAlphabetIsCompressedNotStored) {
    // gzip -6 gives about 76% on such text; a stored entry would be 100%.
    struct Case {
        const char* name;
        std::string data;
        bool shrinks;
    };
    const Case cases[] = {
        {"base64, 405 KB (one job)", base64Text(405'000, 1), true},
        {"base64, 6 MB (in pieces)", base64Text(6'000'000, 2), true},
        {"random bytes, 405 KB", randomData(405'000, 3), false},
        {"random bytes, 6 MB", randomData(6'000'000, 4), false},
    };
    corvane::test::TempFolder folder;
    for (const Case& c : cases) {
        for (const int level : {1, 6, 9}) {
            SCOPED_TRACE(std::string(c.name) + ", level " + std::to_string(level));
            const std::string file = folder / "data.txt";
            test::writeFile(file, c.data);
            test::ZipUnderTest zip;
            zip.settings.archivePath = folder / "out.bac";
            zip.settings.level = level;
            zip.settings.includes = {file};
            ASSERT_EQ(zip.compress(), 0);
            const auto entries = test::extractAll(zip.settings.archivePath);
            ASSERT_EQ(entries.size(), 1u);
            const ZipItem& item = entries.begin()->second.item;
            EXPECT_EQ(entries.begin()->second.content.size(), c.data.size());
            if (c.shrinks) {
                EXPECT_EQ(item.method, zip::kMethodDeflate);
                EXPECT_LT(item.compressedSize, c.data.size() * 80 / 100);
            } else {
                EXPECT_EQ(item.method, zip::kMethodStore);
            }
        }
    }
}

}  // namespace
}  // namespace corvane::archive
