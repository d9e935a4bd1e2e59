// The wildcard and exclusion dialogs, the folder picker and the all-folders reminder.
#include "box_check.h"
#include "config/folders_reminder.h"
#include "sets/entry_dialogs.h"
#include "sets/folder_picker.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

class EntryDialogs : public SetFixture {
protected:
    EntryDialogs() { document.newSet("Daily.cvt"); }
};

// OK and Enter follow the trimmed text. A wildcard needs an absolute path and is added once;
// another letter case makes another wildcard. A refused wildcard keeps the dialog open.
TEST_F(EntryDialogs, AWildcardNeedsAnAbsolutePathAndIsAddedOnce) {
    WildcardDialog dialog(document);
    for (const std::string text : {"", "   "}) {
        dialog.setText(text);
        EXPECT_FALSE(dialog.okEnabled());
        EXPECT_FALSE(dialog.pressEnter());  // not swallowed, nothing shown
    }
    dialog.setText("  /data/*.txt ");
    EXPECT_TRUE(dialog.okEnabled());
    EXPECT_EQ(dialog.focusSelection(), (TextSelection{2, 11}));
    EXPECT_TRUE(dialog.pressEnter());
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(document.set().tree.find("** - /data/*.txt")->picture, Picture::File);
    EXPECT_FALSE(document.set().saved);
    for (CommandId id : kContentCommands) EXPECT_TRUE(enabled(id)) << commandKey(id);

    const std::pair<std::string, std::string> attempts[] = {  // typed, the box's title if refused
        {"*.doc", "Invalid WildCard"},         {"data/*.doc", "Invalid WildCard"},
        {"~/*.doc", "Invalid WildCard"},       {" /data/*.txt", "Duplicate WildCard"},
        {"/*.doc", ""},                        {"/data/*.TXT", ""}};
    for (const auto& [typed, refusal] : attempts) {
        WildcardDialog again(document);
        again.setText(typed);
        if (!refusal.empty()) host.expectMessage(refusal, Answer::Ok);
        again.ok();
        EXPECT_EQ(again.isOpen(), !refusal.empty()) << typed;
        EXPECT_EQ(again.text(), typed);
        EXPECT_EQ(again.takeFocusRequest(), refusal == "Duplicate WildCard") << typed;
    }
    expectBox(host.messages().front(), Icon::Exclamation, Buttons::Ok,
              "Your WildCard addition must include a pathname in front of it.\r\n\r\neg:  "
              "/MyDocuments/*.doc");
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Your backup set already contains '/data/*.txt'.  Unable to add again.");
    EXPECT_EQ(treeOutline(), withCategories({"** - /data/*.txt [Files]", "** - /*.doc [Files]",
                                             "** - /data/*.TXT [Files]"}));
    EXPECT_EQ(host.busyDepth(), 0);
}

TEST_F(EntryDialogs, ChosenFilesAndFoldersReplaceTheText) {
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
    host.queueOpenFiles({});
    exclusion.chooseFile();
    EXPECT_EQ(exclusion.text(), "/data/notes.txt");
    EXPECT_EQ(host.fileRequests().front().title, "Choose File to Exclude");
}

TEST_F(EntryDialogs, ExclusionsLoseOneTrailingSeparatorAndMarkTheSetChanged) {
    // typed, the text left in the box: also the stored exclusion, unless empty
    const std::pair<std::string, std::string> cases[] = {
        {" /var/cache/ ", "/var/cache"}, {"*.tmp", "*.tmp"}, {"/tmp//", "/tmp/"}, {"/", ""}};
    for (const auto& [typed, boxAfter] : cases) {
        ExclusionDialog dialog(document);
        dialog.setText(typed);
        dialog.ok();
        EXPECT_EQ(dialog.text(), boxAfter) << typed;
        EXPECT_EQ(dialog.isOpen(), boxAfter.empty()) << typed;
    }
    EXPECT_EQ(treeOutline(), withCategories({"- /var/cache [Exclusions]", "- *.tmp [Exclusions]",
                                             "- /tmp/ [Exclusions]"}));
    EXPECT_EQ(document.set().tree.find("- *.tmp")->picture, Picture::Exclusion);
    EXPECT_FALSE(document.set().saved);
    EXPECT_FALSE(enabled(CommandId::Backup));  // exclusions are no content

    ExclusionDialog again(document);
    again.setText(" *.tmp ");
    host.expectMessage("Duplicate Exclusion", Answer::Ok);
    again.ok();
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Exclusions already contain '*.tmp'.  Unable to add again.");
    EXPECT_TRUE(again.isOpen());
    EXPECT_TRUE(again.takeFocusRequest());
}

TEST_F(EntryDialogs, ThePickerAddsRealFoldersOnly) {
    FolderPicker picker(document);
    EXPECT_FALSE(picker.addEnabled());
    picker.selectFolder("trash:///");  // a virtual place of the folder tree
    EXPECT_FALSE(picker.addEnabled());
    picker.addSelectedFolder();
    EXPECT_EQ(document.set().tree.count(), 3u);

    picker.selectFolder(home / "data");
    EXPECT_TRUE(picker.addEnabled());
    picker.addSelectedFolder();
    EXPECT_EQ(treeOutline().back(), home / "data/ [Folders]");
    EXPECT_TRUE(picker.addEnabled() && picker.closeEnabled() && picker.isOpen());
    host.expectMessage("Duplicate Folder/Path", Answer::Ok);  // the document's rule applies
    picker.addSelectedFolder();
    EXPECT_EQ(host.busyDepth(), 0);
}

// The reminder is written off (an empty Rem.dat) only when its box is cleared.
TEST_F(EntryDialogs, TheReminderIsWrittenOffOnlyWhenAskedTo) {
    for (const bool showAgain : {true, false}) {
        FoldersReminder reminder(home.path());
        EXPECT_TRUE(reminder.showAgain());
        reminder.setShowAgain(showAgain);
        reminder.close();
        EXPECT_FALSE(reminder.isOpen());
        EXPECT_EQ(FoldersReminder::shouldShow(home.path()), showAgain);
    }
    EXPECT_EQ(readFile(home / "Rem.dat"), "");
}

}  // namespace
}  // namespace corvane::test
