// The "Off-site Copy" window's model: what it loads, which fields apply, what OK saves or
// refuses, and the connection test's answers, every box through ScriptedHost.
#include "app/offsite_dialog.h"

#include "scripted_host.h"
#include "temp_folder.h"
#include "test_servers.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::test {
namespace {

// A loopback port whose connections the kernel completes but nobody ever answers.
class SilentPort {
public:
    SilentPort() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(m_fd, 4), 0);
        EXPECT_EQ(::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
        m_port = ntohs(address.sin_port);
    }
    ~SilentPort() { close(); }
    // Connections waiting are reset, and new ones refused.
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

class OffsiteDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(home / "Offsite.ini",
                  "[Weekly]\nUrl=s3://b/w/\n\n[Daily]\nurl=webdav://127.0.0.1:1/d/\nKEEP=3\n");
        writeFile(home / "daily.cred", "User=ann\nPassword=secret\n");
        ::chmod((home / "daily.cred").c_str(), 0600);
    }
    void TearDown() override { host.checkScriptFinished(); }

    TempFolder home;
    ScriptedHost host;
    OffsiteDialog dialog{host, home.path(), home / "Backup Sets/Daily.cvt"};
};

TEST_F(OffsiteDialogTest, LoadsTheSetsSectionAndOffersTheFieldsOfItsRemote) {
    ASSERT_TRUE(dialog.load());
    EXPECT_EQ(dialog.setName(), "Daily");
    EXPECT_EQ(dialog.url(), "webdav://127.0.0.1:1/d/");
    EXPECT_EQ(dialog.keep(), "3");
    const std::pair<const char*, bool> urls[] = {
        {"s3://bucket/", true}, {"S3://bucket/", true}, {"  s3://bucket/", true},
        {"sftp://h/", false},   {"webdav://h/", false}, {"", false},
    };
    for (const auto& [url, s3] : urls) {
        dialog.setUrl(url);
        EXPECT_EQ(dialog.s3Fields(), s3) << url;
        EXPECT_EQ(dialog.testEnabled(), !std::string(url).empty()) << url;
    }
    // A file inih cannot read is named, and nothing is loaded.
    writeFile(home / "Offsite.ini", "[Daily]\nno key here\n");
    host.expectMessage("Off-site Copy", Answer::Ok);
    EXPECT_FALSE(dialog.load());
    EXPECT_NE(host.messages().back().text.find("line 2"), std::string::npos);
}

TEST_F(OffsiteDialogTest, OkSavesWhatWorksAndAsksAboutWhatWouldFail) {
    ASSERT_TRUE(dialog.load());
    dialog.setCredentialsFile("daily.cred ");
    dialog.setKeep("5");
    // Endpoint and Region of an s3 address left behind are not written for webdav.
    dialog.setEndpoint("http://127.0.0.1:9000");
    ASSERT_TRUE(dialog.ok());
    EXPECT_EQ(readFile(home / "Offsite.ini"),
              "[Weekly]\nUrl=s3://b/w/\n\n[Daily]\nUrl=webdav://127.0.0.1:1/d/\n"
              "CredentialsFile=daily.cred\nKeep=5\n");

    // A credentials file others may read: said, and saved only when the user says so.
    ::chmod((home / "daily.cred").c_str(), 0644);
    dialog.setKeep("6");
    host.expectMessage("Off-site Copy", Answer::No);
    EXPECT_FALSE(dialog.ok());
    EXPECT_NE(host.messages().back().text.find("chmod 600"), std::string::npos);
    EXPECT_NE(readFile(home / "Offsite.ini").find("Keep=5"), std::string::npos);
    host.expectMessage("Off-site Copy", Answer::Yes);
    EXPECT_TRUE(dialog.ok());
    EXPECT_NE(readFile(home / "Offsite.ini").find("Keep=6"), std::string::npos);

    // A value the file cannot hold is refused whatever the answer.
    dialog.setRegion("x");
    dialog.setUrl("s3://b/ ;d/");
    host.expectMessage("Off-site Copy", Answer::Yes);
    host.expectMessage("Off-site Copy", Answer::Ok);
    EXPECT_FALSE(dialog.ok());
    EXPECT_NE(host.messages().back().text.find("would not read back"), std::string::npos);

    // An empty address switches the copy off, once confirmed; other sets stay.
    dialog.setUrl("");
    host.expectMessage("Off-site Copy", Answer::Yes);
    EXPECT_TRUE(dialog.ok());
    EXPECT_EQ(readFile(home / "Offsite.ini"), "[Weekly]\nUrl=s3://b/w/\n\n");
}

TEST_F(OffsiteDialogTest, TheTestSaysWhyItFailedAfterOneAttempt) {
    ASSERT_TRUE(dialog.load());
    dialog.testConnection();
    EXPECT_FALSE(dialog.testPassed());
    EXPECT_EQ(dialog.testResult().rfind("The settings are not complete: CredentialsFile is "
                                        "missing",
                                        0),
              0u)
        << dialog.testResult();

    // Nothing listens on that port: refused at once, without the run's back-off.
    dialog.setCredentialsFile("daily.cred");
    dialog.setUrl("webdav://127.0.0.1:" + std::to_string(freePort()) + "/d/");
    dialog.testConnection();
    EXPECT_FALSE(dialog.testing());
    EXPECT_EQ(dialog.testResult().rfind("The connection failed (remote unreachable)", 0), 0u)
        << dialog.testResult();
    EXPECT_EQ(dialog.testResult().find("secret"), std::string::npos);
}

// The probe's removal is checked by RemoteTest.TestConnectionSendsListsAndDeletesAProbe.
TEST_F(OffsiteDialogTest, TheTestReachesARealServerAndCancelStopsIt) {
    TestServer server("webdav");
    server.start();
    server.writeSettings(home.path(), "Daily", "corvane/");
    ASSERT_TRUE(dialog.load());
    dialog.testConnection();
    EXPECT_TRUE(dialog.testPassed()) << dialog.testResult();

    // A server that never answers: Cancel, pressed during a turn of events, ends the wait.
    SilentPort silent;
    host.onPendingEvents = [&] {
        EXPECT_FALSE(dialog.cancel());
        // The clean-up after Cancel then fails at once instead of waiting for an answer.
        silent.close();
    };
    dialog.setUrl("webdav://127.0.0.1:" + std::to_string(silent.port()) + "/d/");
    dialog.testConnection();
    EXPECT_FALSE(dialog.testPassed());
    EXPECT_EQ(dialog.testResult(), "The test was cancelled.");
    EXPECT_TRUE(dialog.cancel()) << "no test runs any more";
}

}  // namespace
}  // namespace corvane::test
