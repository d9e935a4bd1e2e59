// Platform services: the program folder, file probes and listings, mounts and drive types,
// and starting programs.
#include "platform/drive_info.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace corvane::test {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ProgramFolder, HomeVariableThenXdgDataThenTheDefault) {
    {
        const ScopedVariable home("CORVANE_HOME", "/srv/corvane");
        EXPECT_EQ(locateProgramFolder(), "/srv/corvane/");
    }
    const ScopedVariable noHome("CORVANE_HOME", nullptr);
    {
        const ScopedVariable data("XDG_DATA_HOME", "/data/me");
        EXPECT_EQ(locateProgramFolder(), "/data/me/corvane/");
    }
    const ScopedVariable relative("XDG_DATA_HOME", "relative/ignored");
    const ScopedVariable user("HOME", "/home/ann");
    EXPECT_EQ(locateProgramFolder(), "/home/ann/.local/share/corvane/");
    EXPECT_EQ(withTrailingSeparator("/a/"), "/a/");
}

TEST(FileSystem, ProbesTellTheTwoNotFoundCasesApart) {
    TempFolder home;
    writeFile(home / "file", "x");
    makeFolder(home / "folder/inner");
    ASSERT_EQ(::symlink((home / "folder").c_str(), (home / "link").c_str()), 0);
    const RealFileSystem fs;
    EXPECT_EQ(*fs.probe(home / "file"), PathKind::File);
    EXPECT_EQ(*fs.probe(home / "folder/"), PathKind::Folder);
    EXPECT_EQ(*fs.probe(home / "link"), PathKind::Link);
    EXPECT_EQ(*fs.probe(home / "link/"), PathKind::Folder);
    EXPECT_EQ(fs.probe(home / "missing").error().code, errc::kFileNotFound);
    EXPECT_EQ(fs.probe(home / "missing/deeper").error().code, errc::kPathNotFound);
    EXPECT_EQ(fs.probe(home / "file/").error().code, errc::kPathNotFound);

    writeFile(home / "folder/b.txt", "");
    writeFile(home / "folder/A.txt", "");
    const auto listing = fs.list(home / "folder/");
    ASSERT_TRUE(listing);
    ASSERT_EQ(listing->size(), 3u);
    EXPECT_EQ((*listing)[0].name, "A.txt");
    EXPECT_EQ((*listing)[1].name, "b.txt");
    EXPECT_TRUE((*listing)[2].isFolder);
    EXPECT_FALSE(fs.list(home / "missing/"));
}

TEST(Drives, MountsAndTheirTypes) {
    const auto root = mountOf("/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->mountPoint, "/");
    // A path that does not exist yet still lies on a mount.
    EXPECT_TRUE(mountOf("/surely/not/there/archive.bac"));
    EXPECT_NE(driveTypeOf("/tmp/x.bac"), DriveType::NoRoot);
    EXPECT_GT(freeBytesOf("/").value_or(0), 0u);
    EXPECT_GE(totalBytesOf("/").value_or(0), freeBytesOf("/").value_or(0));
    EXPECT_FALSE(freeBytesOf("/surely/not/there"));

    const std::pair<MountInfo, DriveType> cases[] = {
        {{"/mnt/share/", "nfs4", "server:/share"}, DriveType::Remote},
        {{"/mnt/smb/", "cifs", "//server/share"}, DriveType::Remote},
        {{"/home/ann/remote/", "fuse.sshfs", "ann@host:"}, DriveType::Remote},
        {{"/media/cdrom/", "iso9660", "/dev/sr0"}, DriveType::Optical},
        {{"/tmp/", "tmpfs", "tmpfs"}, DriveType::Fixed},
    };
    for (const auto& [mount, type] : cases) {
        EXPECT_EQ(classifyMount(mount, "/sys"), type) << mount.fileSystem;
    }
}

TEST(Process, StartsDetachedAndReportsAMissingProgram) {
    TempFolder home;
    // The child writes into a pipe: reading it waits for the child itself, not for a guess at how long it takes.
    const std::string mark = home / "mark";
    ASSERT_EQ(::mkfifo(mark.c_str(), 0600), 0);
    const auto started = startDetached("/bin/sh", {"-c", "echo started > " + mark});
    ASSERT_TRUE(started);
    EXPECT_GT(*started, 0);
    EXPECT_EQ(readFile(mark), "started\n");

    const auto missing = startDetached(home / "no-such-program", {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, errc::kFileNotFound);
    EXPECT_TRUE(processExists(static_cast<int>(::getpid())));
    EXPECT_FALSE(processExists(0));
}

TEST(Process, SiblingProgramsBesideTheExecutableThenOnThePath) {
    TempFolder tools;
    writeFile(tools / "cv-sibling", "#!/bin/sh\n");
    ::chmod((tools / "cv-sibling").c_str(), 0755);
    writeFile(tools / "cv-not-executable", "");
    const std::string path = "relative:" + tools.path() + ":/usr/bin";
    const ScopedVariable onPath("PATH", path.c_str());
    EXPECT_EQ(siblingProgram("cv-sibling"), tools / "cv-sibling");
    // The test program itself sits beside the executable and wins over any other copy.
    EXPECT_EQ(siblingProgram("platform_tests"), executableFolder() + "platform_tests");
    // Nothing found: the place beside the executable is named.
    EXPECT_EQ(siblingProgram("cv-not-executable"), executableFolder() + "cv-not-executable");
}

}  // namespace
}  // namespace corvane::test
