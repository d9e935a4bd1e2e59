// The set model and its editing: the tree's invariants, new and closed sets, adding folders with
// their sub-folders and files with the two duplicate rules, removal and the command states.
#include "box_check.h"
#include "set_fixture.h"

#include <unistd.h>

#include <algorithm>

namespace corvane::test {
namespace {

using SetEditing = SetFixture;

TEST(SetTree, KeysAreUniqueAndRemovalTakesDescendantsAndClosesTheGap) {
    SetTree tree;
    ASSERT_TRUE(tree.add(std::nullopt, "Folders", "Folders", Picture::Backup));
    const Status duplicate = tree.add(std::nullopt, "Folders", "Folders", Picture::Backup);
    ASSERT_FALSE(duplicate);
    EXPECT_EQ(duplicate.error(), (Error{35602, "Key is not unique in collection"}));
    EXPECT_FALSE(tree.add(std::string("Nowhere"), "/x", "/x", Picture::File));
    ASSERT_TRUE(tree.add(std::string("Folders"), "/a/", "/a/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("Folders"), "/z/", "/z/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("/a/"), "/a/c/", "/a/c/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("/a/"), "/a/b/", "/a/b/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("/a/b/"), "/a/b/x/", "/a/b/x/", Picture::Folder));
    EXPECT_EQ(tree.childrenOf(std::string_view("/a/")),
              (std::vector<std::string>{"/a/b/", "/a/c/"}));
    tree.select(std::string("/a/b/x/"));
    tree.remove("/a/");
    ASSERT_EQ(tree.count(), 2u);
    EXPECT_EQ(tree.at(2).key, "/z/");
    EXPECT_FALSE(tree.contains("/a/b/x/"));
    EXPECT_FALSE(tree.selected().has_value());
    EXPECT_TRUE(tree.add(std::string("Folders"), "/a/", "/a/", Picture::Folder));
}

TEST(SetTree, DisplayOrderInOnePassMatchesChildrenOfAndChangesCountRevisions) {
    SetTree tree;
    for (const char* category : {"Files", "Folders", "Exclusions"}) {
        ASSERT_TRUE(tree.add(std::nullopt, category, category, Picture::Backup));
    }
    // Files added by addFiles are unsorted; folders sort their children.
    ASSERT_TRUE(tree.add(std::string("Files"), "/z.txt", "/z.txt", Picture::File, false));
    ASSERT_TRUE(tree.add(std::string("Files"), "/a.txt", "/a.txt", Picture::File, false));
    ASSERT_TRUE(tree.add(std::string("Folders"), "/m/", "/m/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("/m/"), "/m/y/", "/m/y/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("/m/"), "/m/b/", "/m/b/", Picture::Folder));
    ASSERT_TRUE(tree.add(std::string("Folders"), "/c/", "/c/", Picture::Folder));

    const auto layout = tree.displayChildren();
    ASSERT_EQ(layout.size(), tree.count() + 1);
    auto keys = [&](std::size_t index) {
        std::vector<std::string> out;
        for (const std::size_t child : layout[index])
            out.push_back(tree.at(child).key);
        return out;
    };
    EXPECT_EQ(keys(0), tree.childrenOf(std::nullopt));
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        EXPECT_EQ(keys(index), tree.childrenOf(std::string_view(tree.at(index).key)))
            << tree.at(index).key;
    }
    EXPECT_EQ(keys(2), (std::vector<std::string>{"/c/", "/m/"}));

    const auto before = tree.revision();
    tree.select(std::string("/m/"));
    EXPECT_EQ(tree.revision(), before);
    tree.remove("/m/");
    EXPECT_GT(tree.revision(), before);
    const auto removed = tree.revision();
    EXPECT_FALSE(tree.add(std::string("Files"), "/a.txt", "/a.txt", Picture::File));
    EXPECT_EQ(tree.revision(), removed);
    tree.clear();
    EXPECT_GT(tree.revision(), removed);
}

TEST_F(SetEditing, NewSetHasThreeExpandedCategoriesAndNoContent) {
    document.newSet("Daily.cvt");
    const BackupSet& set = document.set();
    EXPECT_EQ(set.setPath, home / "Backup Sets/Daily.cvt");
    EXPECT_EQ(host.statusText(), "Daily.cvt");
    ASSERT_EQ(set.tree.count(), 3u);
    const char* names[] = {"Files", "Folders", "Exclusions"};
    for (std::size_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(set.tree.at(i).key, names[i - 1]);
        EXPECT_EQ(set.tree.at(i).picture, Picture::Backup);
        EXPECT_TRUE(set.tree.at(i).expanded);
        EXPECT_TRUE(set.tree.at(i).sorted);
    }
    for (const CommandId id :
         {CommandId::Add, CommandId::ActionsAdd, CommandId::FileSave, CommandId::FileSaveAs,
          CommandId::Save, CommandId::ActionsDefault, CommandId::OptionsOffsite}) {
        EXPECT_TRUE(enabled(id)) << commandKey(id);
        EXPECT_EQ(host.commandEnabled(id), true);
    }
    for (const CommandId id : {CommandId::Backup, CommandId::ActionsBackup,
                               CommandId::BackupSetProperties, CommandId::ActionsRemove}) {
        EXPECT_FALSE(enabled(id)) << commandKey(id);
    }
    EXPECT_FALSE(set.hasContent());
    EXPECT_TRUE(set.saved);
}

// Closing a changed set asks once: No writes nothing and restores the stored options, Yes saves.
TEST_F(SetEditing, ClosingAChangedSetAsksOnceAndSavesOnYes) {
    document.newSet("Daily.cvt");
    document.addFolder(home / "data");
    config.record().compression = 9;
    host.expectMessage("Save", Answer::No);
    document.closeSet();
    EXPECT_FALSE(fileExists(home / "Backup Sets/Daily.cvt"));
    EXPECT_EQ(config.record().compression, 6);

    document.newSet("Daily.cvt");
    document.addFolder(home / "data");
    host.expectMessage("Save", Answer::Yes);
    document.closeSet();
    ASSERT_EQ(host.messages().size(), 2u);
    expectBox(host.messages()[1], Icon::Question, Buttons::YesNo,
              "Save any current Backup Set changes?");
    EXPECT_TRUE(fileExists(home / "Backup Sets/Daily.cvt"));
    EXPECT_EQ(document.set().tree.count(), 0u);
    EXPECT_EQ(host.statusText(), "Press F1 to get Help");
    EXPECT_FALSE(enabled(CommandId::FileSave) || enabled(CommandId::Backup));
    document.closeSet();  // no set open now: nothing is asked
    EXPECT_EQ(host.messages().size(), 2u);
}

// Removing a category or nothing changes nothing; removing the last file while exclusions
// remain (they are no content) disables the backup commands.
TEST_F(SetEditing, RemovingTheLastFileWhileExclusionsRemainDisablesBackup) {
    document.newSet("Daily.cvt");
    host.queueOpenFiles({home / "data/a.txt"});
    document.addFiles();
    auto& tree = document.set().tree;
    ASSERT_TRUE(tree.add(std::string("Exclusions"), "- *.tmp", "- *.tmp", Picture::Exclusion));
    document.set().saved = true;
    tree.select(std::string("Files"));
    document.removeSelectedItem();
    tree.select(std::nullopt);
    document.removeSelectedItem();
    EXPECT_EQ(tree.count(), 5u);
    EXPECT_TRUE(document.set().saved);
    EXPECT_TRUE(enabled(CommandId::Backup));

    tree.select(home / "data/a.txt");
    document.removeSelectedItem();
    for (const CommandId id :
         {CommandId::Backup, CommandId::ActionsBackup, CommandId::BackupSetProperties}) {
        EXPECT_FALSE(enabled(id)) << commandKey(id);
    }
    EXPECT_FALSE(document.set().hasContent());
    EXPECT_EQ(tree.count(), 4u);
    EXPECT_FALSE(document.set().saved);
    EXPECT_EQ(host.statusText(), "Daily.cvt");
    EXPECT_EQ(host.busyDepth(), 0);
}

// Sub-folders are added breadth-first under their parents; hidden folders are walked but get no
// nodes. A folder already listed, even one the walk added, is refused; the test is exact.
TEST_F(SetEditing, SubFoldersNestAndAnExactDuplicateIsRefused) {
    makeFolder(home / "data/A/B");
    makeFolder(home / "data/Z");
    makeFolder(home / "data/.hidden/inner/deep");
    writeFile(home / "data/A/file.txt", "x");
    document.newSet("Daily.cvt");
    document.addFolder("  " + home.path() + "data  ");
    EXPECT_EQ(treeOutline(),
              withCategories({home / "data/ [Folders]", home / "data/A/ [" + home.path() + "data/]",
                              home / "data/Z/ [" + home.path() + "data/]",
                              home / "data/A/B/ [" + home.path() + "data/A/]"}));
    const auto& history = host.statusHistory();
    const std::string passedThrough = "Reading:  " + home / "data/.hidden/inner/";
    EXPECT_NE(std::find(history.begin(), history.end(), passedThrough), history.end());
    EXPECT_TRUE(enabled(CommandId::Backup));
    EXPECT_FALSE(document.set().saved);

    host.expectMessage("Duplicate Folder/Path", Answer::Ok);
    document.addFolder(home / "data/A");
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Backup Set already contains '" + home.path() + "data/A/'.  Unable to add again.");
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
