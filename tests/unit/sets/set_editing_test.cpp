// Editing: adding folders with their sub-folders, adding files, and the two duplicate rules.
#include <unistd.h>

#include <algorithm>

#include "set_fixture.h"

namespace corvane::test {
namespace {

using SetEditing = SetFixture;

// Sub-folders are added breadth-first under their parents; hidden folders are walked but get no
// nodes. A folder already listed, even one the walk added, is refused; the test is exact.
TEST_F(SetEditing, SubFoldersNestAndAnExactDuplicateIsRefused) {
    makeFolder(home / "data/A/B");
    makeFolder(home / "data/Z");
    makeFolder(home / "data/.hidden/inner/deep");
    writeFile(home / "data/A/file.txt", "x");
    document.newSet("Daily.cvt");
    document.addFolder("  " + home.path() + "data  ");
    EXPECT_EQ(treeOutline(), (std::vector<std::string>{
                                 "Files []", "Folders []", "Exclusions []",
                                 home / "data/ [Folders]",
                                 home / "data/A/ [" + home.path() + "data/]",
                                 home / "data/Z/ [" + home.path() + "data/]",
                                 home / "data/A/B/ [" + home.path() + "data/A/]",
                             }));
    const auto& history = host.statusHistory();
    EXPECT_NE(std::find(history.begin(), history.end(), "Reading:  " + home / "data/.hidden/inner/"),
              history.end());
    EXPECT_TRUE(enabled(CommandId::Backup));
    EXPECT_FALSE(document.set().saved);

    host.expectMessage("Duplicate Folder/Path", Answer::Ok);
    document.addFolder(home / "data/A");
    EXPECT_EQ(host.messages().back().text,
              "Backup Set already contains '" + home.path() + "data/A/'.  Unable to add again.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_EQ(host.busyDepth(), 0);
    EXPECT_EQ(host.statusText(), "Daily.cvt");
    makeFolder(home / "DATA");
    document.addFolder(home / "DATA");
    EXPECT_EQ(document.set().tree.count(), 8u);
}

// With SubFolders 0 only the root's node is added; links and folders that cannot be listed are
// not walked.
TEST_F(SetEditing, OnlyTheRootWithoutSubFoldersAndNoWalkThroughLinks) {
    makeFolder(home / "data/sub");
    makeFolder(home / "elsewhere/inside");
    ASSERT_EQ(::symlink((home / "elsewhere").c_str(), (home / "data/link").c_str()), 0);
    document.newSet("Daily.cvt");
    config.record().subFolders = 0;  // the new set's option, as the new-set dialog sets it
    document.addFolder(home / "elsewhere");
    EXPECT_EQ(document.set().tree.count(), 4u);
    EXPECT_EQ(host.pendingEventTurns(), 0);

    config.record().subFolders = 1;
    document.addFolder(home / "data");
    EXPECT_EQ(document.set().tree.count(), 6u);  // data/ and data/sub/, not the link
    document.addFolder(home / "no-such-folder");
    EXPECT_EQ(document.set().tree.count(), 7u);
}

TEST_F(SetEditing, TenThousandFoldersAreReadBreadthFirst) {
    const std::string root = home / "big/";
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 99; ++c) {
                makeFolder(root + "a" + std::to_string(a) + "/b" + std::to_string(b) + "/c" +
                           std::to_string(c));
            }
        }
    }
    document.newSet("Big.cvt");
    document.addFolder(root);
    const SetTree& tree = document.set().tree;
    ASSERT_EQ(tree.count(), 3u + 1 + 10 + 100 + 9900);
    // Depth never decreases with the index, and every parent comes before its children.
    std::size_t previousDepth = 0;
    for (std::size_t i = 4; i <= tree.count(); ++i) {
        const std::string& text = tree.at(i).text;
        const auto depth = static_cast<std::size_t>(std::count(text.begin(), text.end(), '/'));
        EXPECT_GE(depth, previousDepth) << text;
        previousDepth = depth;
    }
    EXPECT_EQ(tree.at(4 + 1 + 10).text, root + "a0/b0/");
    EXPECT_EQ(host.pendingEventTurns(), 10 + 100 + 9900);
}

TEST_F(SetEditing, FilesIgnoreCaseForDuplicatesAndSkipThemQuietly) {
    document.newSet("Daily.cvt");
    host.queueOpenFiles({home / "data/a.txt", home / "data/b.txt", home / "data/c.txt"});
    document.addFiles();
    const FileRequest& request = host.fileRequests().back();
    EXPECT_EQ(request.title, "Choose Files to Add");
    EXPECT_EQ(request.filter, "All Files (*.*)|*.*");
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.mustExist);
    EXPECT_EQ(document.set().tree.count(), 6u);
    EXPECT_FALSE(document.set().tree.at(4).sorted);
    EXPECT_TRUE(enabled(CommandId::Backup));

    document.set().saved = true;
    host.queueOpenFiles({home / "DATA/A.TXT"});
    document.addFiles();
    EXPECT_EQ(document.set().tree.count(), 6u);
    EXPECT_TRUE(document.set().saved);
    EXPECT_TRUE(host.messages().empty());

    host.queueOpenFiles({});
    document.addFiles();  // cancelled
    EXPECT_EQ(host.statusText(), "Daily.cvt");
}

}  // namespace
}  // namespace corvane::test
