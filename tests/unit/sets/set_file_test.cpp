// Set files: writing, reading back, the header test, the positional options, missing entries,
// nesting, all-folders mode, files cut short, and every failure report.
#include "box_check.h"
#include "set_fixture.h"

#include <algorithm>
#include <filesystem>

namespace corvane::test {
namespace {

using SetFile = SetFixture;

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
    EXPECT_EQ(written, quotedFields(setLines({home / "data/", home / "data/A/", home / "data/C/",
                                              home / "data/A/B/", home / "data/f.txt",
                                              "** - /w/*.doc", "- *.tmp"})));
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
    EXPECT_EQ(treeOutline(),
              withCategories({"/corvane-fixture/Data/ [Folders]",
                              "/corvane-fixture/Data/Projects/ [/corvane-fixture/Data/]",
                              "/CORVANE-FIXTURE/data/Projects/Old/ "
                              "[/corvane-fixture/Data/Projects/]",
                              "/corvane-fixture/Other/ [Folders]",
                              "/corvane-fixture/notes, draft.txt [Files]",
                              "** - /corvane-fixture/Docs/*.odt [Files]", "- *.tmp [Exclusions]",
                              "- /corvane-fixture/Data/cache/ [Exclusions]"}));
    const ConfigRecord& r = config.record();
    // subFolders, compression, freshen, addNew, addAllFolders
    EXPECT_EQ((std::vector<int>{r.subFolders, r.compression, r.freshen, r.addNew, r.addAllFolders}),
              (std::vector<int>{0, 1, 1, 1, 0}));
    EXPECT_EQ(document.set().defaultLocation, "/srv/backups/$DATE$.bac");
    const SetTree& tree = document.set().tree;
    EXPECT_EQ((std::vector<Picture>{tree.at(6).picture, tree.at(9).picture, tree.at(10).picture}),
              (std::vector<Picture>{Picture::Folder, Picture::File, Picture::Exclusion}));
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

// The header needs the mark with its case (any version); option lines are taken by position
// whatever their key, leniently (no leading number gives 0, halves round to even).
TEST_F(SetFile, HeaderMarkAndOptionLinesByPosition) {
    auto lines = setLines({"- *.tmp"});
    lines[0] = "Corvane Set - v5.0";
    lines[2] = "IncludeSubfolderZ=0";
    lines[3] = "CompressionStylX=abc";
    lines[4] = "BackupFreshen=1.5";
    lines[5] = "BackupAddNeW= 1 ";
    ASSERT_EQ(open(writeSet("Pos.cvt", lines)), OpenOutcome::Opened);
    const ConfigRecord& r = config.record();
    EXPECT_EQ((std::vector<int>{r.subFolders, r.compression, r.freshen, r.addNew}),
              (std::vector<int>{0, 0, 2, 1}));
}

// Every failed open shows its box and leaves no set open: a header without the mark (with its
// case) is incompatible and empties the tree, a read error gives its number and description.
TEST_F(SetFile, FailedOpensShowTheirBoxAndLeaveNoSet) {
    const std::string loadError =
        "Error opening Backup Set.  Unable to load Backup.\r\n\r\nError #";
    const auto withLine = [this](std::size_t index, const std::string& line) {
        auto lines = setLines({"- *.tmp"});
        lines[index] = line;
        return lines;
    };
    writeFile(home / "Backup Sets/Empty.cvt", "");
    const std::pair<std::string, std::string> cases[] = {
        // the set file, the box's text
        {writeSet("A.cvt", withLine(0, "corvane set - v6.0")), kIncompatibleText},
        {writeSet("B.cvt", withLine(0, "Backup Set")), kIncompatibleText},
        {home / "Backup Sets/Empty.cvt", kIncompatibleText},
        {writeSet("C.cvt", withLine(2, "IncludeSubFolders=abc")),
         loadError + "13.  Description:  Type mismatch."},
        {writeSet("D.cvt", withLine(3, "CompressionStyle=99999")),
         loadError + "6.  Description:  Overflow."},
        {writeSet("E.cvt", setLines({"- *.tmp", "- *.tmp"})),
         loadError + "35602.  Description:  Key is not unique in collection."},
        {home / "Backup Sets/Missing.cvt", loadError + "53.  Description:  File not found."},
    };
    for (const auto& [path, text] : cases) {
        SCOPED_TRACE(path);
        const bool incompatible = text == kIncompatibleText;
        host.expectMessage(incompatible ? "Incompatible Backup Set" : "Error", Answer::Ok);
        EXPECT_EQ(open(path), incompatible ? OpenOutcome::Incompatible : OpenOutcome::Failed);
        expectBox(host.messages().back(), incompatible ? Icon::Information : Icon::Critical,
                  Buttons::Ok, text);
        if (incompatible) {
            EXPECT_EQ(document.set().tree.count(), 0u);
        } else {
            EXPECT_EQ(host.statusText(), "Press F1 to get Help");
        }
        EXPECT_FALSE(document.set().opening || enabled(CommandId::FileSave));
    }
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
              "Backup Name: " +
                  bad +
                  "\r\n"
                  "Backup Time: 2026-12-04 10:30:00\r\n"
                  "Command Line Backup - Error Opening\r\n"
                  "Error #    : 53 - File not found\r\n"
                  "Backup Name: " +
                  home.path() +
                  "Backup Sets/Missing.cvt\r\n"
                  "Backup Time: 2026-12-04 10:30:00\r\n");
}

// Missing entries stay unless VerifyExists is on; then each is asked about (No abandons the
// open, Yes drops it and rewrites the file), and an unattended open drops them without asking.
TEST_F(SetFile, MissingEntriesAreAskedAboutOnlyWithVerify) {
    const std::string gone = home / "gone/";
    const std::vector<std::string> lines = setLines({home / "data/", gone, home / "x.txt"});
    const std::string path = writeSet("V.cvt", lines);
    const std::string before = readFile(path);
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(document.set().tree.count(), 6u);
    EXPECT_EQ(readFile(path), before);

    config.record().verifyExists = 1;
    ASSERT_TRUE(config.save());  // the open reloads the stored options first
    host.expectMessage("Not Found", Answer::No);
    EXPECT_EQ(open(path), OpenOutcome::Abandoned);
    EXPECT_EQ(document.set().tree.count(), 0u);
    EXPECT_EQ(document.set().setPath, "");
    EXPECT_EQ(host.statusText(), "Press F1 to get Help");
    EXPECT_FALSE(enabled(CommandId::FileSave));
    EXPECT_EQ(readFile(path), before);

    host.expectMessage("Not Found", Answer::Yes);
    host.expectMessage("Not Found", Answer::Yes);
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    const auto& boxes = host.messages();
    ASSERT_EQ(boxes.size(), 3u);
    expectBox(boxes[1], Icon::Question, Buttons::YesNo,
              "Backup folder '" + gone + "' no longer exists.  Continue loading Backup Set?");
    EXPECT_EQ(boxes[2].text, "Backup file '" + home.path() +
                                 "x.txt' no longer exists.  Continue loading Backup Set?");
    EXPECT_EQ(document.set().tree.count(), 4u);
    EXPECT_EQ(readFile(path).find("gone"), std::string::npos);
    EXPECT_NE(readFile(path).find(home / "data/"), std::string::npos);

    writeSet("V.cvt", lines);
    flags.commandLineRun = true;
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(document.set().tree.count(), 4u);
    EXPECT_EQ(readFile(path).find("gone"), std::string::npos);
}

TEST_F(SetFile, FolderLinesNestUnderTheClosestPrefixIgnoringCase) {
    const std::string path =
        writeSet("N.cvt", setLines({"/nowhere/DATA/", "/nowhere/Data/Sub/", "/nowhere/Database/",
                                    "/nowhere/data/sub/deep/", "/nowhere/other/"}));
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(),
              withCategories({"/nowhere/DATA/ [Folders]", "/nowhere/Data/Sub/ [/nowhere/DATA/]",
                              "/nowhere/Database/ [Folders]",
                              "/nowhere/data/sub/deep/ [/nowhere/Data/Sub/]",
                              "/nowhere/other/ [Folders]"}));
}

TEST_F(SetFile, AllFoldersModeRereadsFolderTreesAndPassesOverRepeats) {
    makeFolder(home / "data/A/New");
    makeFolder(home / "data/B");
    const std::string path =
        writeSet("All.cvt", setLines({home / "data/", home / "data/A/", home / "gone/"}, "1"));
    ASSERT_EQ(open(path), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(),
              withCategories({home / "data/ [Folders]", home / "data/A/ [" + home.path() + "data/]",
                              home / "data/B/ [" + home.path() + "data/]",
                              home / "data/A/New/ [" + home.path() + "data/A/]"}));
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
    const ConfigRecord& r = config.record();
    // compression, freshen (read); addNew (the stored default); addAllFolders
    EXPECT_EQ((std::vector<int>{r.compression, r.freshen, r.addNew, r.addAllFolders}),
              (std::vector<int>{9, 1, 0, 0}));
    EXPECT_EQ(document.set().defaultLocation, "");
    EXPECT_EQ(document.set().tree.count(), 3u);

    const std::string inEntries =
        writeSet("Short2.cvt", std::vector<std::string>(full.begin(), full.begin() + 9));
    ASSERT_EQ(open(inEntries), OpenOutcome::Opened);
    EXPECT_EQ(treeOutline(), withCategories({home / "data/ [Folders]"}));
    EXPECT_EQ(config.record().addAllFolders, 0);
    EXPECT_TRUE(document.set().saved);
}

TEST_F(SetFile, OpeningAnotherSetSavesTheChangedOneToItsOwnFile) {
    const std::string daily = writeSet("Daily.cvt", setLines({home / "data/"}));
    const std::string weekly = writeSet("Weekly.cvt", setLines({}));
    const std::string weeklyBefore = readFile(weekly);
    ASSERT_EQ(open(daily), OpenOutcome::Opened);
    writeFile(home / "notes.txt", "n");
    document.addSetItem(home / "notes.txt");
    ASSERT_FALSE(document.set().saved);

    host.expectMessage("Save", Answer::Yes);
    EXPECT_EQ(document.openSetAt(weekly, "Weekly.cvt"), OpenOutcome::Opened);
    EXPECT_NE(readFile(daily).find(home / "notes.txt"), std::string::npos);
    EXPECT_EQ(readFile(weekly), weeklyBefore);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(home / "Backup Sets")) {
        files.push_back(entry.path().filename());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"Daily.cvt", "Weekly.cvt"}));
    EXPECT_EQ(document.set().setPath, weekly);
    EXPECT_EQ(document.set().setName, "Weekly.cvt");
}

TEST_F(SetFile, SaveFailureShowsTheBoxWithTheSpacedNumber) {
    document.newSet("Daily.cvt");
    document.set().setPath = home / "no/such/folder/Daily.cvt";
    host.expectMessage("Error", Answer::Ok);
    EXPECT_FALSE(document.saveSet());
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "An error was encountered trying to save the Backup Set.\r\n\r\nError # 76.");
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
    EXPECT_NE(readFile(home / "sets/Weekly.cvt")
                  .find("DefaultLocation=" + home.path() + "sets/Weekly.bac"),
              std::string::npos);
    host.queueSaveFile("");  // cancelled: nothing changes
    document.saveSetAs();
    EXPECT_EQ(document.set().setPath, home / "sets/Weekly.cvt");

    // A save while a set is being opened writes to the file being loaded.
    document.set().loadedPath = home / "Backup Sets/Loaded.cvt";
    document.set().opening = true;
    ASSERT_TRUE(document.saveSet());
    EXPECT_TRUE(fileExists(home / "Backup Sets/Loaded.cvt"));
}

}  // namespace
}  // namespace corvane::test
