// The structures that keep a run over millions of files small: the name set and the spooled
// central directory give the same answers and bytes as their plain counterparts.
#include "archive/name_set.h"
#include "archive/zip_header.h"
#include "archive/zip_out.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace corvane::archive {
namespace {

TEST(NameSet, AnswersAsAStandardSetDoes) {
    NameSet names;
    std::set<std::string> reference;
    std::vector<std::string> inputs;
    for (int at = 0; at < 50000; ++at)
        inputs.push_back("home/ann/d" + std::to_string(at % 97) + "/file" + std::to_string(at));
    // Repeats, an empty name, names that differ only at the end, and one longer than a block.
    for (int at = 0; at < 50000; at += 7)
        inputs.push_back(inputs[static_cast<std::size_t>(at)]);
    inputs.insert(inputs.end(), {"", "", "a", "a/", std::string(3 << 20, 'x'),
                                 std::string(3 << 20, 'x'), std::string(3 << 20, 'x') + "y"});
    for (const auto& name : inputs) {
        EXPECT_EQ(names.insert(name), reference.insert(name).second) << name.substr(0, 40);
    }
    EXPECT_EQ(names.size(), reference.size());
}

TEST(DirectorySpool, RecordsComeBackInOrderWhetherHeldOrSpilled) {
    corvane::test::TempFolder folder;
    for (const std::size_t count : {std::size_t{3}, std::size_t{120000}}) {
        SCOPED_TRACE(count);
        DirectorySpool spool(folder.path());
        Bytes expected;
        for (std::size_t at = 0; at < count; ++at) {
            ZipItem item;
            item.name = "some/folder/file" + std::to_string(at) + ".txt";
            item.localOffset = at * 1000;
            item.crc = static_cast<std::uint32_t>(at * 2654435761u);
            const Bytes record = encodeCentralHeader(item);
            expected.insert(expected.end(), record.begin(), record.end());
            ASSERT_TRUE(spool.add(item));
        }
        Bytes back;
        ASSERT_TRUE(spool.forEachBlock([&](std::span<const std::uint8_t> block) {
            back.insert(back.end(), block.begin(), block.end());
            return Status{};
        }));
        EXPECT_EQ(spool.count(), count);
        EXPECT_EQ(spool.bytes(), expected.size());
        EXPECT_TRUE(back == expected);
    }
}

}  // namespace
}  // namespace corvane::archive
