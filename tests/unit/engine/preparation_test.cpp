// Preparing a run: the backup-type dialog, the destination, drive checks, disk settings, the
// existing-archive rules and the file lists.
#include "archive/file_selection.h"
#include "box_check.h"
#include "engine/file_list.h"
#include "engine/preview_math.h"
#include "engine_fixture.h"
#include "sets/archive_destination.h"

namespace corvane::test {
namespace {

using Preparation = EngineFixture;

TEST(BackupTypeDialog, CapacityListAndItsSelection) {
    const BackupTypeDialog dialog("650 MB");
    ASSERT_EQ(dialog.capacities().size(), 600u);
    EXPECT_EQ(dialog.capacities().front(), "400 MB");
    EXPECT_EQ(dialog.capacities().back(), "999 MB");
    EXPECT_EQ(dialog.selectedCapacity(), 250u);
    EXPECT_EQ(BackupTypeDialog("0").selectedCapacity(), 200u);  // "600 MB"
    EXPECT_EQ(BackupTypeDialog("").selectedCapacity(), 200u);
    EXPECT_FALSE(BackupTypeDialog("300 MB").selectedCapacity());

    BackupTypeDialog cd("999 MB");
    EXPECT_FALSE(cd.capacityEnabled());
    EXPECT_EQ(cd.start().capacityText, "");
    cd.selectStyle(BackupStyle::CdMultipleDisks);
    EXPECT_TRUE(cd.capacityEnabled());
    EXPECT_EQ(cd.start().capacityText, "999 MB");
    EXPECT_EQ(cd.start().style, BackupStyle::CdMultipleDisks);
}

TEST(CdReminderDialog, ClearingShowAgainWritesTheMarker) {
    TempFolder home;
    const RealFileSystem fileSystem;
    EXPECT_TRUE(CdReminderDialog::shouldShow(fileSystem, home.path()));
    CdReminderDialog kept(home.path());
    kept.close();
    EXPECT_TRUE(CdReminderDialog::shouldShow(fileSystem, home.path()));
    CdReminderDialog dropped(home.path());
    dropped.setShowAgain(false);
    dropped.close();
    EXPECT_FALSE(CdReminderDialog::shouldShow(fileSystem, home.path()));
    EXPECT_EQ(readFile(home / "CDRemind.dat"), "OK\r\n");
}

TEST(PreviewMath, DisksFollowTheCapacity) {
    EXPECT_EQ(disksNeeded(1000, 1000), 1u);
    EXPECT_EQ(disksNeeded(1001, 1000), 2u);
    EXPECT_EQ(disksNeeded(2600, 1000), 3u);
    EXPECT_EQ(disksNeeded(0, 1000), 1u);
    EXPECT_EQ(estimateInKilobytes(1025), 2u);
}

TEST(FileLists, FourRulesInIndexOrder) {
    SetTree tree;
    for (const auto* category : {"Files", "Folders", "Exclusions"}) {
        ASSERT_TRUE(tree.add(std::nullopt, category, category, Picture::Backup));
    }
    const std::pair<const char*, const char*> nodes[] = {
        {"Folders", "/data/"},
        {"Files", "/home/notes.txt"},
        {"Files", "** - /docs/*.odt"},
        {"Exclusions", "- *.tmp"},
        {"Exclusions", "- /data/cache/*"},
        // An exclusion ending in "/" meets the folder test first.
        {"Exclusions", "- /odd/"}};
    for (const auto& [parent, text] : nodes) {
        ASSERT_TRUE(tree.add(std::string(parent), text, text, Picture::File));
    }
    const FileLists lists = buildFileLists(tree);
    EXPECT_EQ(lists.includes,
              (std::vector<std::string>{"/data/*", "/home/notes.txt", "/docs/*.odt", "- /odd/*"}));
    EXPECT_EQ(lists.exclusions,
              (std::vector<std::string>{"/home/", "/docs/", "*.tmp", "/data/cache/*"}));
}

// A file entry names one file whatever characters its name holds.
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

TEST_F(Preparation, DatedNameAndDefaultLocationWithoutAsking) {
    const LocalDateTime day = toLocal(clock.now());
    EXPECT_EQ(datedArchiveName(day, "Office.cvt"), "12-04-2026 - Office.bac");
    // The extension goes whatever its letter case.
    EXPECT_EQ(datedArchiveName(day, "Office.CVT"), "12-04-2026 - Office.bac");
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    ASSERT_EQ(component.compresses.size(), 1u);
    const archive::ArchiveSettings& settings = component.compresses[0];
    EXPECT_EQ(settings.archivePath, datedArchive());
    EXPECT_EQ(settings.level, 6);
    EXPECT_EQ(settings.method, 8);
    EXPECT_FALSE(settings.spanDisks);
    EXPECT_EQ(settings.includes, std::vector<std::string>{home / "data/*"});
    EXPECT_TRUE(host.folderTitles().empty());
    // The set was saved before the run, keeping its destination.
    EXPECT_NE(readFile(home / "Backup Sets/Office.cvt").find("$DATE$.bac"), std::string::npos);

    document.set().defaultLocation = home / "out/fixed.bac";
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    EXPECT_EQ(component.compresses[1].archivePath, home / "out/fixed.bac");
}

TEST_F(Preparation, BrowsingSetsTheDestinationAndKeepsTheDatedForm) {
    config.record().noAskDefault = 0;
    host.queueFolder(home / "out");
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    EXPECT_EQ(host.folderTitles().back(), "Select Device or Location to Backup to:");
    EXPECT_EQ(component.compresses.back().archivePath, datedArchive());
    EXPECT_EQ(document.set().defaultLocation, home / "out/$DATE$.bac");

    document.set().defaultLocation = "/old/place.bac";
    host.queueFolder("/");  // a root gets no second separator
    component.onCompress = [](FakeComponent::Events&, FakeComponent&) { return 0; };
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::Succeeded);
    EXPECT_EQ(component.compresses.back().archivePath, "/Office.bac");
    EXPECT_EQ(document.set().defaultLocation, "/Office.bac");
}

TEST_F(Preparation, EmptyLocationAsksEvenWithoutTheQuestion) {
    document.set().defaultLocation = "";
    host.queueFolder("");  // cancelled
    EXPECT_EQ(runner.runInteractive({}), RunOutcome::NotStarted);
    EXPECT_EQ(host.folderTitles().size(), 1u);
    EXPECT_TRUE(component.compresses.empty());
    EXPECT_EQ(host.busyDepth(), 0);
}

TEST_F(Preparation, DiskStylesAreCheckedAgainstTheDrive) {
    struct Case {
        BackupStyle style;
        DriveType type;
        std::string path;
        std::vector<std::pair<std::string, Answer>> boxes;
        bool runs;
    };
    const std::string archive = home / "out/fixed.bac";
    using S = BackupStyle;
    using D = DriveType;
    using A = Answer;
    const Case cases[] = {
        {S::MultipleDisks, D::Fixed, archive, {{"Hard Drive", A::Ok}}, false},
        {S::CdMultipleDisks, D::Fixed, archive, {{"Hard Drive", A::Ok}}, false},
        {S::MultipleDisks,
         D::Remote,
         archive,
         {{"Removable Device", A::No}, {"Operation Cancelled", A::Ok}},
         false},
        {S::MultipleDisks,
         D::Remote,
         archive,
         {{"Removable Device", A::Yes}, {"Clear Disk Contents", A::No}},
         true},
        // A relative destination has no root: its type is "no root", and the question comes.
        {S::MultipleDisks,
         D::Removable,
         "relative.bac",
         {{"Removable Device", A::No}, {"Operation Cancelled", A::Ok}},
         false},
        {S::CdMultipleDisks, D::Remote, archive, {{"Clear Disk Contents", A::No}}, true},
        {S::MultipleDisks, D::Removable, archive, {{"Clear Disk Contents", A::Yes}}, true},
    };
    config.record().promptPreview = 0;
    for (const auto& c : cases) {
        document.set().defaultLocation = c.path;
        drives.type = c.type;
        for (const auto& [title, answer] : c.boxes)
            host.expectMessage(title, answer);
        if (c.runs) host.expectMessage("Insert Disk", Answer::Ok);
        const std::size_t before = component.compresses.size();
        runner.runInteractive({c.style, "650 MB"});
        EXPECT_EQ(component.compresses.size() - before, c.runs ? 1u : 0u) << c.path;
        EXPECT_TRUE(host.scriptFinished());
    }
    const auto& texts = host.messages();
    expectBox(texts[0], Icon::Exclamation, Buttons::Ok,
              "Corvane has determined that the selected drive is a fixed hard disk.  Multiple "
              "Disk operations cannot be performed on hard disks.");
    EXPECT_EQ(texts[2].text,
              "Corvane does not see the selected device as a 'Removable Device'.  A 'Multiple "
              "Disk' style backup may provide unexpected results on this device.\r\n\r\nDo you "
              "wish to continue with a 'Multiple Disk' style backup on the selected device?");
    EXPECT_EQ(texts[2].buttons, Buttons::YesNo);
    expectBox(texts[3], Icon::Information, Buttons::Ok, "Backup operation has been cancelled.");
    EXPECT_EQ(texts[5].text,
              "Since you have selected the Multiple Disk Mode backup style, you have the option "
              "to clear any existing contents of disks used in the operation.  Clear any "
              "existing contents before writing the backup?\r\n\r\nNote:  This operation may not "
              "work on certain devices.  Depending on how the device stores files, some contents "
              "may not be cleared properly.");
    EXPECT_EQ(texts[6].text, "Please insert DISK #1 into Drive /media/usb.");
    EXPECT_EQ(host.busyDepth(), 0);
}

TEST_F(Preparation, DiskSettingsFollowTheStyle) {
    drives.type = DriveType::Removable;
    config.record().promptPreview = 0;
    bool cleared = false;
    component.onCompress = [&](FakeComponent::Events& events, FakeComponent&) {
        cleared = events.onDiskNotEmpty(home / "out");
        return 0;
    };
    host.expectMessage("Clear Disk Contents", Answer::Yes);
    host.expectMessage("Insert Disk", Answer::Ok);
    runner.runInteractive({BackupStyle::CdMultipleDisks, "999 MB"});
    EXPECT_TRUE(component.compresses.back().spanDisks);
    EXPECT_EQ(component.compresses.back().diskSize, 999000000u);
    EXPECT_TRUE(cleared);

    host.expectMessage("Clear Disk Contents", Answer::No);
    host.expectMessage("Insert Disk", Answer::Ok);
    runner.runInteractive({BackupStyle::MultipleDisks, ""});
    EXPECT_EQ(component.compresses.back().diskSize, 0u);
    EXPECT_FALSE(cleared);
}

TEST_F(Preparation, ExistingArchiveIsFreshenedOrReplacedButNeverDeletedFirst) {
    document.set().defaultLocation = home / "out/fixed.bac";
    writeFile(home / "out/fixed.bac", "previous archive");
    makeFolder(home / "temp");
    // The run's options are the set's; freshen without adding new files.
    config.record().freshen = 1;
    config.record().addNew = 0;
    config.record().tempFolder = home / "temp/";
    component.onCompress = [&](FakeComponent::Events&, FakeComponent&) {
        EXPECT_EQ(readFile(home / "out/fixed.bac"), "previous archive");
        return 0;
    };
    runner.runInteractive({});
    const archive::ArchiveSettings* s = &component.compresses.back();
    EXPECT_TRUE(s->skipIfNotNewer);
    EXPECT_TRUE(s->skipIfNotInArchive);
    EXPECT_TRUE(s->useTempCopy);
    EXPECT_EQ(s->tempFolder, home / "temp/");
    EXPECT_FALSE(s->skipIfNewer);

    config.record().addNew = 1;
    config.record().tempFolder = home / "missing/";
    runner.runInteractive({});
    s = &component.compresses.back();
    EXPECT_TRUE(s->skipIfNotNewer);
    EXPECT_FALSE(s->skipIfNotInArchive);
    EXPECT_EQ(s->tempFolder, "");

    config.record().freshen = 0;
    runner.runInteractive({});
    s = &component.compresses.back();
    EXPECT_FALSE(s->skipIfNotNewer || s->skipIfNotInArchive || s->useTempCopy);
}

}  // namespace
}  // namespace corvane::test
