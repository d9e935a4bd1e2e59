// The restore window through its real widgets over real archives: opening, the tree's check
// boxes and filter, the destination and overwrite choices, the conflicts page, passwords,
// missing volumes, Cancel while it runs, the summary and the test report.
#include "archive_support.h"
#include "restore_support.h"
#include "subprocess.h"
#include "ui/restore_main_window.h"
#include "ui/restore_tree_model.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <filesystem>

namespace corvane::test {
namespace {

namespace fs = std::filesystem;
using restore::WindowStep;

class RestoreWindows : public ::testing::Test {
protected:
    RestoreWindows() {
        ::setenv("CORVANE_HOME", home.path().c_str(), 1);
        source = home / "src/";
        makeFolder(source + "docs/sub");
        makeFolder(source + "empty");
        writeFile(source + "docs/a.txt", archive::test::textData(30000, 1));
        writeFile(source + "docs/b.odt", archive::test::textData(20000, 2));
        writeFile(source + "docs/sub/c.txt", archive::test::textData(10000, 3));
        writeFile(source + "photo.jpg", archive::test::randomData(5000, 4));
        fs::permissions(source + "photo.jpg", fs::perms::owner_read);
        fs::create_symlink("docs/a.txt", source + "link");
        restore::test::setTimeNs(source + "docs/a.txt", 1'700'000'000'123'456'789);
        makeFolder(home / "out");
        makeFolder(home / "dest");
        zip.settings.archivePath = home / "out/Daily.bac";
        zip.settings.includes.push_back(source + "*");
        depth = static_cast<int>(std::count(source.begin(), source.end(), '/')) - 1;
    }
    void TearDown() override { host.checkScriptFinished(); }

    void make() { ASSERT_EQ(zip.compress(), 0); }
    void openThroughTheButton(const std::string& path) {
        host.queueOpenFiles({path});
        click(window, "cmdOpen");
        ASSERT_EQ(model.step(), WindowStep::Choose);
    }
    // Into home/dest, without the folders above the source.
    void chooseDestination() {
        host.queueFolder(home / "dest");
        click(window, "cmdBrowse");
        control<QSpinBox>(window, "spnStrip")->setValue(depth);
    }
    QString label(const char* name) { return control<QLabel>(window, name)->text(); }
    // The view's row of a stored path below the source folder.
    QModelIndex row(const std::string& relative) {
        const std::string path = source.substr(1) + relative;
        const auto& nodes = model.tree().nodes();
        for (std::size_t at = 0; at < nodes.size(); ++at) {
            if (nodes[at].path == path) return window.treeModel()->indexOf(at);
        }
        ADD_FAILURE() << "no node " << path;
        return {};
    }

    TempFolder home;
    std::string source;
    int depth = 0;
    archive::test::ZipUnderTest zip;
    TestHost host;
    RecordingOpener opener;
    ConfigRecord config;
    restore::RestoreWindow model{host, config};
    ui::RestoreMainWindow window{model, host, opener};
};

TEST_F(RestoreWindows, RestoresTheChosenFilesToAFolderAsTheyWere) {
    make();
    window.show();
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Restore");
    EXPECT_FALSE(control<QWidget>(window, "tvwArchive")->isVisible());
    saveScreenshot(window, "restore-1-empty");

    openThroughTheButton(home / "out/Daily.bac");
    EXPECT_EQ(window.windowTitle().toStdString(), "Corvane Restore - Daily.bac");
    EXPECT_EQ(host.fileRequests().back().title, "Open Backup Archive");
    EXPECT_FALSE(enabled(window, "cmdRestore")) << "no folder yet";
    chooseDestination();
    EXPECT_TRUE(enabled(window, "cmdRestore"));
    // Unchecking a file through the view counts it out and leaves its folder partly checked.
    const QString all = label("lblChosen");
    ASSERT_TRUE(window.treeModel()->setData(row("docs/b.odt"), Qt::Unchecked,
                                            Qt::CheckStateRole));
    EXPECT_EQ(row("docs").data(Qt::CheckStateRole).toInt(), Qt::PartiallyChecked);
    EXPECT_NE(label("lblChosen"), all);
    EXPECT_EQ(row("docs/a.txt").siblingAtColumn(ui::RestoreTreeModel::kSize).data().toString(),
              "29 KB");
    window.treeView()->expandAll();
    saveScreenshot(window, "restore-2-choose");

    // The filter shows what matches with the folders on its way, and only that.
    type(window, "txtFilter", "*.txt");
    EXPECT_TRUE(row("docs/sub/c.txt").isValid());
    EXPECT_EQ(window.treeModel()->rowCount(row("docs")), 2) << "a.txt and sub";
    saveScreenshot(window, "restore-3-filtered");
    // Escape clears the filter and leaves the window open.
    QTest::keyClick(control<QLineEdit>(window, "txtFilter"), Qt::Key_Escape);
    EXPECT_TRUE(model.tree().filter().empty());
    EXPECT_TRUE(control<QLineEdit>(window, "txtFilter")->text().isEmpty());
    EXPECT_TRUE(window.isVisible());

    click(window, "cmdRestore");
    ASSERT_EQ(model.step(), WindowStep::Summary);
    EXPECT_EQ(label("lblHeadline").toStdString(),
              "Restored 4 files to " + (home / "dest") + ".");
    EXPECT_FALSE(control<QWidget>(window, "lvwSkipped")->isVisible());
    saveScreenshot(window, "restore-4-summary");
    click(window, "cmdOpenFolder");
    EXPECT_EQ(opener.opened, std::vector<std::string>{home / "dest"});

    // Everything but the file left out came back: contents, modes, times, the link.
    auto expected = restore::test::treeState(source);
    expected.erase("docs/b.odt");
    // The archive keeps whole seconds.
    EXPECT_EQ(restore::test::differences(expected, restore::test::treeState(home / "dest"),
                                         1'000'000'000),
              std::vector<std::string>{});
}

TEST_F(RestoreWindows, FilesAlreadyThereAreDecidedOnTheConflictsPage) {
    make();
    window.show();
    openThroughTheButton(home / "out/Daily.bac");
    chooseDestination();
    makeFolder(home / "dest/docs/sub");
    writeFile(home / "dest/docs/a.txt", "mine");
    writeFile(home / "dest/docs/sub/c.txt", "mine too");

    auto* policy = control<QComboBox>(window, "cboOverwrite");
    policy->setCurrentIndex(0);
    emit policy->activated(0);
    EXPECT_EQ(model.policy(), restore::OverwritePolicy::Ask);
    click(window, "cmdRestore");
    ASSERT_EQ(model.step(), WindowStep::Conflicts);
    auto* list = control<QTreeWidget>(window, "lvwConflicts");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    saveScreenshot(window, "restore-5-conflicts");
    click(window, "cmdReplaceAll");
    // The "all" buttons move every row's choice, and one row can still differ.
    auto* second = qobject_cast<QComboBox*>(list->itemWidget(list->topLevelItem(1), 3));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->currentText(), "Replace");
    second->setCurrentIndex(1);
    emit second->activated(1);
    click(window, "cmdContinue");

    ASSERT_EQ(model.step(), WindowStep::Summary);
    EXPECT_EQ(readFile(home / "dest/docs/a.txt"), archive::test::textData(30000, 1));
    EXPECT_EQ(readFile(home / "dest/docs/sub/c.txt"), "mine too");
    auto* skipped = control<QTreeWidget>(window, "lvwSkipped");
    EXPECT_TRUE(skipped->isVisible());
    ASSERT_EQ(skipped->topLevelItemCount(), 1);
    EXPECT_EQ(skipped->topLevelItem(0)->text(1), "kept");
    saveScreenshot(window, "restore-6-summary-kept");
}

TEST_F(RestoreWindows, PasswordsAreAskedAgainUntilRight) {
    zip.settings.password = "right";
    make();
    window.show();
    openThroughTheButton(home / "out/Daily.bac");
    chooseDestination();
    const auto answer = [this](const char* password, const char* screenshot) {
        host.expectWindow("frmPassword", [password, screenshot](QDialog& dialog) {
            type(dialog, "txtPassword", password);
            if (screenshot != nullptr) saveScreenshot(dialog, screenshot);
            click(dialog, "cmdOK");
        });
    };
    answer("wrong", "restore-password");
    host.expectBox("Corvane Restore", "The password is not right for this archive. Please try again.",
                   "cmdOK");
    answer("right", nullptr);
    click(window, "cmdRestore");
    ASSERT_EQ(model.step(), WindowStep::Summary);
    EXPECT_EQ(model.summary().status, restore::RestoreStatus::Done) << model.summaryHeadline();
    EXPECT_EQ(readFile(home / "dest/docs/sub/c.txt"), archive::test::textData(10000, 3));
}

TEST_F(RestoreWindows, AMissingVolumeIsAskedForAndLocated) {
    zip.settings.archivePath = home / "out/Split.bac";
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 64 * 1024;
    writeFile(source + "big.bin", archive::test::randomData(100000, 5));
    make();
    makeFolder(home / "shelf");
    fs::rename(home / "out/Split.z01", home / "shelf/Split.z01");
    window.show();
    // Any volume names the set.
    openThroughTheButton(home / "out/Split.z02");
    EXPECT_EQ(model.archivePath(), home / "out/Split.bac");
    chooseDestination();
    host.expectWindow("msgBox", [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Insert Disk");
        saveScreenshot(dialog, "restore-insert-disk");
        click(dialog, "cmdCancel");
    });
    host.queueOpenFiles({home / "shelf/Split.z01"});
    click(window, "cmdRestore");
    ASSERT_EQ(model.step(), WindowStep::Summary);
    EXPECT_EQ(model.summary().status, restore::RestoreStatus::Done) << model.summaryHeadline();
    EXPECT_EQ(host.fileRequests().back().title, "Locate Split.z01");
    EXPECT_EQ(readFile(home / "dest/big.bin"), readFile(source + "big.bin"));
}

TEST_F(RestoreWindows, CancelStopsTheRestoreAtOnceAndLeavesNothingHalfWritten) {
    writeFile(source + "large.txt", archive::test::textData(8'000'000, 6));
    makeFolder(source + "many");
    for (int file = 0; file < 200; ++file)
        writeFile(source + "many/" + std::to_string(file), std::string(2000, 'x'));
    make();
    window.show();
    openThroughTheButton(home / "out/Daily.bac");
    chooseDestination();
    // The first turn of the event loop during the restore: the Cancel button is live.
    int turns = 0;
    QObject::connect(&host, &ui::QtHost::eventsPumped, &window, [&] {
        if (turns++ > 0) return;
        EXPECT_FALSE(control<QWidget>(window, "cmdClose")->isVisible());
        saveScreenshot(window, "restore-7-running");
        click(window, "cmdCancel");
    });
    click(window, "cmdRestore");
    ASSERT_EQ(model.step(), WindowStep::Summary);
    EXPECT_EQ(model.summary().status, restore::RestoreStatus::Cancelled);
    EXPECT_TRUE(label("lblHeadline").startsWith("The restore was cancelled"));
    EXPECT_GT(control<QTreeWidget>(window, "lvwSkipped")->topLevelItemCount(), 0)
        << "what was not restored is listed";
    for (const auto& path : restore::test::allPaths(home / "dest")) {
        EXPECT_EQ(path.find(".cvrest-"), std::string::npos) << path;
        if (fs::is_regular_file(home / ("dest/" + path)) && path.find("many/") == 0) {
            EXPECT_EQ(readFile(home / ("dest/" + path)), std::string(2000, 'x')) << path;
        }
    }
}

TEST_F(RestoreWindows, TestReportsEveryEntryWithoutWritingAnything) {
    make();
    // One byte of a stored file's data changed: that entry fails its CRC.
    std::string bytes = readFile(home / "out/Daily.bac");
    const std::string marker = archive::test::randomData(5000, 4).substr(100, 16);
    const auto at = bytes.find(marker);
    ASSERT_NE(at, std::string::npos);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    writeFile(home / "out/Daily.bac", bytes);
    window.show();
    openThroughTheButton(home / "out/Daily.bac");
    click(window, "cmdTest");
    ASSERT_EQ(model.step(), WindowStep::TestReport);
    auto* lines = control<QTreeWidget>(window, "lvwTest");
    ASSERT_EQ(static_cast<std::size_t>(lines->topLevelItemCount()), model.testLines().size());
    int failed = 0;
    for (int line = 0; line < lines->topLevelItemCount(); ++line) {
        if (lines->topLevelItem(line)->text(1) != "OK") {
            ++failed;
            EXPECT_TRUE(lines->topLevelItem(line)->text(0).endsWith("photo.jpg"));
        }
    }
    EXPECT_EQ(failed, 1);
    EXPECT_TRUE(label("lblTestHeadline").startsWith("The test found problems"));
    saveScreenshot(window, "restore-8-test-report");
    EXPECT_TRUE(restore::test::allPaths(home / "dest").empty());
    click(window, "cmdTestBack");
    EXPECT_EQ(model.step(), WindowStep::Choose);
}

TEST_F(RestoreWindows, AnUnsafeNameFromAnotherToolIsGreyRefusedAndListedWithItsReason) {
    // Made by python's zipfile: a good file and one that would climb out of the folder.
    const std::string archive = home / "out/other.zip";
    const auto made = runProcess(
        {"python3", "-c",
         "import sys, zipfile\n"
         "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
         "    z.writestr('good/a.txt', 'fine')\n"
         "    z.writestr('../evil.txt', 'bad')\n",
         archive});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    window.show();
    openThroughTheButton(archive);
    const auto& nodes = model.tree().nodes();
    std::size_t evil = 0;
    for (std::size_t at = 0; at < nodes.size(); ++at) {
        if (nodes[at].name == "../evil.txt") evil = at;
    }
    ASSERT_NE(evil, 0u);
    EXPECT_EQ(nodes[evil].check, restore::CheckState::Unchecked);
    EXPECT_EQ(window.treeModel()->indexOf(evil).data(Qt::ForegroundRole).value<QBrush>().color(),
              QColor(Qt::gray));
    host.queueFolder(home / "dest");
    click(window, "cmdBrowse");
    click(window, "cmdRestore");
    ASSERT_EQ(model.step(), WindowStep::Summary);
    EXPECT_EQ(readFile(home / "dest/good/a.txt"), "fine");
    EXPECT_FALSE(fileExists(home / "evil.txt"));
    auto* skipped = control<QTreeWidget>(window, "lvwSkipped");
    ASSERT_EQ(skipped->topLevelItemCount(), 1);
    EXPECT_EQ(skipped->topLevelItem(0)->text(0), "../evil.txt");
    EXPECT_EQ(skipped->topLevelItem(0)->text(1), "refused");
    EXPECT_FALSE(skipped->topLevelItem(0)->text(2).isEmpty());
    saveScreenshot(window, "restore-9-refused");
}

}  // namespace
}  // namespace corvane::test
