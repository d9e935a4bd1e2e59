// Registry backup: the file table and its existence tests, the copies into the backup folder,
// Rescue.bat, and the rescue-disk questions, over a fake Windows folder.
#include <sys/stat.h>

#include <algorithm>

#include "box_check.h"
#include "registry/registry_window.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

// A rescue disk that always formats; the disk is a folder.
struct FakeRescueDisk final : RescueDiskServices {
    explicit FakeRescueDisk(std::string path) : folder(std::move(path)) {}
    bool formatBootable() override { return true; }
    std::string diskFolder() const override { return folder; }
    bool startupDiskPageAvailable() const override { return true; }
    void openStartupDiskPage() override { ++startupPageCalls; }

    std::string folder;
    int startupPageCalls = 0;
};

const std::vector<std::string> kWindowsFiles = {"System.dat", "User.dat",    "Win.ini",
                                                "System.ini", "Control.ini", "Command/Attrib.exe"};
const std::vector<std::string> kDriveFiles = {"Autoexec.bat", "Msdos.sys", "Command.com"};

class RegistryBackup : public SetFixture {
protected:
    RegistryBackup() { makeFolder(windows() + "/Command"); }

    void TearDown() override {
        SetFixture::TearDown();
        EXPECT_EQ(host.busyDepth(), 0);
    }

    std::string drive() const { return home / "C"; }
    std::string windows() const { return home / "C/WINDOWS"; }
    std::string backupFolder() const { return home / "C/CVBack"; }

    // Each file holds its own name, so a copy shows where it came from.
    void writeSystemFiles(const std::vector<std::string>& windowsNames,
                          const std::vector<std::string>& driveNames) {
        for (const auto& name : windowsNames) writeFile(windows() + "/" + name, name);
        for (const auto& name : driveNames) writeFile(drive() + "/" + name, name);
    }

    std::string expectedScript() const {
        std::string script = readFile(testDataFolder() + "registry/Rescue.bat");
        for (auto at = script.find("/mnt/win"); at != std::string::npos;
             at = script.find("/mnt/win", at)) {
            script.replace(at, 8, drive());
            at += drive().size();
        }
        return script;
    }

    UnavailableRescueDisk noDisk;
};

TEST_F(RegistryBackup, AllNineFilesAreCopiedAndTheScriptWritten) {
    writeSystemFiles(kWindowsFiles, kDriveFiles);
    RegistryWindow window(windows() + "/", host, noDisk);  // a trailing separator is dropped
    ASSERT_EQ(window.rows().size(), 9u);
    EXPECT_EQ(window.rows()[5].path, windows() + "/Command/Attrib.exe");
    EXPECT_EQ(window.rows()[8].path, drive() + "/Command.com");
    EXPECT_EQ(window.rows()[0].size, "10");  // "System.dat"
    EXPECT_EQ(window.selectedRow(), 0u);
    EXPECT_TRUE(window.backupEnabled());
    EXPECT_FALSE(window.startupDiskEnabled());

    // The format step is not available here, so it takes the cancel path.
    host.expectMessage("Rescue Disk Creation", Answer::Ok);
    host.expectMessage("Cancelled", Answer::Ok);
    window.backup();

    // Each copy sits in B under its own name and holds its original's content.
    for (const auto* names : {&kWindowsFiles, &kDriveFiles}) {
        for (const std::string& path : *names) {
            EXPECT_EQ(readFile(backupFolder() + "/" + path.substr(path.rfind('/') + 1)), path);
        }
    }
    const std::string script = readFile(backupFolder() + "/Rescue.bat");
    EXPECT_EQ(script, expectedScript());
    EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 38);
    EXPECT_EQ(host.progress().files(), "8 of 8");
    EXPECT_EQ(host.progress().bytes(), "N/A");
    EXPECT_EQ(host.progress().overallPercent(), 100);
    EXPECT_TRUE(!host.progress().isOpen() && window.isVisible());

    expectBox(host.messages()[0], Icon::Information, Buttons::OkCancel,
              "A Rescue Disk now needs to be created.  This disk will allow you to get into your "
              "system and restore the System Registry without starting Windows.\r\n\r\nPlease "
              "label a floppy disk 'Corvane Rescue Disk' and insert the disk into drive A:\\.  "
              "When the Windows format disk dialog comes up, simply click the 'Start' button to "
              "initiate the Rescue Disk creation.  Your disk should be EMPTY.\r\n\r\nWhen Windows "
              "has completed formatting the disk, DO NOT remove it from you drive, as Corvane "
              "needs to add files to it before it is complete.");
    expectBox(host.messages()[1], Icon::Information, Buttons::Ok,
              "Rescue Disk creation has been cancelled.");
}

TEST_F(RegistryBackup, TwoFilesFoundStillWriteTheWholeScript) {
    writeSystemFiles({"Win.ini", "System.ini"}, {});
    RegistryWindow window(windows(), host, noDisk);
    ASSERT_EQ(window.rows().size(), 2u);
    EXPECT_EQ(window.rows()[0].path, windows() + "/Win.ini");

    // Cancelling the first question leaves B and Rescue.bat in place.
    host.expectMessage("Rescue Disk Creation", Answer::Cancel);
    host.expectMessage("Cancelled", Answer::Ok);
    window.backup();
    EXPECT_EQ(host.progress().files(), "3 of 8");
    EXPECT_FALSE(fileExists(backupFolder() + "/System.dat"));
    EXPECT_EQ(readFile(backupFolder() + "/Rescue.bat"), expectedScript());
}

// Read-only counts as an attribute only for the normal-only test (Win.ini is left out), and a
// repeated backup replaces read-only copies, which keep the original's mode and time.
TEST_F(RegistryBackup, ReadOnlyFilesAreListedByTheirTestAndCopiesReplaced) {
    writeSystemFiles({"System.dat", "Win.ini", "System.ini"}, {"Autoexec.bat"});
    const std::string source = windows() + "/System.dat";
    ASSERT_EQ(::chmod(source.c_str(), 0444), 0);
    ASSERT_EQ(::chmod((windows() + "/Win.ini").c_str(), 0444), 0);
    makeFolder(drive() + "/Msdos.sys");  // a folder is never a system file
    RegistryWindow window(windows(), host, noDisk);
    std::vector<std::string> listed;
    for (const auto& row : window.rows()) listed.push_back(row.path);
    EXPECT_EQ(listed, (std::vector<std::string>{source, windows() + "/System.ini",
                                                drive() + "/Autoexec.bat"}));
    for (const std::string content : {"System.dat", "registry, second state"}) {
        if (content != "System.dat") {
            ASSERT_EQ(::chmod(source.c_str(), 0644), 0);
            writeFile(source, content);
            ASSERT_EQ(::chmod(source.c_str(), 0444), 0);
        }
        host.expectMessage("Rescue Disk Creation", Answer::Cancel);
        host.expectMessage("Cancelled", Answer::Ok);
        window.backup();
        EXPECT_EQ(readFile(backupFolder() + "/System.dat"), content);
        struct stat copied {};
        struct stat original {};
        ASSERT_EQ(::stat((backupFolder() + "/System.dat").c_str(), &copied), 0);
        ASSERT_EQ(::stat(source.c_str(), &original), 0);
        EXPECT_EQ(copied.st_mode & 0777, 0444u);
        EXPECT_EQ(copied.st_mtim.tv_sec, original.st_mtim.tv_sec);
    }
}

TEST_F(RegistryBackup, AFormattedDiskGetsItsAutoexecAndTheWindowCloses) {
    writeSystemFiles({"Win.ini"}, {});
    makeFolder(home / "floppy");
    FakeRescueDisk disk(home / "floppy/");
    RegistryWindow window(windows(), host, disk);
    EXPECT_TRUE(window.startupDiskEnabled());
    window.openStartupDisk();
    EXPECT_EQ(disk.startupPageCalls, 1);

    host.expectMessage("Rescue Disk Creation", Answer::Ok);
    host.expectMessage("Rescue Disk Created", Answer::Ok);
    window.backup();
    EXPECT_EQ(readFile(home / "floppy/Autoexec.bat"),
              "Call " + backupFolder() + "/Rescue.bat\r\n");
    expectBox(host.messages().back(), Icon::Information, Buttons::Ok,
              "Rescue Disk has been created.  You should ensure you read the help section on "
              "restoring your System Registry using the Rescue Disk and Registry backup files.");
    EXPECT_FALSE(window.isOpen());
}

TEST_F(RegistryBackup, FailuresShowTheErrorAndBringTheWindowBack) {
    writeSystemFiles({"Win.ini"}, {});
    // A disk that formats but cannot be written to.
    FakeRescueDisk disk(home / "no-such-floppy/");
    {
        RegistryWindow window(windows(), host, disk);
        host.expectMessage("Rescue Disk Creation", Answer::Ok);
        host.expectMessage("Error", Answer::Ok);
        window.backup();
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(fileExists(backupFolder() + "/Rescue.bat"));  // files already copied stay
    }
    // A backup folder that cannot be made stops before any question.
    const std::string blocked = home / "D/WINDOWS";
    makeFolder(blocked);
    writeFile(blocked + "/Win.ini", "x");
    writeFile(home / "D/CVBack", "a file where the folder belongs");
    RegistryWindow window(blocked, host, disk);
    host.expectMessage("Error", Answer::Ok);
    window.backup();
    EXPECT_FALSE(host.progress().isOpen());
    EXPECT_TRUE(window.isVisible());
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Error encountered.  Ensure there is a disk in drive A:\\ and it has already been "
              "formatted.");
}

TEST_F(RegistryBackup, WithoutAWindowsFolderNothingCanBeBackedUp) {
    for (const std::string& folder : {std::string(), home / "missing/WINDOWS"}) {
        ScriptedHost quiet;
        quiet.expectMessage("No Files Found", Answer::Ok);
        RegistryWindow window(folder, quiet, noDisk);
        EXPECT_FALSE(window.backupEnabled());
        EXPECT_FALSE(window.selectedRow().has_value());
        ASSERT_EQ(quiet.messages().size(), 1u);
        expectBox(quiet.messages()[0], Icon::Exclamation, Buttons::Ok,
                  "No default System Files found to backup.  Unable to perform a Registry Backup "
                  "on this machine.");
        window.backup();  // disabled: nothing happens
        EXPECT_EQ(quiet.transcript().size(), 1u);
    }
}

}  // namespace
}  // namespace corvane::test
