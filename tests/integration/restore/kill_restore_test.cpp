// cvrest killed at random moments while it replaces files: every file under its own name is
// either the old one or the restored one, whole, never a mix or a part. Ctrl+C instead cancels
// cleanly: exit status 2 and no temporary file left.
#include "archive_support.h"
#include "restore/restore_cli.h"
#include "restore_support.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

extern char** environ;

namespace corvane::restore {
namespace {

namespace fs = std::filesystem;
using archive::test::writeFile;
using corvane::test::readFile;

constexpr int kFiles = 120;

std::string nameOf(int file) {
    char name[16];
    std::snprintf(name, sizeof name, "f%03d", file);
    return name;
}

// Starts cvrest with its input closed; the pid.
pid_t start(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(failed, 0);
    return pid;
}

// Sends `signal` once the restore has begun writing in `folder` and `renames` files have been
// put in place there, or lets the program end first; its exit status, or -1 when it was
// killed.
int signalAfter(pid_t pid, const std::string& folder, int renames, int signal) {
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ::inotify_add_watch(watch, folder.c_str(), IN_MOVED_TO | IN_CREATE);
    const int process = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    int seen = 0;
    bool writing = false;
    bool sent = false;
    while (!sent) {
        if (writing && seen >= renames) {
            ::kill(pid, signal);
            sent = true;
            break;
        }
        pollfd waits[2] = {{watch, POLLIN, 0}, {process, POLLIN, 0}};
        // The limit only keeps a broken program from hanging the suite.
        if (::poll(waits, 2, 60'000) <= 0) {
            ADD_FAILURE() << "neither a rename nor the end of cvrest within a minute";
            ::kill(pid, SIGKILL);
            break;
        }
        if (waits[0].revents & POLLIN) {
            alignas(inotify_event) char buffer[4096];
            for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
                for (ssize_t at = 0; at < got;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    writing = true;
                    if ((event->mask & IN_MOVED_TO) != 0) ++seen;
                    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                }
            }
        } else if (waits[1].revents & POLLIN) {
            break;  // it ended on its own
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ::close(watch);
    if (process >= 0) ::close(process);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class KilledRestore : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/data/";
        corvane::test::makeFolder(source);
        for (int file = 0; file < kFiles; ++file) {
            const auto seed = static_cast<unsigned>(file);
            const std::string content =
                file % 3 == 0 ? archive::test::randomData(200000, seed)
                              : archive::test::textData(150000 + std::size_t{seed} * 997, seed);
            writeFile(source + nameOf(file), content);
            fresh.push_back(content);
        }
        archive::test::ZipUnderTest zip;
        zip.settings.archivePath = folder / "backup.bac";
        zip.settings.includes = {folder / "src/*"};
        ASSERT_EQ(zip.compress(), 0);
        archivePath = zip.settings.archivePath;
        strip = std::to_string(std::count(source.begin(), source.end(), '/') - 2);
    }

    void fillDestination() {
        fs::remove_all(folder / "dest");
        corvane::test::makeFolder(folder / "dest/data");
        for (int file = 0; file < kFiles; ++file)
            writeFile(folder / ("dest/data/" + nameOf(file)), "old " + nameOf(file));
    }

    // Every file is whole: the old one or the new one. Returns how many were replaced.
    int checkDestination(bool temporariesAllowed) {
        int replaced = 0;
        for (const auto& path : test::allPaths(folder / "dest/data")) {
            if (path.rfind(".cvrest-", 0) == 0) {
                EXPECT_TRUE(temporariesAllowed) << path;
                continue;
            }
            EXPECT_EQ(path.size(), 4u) << path;
        }
        for (int file = 0; file < kFiles; ++file) {
            const std::string content = readFile(folder / ("dest/data/" + nameOf(file)));
            const bool isNew = content == fresh[static_cast<std::size_t>(file)];
            EXPECT_TRUE(isNew || content == "old " + nameOf(file)) << nameOf(file);
            replaced += isNew ? 1 : 0;
        }
        return replaced;
    }

    std::vector<std::string> command() const {
        return {corvane::test::builtProgram("bin/cvrest"),
                "extract",
                archivePath,
                "-d",
                folder / "dest",
                "--overwrite",
                "always",
                "--strip",
                strip};
    }

    corvane::test::TempFolder folder;
    std::string source;
    std::string archivePath;
    std::string strip;
    std::vector<std::string> fresh;
};

TEST_F(KilledRestore, AKillLeavesEveryFileWholeUnderItsName) {
    std::mt19937 random(std::random_device{}());
    std::vector<int> moments = {0, 1, kFiles - 1};
    for (int extra = 0; extra < 5; ++extra)
        moments.push_back(static_cast<int>(random() % kFiles));
    for (const int renames : moments) {
        SCOPED_TRACE("killed after " + std::to_string(renames) + " files");
        fillDestination();
        const int status = signalAfter(start(command()), folder / "dest/data", renames, SIGKILL);
        const int replaced = checkDestination(true);
        if (status == -1) {
            EXPECT_GE(replaced, renames);
        }
    }
    // The same restore run to its end replaces them all.
    fillDestination();
    EXPECT_EQ(signalAfter(start(command()), folder / "dest/data", kFiles + 1, SIGKILL), 0);
    EXPECT_EQ(checkDestination(false), kFiles);
}

TEST_F(KilledRestore, InterruptCancelsAndCleansUp) {
    for (const int renames : {0, 10, 60}) {
        SCOPED_TRACE(renames);
        fillDestination();
        const int status = signalAfter(start(command()), folder / "dest/data", renames, SIGINT);
        EXPECT_TRUE(status == kExitCancelled || status == 0) << status;
        checkDestination(false);
    }
}

}  // namespace
}  // namespace corvane::restore
