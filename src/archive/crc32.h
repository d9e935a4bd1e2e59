#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvane::archive {

// The ZIP CRC-32 (the gzip polynomial), computed with the carry-less multiply code of ISA-L.
std::uint32_t crc32Update(std::uint32_t crc, std::span<const std::uint8_t> data);

// The CRC of A followed by B, given the CRCs of both and the length of B; lets workers check
// the chunks of one file independently.
std::uint32_t crc32Combine(std::uint32_t crcA, std::uint32_t crcB, std::uint64_t lengthB);

}  // namespace corvane::archive
