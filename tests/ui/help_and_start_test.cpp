// The help pages installed with the program and how windows open them, the per-user settings
// of the main window's placement, and the real program's start with and without a display.
#include "config/options_dialog.h"
#include "favorites/favorites_list.h"
#include "host/dialog_texts.h"
#include "registry/registry_window.h"
#include "schedule/schedule_texts.h"
#include "set_text.h"
#include "sets/default_location_dialog.h"
#include "sets/entry_dialogs.h"
#include "sets/new_set_dialog.h"
#include "sets/new_set_wizard.h"
#include "sets/set_statistics.h"
#include "subprocess.h"
#include "ui/application.h"
#include "ui/ui_text.h"
#include "ui_fixture.h"

#include <QFile>
#include <QTest>

namespace corvane::test {
namespace {

using C = CommandId;

// Every help topic a window of the program opens.
const std::pair<int, const char*> kTopics[] = {
    {NewSetDialog::kHelpTopic, "New Backup Set"},
    {NewSetWizard::kHelpTopic, "Corvane Wizard"},
    {DefaultLocationDialog::kHelpTopic, "Backup Default Location"},
    {WildcardDialog::kHelpTopic, "Add WildCard"},
    {ExclusionDialog::kHelpTopic, "Add Exclusion"},
    {SetStatistics::kHelpTopic, "Backup Set Properties"},
    {dialog_texts::kBackupTypeHelpTopic, "Select Type of Backup"},
    {dialog_texts::kCdReminderHelpTopic, "CDR/CDRW Information"},
    {dialog_texts::kPreviewQuestionHelpTopic, "Preview Backup Archive Size"},
    {kOptionsPages[0].helpTopic, "Backup Set Settings"},
    {kOptionsPages[1].helpTopic, "Basic Settings"},
    {kOptionsPages[2].helpTopic, "Restore Settings"},
    {kOptionsPages[3].helpTopic, "Password Settings"},
    {kOptionsPages[4].helpTopic, "Advanced Settings"},
    {kOptionsPages[5].helpTopic, "Testing Settings"},
    {schedule_texts::kTimedHelpTopic, "Timed Backups"},
    {schedule_texts::kTaskHelpTopic, "Track Backup Tasks"},
    {favorite_texts::kHelpTopic, "Favorites"},
    {RegistryWindow::kHelpTopic, "System Registry Backup"},
};

TEST(HelpPages, EveryTopicHasAPageThatLeadsBackToTheContents) {
    const std::string folder = builtProgram("bin/help/");
    const std::string contents = readFile(folder + "index.html");
    for (const auto& [topic, title] : kTopics) {
        const std::string page = "topic-" + std::to_string(topic) + ".html";
        ASSERT_TRUE(fileExists(folder + page)) << page;
        const std::string text = readFile(folder + page);
        EXPECT_NE(text.find(std::string("<h1>") + title + "</h1>"), std::string::npos) << page;
        EXPECT_NE(text.find("href=\"index.html\""), std::string::npos) << page;
        EXPECT_NE(contents.find("href=\"" + page + "\""), std::string::npos) << page;
    }
}

TEST(FileDialogFilter, EveryFileShowsAndNamedTypesKeepTheirPattern) {
    const std::pair<const char*, const char*> cases[] = {
        {"All Files (*.*)|*.*", "All Files (*)"},
        {"Corvane Archives (*.bac)|*.bac", "Corvane Archives (*.bac)"},
        {"Corvane Sets (*.cvt)|*.cvt|All Files (*.*)|*.*", "Corvane Sets (*.cvt);;All Files (*)"},
        {"Logs|*.log;*.txt", "Logs (*.log *.txt)"},
        {"", ""},
    };
    for (const auto& [given, shown] : cases) {
        EXPECT_EQ(ui::fileDialogFilter(given).toStdString(), shown) << given;
    }
}

using HelpFromWindows = UiFixture;

TEST_F(HelpFromWindows, F1AndHelpButtonsOpenTheWindowsTopic) {
    host.expectWindow("frmNewSet", [](QDialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_F1);
        click(dialog, "cmdHelp");
        click(dialog, "cmdCancel");
    });
    trigger(C::New);
    host.expectWindow("frmWizard", [&](QDialog& dialog) {
        QTest::keyClick(control<QWidget>(dialog, "txtName"), Qt::Key_F1);
        host.expectBox("Exit Wizard", "", "cmdOK");
        click(dialog, "cmdCancel");
    });
    trigger(C::Wizard);
    const std::string page54 = builtProgram("bin/help/topic-54.html");
    EXPECT_EQ(opener.opened,
              (std::vector<std::string>{page54, page54, builtProgram("bin/help/topic-55.html")}));
}

TEST_F(HelpFromWindows, PlacementLivesInTheStartupGroupOfCorvanesSettings) {
    ui::QtSettingsStore store;
    EXPECT_FALSE(store.value("Width").has_value());
    store.setValue("Width", "640");
    EXPECT_EQ(store.value("Width"), "640");
    QFile file(QString::fromStdString(home / "settings/Corvane/Corvane.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("[Startup]")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("Width=640")) << stored.toStdString();
}

// The real program, as a user starts it.
class RealProgram : public ::testing::Test {
protected:
    ProcessResult run(const std::vector<std::string>& arguments, bool withDisplay) {
        std::vector<std::pair<std::string, std::string>> environment = {
            {"CORVANE_HOME", home.path()},    {"XDG_CONFIG_HOME", home / "config"},
            {"XDG_RUNTIME_DIR", home.path()}, {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""},          {"QT_QPA_PLATFORM", ""}};
        std::vector<std::string> command;
        if (withDisplay) command = {"xvfb-run", "-a"};
        command.push_back(builtProgram("bin/corvane"));
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runProcess(command, environment);
    }

    TempFolder home;
};

TEST_F(RealProgram, HelpAndVersionAnswerWithoutADisplay) {
    const ProcessResult version = run({"--version"}, false);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Corvane v6.0\n");
    for (const char* help : {"--help", "-h"}) {
        const ProcessResult usage = run({help}, false);
        EXPECT_EQ(usage.exitCode, 0);
        EXPECT_EQ(usage.out.rfind("usage: corvane", 0), 0u) << usage.out;
    }
    const ProcessResult bare = run({}, false);
    EXPECT_EQ(bare.exitCode, 64);
    EXPECT_NE(bare.err.find("No display was found"), std::string::npos) << bare.err;
}

TEST_F(RealProgram, CommandLineBackupRunsWithItsWindowsUnderXvfb) {
    requireTool("xvfb-run");
    requireTool("7zz");
    makeFolder(home / "data");
    makeFolder(home / "Backup Sets");
    writeFile(home / "data/a.txt", "smoke test data");
    writeFile(home / "Backup Sets/Smoke.cvt", setFileText({home / "data/"}, home / "Smoke.bac"));
    // A new program folder's options end a successful command-line run (ShutDown on).
    const ProcessResult result = run({home / "Backup Sets/Smoke.cvt"}, true);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    const ProcessResult tested = runProcess({"7zz", "t", home / "Smoke.bac"});
    EXPECT_EQ(tested.exitCode, 0) << tested.out;
    EXPECT_FALSE(fileExists(home / "error.log"));
}

}  // namespace
}  // namespace corvane::test
