// One user's whole way through the windows, with the real archive component: a new set with a
// folder, a file, a wildcard and an exclusion, saved, backed up, tested, checked by 7-Zip, and
// its log read.
#include "subprocess.h"
#include "ui/set_tree_view.h"
#include "ui_fixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace corvane::test {
namespace {

using C = CommandId;
using FullFlow = UiFixture;

TEST_F(FullFlow, NewSetWithEveryKindOfEntryIsBackedUpTestedAndLogged) {
    requireTool("7zz");
    program->config().record().logFile = 1;
    ASSERT_TRUE(program->config().save());
    makeFolder(home / "extra");
    makeFolder(home / "more");
    writeFile(home / "extra/notes.txt", "notes");
    writeFile(home / "more/run.log", "log line");
    writeFile(home / "more/skip.tmp", "temporary");

    makeSet("Flow");
    addDataFolder();
    host.queueOpenFiles({home / "extra/notes.txt"});
    trigger(C::AddFile);
    host.expectWindow("frmAddWildCard", [&](QDialog& dialog) {
        type(dialog, "txtWildCard", home / "more/*.log");
        click(dialog, "cmdOK");
    });
    trigger(C::AddWildCard);
    host.expectWindow("frmAddExclusion", [&](QDialog& dialog) {
        type(dialog, "txtExclusion", "*.doc");
        click(dialog, "cmdOK");
    });
    trigger(C::AddExclusion);
    trigger(C::Save);
    const std::string setFile = readFile(home / "Backup Sets/Flow.cvt");
    for (const std::string& entry : {home / "data/", home / "extra/notes.txt",
                                     "** - " + home / "more/*.log", std::string("- *.doc")}) {
        EXPECT_NE(setFile.find("\"" + entry + "\""), std::string::npos) << entry;
    }
    window->show();
    saveScreenshot(*window, "flow-set-ready");

    host.expectWindow("frmBackupType", [](QDialog& dialog) { click(dialog, "cmdStart"); });
    host.expectBox("Backup Complete", "", "cmdYes");
    host.expectBox("Backup Test Successful",
                   "The Backup archive test reports that your Backup passed testing and is safe.",
                   "cmdOK");
    trigger(C::Backup);
    const std::string archive = home / "out/Flow.bac";
    ASSERT_TRUE(fileExists(archive));

    const ProcessResult tested = runProcess({"7zz", "t", archive});
    EXPECT_EQ(tested.exitCode, 0) << tested.out << tested.err;
    const ProcessResult listed = runProcess({"7zz", "l", "-ba", archive});
    for (const char* stored : {"data/a.txt", "data/sub/c.txt", "extra/notes.txt", "more/run.log"}) {
        EXPECT_NE(listed.out.find(stored), std::string::npos) << stored << "\n" << listed.out;
    }
    for (const char* left : {"b.doc", "skip.tmp"}) {
        EXPECT_EQ(listed.out.find(left), std::string::npos) << left;
    }

    host.expectWindow("frmLogFile", [&](QDialog& dialog) {
        const std::string log =
            control<QPlainTextEdit>(dialog, "txtLog")->toPlainText().toStdString();
        for (const std::string& line :
             {"### Backup Started - " + home / "Backup Sets/Flow.cvt - ",
              "### Backup Destination & Name:  " + archive + " ###",
              "-  Adding " + home / "data/a.txt", std::string("### Test Operation successful ###"),
              std::string("### Backup Operation Complete - ")}) {
            EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
        }
        saveScreenshot(dialog, "flow-backup-log");
        click(dialog, "cmdClose");
    });
    trigger(C::OptionsViewBackupLog);
    EXPECT_EQ(window->statusPanel()->text().toStdString(), "Flow.cvt");
    EXPECT_TRUE(action(C::Backup)->isEnabled());
}

}  // namespace
}  // namespace corvane::test
