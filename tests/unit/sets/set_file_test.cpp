// Set files: writing, reading back, the header test, the positional options, missing entries,
// nesting, all-folders mode, files cut short, and every failure report.
#include <sys/stat.h>

#include "set_fixture.h"

namespace corvane::test {
namespace {

using SetFile = SetFixture;

const std::string kIncompatibleText =
    "The Backup Set you are attempting to open was created with Corvane previous to v5.0.  "
    "Previous Backup Sets are not compatible with this version.\r\n\r\nYour Backup Set will "
    "have to be recreated using this version of Corvane.";

TEST_F(SetFile, SavedSetReopensWithEntriesNestingOptionsAndOrder) {
    makeFolder(home / "data/A/B");
    makeFolder(home / "data/C");
    writeFile(home / "data/f.txt", "x");
    document.newSet("Daily.cvt");
    document.addFolder(home / "data");
    host.queueOpenFiles({home / "data/f.txt"});
    document.addFiles();
    auto& tree = document.set().tree;
    ASSERT_TRUE(tree.add(std::string("Files"), "** - /w/*.doc", "** - /w/*.doc", Picture::File));
    ASSERT_TRUE(tree.add(std::string("Exclusions"), "- *.tmp", "- *.tmp", Picture::Exclusion));
    document.set().defaultLocation = home / "out/$DATE$.bac";
    config.record().compression = 9;
    config.record().freshen = 1;
    config.record().addAllFolders = 0;
    ASSERT_TRUE(document.saveSet());
    const std::string path = home / "Backup Sets/Daily.cvt";
    const std::string written = readFile(path);
    EXPECT_EQ(written, "\"Corvane Set - v6.0\"\r\n\"[OPTIONS]\"\r\n\"IncludeSubFolders=1\"\r\n"
                       "\"CompressionStyle=9\"\r\n\"BackupFreshen=1\"\r\n\"BackupAddNew=0\"\r\n"
                       "\"DefaultLocation=" + home.path() + "out/$DATE$.bac\"\r\n"
                       "\"[FOLDERS/PATHS]\"\r\n"
                       "\"" + home.path() + "data/\"\r\n"
                       "\"" + home.path() + "data/A/\"\r\n"
                       "\"" + home.path() + "data/C/\"\r\n"
                       "\"" + home.path() + "data/A/B/\"\r\n"
                       "\"" + home.path() + "data/f.txt\"\r\n"
                       "\"** - /w/*.doc\"\r\n\"- *.tmp\"\r\n"
                       "\"[END OF BACKUP]\"\r\n\"AllFolders=0\"\r\n");
    const auto before = treeOutline();

    config.record().compression = 1;
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(), before);
    EXPECT_EQ(config.record().compression, 9);
    EXPECT_EQ(config.record().freshen, 1);
    EXPECT_EQ(document.set().defaultLocation, home / "out/$DATE$.bac");
    EXPECT_TRUE(document.set().saved);
    ASSERT_TRUE(document.saveSet());
    EXPECT_EQ(readFile(path), written);
}

TEST_F(SetFile, HandWrittenFixtureOpensIntoItsTree) {
    ASSERT_EQ(open(testDataFolder() + "sets/Fixture.cvt"), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(), (std::vector<std::string>{
                                 "Files []",
                                 "Folders []",
                                 "Exclusions []",
                                 "/corvane-fixture/Data/ [Folders]",
                                 "/corvane-fixture/Data/Projects/ [/corvane-fixture/Data/]",
                                 "/CORVANE-FIXTURE/data/Projects/Old/ "
                                 "[/corvane-fixture/Data/Projects/]",
                                 "/corvane-fixture/Other/ [Folders]",
                                 "/corvane-fixture/notes, draft.txt [Files]",
                                 "** - /corvane-fixture/Docs/*.odt [Files]",
                                 "- *.tmp [Exclusions]",
                                 "- /corvane-fixture/Data/cache/ [Exclusions]",
                             }));
    EXPECT_EQ(config.record().subFolders, 0);
    EXPECT_EQ(config.record().compression, 1);
    EXPECT_EQ(config.record().freshen, 1);
    EXPECT_EQ(config.record().addNew, 1);
    EXPECT_EQ(config.record().addAllFolders, 0);
    EXPECT_EQ(document.set().defaultLocation, "/srv/backups/$DATE$.bac");
    EXPECT_EQ(document.set().tree.at(6).picture, Picture::Folder);
    EXPECT_EQ(document.set().tree.at(9).picture, Picture::File);
    EXPECT_EQ(document.set().tree.at(10).picture, Picture::Exclusion);
    EXPECT_EQ(host.statusText(), "Fixture.cvt");
    for (const CommandId id :
         {CommandId::Add, CommandId::Save, CommandId::ActionsAdd, CommandId::ActionsDefault,
          CommandId::ActionsRemove, CommandId::FileSave, CommandId::FileSaveAs, CommandId::Backup,
          CommandId::ActionsBackup, CommandId::BackupSetProperties}) {
        EXPECT_TRUE(enabled(id)) << commandKey(id);
    }
    EXPECT_FALSE(document.set().opening);
    EXPECT_EQ(host.busyDepth(), 0);
}

TEST_F(SetFile, HeaderTestLooksForTheMarkWithItsCase) {
    auto lines = setLines({"- *.tmp"});
    lines[0] = "Corvane Set - v5.0";
    EXPECT_EQ(open(writeSet("Old.cvt", lines)), OpenOutcome::Opened);

    for (const std::string header : {"corvane set - v6.0", "Backup Set", ""}) {
        lines[0] = header;
        const std::string path = writeSet("Bad.cvt", lines);
        host.expectMessage("Incompatible Backup Set", Answer::Ok);
        EXPECT_EQ(open(path), OpenOutcome::Incompatible) << header;
        EXPECT_EQ(host.messages().back().text, kIncompatibleText);
        EXPECT_EQ(host.messages().back().icon, Icon::Information);
        EXPECT_EQ(document.set().tree.count(), 0u);
        EXPECT_FALSE(enabled(CommandId::FileSave));
    }
    writeFile(home / "Backup Sets/Empty.cvt", "");
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    EXPECT_EQ(open(home / "Backup Sets/Empty.cvt"), OpenOutcome::Incompatible);
}

TEST_F(SetFile, OptionLinesAreTakenByPositionWithTwoConversions) {
    auto lines = setLines({"- *.tmp"});
    lines[2] = "IncludeSubfolderZ=0";  // other key names of the same lengths
    lines[3] = "CompressionStylX=abc";  // lenient: no leading number gives 0
    lines[4] = "BackupFreshen=1.5";     // rounded half to even
    lines[5] = "BackupAddNeW= 1 ";
    ASSERT_EQ(open(writeSet("Pos.cvt", lines)), OpenOutcome::Opened);
    EXPECT_EQ(config.record().subFolders, 0);
    EXPECT_EQ(config.record().compression, 0);
    EXPECT_EQ(config.record().freshen, 2);
    EXPECT_EQ(config.record().addNew, 1);
}

TEST_F(SetFile, ReadErrorsStopTheOpenWithTheErrorBox) {
    struct Case {
        std::vector<std::string> lines;
        std::string errorText;
    };
    auto badSubFolders = setLines({"- *.tmp"});
    badSubFolders[2] = "IncludeSubFolders=abc";
    auto overflow = setLines({"- *.tmp"});
    overflow[3] = "CompressionStyle=99999";
    const Case cases[] = {
        {badSubFolders, "Error #13.  Description:  Type mismatch."},
        {overflow, "Error #6.  Description:  Overflow."},
        {setLines({"- *.tmp", "- *.tmp"}), "Error #35602.  Description:  Key is not unique in "
                                           "collection."},
    };
    for (const auto& c : cases) {
        host.expectMessage("Error", Answer::Ok);
        EXPECT_EQ(open(writeSet("Bad.cvt", c.lines)), OpenOutcome::Failed);
        EXPECT_EQ(host.messages().back().text,
                  "Error opening Backup Set.  Unable to load Backup.\r\n\r\n" + c.errorText);
        EXPECT_EQ(host.messages().back().icon, Icon::Critical);
        EXPECT_EQ(host.statusText(), "Press F1 to get Help");
        EXPECT_FALSE(document.set().opening);
        EXPECT_FALSE(enabled(CommandId::FileSave));
    }
    host.expectMessage("Error", Answer::Ok);
    EXPECT_EQ(open(home / "Backup Sets/Missing.cvt"), OpenOutcome::Failed);
    EXPECT_EQ(host.messages().back().text,
              "Error opening Backup Set.  Unable to load Backup.\r\n\r\n"
              "Error #53.  Description:  File not found.");
}

TEST_F(SetFile, UnattendedFailuresGoToErrorLogAndTheTimedScreen) {
    flags.commandLineRun = true;
    auto lines = setLines({});
    lines[0] = "Something else";
    const std::string bad = writeSet("Bad.cvt", lines);
    EXPECT_EQ(open("  " + bad + " "), OpenOutcome::Incompatible);
    EXPECT_EQ(open(home / "Backup Sets/Missing.cvt"), OpenOutcome::Failed);
    EXPECT_EQ(host.messages().size(), 0u);
    EXPECT_EQ(host.timedErrorScreens(), 2);
    EXPECT_EQ(readFile(home / "error.log"),
              "Command Line Backup - Error Opening\r\n"
              "Error #    :  Internal Error - Incompatible Backup Set\r\n"
              "Backup Name: " + bad + "\r\n"
              "Backup Time: 2026-12-04 10:30:00\r\n"
              "Command Line Backup - Error Opening\r\n"
              "Error #    : 53 - File not found\r\n"
              "Backup Name: " + home.path() + "Backup Sets/Missing.cvt\r\n"
              "Backup Time: 2026-12-04 10:30:00\r\n");
}

TEST_F(SetFile, MissingEntryAnsweredYesIsDroppedAndTheFileRewritten) {
    config.record().verifyExists = 1;
    ASSERT_TRUE(config.save());  // the open reloads the stored options first
    const std::string gone = home / "gone/";
    const std::string path = writeSet("V.cvt", setLines({home / "data/", gone, home / "x.txt"}));
    host.expectMessage("Not Found", Answer::Yes);
    host.expectMessage("Not Found", Answer::Yes);
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(host.messages()[0].text,
              "Backup folder '" + gone + "' no longer exists.  Continue loading Backup Set?");
    EXPECT_EQ(host.messages()[1].text, "Backup file '" + home.path() +
                                           "x.txt' no longer exists.  Continue loading Backup Set?");
    EXPECT_EQ(host.messages()[0].icon, Icon::Question);
    EXPECT_EQ(host.messages()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(document.set().tree.count(), 4u);
    EXPECT_EQ(readFile(path).find("gone"), std::string::npos);
    EXPECT_NE(readFile(path).find(home / "data/"), std::string::npos);
}

TEST_F(SetFile, MissingEntryAnsweredNoAbandonsAndLeavesTheFile) {
    config.record().verifyExists = 1;
    ASSERT_TRUE(config.save());
    const std::string path = writeSet("V.cvt", setLines({home / "gone/", home / "data/"}));
    const std::string before = readFile(path);
    host.expectMessage("Not Found", Answer::No);
    EXPECT_EQ(open(path), OpenOutcome::Abandoned);
    EXPECT_EQ(document.set().tree.count(), 0u);
    EXPECT_EQ(document.set().setPath, "");
    EXPECT_EQ(host.statusText(), "Press F1 to get Help");
    EXPECT_FALSE(enabled(CommandId::FileSave));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(SetFile, MissingEntriesStayWithoutVerifyAndUnattendedNeverAsks) {
    const std::string path = writeSet("V.cvt", setLines({home / "gone/", home / "x.txt"}));
    const std::string before = readFile(path);
    ASSERT_EQ(open(path), OpenOutcome::Opened);  // VerifyExists 0: no question
    EXPECT_EQ(document.set().tree.count(), 5u);

    flags.commandLineRun = true;
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(document.set().tree.count(), 5u);
    EXPECT_EQ(readFile(path), before);

    config.record().verifyExists = 1;
    ASSERT_TRUE(config.save());
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(document.set().tree.count(), 3u);
    EXPECT_EQ(readFile(path).find("gone"), std::string::npos);
}

TEST_F(SetFile, FolderLinesNestUnderTheClosestPrefixIgnoringCase) {
    const std::string path = writeSet(
        "N.cvt", setLines({"/nowhere/DATA/", "/nowhere/Data/Sub/", "/nowhere/Database/",
                           "/nowhere/data/sub/deep/", "/nowhere/other/"}));
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(), (std::vector<std::string>{
                                 "Files []", "Folders []", "Exclusions []",
                                 "/nowhere/DATA/ [Folders]",
                                 "/nowhere/Data/Sub/ [/nowhere/DATA/]",
                                 "/nowhere/Database/ [Folders]",
                                 "/nowhere/data/sub/deep/ [/nowhere/Data/Sub/]",
                                 "/nowhere/other/ [Folders]",
                             }));
}

TEST_F(SetFile, AllFoldersModeRereadsFolderTreesAndPassesOverRepeats) {
    makeFolder(home / "data/A/New");
    makeFolder(home / "data/B");
    const std::string path = writeSet(
        "All.cvt", setLines({home / "data/", home / "data/A/", home / "gone/"}, "1"));
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(), (std::vector<std::string>{
                                 "Files []", "Folders []", "Exclusions []",
                                 home / "data/ [Folders]",
                                 home / "data/A/ [" + home.path() + "data/]",
                                 home / "data/B/ [" + home.path() + "data/]",
                                 home / "data/A/New/ [" + home.path() + "data/A/]",
                             }));
    EXPECT_EQ(config.record().addAllFolders, 1);
    EXPECT_FALSE(document.set().saved);
}

// A file that ends early keeps what was read before its end: option lines read stay, the
// others keep the stored defaults, entries read stay, AllFolders counts as 0. No message.
TEST_F(SetFile, FileCutShortKeepsWhatWasReadBeforeItsEnd) {
    const auto full = setLines({home / "data/", "- *.tmp"}, "1");
    const std::string inOptions =
        writeSet("Short1.cvt", std::vector<std::string>(full.begin(), full.begin() + 5));
    ASSERT_EQ(open(inOptions), OpenOutcome::Opened);
    EXPECT_EQ(config.record().compression, 9);
    EXPECT_EQ(config.record().freshen, 1);
    EXPECT_EQ(config.record().addNew, 0);
    EXPECT_EQ(document.set().defaultLocation, "");
    EXPECT_EQ(document.set().tree.count(), 3u);
    EXPECT_EQ(config.record().addAllFolders, 0);

    const std::string inEntries =
        writeSet("Short2.cvt", std::vector<std::string>(full.begin(), full.begin() + 9));
    ASSERT_EQ(open(inEntries), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(), (std::vector<std::string>{"Files []", "Folders []", "Exclusions []",
                                                       home / "data/ [Folders]"}));
    EXPECT_EQ(config.record().addAllFolders, 0);
    EXPECT_TRUE(document.set().saved);
}

TEST_F(SetFile, SaveFailureShowsTheBoxWithTheSpacedNumber) {
    document.newSet("Daily.cvt");
    document.set().setPath = home / "no/such/folder/Daily.cvt";
    host.expectMessage("Error", Answer::Ok);
    EXPECT_FALSE(document.saveSet());
    EXPECT_EQ(host.messages().back().text,
              "An error was encountered trying to save the Backup Set.\r\n\r\nError # 76.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_EQ(host.statusText(), "Daily.cvt");
    EXPECT_EQ(host.busyDepth(), 0);
}

TEST_F(SetFile, SaveAsMakesTheArchiveTwinTheDestination) {
    document.newSet("Daily.cvt");
    document.addFolder(home / "data");
    makeFolder(home / "sets");
    host.queueSaveFile(home / "sets/Weekly.cvt");
    document.saveSetAs();
    const FileRequest& request = host.fileRequests().back();
    EXPECT_EQ(request.title, "Save Backup Set As...");
    EXPECT_EQ(request.filter, "Corvane Sets (*.cvt)|*.cvt");
    EXPECT_EQ(request.initialFolder, home / "Backup Sets");
    EXPECT_EQ(request.defaultExtension, "cvt");
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(document.set().defaultLocation, home / "sets/Weekly.bac");
    EXPECT_EQ(document.set().setName, "Weekly.cvt");
    EXPECT_TRUE(document.set().saved);
    EXPECT_NE(readFile(home / "sets/Weekly.cvt").find("DefaultLocation=" + home.path() +
                                                       "sets/Weekly.bac"),
              std::string::npos);
    // Cancelling changes nothing.
    host.queueSaveFile("");
    document.saveSetAs();
    EXPECT_EQ(document.set().setPath, home / "sets/Weekly.cvt");
}

TEST_F(SetFile, SaveWhileOpeningWritesToTheLoadedPath) {
    document.newSet("Daily.cvt");
    document.addFolder(home / "data");
    document.set().loadedPath = home / "Backup Sets/Loaded.cvt";
    document.set().opening = true;
    ASSERT_TRUE(document.saveSet());
    EXPECT_TRUE(fileExists(home / "Backup Sets/Loaded.cvt"));
    EXPECT_FALSE(fileExists(home / "Backup Sets/Daily.cvt"));
}

}  // namespace
}  // namespace corvane::test
