// Command-line runs of a set with an off-site copy: the archive reaches a loopback WebDAV
// server byte for byte and the log says where; a remote that is down leaves the archive, an
// error.log block and exit status 5.
#include "app/offsite_check.h"
#include "common/text.h"
#include "config/config_store.h"
#include "set_text.h"
#include "subprocess.h"
#include "temp_folder.h"
#include "test_servers.h"

#include <gtest/gtest.h>

namespace corvane::test {
namespace {

class OffsiteRuns : public ::testing::Test {
protected:
    void SetUp() override {
        makeFolder(home / "Backup Sets");
        makeFolder(home / "data");
        makeFolder(home / "out");
        writeFile(home / "data/letter.txt", std::string(50000, 'l'));
        writeFile(home / "Backup Sets/Daily.cvt",
                  setFileText({home / "data/"}, home / "out/Daily.bac"));
        ConfigStore config(home.path());
        config.loadAtStart();
        config.record().logFile = 1;
        ASSERT_TRUE(config.save());
        server.start();
        server.writeSettings(home.path(), "Daily", "backups/");
    }

    ProcessResult corvane() {
        return runProcess(
            {builtProgram("bin/corvane"), home / "Backup Sets/Daily.cvt"},
            {{"CORVANE_HOME", home.path()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    }

    TempFolder home;
    TestServer server{"webdav"};
};

TEST_F(OffsiteRuns, ArchiveIsCopiedAndAFailedCopyExitsFive) {
    const ProcessResult run = corvane();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    bool found = false;
    EXPECT_EQ(server.readBack("backups/", "Daily.bac", found), readFile(home / "out/Daily.bac"));
    EXPECT_TRUE(found);
    const std::string log = readFile(home / "Backup.log");
    EXPECT_NE(log.find("-  Copied off-site webdav://127.0.0.1:"), std::string::npos) << log;
    EXPECT_EQ(log.find("Password"), std::string::npos);

    server.stop();
    writeFile(home / "data/letter.txt", "changed");
    const ProcessResult down = corvane();
    EXPECT_EQ(down.exitCode, 5) << down.out << down.err;
    EXPECT_TRUE(fileExists(home / "out/Daily.bac"));
    const std::string errors = readFile(home / "error.log");
    EXPECT_TRUE(startsWith(errors,
                           "Command Line Backup - Off-site copy failed.\r\n"
                           "Error #    : 602 - remote unreachable: cannot connect to webdav://"))
        << errors;
    EXPECT_NE(readFile(home / "Backup.log").find("### Off-site copy failed - webdav://"),
              std::string::npos);
}

TEST_F(OffsiteRuns, ConnectionCheckTellsWorkingBrokenAndMissingRemotesApart) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const std::string set = home / "Backup Sets/Daily.cvt";
    EXPECT_EQ(checkOffsite(home.path(), set, out, err), 0);
    EXPECT_EQ(checkOffsite(home.path(), home / "Backup Sets/Weekly.cvt", out, err), 3);
    server.stop();
    EXPECT_EQ(checkOffsite(home.path(), set, out, err), 5);
    std::fclose(out);
    std::fclose(err);
    EXPECT_TRUE(server.namesIn("backups/").empty());  // the probe was deleted again
}

}  // namespace
}  // namespace corvane::test
