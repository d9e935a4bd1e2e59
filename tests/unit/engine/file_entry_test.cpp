// Set entries become include and exclusion lists that select what the user meant: a file entry
// names one file whatever characters its name holds.
#include "archive/file_selection.h"
#include "engine/file_list.h"
#include "sets/set_tree.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace corvane::test {
namespace {

TEST(FileEntries, AFileEntryTakesOnlyItsOwnFile) {
    TempFolder folder;
    const std::string root = folder / "root/";
    makeFolder(root + "sub");
    for (const char* name : {"a*.txt", "ab.txt", "a.txt", "b?.log", "bx.log", "c\\d.txt", "cd.txt",
                             "[x].txt", "x.txt", "sub/a*.txt"}) {
        writeFile(root + name, name);
    }
    struct Case {
        std::string entry;                  // the set's entry text
        std::vector<std::string> expected;  // what the run takes, relative to the tree
    };
    const Case cases[] = {
        {root + "a*.txt", {"a*.txt"}},
        {root + "b?.log", {"b?.log"}},
        {root + "c\\d.txt", {"c\\d.txt"}},
        {root + "[x].txt", {"[x].txt"}},
        {root + "ab.txt", {"ab.txt"}},
        // A wildcard entry still matches, in its folder only.
        {"** - " + root + "a*.txt", {"a*.txt", "a.txt", "ab.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        SetTree tree;
        for (const auto* category : {"Files", "Folders", "Exclusions"}) {
            ASSERT_TRUE(tree.add(std::nullopt, category, category, Picture::Backup));
        }
        ASSERT_TRUE(tree.add(std::string("Files"), c.entry, c.entry, Picture::File));
        const FileLists lists = buildFileLists(tree);
        std::vector<archive::SourceEntry> entries;
        const archive::SelectionCallbacks callbacks{
            [](const std::string& path, int) { ADD_FAILURE() << "skipped " << path; },
            [] { return false; }, nullptr};
        ASSERT_TRUE(archive::selectSources(lists.includes, lists.exclusions, callbacks, entries));
        std::vector<std::string> taken;
        for (const auto& entry : entries)
            taken.push_back(entry.path.substr(root.size()));
        EXPECT_EQ(taken, c.expected);
    }
}

}  // namespace
}  // namespace corvane::test
