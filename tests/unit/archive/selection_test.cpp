// Include and exclusion list semantics over a real folder tree.
#include "archive/archive_observer.h"
#include "archive/file_selection.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

namespace corvane::archive {
namespace {

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        root = folder / "root/";
        for (const char* path : {"docs/sub", "cache", "empty"})
            corvane::test::makeFolder(root + path);
        for (const char* path :
             {"a.txt", "b.log", "docs/c.txt", "docs/d.tmp", "docs/sub/e.txt", "cache/f.txt"}) {
            corvane::test::writeFile(root + path, path);
        }
        ASSERT_EQ(::symlink("a.txt", (root + "link").c_str()), 0);
        ASSERT_EQ(::symlink("docs", (root + "dirlink").c_str()), 0);
        ASSERT_EQ(::mkfifo((root + "fifo").c_str(), 0600), 0);
    }

    // The chosen paths relative to the tree, in order; skips go to `skipped`.
    std::vector<std::string> select(std::vector<std::string> includes,
                                    std::vector<std::string> exclusions) {
        for (auto& text : includes)
            text = root + text;
        // "" stands for the tree's own folder; other texts with "/" are relative to it.
        for (auto& text : exclusions) {
            if (text.empty() || text.find('/') != std::string::npos) text = root + text;
        }
        skipped.clear();
        std::vector<SourceEntry> entries;
        const SelectionCallbacks callbacks{[&](const std::string& path, int reason) {
                                               skipped.emplace_back(path.substr(root.size()),
                                                                    reason);
                                           },
                                           [] { return false; }, nullptr};
        EXPECT_TRUE(selectSources(includes, exclusions, callbacks, entries));
        std::vector<std::string> chosen;
        for (const auto& entry : entries) {
            chosen.push_back(entry.path.substr(root.size()));
            EXPECT_EQ(entry.storedName, storedNameFor(entry.path));
        }
        return chosen;
    }

    corvane::test::TempFolder folder;
    std::string root;
    std::vector<std::pair<std::string, int>> skipped;
};

TEST_F(Selection, ListsTakeWhatTheRulesSay) {
    using List = std::vector<std::string>;
    struct Case {
        const char* name;
        List includes;
        List exclusions;
        List expected;
    };
    const Case cases[] = {
        {"whole folder, name order, links as links, empty folders",
         {"*"},
         {},
         {"a.txt", "b.log", "cache/f.txt", "dirlink", "docs/c.txt", "docs/d.tmp", "docs/sub/e.txt",
          "empty/", "link"}},
        {"name mask anywhere",
         {"*"},
         {"*.tmp", "cache"},
         {"a.txt", "b.log", "dirlink", "docs/c.txt", "docs/sub/e.txt", "empty/", "link"}},
        {"folder exclusion drops the subtree",
         {"*"},
         {"docs/", "empty", "*link"},
         {"a.txt", "b.log", "cache/f.txt"}},
        {"path mask",
         {"*"},
         {"docs/sub/*", "*.log"},
         {"a.txt", "cache/f.txt", "dirlink", "docs/c.txt", "docs/d.tmp", "docs/sub/", "empty/",
          "link"}},
        {"wildcard descends",
         {"*.txt"},
         {},
         {"a.txt", "cache/f.txt", "docs/c.txt", "docs/sub/e.txt"}},
        {"wildcard kept to its folder", {"*.txt"}, {""}, {"a.txt"}},
        {"file kept to its folder", {"a.txt"}, {""}, {"a.txt"}},
        {"file found in sub-folders too", {"e.txt"}, {}, {"docs/sub/e.txt"}},
        {"the marker is not a folder exclusion",
         {"docs/*", "a.txt"},
         {""},
         {"docs/c.txt", "docs/d.tmp", "docs/sub/e.txt", "a.txt"}},
        {"folder named without slash",
         {"docs"},
         {},
         {"docs/c.txt", "docs/d.tmp", "docs/sub/e.txt"}},
        {"each path once",
         {"docs/*", "docs/*.txt"},
         {},
         {"docs/c.txt", "docs/d.tmp", "docs/sub/e.txt"}},
        {"excluded root", {"docs/*"}, {"docs"}, {}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(select(test.includes, test.exclusions), test.expected) << test.name;
    }
}

TEST_F(Selection, ReportsSpecialAndMissingFiles) {
    EXPECT_EQ(select({"*"}, {}).size(), 9u);
    EXPECT_EQ(skipped, (std::vector<std::pair<std::string, int>>{{"fifo", kSkipSpecialFile}}));
    EXPECT_TRUE(select({"gone.txt"}, {""}).empty());
    EXPECT_EQ(skipped, (std::vector<std::pair<std::string, int>>{{"gone.txt", kSkipCannotOpen}}));
    EXPECT_TRUE(select({"nothing/*"}, {}).empty());
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].second, kSkipCannotOpen);
    EXPECT_TRUE(select({"*.none"}, {}).empty());  // a wildcard that matches nothing is no warning
    EXPECT_TRUE(skipped.empty());
}

TEST(StoredNames, AreRelativeAndCleaned) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/ann/a.txt", "home/ann/a.txt"},
        {"/home/ann/docs/", "home/ann/docs/"},
        {"./x/../y//z", "x/y/z"},
        {"../../etc/passwd", "etc/passwd"},
        {"/", ""},
    };
    for (const auto& [path, stored] : cases)
        EXPECT_EQ(storedNameFor(path), stored) << path;
}

}  // namespace
}  // namespace corvane::archive
