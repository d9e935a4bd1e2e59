#pragma once

#include <cstdint>

namespace corvane {

// Disks of `capacity` bytes needed for an archive of `estimate` bytes: 1 up to the capacity,
// then rounded up. An unknown capacity (0) counts as one disk.
inline std::uint64_t disksNeeded(std::uint64_t estimate, std::uint64_t capacity) {
    if (capacity == 0 || estimate <= capacity) return 1;
    return estimate / capacity + (estimate % capacity != 0 ? 1 : 0);
}

// The estimate as shown: kilobytes, rounded up.
inline std::uint64_t estimateInKilobytes(std::uint64_t estimate) {
    return (estimate + 1023) / 1024;
}

}  // namespace corvane
