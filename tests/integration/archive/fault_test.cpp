// Real faults: a full file system, disks filled to their free space, a file the user may not
// read, and the process killed in the middle of a freshen. The previous archive must survive.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

extern char** environ;

namespace corvane::archive {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A small tmpfs, mounted while it lives (root only).
class SmallDisk {
public:
    SmallDisk(const std::string& path, const char* size) : m_path(path) {
        corvane::test::makeFolder(path);
        const std::string options = std::string("size=") + size;
        m_mounted =
            ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }

private:
    std::string m_path;
    bool m_mounted = false;
};

// Takes the permission-bypassing capabilities away from this thread (and the threads it
// starts), so that even root meets "permission denied".
class WithoutFileCapabilities {
public:
    WithoutFileCapabilities() {
        ::syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &m_header, lowered);
    }
    ~WithoutFileCapabilities() { ::syscall(SYS_capset, &m_header, m_saved); }
    WithoutFileCapabilities(const WithoutFileCapabilities&) = delete;
    WithoutFileCapabilities& operator=(const WithoutFileCapabilities&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/";
        corvane::test::makeFolder(source);
        zip.setObserver(&observer);
    }

    corvane::test::TempFolder folder;
    std::string source;
    test::ZipUnderTest zip;
    test::RecordingObserver observer;
};

TEST_F(Faults, FullFileSystemFailsTheRunAndKeepsThePreviousArchive) {
    SmallDisk disk(folder / "disk", "2m");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
    writeFile(source + "small.txt", test::textData(50000, 1));
    zip.settings.archivePath = folder / "disk/backup.bac";
    zip.settings.includes.push_back(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    const std::string previous = readFile(zip.settings.archivePath);
    writeFile(source + "large.bin", test::randomData(5'000'000, 2));
    EXPECT_EQ(zip.compress(), kWriteFailed);
    EXPECT_TRUE(readFile(zip.settings.archivePath) == previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "disk"), fs::directory_iterator()), 1);
    EXPECT_EQ(zip.test(), kDone);
}

TEST_F(Faults, SpanningFillsEachDiskToItsFreeSpace) {
    SmallDisk disk(folder / "drive", "1m");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
    corvane::test::makeFolder(folder / "removed");
    writeFile(source + "a.bin", test::randomData(2'300'000, 3));
    writeFile(source + "b.txt", test::textData(900'000, 4));
    zip.settings.archivePath = folder / "drive/backup.zip";
    zip.settings.includes.push_back(source + "*");
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 0;
    observer.insertDisk = [&](int) {
        for (const auto& entry : fs::directory_iterator(folder / "drive")) {
            fs::copy_file(entry.path(), folder / ("removed/" + entry.path().filename().string()));
            fs::remove(entry.path());
        }
        return true;
    };
    ASSERT_EQ(zip.compress(), kDone);
    ASSERT_GE(observer.count("insert-disk"), 2u);
    for (const auto& entry : fs::directory_iterator(folder / "removed")) {
        EXPECT_LE(fs::file_size(entry.path()), std::uintmax_t{1} << 20);
        EXPECT_GT(fs::file_size(entry.path()), std::uintmax_t{800} << 10);  // not split early
    }
    // The last disk joins the others to read them back.
    for (const auto& entry : fs::directory_iterator(folder / "drive"))
        fs::copy_file(entry.path(), folder / ("removed/" + entry.path().filename().string()));
    zip.settings.archivePath = folder / "removed/backup.zip";
    EXPECT_EQ(zip.test(), kDone);
    const auto entries = test::extractAll(zip.settings.archivePath);
    EXPECT_EQ(entries.at(storedNameFor(source + "a.bin")).content, readFile(source + "a.bin"));
}

TEST_F(Faults, AFileThatCannotBeReadIsSkippedAndTheArchiveIsValid) {
    writeFile(source + "open.txt", "anyone may read this");
    writeFile(source + "secret.txt", "nobody may read this");
    ASSERT_EQ(::chmod((source + "secret.txt").c_str(), 0), 0);
    zip.settings.archivePath = folder / "backup.bac";
    zip.settings.includes.push_back(source + "*");
    int result = 0;
    {
        WithoutFileCapabilities guard;
        result = zip.compress();
    }
    EXPECT_EQ(result, kDoneWithWarnings);
    EXPECT_EQ(observer.names("skipped"), std::vector<std::string>{source + "secret.txt"});
    EXPECT_GE(observer.values("skipped").at(0), kSkipCannotOpen);
    EXPECT_EQ(zip.test(), kDone);
    EXPECT_EQ(test::extractAll(zip.settings.archivePath).size(), 2u);  // open.txt and its folder
}

// The component in its own process, killed at random moments of a freshen.
TEST_F(Faults, KillingAFreshenAtAnyMomentKeepsTheOldArchive) {
    for (unsigned at = 0; at < 24; ++at) {
        writeFile(source + "t" + std::to_string(at) + ".txt", test::textData(300000, at));
    }
    writeFile(source + "r.bin", test::randomData(3'000'000, 99));
    const std::string archive = folder / "backup.bac";
    zip.settings.archivePath = archive;
    zip.settings.includes.push_back(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    const std::string old = readFile(archive);
    for (const auto& entry : fs::directory_iterator(source)) {
        test::setModificationTime(entry.path(), 4000000000);  // everything is newer now
    }
    const std::string tool = ZIP_TOOL;
    std::vector<std::string> arguments = {tool, "compress", archive, "-f", source + "*"};
    auto start = [&] {
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ), 0);
        return pid;
    };
    // How long an undisturbed freshen takes, to spread the kills over it.
    const auto began = std::chrono::steady_clock::now();
    int status = 0;
    ::waitpid(start(), &status, 0);
    const auto full = std::chrono::steady_clock::now() - began;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string fresh = readFile(archive);
    ASSERT_FALSE(fresh == old);

    std::mt19937 random(12345);
    int killed = 0;
    for (int trial = 0; trial < 20; ++trial) {
        writeFile(archive, old);
        const pid_t pid = start();
        const auto delay =
            std::chrono::duration_cast<std::chrono::microseconds>(full) * (random() % 1000) / 1000;
        std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        const std::string after = readFile(archive);
        if (WIFSIGNALED(status)) ++killed;
        // Killed before the new archive was in place: the old one, untouched. Otherwise the
        // complete new one.
        const bool isOld = after == old;
        EXPECT_TRUE(isOld || (after.size() == fresh.size() && zip.test() == kDone))
            << "trial " << trial;
    }
    EXPECT_GE(killed, 10);
    // The next run clears what the killed runs left behind.
    writeFile(archive, old);
    status = 0;
    ::waitpid(start(), &status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()),
              2);  // src and the archive
}

}  // namespace
}  // namespace corvane::archive
