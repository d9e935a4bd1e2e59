#pragma once

#include "app/command_dispatcher.h"
#include "fake_component.h"
#include "recorders.h"
#include "temp_folder.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/ui_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace corvane::test {

// Checks what every window owes assistive technology and the keyboard: each button's accessible
// name is its caption without "&", each input has an accessible name, and no two buttons share
// an access key.
void checkControls(const QWidget& window);

// Checks the window's controls (as checkControls) and saves a picture of it into the build folder's
// screenshots/ (scripts/screenshots collects them).
void saveScreenshot(QWidget& window, const std::string& name);

// A control of a window by its objectName; fails the test when there is none.
template <typename Widget>
Widget* control(const QObject& window, const char* name) {
    auto* found = window.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name << " in "
                              << window.objectName().toStdString();
    return found;
}

// The text of a named line edit or label of a window; empty when there is none.
std::string textOf(const QObject& window, const char* name);

// Whether a named control of a window is enabled (false when there is none).
bool enabled(const QObject& window, const char* name);

// Clicks a named button of a window.
void click(const QObject& window, const char* button);

// Types `text` into a named box as a user would, replacing what it holds.
void type(const QObject& window, const char* box, const std::string& text);

// The Qt host of the widget tests: every modal window is handed to the next scripted handler
// instead of waiting for a user, and choosers answer from queues. A window or chooser the
// script did not expect fails the test and is closed.
class TestHost final : public ui::QtHost {
public:
    using Handler = std::function<void(QDialog&)>;

    // The next modal window must be `objectName`; `handler` acts on it and must close it.
    void expectWindow(const std::string& objectName, Handler handler);
    // The next modal window must be a message box titled `title` with `text` (when not empty);
    // the button named `button` ("cmdOK", "cmdYes"...) is clicked.
    void expectBox(const std::string& title, const std::string& text, const char* button);
    void queueOpenFiles(std::vector<std::string> paths) { m_openFiles.push_back(std::move(paths)); }
    void queueFolder(std::string path) { m_folders.push_back(std::move(path)); }
    void queueSaveFile(std::string path) { m_saveFiles.push_back(std::move(path)); }

    // Every modal window shown, as "objectName: title".
    const std::vector<std::string>& windowsShown() const { return m_shown; }
    // The texts of the message boxes shown, in order.
    const std::vector<std::string>& boxTexts() const { return m_boxTexts; }
    const std::vector<FileRequest>& fileRequests() const { return m_fileRequests; }
    const std::vector<std::string>& folderTitles() const { return m_folderTitles; }
    // Fails the test for every scripted window or answer that was not used.
    void checkScriptFinished() const;

    int runModal(QDialog& dialog) override;
    std::vector<std::string> chooseOpenFiles(const FileRequest& request) override;
    std::string chooseSaveFile(const FileRequest& request) override;
    std::string chooseFolder(std::string_view title) override;

private:
    struct Expected {
        std::string objectName;
        Handler handler;
    };
    std::deque<Expected> m_expected;
    std::deque<std::vector<std::string>> m_openFiles;
    std::deque<std::string> m_folders;
    std::deque<std::string> m_saveFiles;
    std::vector<std::string> m_shown;
    std::vector<std::string> m_boxTexts;
    std::vector<FileRequest> m_fileRequests;
    std::vector<std::string> m_folderTitles;
};

// The whole program with its real windows over a fresh program folder: the main window (not
// shown unless a test shows it), the dispatcher, the test host, and the real archive component
// unless a test picks the fake one. The help pages are the ones the build installs.
class UiFixture : public ::testing::Test {
protected:
    explicit UiFixture(bool realArchiver = true);
    ~UiFixture() override;
    void TearDown() override;

    // A new set `name` (archive in home/out/) through the real new-set window.
    void makeSet(const std::string& name);
    // Adds home/data through the real folder picker.
    void addDataFolder();
    // Runs a command as its menu item or tool would.
    void trigger(CommandId id) { window->trigger(id); }
    QAction* action(CommandId id) const { return window->action(id); }

    TempFolder home;
    TestHost host;
    CommandGate gate{host};
    ManualClock clock;
    RealFileSystem fileSystem;
    FakeDrives drives;
    archive::Archiver archiver;
    FakeComponent fake;
    RecordingLauncher launcher;
    RecordingOpener opener;
    MemorySettings settings;
    std::unique_ptr<Program> program;
    std::unique_ptr<HelpPages> help;
    std::unique_ptr<ui::UiDialogs> dialogs;
    std::unique_ptr<CommandDispatcher> dispatcher;
    std::unique_ptr<ui::MainWindow> window;
};

// The same with the scripted archive component.
class FakeArchiverFixture : public UiFixture {
protected:
    FakeArchiverFixture() : UiFixture(false) {}
};

}  // namespace corvane::test
