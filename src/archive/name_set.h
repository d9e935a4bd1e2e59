#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace corvane::archive {

// A set of names for runs over millions of files: the names sit one after another in large
// blocks and an open-addressing table holds where each one starts, so an entry costs its
// bytes and a few more, never a heap block of its own.
class NameSet {
public:
    NameSet() = default;
    NameSet(const NameSet&) = delete;
    NameSet& operator=(const NameSet&) = delete;

    // Adds `name`; false when it was there already.
    bool insert(std::string_view name);
    std::size_t size() const { return m_count; }

private:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    std::uint64_t store(std::string_view name);
    std::string_view at(std::uint64_t reference) const;
    void grow();

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = kBlockSize;  // bytes used in the last block
    std::vector<std::uint64_t> m_slots;  // 0: empty; else a reference + 1
    std::size_t m_count = 0;
};

}  // namespace corvane::archive
