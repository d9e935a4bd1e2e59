#pragma once

#include "archive/byte_buffer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvane::archive {

// Block structure of a complete raw deflate stream (RFC 1951). libdeflate compresses whole
// buffers only, so a large file is compressed in pieces: every piece but the last is turned
// into a non-final run of blocks that ends on a byte boundary, and the pieces are joined.

struct FinalBlock {
    std::size_t headerBit = 0;  // position of the BFINAL bit of the final block
    std::size_t endBit = 0;     // first bit after the final block's end-of-block code
};

// Walks the blocks of `stream` (decoding Huffman codes without producing output) and returns
// where its final block starts and ends; nullopt when the stream is malformed or cut short.
std::optional<FinalBlock> findFinalBlock(std::span<const std::uint8_t> stream);

// Clears the final flag of `stream` and ends it with an empty stored block (a sync point),
// so that another deflate stream can follow it directly. False when the stream is malformed.
bool makeJoinable(ByteBuffer& stream);

}  // namespace corvane::archive
