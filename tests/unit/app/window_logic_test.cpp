// The main window's Qt-free rules: its placement, the progress display, the command gate, the
// log viewer and the captions of its menus.
#include "app/main_commands.h"
#include "app/progress_display.h"
#include "dispatcher_support.h"

#include <set>

namespace corvane::test {
namespace {

TEST(Placement, StoredValuesAreReadLeniently) {
    const Placement designed{0, 0, 800, 560};
    struct Case {
        std::map<std::string, std::string> stored;
        Placement expected;
    };
    const Case cases[] = {
        {{}, {0, 0, 800, 560}},
        {{{"Left", "120"}, {"Top", "40"}, {"Width", "900"}, {"Height", "600"}},
         {120, 40, 900, 600}},
        {{{"Width", "0"}, {"Height", "-5"}}, {0, 0, 800, 560}},
        {{{"Left", "abc"}, {"Top", " 12px"}}, {0, 12, 800, 560}},
        {{{"Left", "1e300"}, {"Width", "700.7"}}, {0, 0, 700, 560}},
    };
    for (const auto& c : cases) {
        MemorySettings settings;
        settings.values = c.stored;
        EXPECT_EQ(restorePlacement(settings, designed), c.expected);
    }
}

TEST(ProgressDisplay, CancelKeepsTheStoppingLineWhateverArrivesLater) {
    ProgressDisplay display;
    int changes = 0;
    int cancels = 0;
    display.onChange([&] { ++changes; });
    display.open(ProgressKind::Test, [&] {
        ++cancels;
        // The runner's handler sets the stopping line itself, as BackupRunner does.
        display.setOperationLine("Aborting current operation...Please wait...");
    });
    EXPECT_TRUE(display.isVisible());
    EXPECT_EQ(display.kind(), ProgressKind::Test);
    display.setOperationLine("Testing a.txt...");
    display.setFileProgress(140);
    EXPECT_EQ(display.filePercent(), 100);
    display.setOverallProgress(40, "2 of 5", "400 of 1,000", "55%");
    EXPECT_TRUE(display.cancelEnabled());
    EXPECT_TRUE(display.animationPlaying());

    display.cancel();
    display.cancel();
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(display.cancelEnabled());
    EXPECT_FALSE(display.animationPlaying());
    display.setOperationLine("Testing b.txt...");
    display.setOverallProgress(60, "3 of 5", "600 of 1,000", "50%");
    EXPECT_EQ(display.operationLine(), "Aborting current operation...Please wait...");
    EXPECT_EQ(display.files(), "3 of 5");
    EXPECT_GT(changes, 5);

    display.close();
    EXPECT_FALSE(display.isOpen());
    // A new operation starts afresh.
    display.open(ProgressKind::Backup, nullptr);
    display.setOperationLine("Adding a.txt...");
    EXPECT_EQ(display.operationLine(), "Adding a.txt...");
    EXPECT_EQ(display.overallPercent(), 0);
    EXPECT_TRUE(display.cancelEnabled());
    display.hide();
    EXPECT_FALSE(display.isVisible());
    display.show();
    EXPECT_TRUE(display.isVisible());
}

TEST(PreviewingDisplay, CancelAsksToStopAndCloses) {
    PreviewingDisplay display;
    int cancels = 0;
    display.open([&] { ++cancels; });
    display.setFile("/data/a.txt");
    EXPECT_EQ(display.file(), "/data/a.txt");
    display.cancel();
    display.cancel();
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(display.isOpen());
}

TEST(CommandGate, OperationsHoldCommandsOffAndRestoreTheirLatestStates) {
    ScriptedHost host;
    CommandGate gate(host);
    gate.setCommandEnabled(CommandId::Save, false);
    gate.beginOperation();
    gate.beginOperation();
    EXPECT_EQ(host.commandEnabled(CommandId::New), false);
    EXPECT_EQ(host.commandEnabled(CommandId::HelpContents), std::nullopt);
    // What the operation enables is remembered but not shown until it ends.
    gate.setCommandEnabled(CommandId::Save, true);
    gate.setCommandEnabled(CommandId::Backup, false);
    EXPECT_EQ(host.commandEnabled(CommandId::Save), false);
    gate.endOperation();
    EXPECT_TRUE(gate.operationRunning());
    EXPECT_EQ(host.commandEnabled(CommandId::New), false);
    gate.endOperation();
    EXPECT_FALSE(gate.operationRunning());
    EXPECT_EQ(host.commandEnabled(CommandId::New), true);
    EXPECT_EQ(host.commandEnabled(CommandId::Save), true);
    EXPECT_EQ(host.commandEnabled(CommandId::Backup), false);
    gate.endOperation();  // unbalanced: ignored
    EXPECT_FALSE(gate.operationRunning());
}

TEST(LogViewer, BackupLogIsShownWholeAndAnUnreadableOneIsReported) {
    TempFolder home;
    ScriptedHost host;
    writeFile(home / "Backup.log", "### Backup Started ###\r\n-  Adding a\r\n");
    LogViewer viewer(home.path(), LogKind::Backup, host);
    EXPECT_EQ(viewer.title(), "Corvane Log File");
    EXPECT_EQ(viewer.text(), "### Backup Started ###\r\n-  Adding a\r\n");
    EXPECT_TRUE(viewer.deleteEnabled());

    makeFolder(home / "error.log");  // a folder where the log should be: unreadable
    host.expectMessage("Unable to Read Log", Answer::Ok);
    LogViewer unreadable(home.path(), LogKind::Error, host);
    EXPECT_TRUE(unreadable.text().empty());
    EXPECT_TRUE(host.unexpected().empty());
}

TEST(MainCommands, EveryCommandHasCaptionsAndUniqueAccessKeysWhereTheyAreOurs) {
    EXPECT_EQ(plainCaption("E&xit Corvane"), "Exit Corvane");
    EXPECT_EQ(plainCaption("Step #1 - Name Set && Choose"), "Step #1 - Name Set & Choose");
    EXPECT_EQ(accessKey("R&egistry Backup..."), 'E');
    EXPECT_EQ(accessKey("Save As..."), 0);
    EXPECT_EQ(accessKey("Name && &Place"), 'P');

    for (std::size_t index = 0; index < kCommandCount; ++index) {
        const auto id = static_cast<CommandId>(index);
        if (id == CommandId::AddMenu) continue;  // a popup, not an item
        EXPECT_FALSE(commandCaption(id).empty()) << commandKey(id);
    }
    // Menu access keys are unique within a menu, except where the fixed captions themselves
    // share one (Settings and Test in Options; Contents, Corvane Home Page and Check for Product
    // Update in Help).
    const std::set<std::string> fixedShares = {"ID_OptionsTestBackup", "ID_HelpCVHome",
                                               "ID_HelpUpdate"};
    for (const MainMenu& menu : mainMenus()) {
        std::set<char> keys;
        for (const MenuEntry& entry : menu.entries) {
            if (!entry.id) continue;
            const char key = accessKey(entry.caption);
            if (key == 0) continue;
            const bool fresh = keys.insert(key).second;
            EXPECT_TRUE(fresh || fixedShares.contains(std::string(commandKey(*entry.id))))
                << entry.caption;
        }
    }
}

}  // namespace
}  // namespace corvane::test
