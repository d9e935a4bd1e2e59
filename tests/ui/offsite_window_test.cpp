// Options, Off-site Copy...: the command's state, the window over the open set's section of
// Offsite.ini, and Test connection against a loopback WebDAV server.
#include "test_servers.h"
#include "ui_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <sys/stat.h>

namespace corvane::test {
namespace {

using C = CommandId;

class OffsiteWindow : public UiFixture {};

TEST_F(OffsiteWindow, EditsTheOpenSetsSectionAndTestsTheConnection) {
    EXPECT_FALSE(action(C::OptionsOffsite)->isEnabled()) << "no set is open";
    EXPECT_EQ(action(C::OptionsOffsite)->text().toStdString(), "Off-site &Copy...");
    makeSet("Daily");
    ASSERT_TRUE(action(C::OptionsOffsite)->isEnabled());

    TestServer server("webdav");
    server.start();
    // The server's settings, for another set; the window writes its own for Daily.
    server.writeSettings(home.path(), "Other", "other/");
    const std::string others = readFile(home / "Offsite.ini");
    const std::string url = "webdav://127.0.0.1:" + std::to_string(server.port()) + "/daily/";
    writeFile(home / "daily.cred", "User=corvane\nPassword=wrong\n");
    ::chmod((home / "daily.cred").c_str(), 0600);

    host.expectWindow("frmOffsite", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Off-site Copy");
        EXPECT_FALSE(enabled(dialog, "cmdTest")) << "no address yet";
        type(dialog, "txtUrl", url);
        EXPECT_FALSE(enabled(dialog, "txtEndpoint")) << "S3 only";
        type(dialog, "txtCredentialsFile", home / "daily.cred");
        type(dialog, "txtKeep", "7");
        click(dialog, "cmdTest");
        const std::string refused = textOf(dialog, "lblResult");
        EXPECT_EQ(refused.rfind("The connection failed (credentials refused)", 0), 0u) << refused;
        saveScreenshot(dialog, "offsite-test-failed");

        // The right password, from the file the server's settings use, chosen with Browse....
        host.queueOpenFiles({home / "webdav.cred"});
        click(dialog, "cmdBrowse");
        click(dialog, "cmdTest");
        EXPECT_EQ(textOf(dialog, "lblResult"),
                  "The connection works: a probe was sent, listed and deleted.");
        saveScreenshot(dialog, "offsite-test-passed");
        click(dialog, "cmdOK");
    });
    trigger(C::OptionsOffsite);
    EXPECT_EQ(readFile(home / "Offsite.ini"), others + "\n[Daily]\nUrl=" + url +
                                                  "\nCredentialsFile=" + (home / "webdav.cred") +
                                                  "\nKeep=7\n");

    // Opened again, it shows what was saved; Cancel changes nothing.
    host.expectWindow("frmOffsite", [&](QDialog& dialog) {
        EXPECT_EQ(textOf(dialog, "txtUrl"), url);
        EXPECT_EQ(textOf(dialog, "txtKeep"), "7");
        type(dialog, "txtKeep", "9");
        click(dialog, "cmdCancel");
    });
    trigger(C::OptionsOffsite);
    EXPECT_NE(readFile(home / "Offsite.ini").find("Keep=7"), std::string::npos);
}

}  // namespace
}  // namespace corvane::test
