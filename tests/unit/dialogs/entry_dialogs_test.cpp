// The wildcard and exclusion dialogs, the folder picker and the all-folders reminder.
#include "config/folders_reminder.h"
#include "sets/entry_dialogs.h"
#include "sets/folder_picker.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

class EntryDialogs : public SetFixture {
protected:
    EntryDialogs() { document.newSet("Daily.cvt"); }

    // The texts of the children of a category, in index order.
    std::vector<std::string> entriesUnder(std::string_view category) const {
        std::vector<std::string> texts;
        const SetTree& tree = document.set().tree;
        for (std::size_t i = 1; i <= tree.count(); ++i) {
            if (tree.at(i).parent == category) texts.push_back(tree.at(i).text);
        }
        return texts;
    }
};

TEST_F(EntryDialogs, OkFollowsTheTrimmedTextAndEnterRunsIt) {
    WildcardDialog dialog(document);
    struct Case {
        std::string text;
        bool enabled;
    };
    for (const Case& c : {Case{"", false}, Case{"   ", false}, Case{" x ", true}}) {
        dialog.setText(c.text);
        EXPECT_EQ(dialog.okEnabled(), c.enabled) << '"' << c.text << '"';
        if (c.enabled) host.expectMessage("Invalid WildCard", Answer::Ok);
        EXPECT_EQ(dialog.pressEnter(), c.enabled) << '"' << c.text << '"';
    }
    dialog.setText("  /data/*.doc ");
    EXPECT_EQ(dialog.focusSelection(), (TextSelection{2, 11}));
    EXPECT_TRUE(dialog.pressEnter());
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(entriesUnder(kFilesCategory), std::vector<std::string>{"** - /data/*.doc"});
}

TEST_F(EntryDialogs, AWildcardNeedsAnAbsolutePath) {
    struct Case {
        std::string pattern;
        bool accepted;
    };
    for (const Case& c : {Case{"*.doc", false}, Case{"data/*.doc", false},
                          Case{"~/*.doc", false}, Case{"/*.doc", true},
                          Case{"/srv/share/*.doc", true}}) {
        WildcardDialog dialog(document);
        dialog.setText(c.pattern);
        if (!c.accepted) host.expectMessage("Invalid WildCard", Answer::Ok);
        dialog.ok();
        EXPECT_EQ(dialog.isOpen(), !c.accepted) << c.pattern;
        EXPECT_EQ(dialog.text(), c.pattern);
    }
    const auto& warning = host.messages().front();
    EXPECT_EQ(warning.icon, Icon::Exclamation);
    EXPECT_EQ(warning.buttons, Buttons::Ok);
    EXPECT_EQ(warning.text,
              "Your WildCard addition must include a pathname in front of it.\r\n\r\neg:  "
              "/home/me/Documents/*.doc");
}

TEST_F(EntryDialogs, AWildcardIsAddedOnceAndLetterCaseMakesItAnother) {
    {
        WildcardDialog dialog(document);
        dialog.setText("/data/*.txt");
        dialog.ok();
        EXPECT_FALSE(dialog.isOpen());
    }
    const SetEntry* node = document.set().tree.find("** - /data/*.txt");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->picture, Picture::File);
    EXPECT_FALSE(document.set().saved);
    EXPECT_TRUE(enabled(CommandId::Backup));
    EXPECT_TRUE(enabled(CommandId::ActionsBackup));
    EXPECT_TRUE(enabled(CommandId::BackupSetProperties));

    WildcardDialog again(document);
    again.setText(" /data/*.txt");
    host.expectMessage("Duplicate WildCard", Answer::Ok);
    again.ok();
    EXPECT_EQ(host.messages().back().text,
              "Your backup set already contains '/data/*.txt'.  Unable to add again.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_TRUE(again.isOpen());
    EXPECT_TRUE(again.takeFocusRequest());
    EXPECT_FALSE(again.takeFocusRequest());
    EXPECT_EQ(host.busyDepth(), 0);

    again.setText("/data/*.TXT");
    again.ok();
    EXPECT_EQ(entriesUnder(kFilesCategory),
              (std::vector<std::string>{"** - /data/*.txt", "** - /data/*.TXT"}));
}

TEST_F(EntryDialogs, ChosenFoldersBecomeTheStartOfTheText) {
    WildcardDialog wildcard(document);
    host.queueFolder("  /data/photos  ");
    wildcard.chooseFolder();
    EXPECT_EQ(wildcard.text(), "/data/photos/");
    host.queueFolder("");  // cancelled
    wildcard.chooseFolder();
    EXPECT_EQ(wildcard.text(), "/data/photos/");

    ExclusionDialog exclusion(document);
    host.queueFolder(std::string("/tmp\0garbage", 12));
    exclusion.chooseFolder();
    EXPECT_EQ(exclusion.text(), "/tmp/*");
    EXPECT_EQ(host.folderTitles(),
              (std::vector<std::string>{"Select Root Folder for your WildCard:",
                                        "Select Root Folder for your WildCard:",
                                        "Select Folder to Exclude:"}));

    host.queueOpenFiles({"/data/notes.txt"});
    exclusion.chooseFile();
    EXPECT_EQ(exclusion.text(), "/data/notes.txt");
    host.queueOpenFiles({});
    exclusion.chooseFile();
    EXPECT_EQ(exclusion.text(), "/data/notes.txt");
    const FileRequest& request = host.fileRequests().front();
    EXPECT_EQ(request.title, "Choose File to Exclude");
    EXPECT_EQ(request.filter, "All Files (*.*)|*.*");
    EXPECT_TRUE(request.mustExist);
    EXPECT_FALSE(request.multiSelect);
}

TEST_F(EntryDialogs, ExclusionsLoseOneTrailingSeparator) {
    struct Case {
        std::string typed;
        std::string stored;  // empty: nothing is added
        std::string boxAfter;
    };
    for (const Case& c : {Case{" /var/cache/ ", "- /var/cache", "/var/cache"},
                          Case{"*.tmp", "- *.tmp", "*.tmp"},
                          Case{"/tmp//", "- /tmp/", "/tmp/"},
                          Case{"/", "", ""}}) {
        ExclusionDialog dialog(document);
        dialog.setText(c.typed);
        dialog.ok();
        EXPECT_EQ(dialog.text(), c.boxAfter) << c.typed;
        EXPECT_EQ(dialog.isOpen(), c.stored.empty()) << c.typed;
        if (!c.stored.empty()) {
            const SetEntry* node = document.set().tree.find(c.stored);
            ASSERT_NE(node, nullptr) << c.stored;
            EXPECT_EQ(node->picture, Picture::Exclusion);
        }
    }
    EXPECT_EQ(entriesUnder(kExclusionsCategory),
              (std::vector<std::string>{"- /var/cache", "- *.tmp", "- /tmp/"}));
    // A new exclusion is an unsaved change, but no content for a backup.
    EXPECT_FALSE(document.set().saved);
    EXPECT_FALSE(enabled(CommandId::Backup));
}

TEST_F(EntryDialogs, ADuplicateExclusionIsRefused) {
    ExclusionDialog first(document);
    first.setText("*.tmp");
    first.ok();
    ExclusionDialog second(document);
    second.setText(" *.tmp ");
    host.expectMessage("Duplicate Exclusion", Answer::Ok);
    second.ok();
    EXPECT_EQ(host.messages().back().text,
              "Exclusions already contain '*.tmp'.  Unable to add again.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_TRUE(second.isOpen());
    EXPECT_TRUE(second.takeFocusRequest());
    EXPECT_EQ(entriesUnder(kExclusionsCategory).size(), 1u);
}

TEST_F(EntryDialogs, ThePickerAddsRealFoldersOnly) {
    FolderPicker picker(document);
    EXPECT_FALSE(picker.addEnabled());
    picker.selectFolder(home / "data");
    EXPECT_TRUE(picker.addEnabled());
    picker.selectFolder("trash:///");  // a virtual place of the folder tree
    EXPECT_FALSE(picker.addEnabled());
    picker.addSelectedFolder();
    EXPECT_EQ(document.set().tree.count(), 3u);

    picker.selectFolder(home / "data");
    picker.addSelectedFolder();
    EXPECT_EQ(entriesUnder(kFoldersCategory), std::vector<std::string>{home / "data/"});
    EXPECT_TRUE(picker.addEnabled());
    EXPECT_TRUE(picker.closeEnabled());
    EXPECT_TRUE(picker.isOpen());
    EXPECT_EQ(host.busyDepth(), 0);

    // The document's duplicate rule applies.
    host.expectMessage("Duplicate Folder/Path", Answer::Ok);
    picker.addSelectedFolder();
    picker.close();
    EXPECT_FALSE(picker.isOpen());
}

TEST_F(EntryDialogs, TheReminderIsWrittenOffOnlyWhenAskedTo) {
    EXPECT_TRUE(FoldersReminder::shouldShow(home.path()));
    FoldersReminder keep(home.path());
    EXPECT_TRUE(keep.showAgain());
    keep.close();
    EXPECT_FALSE(keep.isOpen());
    EXPECT_TRUE(FoldersReminder::shouldShow(home.path()));

    FoldersReminder stop(home.path());
    stop.setShowAgain(false);
    stop.close();
    EXPECT_FALSE(FoldersReminder::shouldShow(home.path()));
    EXPECT_EQ(readFile(home / "Rem.dat"), "");
}

}  // namespace
}  // namespace corvane::test
