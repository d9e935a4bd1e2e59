// The corvane program run as a user's desktop or the Timed Backups Manager would run it, with
// its archives judged by 7-Zip, not by Corvane's own reader.
#include "common/record_file.h"
#include "common/text.h"
#include "config/config_store.h"
#include "config/password.h"
#include "schedule/task_record.h"
#include "schedule/timed_record.h"
#include "set_text.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace corvane::test {
namespace {

struct Listing {
    std::set<std::string> files;
    std::set<std::string> folders;
};

class CorvaneRuns : public ::testing::Test {
protected:
    void SetUp() override {
        requireTool("7zz");
        src = home / "src/";
        // A tree with nested folders, a single file, a wildcard folder and things to exclude.
        for (const auto* file :
             {"data/a.txt", "data/b.tmp", "data/sub/c.txt", "data/sub/deep/d.bin",
              "data/cache/junk.txt", "single/keep.txt", "single/other.txt", "docs/r1.txt",
              "docs/r2.txt", "docs/img.png", "docs/nested/r3.txt"}) {
            const std::string path = src + file;
            makeFolder(path.substr(0, path.rfind('/')));
            writeFile(path, std::string("content of ") + file + "\n" + std::string(2000, 'x'));
        }
        makeFolder(src + "data/empty");
        makeFolder(home / "out");
        makeFolder(home / "Backup Sets");
        ConfigStore config(home.path());
        config.loadAtStart();
        config.record().logFile = 1;
        config.record().testMode = 1;
        configure(config.record());
        ASSERT_TRUE(config.save());
        setPath = home / "Backup Sets/Daily.cvt";
        writeSet("$DATE$.bac");
    }

    virtual void configure(ConfigRecord&) {}

    void writeSet(const std::string& destinationName, int freshen = 0, int addNew = 0) {
        const std::vector<std::string> entries = {src + "data/",
                                                  src + "data/sub/",
                                                  src + "data/sub/deep/",
                                                  src + "data/cache/",
                                                  src + "data/empty/",
                                                  src + "single/keep.txt",
                                                  "** - " + src + "docs/*.txt",
                                                  "- *.tmp",
                                                  "- " + src + "data/cache/*"};
        writeFile(setPath,
                  setFileText(entries, home / ("out/" + destinationName), 6, freshen, addNew));
    }

    ProcessResult corvane(const std::string& commandLine) {
        return runProcess(
            {builtProgram("bin/corvane"), commandLine},
            {{"CORVANE_HOME", home.path()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    }

    // The archive's entries as 7-Zip lists them.
    Listing list(const std::string& archive, const std::string& password = "") {
        std::vector<std::string> argv = {"7zz", "l", "-ba", "-slt", archive};
        if (!password.empty()) argv.push_back("-p" + password);
        const ProcessResult listed = runProcess(argv);
        EXPECT_EQ(listed.exitCode, 0) << listed.out << listed.err;
        Listing listing;
        std::istringstream lines(listed.out);
        std::string line, path;
        while (std::getline(lines, line)) {
            if (startsWith(line, "Path = ")) path = line.substr(7);
            if (line == "Folder = +") listing.folders.insert(path);
            if (line == "Folder = -") listing.files.insert(path);
        }
        return listing;
    }

    ProcessResult sevenZipTest(const std::string& archive, const std::string& password = "") {
        std::vector<std::string> argv = {"7zz", "t", archive};
        argv.push_back("-p" + password);  // an empty password fails encrypted entries at once
        return runProcess(argv);
    }

    // Paths are stored relative to the root, without the leading "/".
    std::string stored(const std::string& relative) const { return (src + relative).substr(1); }

    std::set<std::string> expectedFiles() const {
        std::set<std::string> files;
        for (const auto* file : {"data/a.txt", "data/sub/c.txt", "data/sub/deep/d.bin",
                                 "single/keep.txt", "docs/r1.txt", "docs/r2.txt"}) {
            files.insert(stored(file));
        }
        return files;
    }

    std::string datedArchive() const {
        // The run names the archive by today's date.
        const LocalDateTime now = toLocal(std::chrono::system_clock::now());
        char name[64];
        std::snprintf(name, sizeof name, "%02d-%02d-%04d - Daily.bac", now.month, now.day,
                      now.year);
        return home / ("out/" + std::string(name));
    }

    std::vector<std::string> logLines(const std::string& name) const {
        std::vector<std::string> lines;
        if (!fileExists(home / name)) return lines;
        std::istringstream in(readFile(home / name));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    void writeTimedList() {
        const TimedRecord entry{setPath, "Every Day", "04:00:00", "2026-12-06", "N/A"};
        const TimedRecord other{home / "Backup Sets/Other.cvt", "Every Hour", "05:00:00",
                                "2026-12-06", "N/A"};
        ASSERT_TRUE(RecordFile(home / "Timed.dat", TimedRecord::kSize)
                        .rewriteAll({other.encode(), entry.encode()}));
        const TaskRecord task{toUpper(setPath), "N/A"};
        ASSERT_TRUE(RecordFile(home / "Tasks.dat", TaskRecord::kSize).rewriteAll({task.encode()}));
    }

    TimedRecord timedEntry(std::size_t number) const {
        return TimedRecord::decode(
            *RecordFile(home / "Timed.dat", TimedRecord::kSize).read(number));
    }

    TempFolder home;
    std::string src;
    std::string setPath;
};

TEST_F(CorvaneRuns, CommandLineRunBacksUpExactlyTheSet) {
    writeTimedList();
    const ProcessResult run = corvane(setPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string archive = datedArchive();
    ASSERT_TRUE(fileExists(archive)) << run.out << run.err;
    const Listing listing = list(archive);
    EXPECT_EQ(listing.files, expectedFiles());
    EXPECT_TRUE(listing.folders.contains(stored("data/empty"))) << "the empty folder is kept";
    const ProcessResult tested = sevenZipTest(archive);
    EXPECT_EQ(tested.exitCode, 0) << tested.out;

    const auto log = logLines("Backup.log");
    ASSERT_GE(log.size(), 4u);
    EXPECT_TRUE(startsWith(log[0], "### Backup Started - " + setPath + " - "));
    EXPECT_EQ(log[1], "### Backup Destination & Name:  " + archive + " ###");
    EXPECT_NE(std::find(log.begin(), log.end(), "-  Adding " + src + "data/a.txt"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "### Test Operation successful ###"), log.end());
    EXPECT_TRUE(startsWith(log.back(), "### Backup Operation Complete - "));
    EXPECT_FALSE(fileExists(home / "error.log"));

    // Records: the task stamped (its path matched ignoring case), the set added to favourites,
    // Timed.dat untouched by a command-line run.
    const TaskRecord task =
        TaskRecord::decode(*RecordFile(home / "Tasks.dat", TaskRecord::kSize).read(1));
    EXPECT_NE(task.lastPerformed, "N/A");
    EXPECT_EQ(readFile(home / "Favorite.dat"), fixedField(setPath, 150));
    EXPECT_EQ(timedEntry(2).lastResult, "N/A");
}

TEST_F(CorvaneRuns, TimedRunRecordsSuccess) {
    writeTimedList();
    const ProcessResult run = corvane("~~Timed" + setPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(timedEntry(2).lastResult, "Success");
    EXPECT_EQ(timedEntry(2).runTime, "04:00:00");
    EXPECT_EQ(timedEntry(1).lastResult, "N/A");
    EXPECT_EQ(list(datedArchive()).files, expectedFiles());
}

class CorvaneEncryptedRuns : public CorvaneRuns {
    void configure(ConfigRecord& record) override {
        record.password = 1;
        record.passwordText = storedPasswordText("Tr0ub4dor&3");
    }
};

TEST_F(CorvaneEncryptedRuns, PasswordProtectsTheArchive) {
    const ProcessResult run = corvane(setPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(list(datedArchive(), "Tr0ub4dor&3").files, expectedFiles());
    EXPECT_EQ(sevenZipTest(datedArchive(), "Tr0ub4dor&3").exitCode, 0);
    EXPECT_NE(sevenZipTest(datedArchive(), "wrong").exitCode, 0);
}

TEST_F(CorvaneRuns, SecondRunFreshensTheArchive) {
    writeSet("Daily.bac", /*freshen=*/1, /*addNew=*/0);
    ASSERT_EQ(corvane(setPath).exitCode, 0);
    const std::string archive = home / "out/Daily.bac";
    // A newer a.txt and a new file: freshen replaces the first and leaves the second out.
    writeFile(src + "data/a.txt", "changed content");
    struct timeval times[2];
    ::gettimeofday(&times[0], nullptr);
    times[0].tv_sec += 10;
    times[1] = times[0];
    ::utimes((src + "data/a.txt").c_str(), times);
    writeFile(src + "data/new.txt", "new");
    const ProcessResult run = corvane(setPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(list(archive).files, expectedFiles());
    const ProcessResult content = runProcess({"7zz", "e", "-so", archive, stored("data/a.txt")});
    EXPECT_EQ(content.out, "changed content");
    EXPECT_EQ(sevenZipTest(archive).exitCode, 0);
}

TEST_F(CorvaneRuns, FailedRunKeepsThePreviousArchive) {
    writeTimedList();
    writeSet("Daily.bac");
    ASSERT_EQ(corvane("~~Timed" + setPath).exitCode, 0);
    const std::string archive = home / "out/Daily.bac";
    const std::string before = readFile(archive);
    writeFile(src + "data/a.txt", "a change that cannot be saved");
    ProcessResult run;
    {
        const UnwritableFolder locked(home / "out");
        ASSERT_TRUE(locked.effective());
        run = corvane("~~Timed" + setPath);
    }
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_EQ(readFile(archive), before);
    EXPECT_EQ(timedEntry(2).lastResult, "Failed");
    const auto errors = logLines("error.log");
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], "Timed Backup - Error performing Backup.");
    EXPECT_TRUE(startsWith(errors[1], "Error #    : 5"));
    EXPECT_EQ(errors[2], "Backup Name: " + setPath);
    EXPECT_TRUE(startsWith(errors[3], "Backup Time: "));
    const auto log = logLines("Backup.log");
    EXPECT_NE(std::find(log.begin(), log.end(), "### Error encountered - See Error.log ###"),
              log.end());
}

TEST_F(CorvaneRuns, LogsThatCannotBeWrittenAreReportedOnTheErrorStream) {
    ProcessResult run;
    {
        const UnwritableFolder locked(home.path());
        ASSERT_TRUE(locked.effective());
        run = corvane(setPath);
    }
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(fileExists(datedArchive()));
    EXPECT_FALSE(fileExists(home / "Backup.log"));
    EXPECT_NE(run.err.find("corvane: cannot write " + home.path() + "Backup.log: "),
              std::string::npos)
        << run.err;
}

TEST_F(CorvaneRuns, UnopenableSetAndUsage) {
    const ProcessResult missing = corvane(home / "Backup Sets/Missing.cvt");
    EXPECT_EQ(missing.exitCode, 3);
    const auto errors = logLines("error.log");
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], "Command Line Backup - Error Opening");
    EXPECT_EQ(errors[1], "Error #    : 53 - File not found");
    EXPECT_NE(missing.err.find("Backup Error"), std::string::npos);
}

}  // namespace
}  // namespace corvane::test
