// The set model: the tree's invariants, new and closed sets, removal and the command states.
#include "set_fixture.h"

namespace corvane::test {
namespace {

using SetModel = SetFixture;

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
    EXPECT_EQ(tree.childrenOf(std::string_view("/a/")), (std::vector<std::string>{"/a/b/", "/a/c/"}));
    tree.select(std::string("/a/b/x/"));
    tree.remove("/a/");
    ASSERT_EQ(tree.count(), 2u);
    EXPECT_EQ(tree.at(2).key, "/z/");
    EXPECT_FALSE(tree.contains("/a/b/x/"));
    EXPECT_FALSE(tree.selected().has_value());
    EXPECT_TRUE(tree.add(std::string("Folders"), "/a/", "/a/", Picture::Folder));
}

TEST_F(SetModel, NewSetHasThreeExpandedCategoriesAndNoContent) {
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
    for (const CommandId id : {CommandId::Add, CommandId::ActionsAdd, CommandId::FileSave,
                               CommandId::FileSaveAs, CommandId::Save, CommandId::ActionsDefault}) {
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
TEST_F(SetModel, ClosingAChangedSetAsksOnceAndSavesOnYes) {
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
    EXPECT_EQ(host.messages()[1].text, "Save any current Backup Set changes?");
    EXPECT_EQ(host.messages()[1].buttons, Buttons::YesNo);
    EXPECT_EQ(host.messages()[1].icon, Icon::Question);
    EXPECT_TRUE(fileExists(home / "Backup Sets/Daily.cvt"));
    EXPECT_EQ(document.set().tree.count(), 0u);
    EXPECT_EQ(host.statusText(), "Press F1 to get Help");
    EXPECT_FALSE(enabled(CommandId::FileSave) || enabled(CommandId::Backup));
    document.closeSet();  // no set open now: nothing is asked
    EXPECT_EQ(host.messages().size(), 2u);
}

// Removing a category or nothing changes nothing; removing the last file while exclusions
// remain (they are no content) disables the backup commands.
TEST_F(SetModel, RemovingTheLastFileWhileExclusionsRemainDisablesBackup) {
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

}  // namespace
}  // namespace corvane::test
