// The favourites window: Favorite.dat, the hand-over to the main window, and desktop links.
#include "box_check.h"
#include "common/text.h"
#include "favorites/desktop_link.h"
#include "favorites/favorites_list.h"
#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvane::test {
namespace {

std::string favoriteBytes(const std::vector<std::string>& paths) {
    std::string bytes;
    for (const auto& path : paths) {
        std::string record = path;
        record.resize(150, ' ');
        bytes += record;
    }
    return bytes;
}

class FavoritesTest : public ::testing::Test {
protected:
    FavoritesTest() {
        makeFolder(home / "Backup Sets");
        places = {home / "Desktop/", home / "data/", home / "config/", "/opt/corvane/corvane"};
    }

    void TearDown() override { host.checkScriptFinished(); }

    std::string makeSet(const std::string& name) {
        writeFile(home / ("Backup Sets/" + name), "\"Corvane Set - v6.0\"\r\n");
        return home / ("Backup Sets/" + name);
    }

    // A list loaded from Favorite.dat holding `paths`.
    FavoritesList loaded(const std::vector<std::string>& paths) {
        writeFile(home / "Favorite.dat", favoriteBytes(paths));
        FavoritesList list(home.path(), host, places);
        list.load();
        return list;
    }

    TempFolder home;
    ScriptedHost host;
    DesktopPlaces places;
};

TEST_F(FavoritesTest, MissingSetsAreNotShownAndDropFromTheFile) {
    FavoritesList absent(home.path(), host, places);
    absent.load();
    EXPECT_FALSE(absent.removeEnabled());
    EXPECT_TRUE(fileExists(home / "Favorite.dat"));

    const std::string a = makeSet("A.cvt");
    const std::string b = makeSet("B.cvt");
    writeFile(home / "Favorite.dat",
              favoriteBytes({"  " + a, home / "Backup Sets/Gone.cvt", "", b}) + "cut");
    FavoritesList list(home.path(), host, places);
    list.load();
    EXPECT_EQ(list.rows(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(list.action(), FavouriteAction::Nothing);
    list.close();
    EXPECT_EQ(readFile(home / "Favorite.dat"), favoriteBytes({a, b}));
}

TEST_F(FavoritesTest, ClicksSelectAndOpenOrPerformHandTheSetToTheMainWindow) {
    FavoritesList none = loaded({});
    EXPECT_FALSE(none.click(std::nullopt, MouseButton::Right));  // empty list: no menu

    const std::string a = makeSet("A.cvt");
    FavoritesList list = loaded({a, makeSet("B.cvt")});
    EXPECT_TRUE(list.click(1, MouseButton::Right));
    EXPECT_TRUE(list.removeEnabled());
    EXPECT_FALSE(list.click(std::nullopt, MouseButton::Left));
    EXPECT_FALSE(list.removeEnabled());
    list.openBackupSet();  // no selection: nothing chosen
    EXPECT_FALSE(list.closeRequested());
    list.click(1, MouseButton::Left);
    list.remove();
    EXPECT_EQ(list.rows(), (std::vector<std::string>{a}));

    list.click(0, MouseButton::Right);
    list.openBackupSet();
    EXPECT_EQ(list.action(), FavouriteAction::OpenSet);
    EXPECT_EQ(list.chosenSetPath(), a);
    EXPECT_EQ(list.chosenSetName(), "A.cvt");
    EXPECT_TRUE(list.closeRequested());
    FavoritesList perform = loaded({a});
    perform.click(0, MouseButton::Right);
    perform.performBackup();
    EXPECT_EQ(perform.action(), FavouriteAction::OpenAndBackup);
}

TEST_F(FavoritesTest, AddRefusesOnlyDuplicates) {
    const std::string a = makeSet("A.cvt");
    FavoritesList list = loaded({a});
    host.queueOpenFiles({toUpper(a)});
    host.expectMessage("Unable to Add", Answer::Ok);
    list.add();
    writeFile(home / "Backup Sets/Old.cvt", "\"Backup Set - v4.0\"\r\n");  // no header check
    host.queueOpenFiles({home / "Backup Sets/Old.cvt"});
    list.add();
    EXPECT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(host.fileRequests().back().initialFolder, home / "Backup Sets");
}

TEST_F(FavoritesTest, DesktopShortcutLinksTheSetAndAssociatesSetFiles) {
    const std::string set = makeSet("Daily Set.cvt");
    makeFolder(home / "config");
    writeFile(home / "config/mimeapps.list",
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "application/x-corvane-set=old.desktop;\nimage/png=viewer.desktop;\n");
    FavoritesList list = loaded({set});
    list.click(0, MouseButton::Right);

    host.expectMessage("Desktop Shortcut", Answer::No);
    list.createDesktopShortcut();
    expectBox(host.messages().back(), Icon::Question, Buttons::YesNo,
              "Create a Desktop Shortcut for the selected Backup Set?");

    writeFile(home / "Desktop", "a file where the desktop folder should be");
    host.expectMessage("Desktop Shortcut", Answer::Yes);
    host.expectMessage("Error", Answer::Ok);
    list.createDesktopShortcut();
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Error encountered.  Unable to create the specified Desktop Shortcut.");

    ::unlink((home / "Desktop").c_str());
    host.expectMessage("Desktop Shortcut", Answer::Yes);
    list.createDesktopShortcut();
    EXPECT_EQ(readFile(home / "Desktop/Daily Set.cvt.desktop"),
              "[Desktop Entry]\nVersion=1.0\nType=Link\nName=Daily Set.cvt\n"
              "Comment=Corvane Backup Set\nIcon=text-x-generic\nURL=file://" +
                  home.path() + "Backup%20Sets/Daily%20Set.cvt\n");
    EXPECT_EQ(readFile(home / "data/applications/corvane.desktop"),
              corvaneDesktopEntry("/opt/corvane/corvane"));
    EXPECT_EQ(readFile(home / "data/mime/packages/corvane.xml"), setMimeTypePackage());
    EXPECT_EQ(readFile(home / "config/mimeapps.list"),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "application/x-corvane-set=corvane.desktop;\nimage/png=viewer.desktop;\n");
}

TEST(DesktopEntries, ExecQuotingAndTheShippedTemplatesAgree) {
    EXPECT_NE(
        corvaneDesktopEntry("/opt/my $dir/corvane").find("Exec=\"/opt/my \\\\$dir/corvane\" %f"),
        std::string::npos);
    const std::string dist = testDataFolder() + "../../dist/";
    EXPECT_EQ(readFile(dist + "corvane.desktop.in"), corvaneDesktopEntry("@CORVANE@"));
    EXPECT_EQ(readFile(dist + "corvane-mime.xml"), setMimeTypePackage());
}

TEST(DesktopEntries, PlacesFollowTheEnvironment) {
    TempFolder home;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        const char* value = std::getenv(name);
        saved.emplace_back(name,
                           value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "share").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    const DesktopPlaces places = locateDesktopPlaces();
    EXPECT_EQ(places.desktopFolder, home / "Desktop/");
    EXPECT_EQ(places.dataHome, home / "share/");
    EXPECT_EQ(places.configHome, home / ".config/");
    for (const auto& [name, value] : saved) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
}

}  // namespace
}  // namespace corvane::test
