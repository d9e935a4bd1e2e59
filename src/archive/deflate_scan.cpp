#include "archive/deflate_scan.h"

#include "common/le_codec.h"

#include <algorithm>
#include <array>
#include <memory>

namespace corvane::archive {

namespace {

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kLengthSymbols = 29;
constexpr unsigned kDistanceSymbols = 30;
constexpr unsigned kEndOfBlock = 256;
constexpr std::array<std::uint8_t, kLengthSymbols> kLengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint8_t, kDistanceSymbols> kDistanceExtraBits = {
    0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

// LSB-first bit reader over a 64-bit window; reading past the end yields zeros and is caught
// by `overrun()`.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) { refill(); }

    // Up to 32 bits from the current position.
    std::uint32_t peek(unsigned count) const {
        return static_cast<std::uint32_t>(m_window & ((std::uint64_t{1} << count) - 1));
    }
    std::uint32_t take(unsigned count) {
        const std::uint32_t value = peek(count);
        skip(count);
        return value;
    }
    void skip(std::size_t count) {
        if (count < m_have) {
            m_window >>= count;
            m_have -= static_cast<unsigned>(count);
            m_consumed += count;
        } else {
            // Past the window: whole bytes are stepped over without loading them.
            count -= m_have;
            m_consumed += m_have + count / 8 * 8;
            m_window = 0;
            m_have = 0;
            m_next += count / 8;
            refill();
            const unsigned rest = static_cast<unsigned>(count % 8);
            m_window >>= rest;
            m_have -= std::min(rest, m_have);
            m_consumed += rest;
        }
        if (m_have < 32) refill();
    }
    void alignToByte() { skip((8 - (m_consumed & 7)) & 7); }
    std::size_t position() const { return m_consumed; }
    bool overrun() const { return m_consumed > m_bytes.size() * 8; }

private:
    void refill() {
        if (m_next + 8 <= m_bytes.size() && m_have <= 56) {
            const unsigned take = (63 - m_have) / 8;
            m_window |= (le::getU64(m_bytes, m_next) & ((std::uint64_t{1} << (take * 8)) - 1))
                        << m_have;
            m_next += take;
            m_have += take * 8;
            return;
        }
        while (m_have <= 56) {
            const std::uint64_t byte = m_next < m_bytes.size() ? m_bytes[m_next] : 0;
            m_window |= byte << m_have;
            ++m_next;
            m_have += 8;
            if (m_next > m_bytes.size() + 8) break;
        }
    }

    std::span<const std::uint8_t> m_bytes;
    std::uint64_t m_window = 0;
    unsigned m_have = 0;         // valid bits in the window
    std::size_t m_next = 0;      // next byte to load
    std::size_t m_consumed = 0;  // bits taken so far
};

// Canonical Huffman decoding: a table over the first kFastBits bits answers most codes at
// once; longer codes are decoded bit by bit from the per-length counts.
class HuffmanTable {
public:
    bool build(const std::uint8_t* lengths, unsigned count) {
        m_counts.fill(0);
        for (unsigned symbol = 0; symbol < count; ++symbol)
            ++m_counts[lengths[symbol]];
        m_counts[0] = 0;
        int left = 1;
        for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
            left = (left << 1) - static_cast<int>(m_counts[bits]);
            if (left < 0) return false;  // over-subscribed
        }
        std::array<unsigned, kMaxCodeBits + 2> offsets{};
        for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
            offsets[bits + 1] = offsets[bits] + m_counts[bits];
        }
        for (unsigned symbol = 0; symbol < count; ++symbol) {
            if (lengths[symbol] != 0)
                m_symbols[offsets[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
        }
        m_fast.fill(kLong);
        unsigned code = 0;
        unsigned index = 0;
        for (unsigned bits = 1; bits <= kFastBits; ++bits) {
            for (unsigned n = 0; n < m_counts[bits]; ++n, ++code, ++index) {
                unsigned reversed = 0;
                for (unsigned bit = 0; bit < bits; ++bit)
                    reversed |= ((code >> bit) & 1u) << (bits - 1 - bit);
                const auto entry = static_cast<std::uint16_t>(m_symbols[index] | (bits << 9));
                for (unsigned fill = reversed; fill < kFastSize; fill += 1u << bits)
                    m_fast[fill] = entry;
            }
            code <<= 1;
        }
        return true;
    }
    // The next symbol, or -1 for a bit pattern no code uses.
    int decode(BitReader& in) const {
        const std::uint32_t peeked = in.peek(kMaxCodeBits);
        const std::uint16_t entry = m_fast[peeked & (kFastSize - 1)];
        if (entry != kLong) {
            in.skip(entry >> 9);
            return entry & 0x1FF;
        }
        int code = 0;
        int first = 0;
        int index = 0;
        for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
            code |= static_cast<int>((peeked >> (bits - 1)) & 1u);
            const int count = static_cast<int>(m_counts[bits]);
            if (code - first < count) {
                in.skip(bits);
                return m_symbols[static_cast<std::size_t>(index + code - first)];
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    static constexpr unsigned kFastBits = 10;
    static constexpr std::size_t kFastSize = std::size_t{1} << kFastBits;
    static constexpr std::uint16_t kLong = 0xFFFF;
    std::array<std::uint16_t, kFastSize> m_fast{};
    std::array<std::uint16_t, kMaxCodeBits + 1> m_counts{};
    std::array<std::uint16_t, 288> m_symbols{};
};

struct Tables {
    HuffmanTable literals;
    HuffmanTable distances;
};

bool buildFixed(Tables& tables) {
    std::array<std::uint8_t, 288> lengths{};
    for (unsigned symbol = 0; symbol < 288; ++symbol) {
        lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
    }
    std::array<std::uint8_t, kDistanceSymbols> distances{};
    distances.fill(5);
    return tables.literals.build(lengths.data(), 288) &&
           tables.distances.build(distances.data(), kDistanceSymbols);
}

bool readDynamicHeader(BitReader& in, Tables& tables) {
    const unsigned literalCount = in.take(5) + 257;
    const unsigned distanceCount = in.take(5) + 1;
    const unsigned codeLengthCount = in.take(4) + 4;
    if (literalCount > 286 || distanceCount > kDistanceSymbols) return false;
    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (unsigned at = 0; at < codeLengthCount; ++at) {
        codeLengthLengths[kCodeLengthOrder[at]] = static_cast<std::uint8_t>(in.take(3));
    }
    HuffmanTable codeLengths;
    if (!codeLengths.build(codeLengthLengths.data(), 19)) return false;
    std::array<std::uint8_t, 286 + kDistanceSymbols> lengths{};
    unsigned filled = 0;
    while (filled < literalCount + distanceCount) {
        const int symbol = codeLengths.decode(in);
        if (symbol < 0 || in.overrun()) return false;
        if (symbol < 16) {
            lengths[filled++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t value = 0;
        unsigned repeat = 0;
        if (symbol == 16) {
            if (filled == 0) return false;
            value = lengths[filled - 1];
            repeat = 3 + in.take(2);
        } else {
            repeat = symbol == 17 ? 3 + in.take(3) : 11 + in.take(7);
        }
        if (filled + repeat > literalCount + distanceCount) return false;
        while (repeat-- > 0)
            lengths[filled++] = value;
    }
    if (lengths[kEndOfBlock] == 0) return false;
    return tables.literals.build(lengths.data(), literalCount) &&
           tables.distances.build(lengths.data() + literalCount, distanceCount);
}

// Skips the coded data of one block up to and including its end-of-block code.
bool skipCodedData(BitReader& in, const Tables& tables) {
    for (;;) {
        const int symbol = tables.literals.decode(in);
        if (symbol < 0 || in.overrun()) return false;
        if (symbol < static_cast<int>(kEndOfBlock)) continue;
        if (symbol == static_cast<int>(kEndOfBlock)) return true;
        const auto lengthCode = static_cast<unsigned>(symbol) - kEndOfBlock - 1;
        if (lengthCode >= kLengthSymbols) return false;
        in.skip(kLengthExtraBits[lengthCode]);
        const int distance = tables.distances.decode(in);
        if (distance < 0 || distance >= static_cast<int>(kDistanceSymbols)) return false;
        in.skip(kDistanceExtraBits[static_cast<std::size_t>(distance)]);
    }
}

}  // namespace

std::optional<FinalBlock> findFinalBlock(std::span<const std::uint8_t> stream) {
    BitReader in(stream);
    auto tables = std::make_unique<Tables>();
    for (;;) {
        const std::size_t header = in.position();
        const bool final = in.take(1) != 0;
        const std::uint32_t type = in.take(2);
        if (type == 0) {
            in.alignToByte();
            const std::uint32_t length = in.take(16);
            const std::uint32_t inverse = in.take(16);
            if ((length ^ 0xFFFFu) != inverse) return std::nullopt;
            in.skip(std::size_t{length} * 8);
        } else if (type == 1 || type == 2) {
            if (!(type == 1 ? buildFixed(*tables) : readDynamicHeader(in, *tables)))
                return std::nullopt;
            if (!skipCodedData(in, *tables)) return std::nullopt;
        } else {
            return std::nullopt;
        }
        if (in.overrun()) return std::nullopt;
        if (final) return FinalBlock{header, in.position()};
    }
}

bool makeJoinable(ByteBuffer& stream) {
    const auto final = findFinalBlock(stream);
    if (!final) return false;
    stream[final->headerBit >> 3] &= static_cast<std::uint8_t>(~(1u << (final->headerBit & 7)));
    // Keep the bits up to the end of the block, then a 3-bit stored-block header (all zero),
    // padding to the byte boundary, and LEN 0 / NLEN 0xFFFF.
    const std::size_t headerEnd = final->endBit + 3;
    stream.resize((headerEnd + 7) / 8, 0);
    if ((final->endBit & 7) != 0) {
        stream[final->endBit >> 3] &= static_cast<std::uint8_t>((1u << (final->endBit & 7)) - 1);
    }
    for (std::size_t byte = (final->endBit >> 3) + 1; byte < stream.size(); ++byte)
        stream[byte] = 0;
    stream.insert(stream.end(), {0x00, 0x00, 0xFF, 0xFF});
    return true;
}

}  // namespace corvane::archive
