// The favourites window: Favorite.dat, the hand-over to the main window, and desktop links.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/scripted_host.h"
#include "common/text.h"
#include "favorites/desktop_link.h"
#include "favorites/favorites_list.h"
#include "temp_folder.h"

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

    void TearDown() override {
        for (const auto& unexpected : host.unexpected()) ADD_FAILURE() << unexpected;
        EXPECT_TRUE(host.scriptFinished());
    }

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
    const std::string a = makeSet("A.cvt");
    const std::string b = makeSet("B.cvt");
    writeFile(home / "Favorite.dat",
              favoriteBytes({"  " + a, home / "Backup Sets/Gone.cvt", "", b}) + "cut");
    FavoritesList list(home.path(), host, places);
    list.load();
    EXPECT_EQ(list.rows(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(list.action(), FavouriteAction::Nothing);
    EXPECT_TRUE(list.removeEnabled());
    list.close();
    EXPECT_EQ(readFile(home / "Favorite.dat"), favoriteBytes({a, b}));

    FavoritesList empty(home.path(), host, places);
    ::unlink((home / "Favorite.dat").c_str());
    empty.load();
    EXPECT_FALSE(empty.removeEnabled());
    EXPECT_TRUE(fileExists(home / "Favorite.dat"));
}

TEST_F(FavoritesTest, ClicksSelectAndRightClicksOpenTheMenu) {
    FavoritesList none = loaded({});
    EXPECT_FALSE(none.click(std::nullopt, MouseButton::Right));  // empty list: no menu

    FavoritesList list = loaded({makeSet("A.cvt"), makeSet("B.cvt")});
    EXPECT_TRUE(list.click(1, MouseButton::Right));
    EXPECT_TRUE(list.removeEnabled());
    EXPECT_FALSE(list.click(std::nullopt, MouseButton::Left));
    EXPECT_FALSE(list.removeEnabled());
    list.openBackupSet();  // no selection: nothing chosen
    EXPECT_FALSE(list.closeRequested());
    list.click(0, MouseButton::Left);
    list.remove();
    EXPECT_EQ(list.rows(), (std::vector<std::string>{home / "Backup Sets/B.cvt"}));
}

TEST_F(FavoritesTest, OpenAndPerformHandTheSetToTheMainWindow) {
    const std::string a = makeSet("A.cvt");
    FavoritesList open = loaded({a});
    open.click(0, MouseButton::Right);
    open.openBackupSet();
    EXPECT_EQ(open.action(), FavouriteAction::OpenSet);
    EXPECT_EQ(open.chosenSetPath(), a);
    EXPECT_EQ(open.chosenSetName(), "A.cvt");
    EXPECT_TRUE(open.closeRequested());

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
    EXPECT_EQ(host.messages().back().text, "A Backup entry for that item already exists.");
    EXPECT_EQ(host.messages().back().icon, Icon::Information);

    writeFile(home / "Backup Sets/Old.cvt", "\"Backup Set - v4.0\"\r\n");  // no header check
    host.queueOpenFiles({home / "Backup Sets/Old.cvt"});
    list.add();
    EXPECT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(host.fileRequests().back().initialFolder, home / "Backup Sets");
}

TEST_F(FavoritesTest, DesktopShortcutLinksTheSetAndAssociatesSetFiles) {
    const std::string set = makeSet("Daily Set.cvt");
    writeFile(home / "Backup Sets/Other.cvt", "x");
    makeFolder(home / "config");
    writeFile(home / "config/mimeapps.list",
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "application/x-corvane-set=old.desktop;\nimage/png=viewer.desktop;\n");
    FavoritesList list = loaded({set});
    list.click(0, MouseButton::Right);

    host.expectMessage("Desktop Shortcut", Answer::No);
    list.createDesktopShortcut();
    EXPECT_FALSE(fileExists(home / "Desktop/Daily Set.cvt.desktop"));
    EXPECT_EQ(host.messages().back().text,
              "Create a Desktop Shortcut for the selected Backup Set?");
    EXPECT_EQ(host.messages().back().icon, Icon::Question);
    EXPECT_EQ(host.messages().back().buttons, Buttons::YesNo);

    host.expectMessage("Desktop Shortcut", Answer::Yes);
    list.createDesktopShortcut();
    EXPECT_EQ(readFile(home / "Desktop/Daily Set.cvt.desktop"),
              "[Desktop Entry]\nVersion=1.0\nType=Link\nName=Daily Set.cvt\n"
              "Comment=Corvane Backup Set\nIcon=text-x-generic\nURL=file://" + home.path() +
                  "Backup%20Sets/Daily%20Set.cvt\n");
    EXPECT_EQ(readFile(home / "data/applications/corvane.desktop"),
              corvaneDesktopEntry("/opt/corvane/corvane"));
    EXPECT_NE(readFile(home / "data/applications/corvane.desktop")
                  .find("\nExec=\"/opt/corvane/corvane\" %f\n"),
              std::string::npos);
    EXPECT_EQ(readFile(home / "data/mime/packages/corvane.xml"), setMimeTypePackage());
    EXPECT_EQ(readFile(home / "config/mimeapps.list"),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "application/x-corvane-set=corvane.desktop;\nimage/png=viewer.desktop;\n");
}

TEST_F(FavoritesTest, ShortcutThatCannotBeWrittenIsReported) {
    FavoritesList list = loaded({makeSet("A.cvt")});
    writeFile(home / "Desktop", "a file where the desktop folder should be");
    list.click(0, MouseButton::Right);
    host.expectMessage("Desktop Shortcut", Answer::Yes);
    host.expectMessage("Error", Answer::Ok);
    list.createDesktopShortcut();
    EXPECT_EQ(host.messages().back().text,
              "Error encountered.  Unable to create the specified Desktop Shortcut.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
}

TEST(DesktopEntries, ExecQuotingAndTheShippedTemplatesAgree) {
    EXPECT_NE(corvaneDesktopEntry("/opt/my $dir/corvane")
                  .find("Exec=\"/opt/my \\\\$dir/corvane\" %f"),
              std::string::npos);
    const std::string dist = testDataFolder() + "../../dist/";
    EXPECT_EQ(readFile(dist + "corvane.desktop.in"), corvaneDesktopEntry("@CORVANE@"));
    EXPECT_EQ(readFile(dist + "corvane-mime.xml"), setMimeTypePackage());
}

TEST(DesktopEntries, PlacesFollowTheEnvironment) {
    TempFolder home;
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto savedHome = saved("HOME");
    const auto savedData = saved("XDG_DATA_HOME");
    const auto savedConfig = saved("XDG_CONFIG_HOME");
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "share").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    const DesktopPlaces places = locateDesktopPlaces();
    EXPECT_EQ(places.desktopFolder, home / "Desktop/");
    EXPECT_EQ(places.dataHome, home / "share/");
    EXPECT_EQ(places.configHome, home / ".config/");
    for (const auto& [name, value] :
         {std::pair{"HOME", savedHome}, {"XDG_DATA_HOME", savedData},
          {"XDG_CONFIG_HOME", savedConfig}}) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
}

}  // namespace
}  // namespace corvane::test
