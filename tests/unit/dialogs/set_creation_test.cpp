// The name and location rules, the new-set, open-set and default-location dialogs.
#include "box_check.h"
#include "sets/default_location_dialog.h"
#include "sets/new_set_dialog.h"
#include "sets/open_set_dialog.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

using SetCreation = SetFixture;

TEST_F(SetCreation, TheNameGovernsTheDateBoxWhichRenamesTheArchive) {
    SetNamingFields fields(host);
    struct Case {
        std::string name, location;
        bool dateEnabled, complete;
    };
    for (const Case& c : {Case{"", "", false, false}, Case{"   ", "/b/x.bac", false, false},
                          Case{"Docs", "", true, false}, Case{"Docs", "   ", true, false},
                          Case{" Docs ", "/b/Docs.bac", true, true}}) {
        fields.setName(c.name);
        fields.setLocation(c.location);
        EXPECT_EQ(fields.dateEnabled(), c.dateEnabled) << c.name << "|" << c.location;
        EXPECT_EQ(fields.locationButtonEnabled(), c.dateEnabled) << c.name;
        EXPECT_EQ(fields.complete(), c.complete) << c.name << "|" << c.location;
    }
    EXPECT_EQ(fields.nameFocusSelection(), (TextSelection{1, 4}));

    // Emptying the name unticks the date box, which then cannot be ticked.
    fields.setUseDate(true);
    fields.setName("  ");
    EXPECT_FALSE(fields.useDate());
    fields.setUseDate(true);
    EXPECT_FALSE(fields.useDate());

    // The date box renames the archive in the chosen folder.
    fields.setName("Docs");
    fields.setUseDate(true);
    host.queueFolder("/backups");
    fields.chooseLocation();
    EXPECT_EQ(fields.location(), "/backups/$DATE$.bac");
    fields.setUseDate(false);
    EXPECT_EQ(fields.location(), "/backups/Docs.bac");
    EXPECT_EQ(host.folderTitles().front(), "Select Backup Location:");
    // A location without a separator has no folder to keep: it is left as it is.
    fields.setLocation("elsewhere.bac");
    fields.setUseDate(true);
    EXPECT_EQ(fields.location(), "elsewhere.bac");
}

// Cancel leaves everything as it was; OK starts the set with its location and stores the
// dialog's options as the defaults.
TEST_F(SetCreation, OkStartsTheSetWithItsLocationAndStoresTheDefaults) {
    document.set().defaultLocation = "/kept.bac";
    NewSetDialog cancelled(document);
    cancelled.naming().setName("Docs");
    host.queueFolder("/b");
    cancelled.naming().chooseLocation();
    cancelled.cancel();
    EXPECT_EQ(cancelled.chosenSetName(), "");
    EXPECT_EQ(document.set().defaultLocation, "/kept.bac");

    NewSetDialog dialog(document);
    EXPECT_EQ(dialog.options().compressionIndex, 0u);  // the record's 6, "Normal"
    EXPECT_FALSE(dialog.okEnabled());
    dialog.naming().setName("  Docs ");
    dialog.naming().setLocation(" /backups/Docs.bac ");
    dialog.options() = {1, true, false, true};
    dialog.ok();
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(dialog.chosenSetName(), "Docs.cvt");
    EXPECT_EQ(document.set().setPath, home / "Backup Sets/Docs.cvt");
    EXPECT_EQ(document.set().defaultLocation, "/backups/Docs.bac");
    EXPECT_EQ(document.set().tree.count(), 3u);
    EXPECT_TRUE(enabled(CommandId::FileSave));
    EXPECT_EQ(config.record().compression, 9);
    ConfigStore stored(home.path());
    stored.reload();
    const ConfigRecord& r = stored.record();
    EXPECT_EQ((std::vector<int>{r.compression, r.addNew, r.freshen, r.addAllFolders}),
              (std::vector<int>{9, 1, 0, 1}));
}

TEST_F(SetCreation, TheOpenSetIsClosedWithItsOwnOptionsBeforeTheNewOneStarts) {
    document.newSet("Old.cvt");
    document.set().defaultLocation = "/backups/Old.bac";
    document.addFolder(home / "data");

    NewSetDialog dialog(document);
    dialog.naming().setName("New");
    dialog.naming().setLocation("/elsewhere/New.bac");
    dialog.options().compressionIndex = 3;  // "None"
    host.expectMessage("Save", Answer::Yes);
    dialog.ok();

    const std::string old = readFile(home / "Backup Sets/Old.cvt");
    EXPECT_NE(old.find("\"CompressionStyle=6\""), std::string::npos) << old;
    EXPECT_NE(old.find("\"DefaultLocation=/backups/Old.bac\""), std::string::npos) << old;
    EXPECT_EQ(document.set().defaultLocation, "/elsewhere/New.bac");
    EXPECT_EQ(config.record().compression, 0);
}

TEST_F(SetCreation, AnExistingNameIsReplacedOnlyWhenTheUserAgrees) {
    writeFile(home / "Backup Sets/Docs.cvt", "old");
    NewSetDialog dialog(document);
    dialog.naming().setName("Docs");
    dialog.naming().setLocation("/b/Docs.bac");
    host.expectMessage("Overwrite Backup Set", Answer::Cancel);
    dialog.ok();
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_TRUE(dialog.takeFocusRequest());
    EXPECT_EQ(dialog.chosenSetName(), "");
    EXPECT_TRUE(document.set().setName.empty());
    expectBox(host.messages().back(), Icon::Question, Buttons::OkCancel,
              "A Backup Set by that name already exists.  Overwrite the existing one?");

    host.expectMessage("Overwrite Backup Set", Answer::Ok);
    dialog.ok();
    EXPECT_EQ(dialog.chosenSetName(), "Docs.cvt");
}

// The list shows the set files by name; a deleted set leaves it even when the file cannot be
// deleted, and with none left Open and Delete are disabled.
TEST_F(SetCreation, TheOpenListShowsSetFilesByNameAndDeletesThem) {
    for (const auto* name : {"b.cvt", "A.cvt", "notes.txt", "c.cvt.bak"}) {
        writeFile(home / ("Backup Sets/" + std::string(name)), "x");
    }
    makeFolder(home / "Backup Sets/folder.cvt");
    OpenSetDialog dialog(document);
    EXPECT_EQ(dialog.entries(), (std::vector<std::string>{"A.cvt", "b.cvt"}));
    EXPECT_EQ(dialog.selected(), 0u);
    EXPECT_TRUE(dialog.openEnabled() && dialog.deleteEnabled());

    host.expectMessage("Delete Backup Set", Answer::Cancel);
    dialog.deleteSelected();
    EXPECT_TRUE(fileExists(home / "Backup Sets/A.cvt"));
    expectBox(host.messages().back(), Icon::Question, Buttons::OkCancel,
              "Completely delete the selected Backup Set?");
    host.expectMessage("Delete Backup Set", Answer::Ok);
    dialog.deleteSelected();
    EXPECT_FALSE(fileExists(home / "Backup Sets/A.cvt"));
    EXPECT_EQ(dialog.entries(), std::vector<std::string>{"b.cvt"});
    EXPECT_EQ(dialog.selected(), 0u);
    {
        UnwritableFolder locked(home / "Backup Sets");
        host.expectMessage("Delete Backup Set", Answer::Ok);
        dialog.deleteSelected();
        EXPECT_EQ(fileExists(home / "Backup Sets/b.cvt"), locked.effective());
    }
    EXPECT_TRUE(dialog.entries().empty());
    EXPECT_FALSE(dialog.selected().has_value());
    EXPECT_FALSE(dialog.openEnabled() || dialog.deleteEnabled());
    writeFile(home / "Backup Sets/a.cvt", "x");
    OpenSetDialog again(document);
    again.open();
    EXPECT_EQ(again.chosenSetName(), "a.cvt");
    EXPECT_FALSE(again.isOpen());
}

TEST_F(SetCreation, AMissingSetsFolderIsCreatedAndListsNothing) {
    ASSERT_EQ(::rmdir((home / "Backup Sets").c_str()), 0);
    OpenSetDialog dialog(document);
    EXPECT_TRUE(dialog.entries().empty());
    EXPECT_FALSE(dialog.openEnabled() || dialog.deleteEnabled());
    EXPECT_EQ(fileSystem.probe(home / "Backup Sets/").value(), PathKind::Folder);
}

TEST_F(SetCreation, TheDefaultLocationFollowsTheDateBoxAndTheSetName) {
    document.newSet("Daily.cvt");
    {
        // Without a location at opening there is nothing to date, even after one is chosen.
        DefaultLocationDialog empty(document);
        empty.setUseDate(true);
        EXPECT_FALSE(empty.useDate() || empty.dateEnabled());
        empty.close();
        EXPECT_TRUE(document.set().saved);
        DefaultLocationDialog chosen(document);
        host.queueFolder("/mnt/usb");
        chosen.chooseLocation();
        EXPECT_EQ(chosen.location(), "/mnt/usb/Daily.bac");
        chosen.setUseDate(true);
        EXPECT_FALSE(chosen.useDate() || chosen.dateEnabled());
    }
    document.set().defaultLocation = "  /out/$DATE$.bac ";
    DefaultLocationDialog dialog(document);
    EXPECT_EQ(dialog.location(), "/out/$DATE$.bac");
    EXPECT_TRUE(dialog.useDate() && dialog.dateEnabled());
    dialog.setUseDate(false);
    EXPECT_EQ(dialog.location(), "/out/Daily.bac");
    host.queueFolder("/mnt/usb");
    dialog.chooseLocation();
    EXPECT_EQ(dialog.location(), "/mnt/usb/Daily.bac");
    dialog.setUseDate(true);
    EXPECT_EQ(dialog.location(), "/mnt/usb/$DATE$.bac");
    EXPECT_EQ(host.folderTitles().front(), "Select New Backup Location:");
    dialog.close();
    EXPECT_EQ(document.set().defaultLocation, "/mnt/usb/$DATE$.bac");
    EXPECT_FALSE(document.set().saved);
}

}  // namespace
}  // namespace corvane::test
