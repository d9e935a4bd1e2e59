// Include and exclusion list semantics over a real folder tree.
#include "archive/archive_observer.h"
#include "archive/file_selection.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
        {"whole folder: each folder before what it holds, links as links, empty folders",
         {"*"},
         {},
         {"", "a.txt", "b.log", "cache/", "cache/f.txt", "dirlink", "docs/", "docs/c.txt",
          "docs/d.tmp", "docs/sub/", "docs/sub/e.txt", "empty/", "link"}},
        {"name mask anywhere",
         {"*"},
         {"*.tmp", "cache"},
         {"", "a.txt", "b.log", "dirlink", "docs/", "docs/c.txt", "docs/sub/", "docs/sub/e.txt",
          "empty/", "link"}},
        {"folder exclusion drops the subtree",
         {"*"},
         {"docs/", "empty", "*link"},
         {"", "a.txt", "b.log", "cache/", "cache/f.txt"}},
        {"a folder whose contents are all excluded leaves no entry",
         {"*"},
         {"docs/sub/*", "*.log"},
         {"", "a.txt", "cache/", "cache/f.txt", "dirlink", "docs/", "docs/c.txt", "docs/d.tmp",
          "empty/", "link"}},
        {"an included folder whose contents are all excluded", {"cache/*"}, {"cache/*"}, {}},
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
         {"docs/", "docs/c.txt", "docs/d.tmp", "docs/sub/", "docs/sub/e.txt", "a.txt"}},
        {"folder named without slash",
         {"docs"},
         {},
         {"docs/", "docs/c.txt", "docs/d.tmp", "docs/sub/", "docs/sub/e.txt"}},
        {"each path once",
         {"docs/*", "docs/*.txt"},
         {},
         {"docs/", "docs/c.txt", "docs/d.tmp", "docs/sub/", "docs/sub/e.txt"}},
        {"excluded root", {"docs/*"}, {"docs"}, {}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(select(test.includes, test.exclusions), test.expected) << test.name;
    }
}

TEST_F(Selection, ReportsSpecialAndMissingFiles) {
    EXPECT_EQ(select({"*"}, {}).size(), 13u);
    EXPECT_EQ(skipped, (std::vector<std::pair<std::string, int>>{{"fifo", kSkipSpecialFile}}));
    EXPECT_TRUE(select({"gone.txt"}, {""}).empty());
    EXPECT_EQ(skipped, (std::vector<std::pair<std::string, int>>{{"gone.txt", kSkipCannotOpen}}));
    EXPECT_TRUE(select({"nothing/*"}, {}).empty());
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].second, kSkipCannotOpen);
    EXPECT_TRUE(select({"*.none"}, {}).empty());  // a wildcard that matches nothing is no warning
    EXPECT_TRUE(skipped.empty());
}

TEST_F(Selection, AnUnreadableFolderIsSkippedNotStoredEmpty) {
    corvane::test::makeFolder(root + "locked");
    corvane::test::writeFile(root + "locked/secret.txt", "x");
    ASSERT_EQ(::chmod((root + "locked").c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    // Root reads every folder: the walk runs as an ordinary user in a child process.
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(channel[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        std::vector<SourceEntry> entries;
        std::string report;
        const SelectionCallbacks callbacks{
            [&](const std::string& path, int reason) {
                report += "skipped " + path.substr(root.size()) + " " + std::to_string(reason) +
                          "\n";
            },
            [] { return false; }, nullptr};
        selectSources({root + "*"}, {}, callbacks, entries);
        for (const auto& entry : entries)
            report += entry.path.substr(root.size()) + "\n";
        const bool sent = ::write(channel[1], report.data(), report.size()) ==
                          static_cast<ssize_t>(report.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    std::string report;
    char block[4096];
    for (ssize_t got; (got = ::read(channel[0], block, sizeof block)) > 0;)
        report.append(block, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod((root + "locked").c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(report.find("skipped locked/ " + std::to_string(kSkipCannotOpen) + "\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("\nlocked/\n"), std::string::npos) << report;
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
