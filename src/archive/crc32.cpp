#include "archive/crc32.h"

#include <isa-l/crc.h>

#include <array>

namespace corvane::archive {

namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;  // reflected x^32 + x^26 + ... + 1

// a(x) * b(x) modulo the polynomial, in the reflected bit order of the CRC.
constexpr std::uint32_t multiplyModP(std::uint32_t a, std::uint32_t b) {
    std::uint32_t mask = 1u << 31;
    std::uint32_t product = 0;
    for (;;) {
        if ((a & mask) != 0) {
            product ^= b;
            if ((a & (mask - 1)) == 0) break;
        }
        mask >>= 1;
        b = (b & 1) != 0 ? (b >> 1) ^ kPolynomial : b >> 1;
    }
    return product;
}

// x^(2^n) modulo the polynomial for n = 0..31.
constexpr std::array<std::uint32_t, 32> makePowerTable() {
    std::array<std::uint32_t, 32> table{};
    std::uint32_t power = 1u << 30;  // x^1
    for (auto& entry : table) {
        entry = power;
        power = multiplyModP(power, power);
    }
    return table;
}

constexpr std::array<std::uint32_t, 32> kPowers = makePowerTable();

// x^(n * 2^k) modulo the polynomial.
std::uint32_t powerModP(std::uint64_t n, unsigned k) {
    std::uint32_t result = 1u << 31;  // x^0
    while (n != 0) {
        if ((n & 1) != 0) result = multiplyModP(kPowers[k & 31], result);
        n >>= 1;
        ++k;
    }
    return result;
}

}  // namespace

std::uint32_t crc32Update(std::uint32_t crc, std::span<const std::uint8_t> data) {
    // ISA-L takes lengths as 64-bit; a null pointer with zero length is fine.
    return data.empty() ? crc : crc32_gzip_refl(crc, data.data(), data.size());
}

std::uint32_t crc32Combine(std::uint32_t crcA, std::uint32_t crcB, std::uint64_t lengthB) {
    return multiplyModP(powerModP(lengthB, 3), crcA) ^ crcB;
}

}  // namespace corvane::archive
