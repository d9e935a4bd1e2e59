#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane::le {

// Explicit little-endian field access for every binary format Corvane reads or writes: the
// configuration record, the list files and the ZIP headers. Never copy structs instead.

inline std::uint16_t getU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
inline std::uint32_t getU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(getU16(bytes, at)) |
           (static_cast<std::uint32_t>(getU16(bytes, at + 2)) << 16);
}
inline std::uint64_t getU64(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint64_t>(getU32(bytes, at)) |
           (static_cast<std::uint64_t>(getU32(bytes, at + 4)) << 32);
}
inline std::int16_t getI16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int16_t>(getU16(bytes, at));
}

inline void putU16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void putU32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    putU16(bytes, at, static_cast<std::uint16_t>(value));
    putU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}
inline void putU64(std::span<std::uint8_t> bytes, std::size_t at, std::uint64_t value) {
    putU32(bytes, at, static_cast<std::uint32_t>(value));
    putU32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}
inline void putI16(std::span<std::uint8_t> bytes, std::size_t at, std::int16_t value) {
    putU16(bytes, at, static_cast<std::uint16_t>(value));
}

// Appending writer for building headers field by field.
class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : m_out(out) {}
    void u8(std::uint8_t value) { m_out.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void bytes(std::span<const std::uint8_t> data) { m_out.insert(m_out.end(), data.begin(), data.end()); }
    void text(const std::string& data) { m_out.insert(m_out.end(), data.begin(), data.end()); }

private:
    std::vector<std::uint8_t>& m_out;
};

}  // namespace corvane::le
