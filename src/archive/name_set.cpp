#include "archive/name_set.h"

#include <cstring>
#include <functional>

namespace corvane::archive {

namespace {

constexpr std::size_t kLengthBytes = 4;

std::uint32_t lengthAt(const char* place) {
    std::uint32_t length = 0;
    std::memcpy(&length, place, kLengthBytes);
    return length;
}

}  // namespace

// A reference is the block number in the high 32 bits and the offset in it in the low ones.
std::uint64_t NameSet::store(std::string_view name) {
    const std::size_t needed = kLengthBytes + name.size();
    if (m_blocks.empty() || m_used + needed > kBlockSize) {
        // A name longer than a block gets a block of its own size.
        m_blocks.push_back(std::make_unique<char[]>(std::max(kBlockSize, needed)));
        m_used = 0;
    }
    char* place = m_blocks.back().get() + m_used;
    const auto length = static_cast<std::uint32_t>(name.size());
    std::memcpy(place, &length, kLengthBytes);
    std::memcpy(place + kLengthBytes, name.data(), name.size());
    const std::uint64_t reference = (std::uint64_t{m_blocks.size() - 1} << 32) | m_used;
    m_used += needed;
    if (m_used > kBlockSize) m_used = kBlockSize;  // an oversized block is full at once
    return reference;
}

std::string_view NameSet::at(std::uint64_t reference) const {
    const char* place = m_blocks[reference >> 32].get() + (reference & 0xFFFFFFFFu);
    return {place + kLengthBytes, lengthAt(place)};
}

void NameSet::grow() {
    std::vector<std::uint64_t> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? 1024 : old.size() * 2, 0);
    const std::size_t mask = m_slots.size() - 1;
    for (const std::uint64_t slot : old) {
        if (slot == 0) continue;
        std::size_t at = std::hash<std::string_view>{}(this->at(slot - 1)) & mask;
        while (m_slots[at] != 0)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

bool NameSet::insert(std::string_view name) {
    if ((m_count + 1) * 2 > m_slots.size()) grow();
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = std::hash<std::string_view>{}(name)&mask;
    while (m_slots[at] != 0) {
        if (this->at(m_slots[at] - 1) == name) return false;
        at = (at + 1) & mask;
    }
    m_slots[at] = store(name) + 1;
    ++m_count;
    return true;
}

}  // namespace corvane::archive
