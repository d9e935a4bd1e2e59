// Commands that run operations: the backup branch with its dialogs, the favourites follow-up,
// the test command, and the gate that keeps a second operation from starting meanwhile.
#include "box_check.h"
#include "dispatcher_support.h"
#include "favorites/favorite_record.h"

namespace corvane::test {
namespace {

using C = CommandId;

class RunsTest : public DispatcherFixture {
protected:
    RunsTest() {
        // Stored, as closing a set reloads the options from the file.
        program.config().record().noAskDefault = 1;
        program.config().record().testMode = 0;
        EXPECT_TRUE(program.config().save());
        makeFolder(home / "out");
    }
};

TEST_F(RunsTest, BackupRunsOnlyAfterStartBackup) {
    makeSet("Daily");
    addDataFolder();
    dispatcher.dispatch(C::Backup);
    EXPECT_TRUE(component.compresses.empty());

    dialogs.onBackupType = [](BackupTypeDialog& d) {
        EXPECT_EQ(d.capacities()[*d.selectedCapacity()], "600 MB");
        return true;
    };
    dispatcher.dispatch(C::ActionsBackup);
    ASSERT_EQ(component.compresses.size(), 1u);
    EXPECT_EQ(component.compresses[0].archivePath, home / "out/Daily.bac");
    EXPECT_EQ(dialogs.shown.back(), "backupType");
}

TEST_F(RunsTest, CdStyleKeepsTheCapacityAndShowsTheReminderUntilToldNotTo) {
    makeSet("Daily");
    addDataFolder();
    drives.type = DriveType::Removable;
    dialogs.onBackupType = [](BackupTypeDialog& d) {
        d.selectStyle(BackupStyle::CdMultipleDisks);
        d.selectCapacity(250);  // 650 MB
        return true;
    };
    dialogs.onCdReminder = [](CdReminderDialog& r) {
        r.setShowAgain(false);
        r.close();
    };
    program.config().record().promptPreview = 0;
    ASSERT_TRUE(program.config().save());
    host.expectMessage("Clear Disk Contents", Answer::No);
    host.expectMessage("Insert Disk", Answer::Ok);
    dispatcher.dispatch(C::Backup);
    EXPECT_EQ(program.chosenCdCapacity(), "650 MB");
    EXPECT_EQ(component.compresses.at(0).diskSize, 650000000u);

    host.expectMessage("Clear Disk Contents", Answer::No);
    host.expectMessage("Insert Disk", Answer::Ok);
    dispatcher.dispatch(C::Backup);
    EXPECT_EQ(std::count(dialogs.shown.begin(), dialogs.shown.end(), "cdReminder"), 1);
}

TEST_F(RunsTest, NoSecondOperationStartsWhileOneRuns) {
    makeSet("Daily");
    addDataFolder();
    std::vector<std::pair<std::string, bool>> during;
    component.onCompress = [&](FakeComponent::Events&, FakeComponent& self) {
        for (const C id :
             {C::New, C::Open, C::Backup, C::ActionsBackup, C::OptionsTestBackup, C::AddFolder,
              C::FileExit, C::HelpAbout, C::HelpContents, C::HelpCVHome, C::Help}) {
            during.emplace_back(std::string(commandKey(id)), shows(id));
        }
        // A click that reaches the dispatcher anyway starts nothing, and the window stays.
        dispatcher.dispatch(C::New);
        dispatcher.dispatch(C::Backup);
        EXPECT_FALSE(dispatcher.canClose());
        self.writeArchive();
        return 0;
    };
    dialogs.onBackupType = [](BackupTypeDialog&) { return true; };
    dispatcher.dispatch(C::Backup);
    EXPECT_EQ(during, (std::vector<std::pair<std::string, bool>>{
                          {"ID_New", false},
                          {"ID_Open", false},
                          {"ID_Backup", false},
                          {"ID_ActionsBackup", false},
                          {"ID_OptionsTestBackup", false},
                          {"ID_AddFolder", false},
                          {"ID_FileExit", false},
                          {"ID_HelpAbout", false},
                          {"ID_HelpContents", true},
                          {"ID_HelpCVHome", true},
                          {"ID_Help", true},
                      }));
    EXPECT_EQ(component.compresses.size(), 1u);
    EXPECT_EQ(std::count(dialogs.shown.begin(), dialogs.shown.end(), "backupType"), 1);
    // Afterwards every command has its own state again.
    EXPECT_TRUE(shows(C::New));
    EXPECT_TRUE(shows(C::Backup));
    EXPECT_FALSE(shows(C::ActionsRemove));
    EXPECT_TRUE(dispatcher.canClose());
}

TEST_F(RunsTest, TestCommandAsksForAnArchiveAndReports) {
    host.queueOpenFiles({home / "out/Daily.bac"});
    host.expectMessage("Backup Test Successful", Answer::Ok);
    dispatcher.dispatch(C::OptionsTestBackup);
    ASSERT_EQ(component.tests.size(), 1u);
    EXPECT_EQ(component.tests[0].archivePath, home / "out/Daily.bac");
    EXPECT_EQ(host.fileRequests().at(0).title, "Choose Backup Archive");
}

// The favourites window hands the chosen set back: opened, backed up, or refused when it holds
// nothing to back up.
TEST_F(RunsTest, ChosenFavouriteIsOpenedOrBackedUp) {
    makeSet("Daily");
    addDataFolder();
    program.document().saveSet();
    program.document().closeSet();
    makeSet("Empty");
    program.document().saveSet();
    program.document().closeSet();
    dialogs.onBackupType = [](BackupTypeDialog&) { return true; };
    struct Case {
        std::string set;
        C command;
        FavouriteAction action;
        std::size_t backups;
    };
    const Case cases[] = {
        {"Daily", C::Favorites, FavouriteAction::OpenSet, 0},
        {"Daily", C::OptionsFavorites, FavouriteAction::OpenAndBackup, 1},
        {"Empty", C::Favorites, FavouriteAction::OpenAndBackup, 0},  // refused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set + " " + std::string(commandKey(c.command)));
        component.compresses.clear();
        dialogs.shown.clear();
        ASSERT_TRUE(
            writeFavoriteList(program.programFolder(), {home / ("Backup Sets/" + c.set + ".cvt")}));
        dialogs.onFavorites = [&c](FavoritesList& list) {
            list.load();
            list.click(0, MouseButton::Left);
            if (c.action == FavouriteAction::OpenSet) list.openBackupSet();
            if (c.action == FavouriteAction::OpenAndBackup) list.performBackup();
            list.close();
        };
        const bool refused = c.set == "Empty";
        if (refused) host.expectMessage("Unable to Perform", Answer::Ok);
        dispatcher.dispatch(c.command);
        EXPECT_EQ(component.compresses.size(), c.backups);
        EXPECT_EQ(std::count(dialogs.shown.begin(), dialogs.shown.end(), "backupType"),
                  static_cast<std::ptrdiff_t>(c.backups));
        if (!refused) {
            EXPECT_EQ(program.document().set().setName, c.set + ".cvt");
        }
    }
    expectBox(host.messages().back(), Icon::Information, Buttons::Ok,
              "Backup set does not contain anything to backup.  Unable to perform backup "
              "operation.");
}

TEST_F(DispatcherFixture, HelpAndWebPagesOpenOrSayWhy) {
    host.expectMessage("Help Not Found", Answer::Ok);
    dispatcher.dispatch(C::HelpContents);
    EXPECT_NE(host.messages().back().text.find(home / "help/index.html"), std::string::npos);
    EXPECT_TRUE(opener.opened.empty());

    makeFolder(home / "help");
    writeFile(home / "help/index.html", "<html></html>");
    dispatcher.dispatch(C::HelpContents);
    dispatcher.dispatch(C::HelpQXHome);
    dispatcher.dispatch(C::HelpCVHome);
    EXPECT_EQ(opener.opened,
              (std::vector<std::string>{home / "help/index.html", "https://corvane.org/",
                                        "https://corvane.org/about/"}));
    EXPECT_EQ(help.pagePath(54), home / "help/topic-54.html");

    opener.works = false;
    host.expectMessage("Web Page", Answer::Ok);
    dispatcher.dispatch(C::HelpCVHome);
    EXPECT_NE(host.messages().back().text.find("https://corvane.org/about/"), std::string::npos);
}

}  // namespace
}  // namespace corvane::test
