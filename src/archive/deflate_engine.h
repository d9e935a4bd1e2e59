#pragma once

#include "archive/byte_buffer.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct libdeflate_compressor;
struct isal_zstream;

namespace corvane::archive {

// Which engine serves a compression level. Chosen by measurement on the benchmark corpus
// (bench/README.md): ISA-L is several times faster at the fast levels with a smaller archive
// than zip -1; libdeflate gives the best sizes per second from the normal level up.
enum class EngineKind { Store, Isal, Libdeflate };

struct EngineChoice {
    EngineKind kind = EngineKind::Store;
    int engineLevel = 0;
    int textLevel = 0;  // libdeflate's level for text, when it differs (0: engineLevel)
};

// True when `input` starts like text: few of its first 8 KiB are control characters that
// text does not use (random bytes have one in twelve).
bool looksLikeText(std::span<const std::uint8_t> input);

// The engine for a level 0-9 (values outside clamp to the nearest).
EngineChoice engineForLevel(int level);

// The size of the pieces large files are compressed in, and the history ISA-L is given
// before each piece so that pieces lose nothing at their joins.
inline constexpr std::size_t kPieceSize = std::size_t{2} << 20;
inline constexpr std::size_t kHistorySize = 32 * 1024;

// The compressors of one worker thread for one level. Not thread-safe: one per thread.
class Compressor {
public:
    explicit Compressor(int level);
    ~Compressor();
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Compresses `input` into one complete deflate stream, returned in a buffer of the
    // compressor that is valid until its next call; empty when the result would not be smaller
    // than the input (store it then).
    std::span<const std::uint8_t> compressWhole(std::span<const std::uint8_t> input);
    // The buffer compressWhole's result lives in; a caller may swap it away.
    ByteBuffer& buffer() { return m_out; }

    // Compresses one piece of a longer stream into `out` (replacing its content). `history`
    // is the data just before the piece (up to kHistorySize bytes). Every piece but the
    // `last` ends on a byte boundary without the final flag, so pieces simply concatenate.
    void compressPiece(std::span<const std::uint8_t> history, std::span<const std::uint8_t> input,
                       bool last, ByteBuffer& out);

    // A cheap guess, from a real compression of a few samples, that `input` will not shrink.
    bool looksIncompressible(std::span<const std::uint8_t> input);

private:
    void prepare();
    // The libdeflate compressor for `input`: the text level's when it looks like text.
    libdeflate_compressor* libdeflateFor(std::span<const std::uint8_t> input);
    std::span<const std::uint8_t> isalWhole(std::span<const std::uint8_t> input);
    void isalPiece(std::span<const std::uint8_t> history, std::span<const std::uint8_t> input,
                   bool last, ByteBuffer& out);

    EngineChoice m_choice;
    libdeflate_compressor* m_libdeflate = nullptr;
    libdeflate_compressor* m_libdeflateText = nullptr;
    libdeflate_compressor* m_probe = nullptr;  // the fastest level, for looksIncompressible
    std::unique_ptr<isal_zstream> m_isal;  // large (hash tables, history): allocated once
    std::vector<std::uint8_t> m_levelBuffer;
    std::vector<std::uint8_t> m_probeOut;
    ByteBuffer m_out;
};

// Wraps `input` in stored deflate blocks (a piece as compressPiece makes it).
void appendStoredBlocks(std::span<const std::uint8_t> input, bool last, ByteBuffer& out);

}  // namespace corvane::archive
