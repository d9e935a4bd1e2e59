// cvrest's command line with a scripted terminal: usage and the window's absence, listing,
// testing and extracting with their exit statuses, and the questions a terminal user answers.
#include "archive_support.h"
#include "config/config_store.h"
#include "restore/restore_cli.h"
#include "restore_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

namespace corvane::restore {
namespace {

namespace fs = std::filesystem;
using archive::test::writeFile;
using corvane::test::readFile;

class ScriptedConsole final : public Console {
public:
    void out(std::string_view text) override { output += text; }
    void err(std::string_view text) override { errors += text; }
    bool interactive() const override { return terminal; }
    std::optional<std::string> readLine() override {
        if (lines.empty()) return std::nullopt;
        auto line = lines.front();
        lines.pop_front();
        return line;
    }
    std::optional<std::string> readSecret(std::string_view prompt) override {
        errors += prompt;
        ++secrets;
        return readLine();
    }
    std::optional<std::string> readFile(const std::string& path) override {
        if (!fs::exists(path)) return std::nullopt;
        return corvane::test::readFile(path);
    }

    bool terminal = false;
    std::deque<std::string> lines;
    std::string output;
    std::string errors;
    int secrets = 0;
};

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        source = folder / "src/";
        corvane::test::makeFolder(source + "docs");
        writeFile(source + "docs/a.txt", archive::test::textData(20000, 1));
        writeFile(source + "docs/b.txt", "bee");
        writeFile(source + "evil\nname.txt", "escaped in listings");
        corvane::test::makeFolder(folder / "home");
        context.programFolder = folder / "home/";
        context.version = "6.0";
        archive = make("plain.bac", "");
        strip = std::to_string(std::count(source.begin(), source.end(), '/') - 1);
    }

    std::string make(const std::string& name, const std::string& password) {
        archive::test::ZipUnderTest zip;
        zip.settings.archivePath = folder / name;
        zip.settings.includes = {source + "*.txt"};  // the files, without folder entries
        zip.settings.password = password;
        EXPECT_EQ(zip.compress(), 0);
        return zip.settings.archivePath;
    }

    int run(std::vector<std::string> arguments) {
        console.output.clear();
        console.errors.clear();
        return runCommandLine(arguments, console, context);
    }

    corvane::test::TempFolder folder;
    std::string source;
    std::string archive;
    std::string strip;
    CommandContext context;
    ScriptedConsole console;
};

TEST_F(CommandLine, UsageVersionAndTheMissingWindow) {
    struct Case {
        std::vector<std::string> arguments;
        int code;
        const char* says;  // in standard output (code 0) or error
    };
    const Case cases[] = {
        {{}, kExitUsage, "restore window is not available"},
        {{"/media/usb/Daily.bac"}, kExitUsage, "restore window is not available"},
        {{"--help"}, kExitOk, "usage: cvrest list ARCHIVE"},
        {{"-h"}, kExitOk, "Exit status: 0 done"},
        {{"--version"}, kExitOk, "cvrest (Corvane) 6.0"},
        {{"list"}, kExitUsage, "list needs an archive"},
        {{"list", "a.bac", "b.bac"}, kExitUsage, "list takes one archive"},
        {{"unpack", "a.bac"}, kExitUsage, "unknown command unpack"},
        {{"--password", "x"}, kExitUsage, "unknown command --password"},
        {{"extract", "a.bac", "--overwrite", "sometimes"}, kExitUsage, "--overwrite takes"},
        {{"extract", "a.bac", "--strip", "x"}, kExitUsage, "--strip takes a number"},
        {{"extract", "a.bac", "-d"}, kExitUsage, "missing value: -d"},
        {{"test", "a.bac", "--flat"}, kExitUsage, "unknown option or missing value: --flat"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.says);
        EXPECT_EQ(run(test.arguments), test.code);
        const std::string& said = test.code == kExitOk ? console.output : console.errors;
        EXPECT_NE(said.find(test.says), std::string::npos) << said;
    }
    // A build with the window, run without a display, says what is missing.
    context.windowsBuilt = true;
    console.errors.clear();
    EXPECT_EQ(run({"Daily.bac"}), kExitUsage);
    EXPECT_NE(console.errors.find("no display was found"), std::string::npos) << console.errors;
    EXPECT_NE(console.errors.find("cvrest extract ARCHIVE"), std::string::npos);
}

TEST_F(CommandLine, ListAndTestSayWhatTheArchiveHolds) {
    EXPECT_EQ(run({"list", archive}), kExitOk);
    EXPECT_NE(console.output.find("20000  "), std::string::npos) << console.output;
    EXPECT_NE(console.output.find("docs/b.txt\n"), std::string::npos);
    EXPECT_NE(console.output.find("evil\\nname.txt\n"), std::string::npos);
    EXPECT_NE(console.output.find("3 entries, 20022 bytes"), std::string::npos);
    EXPECT_EQ(run({"list", folder / "none.bac"}), kExitFailed);
    EXPECT_NE(console.errors.find("none.bac: no such file"), std::string::npos);
    EXPECT_EQ(run({"list", folder.path()}), kExitFailed);
    EXPECT_NE(console.errors.find("cannot open the archive"), std::string::npos);

    EXPECT_EQ(run({"test", archive}), kExitOk);
    EXPECT_EQ(console.output, "All 3 entries are OK.\n");
    EXPECT_EQ(run({"test", archive, "-v", "*b.txt"}), kExitOk);
    EXPECT_EQ(console.output,
              "OK      " + source.substr(1) + "docs/b.txt\nAll 1 entries are OK.\n");
    EXPECT_EQ(run({"test", archive, "nothing*"}), kExitFailed);

    const std::string secret = make("secret.bac", "right");
    writeFile(folder / "right", "right\n");
    writeFile(folder / "wrong", "wrong\n");
    struct Case {
        std::vector<std::string> arguments;
        bool terminal;
        std::deque<std::string> typed;
        int code;
    };
    const Case cases[] = {
        {{"test", secret}, false, {}, kExitWrongPassword},
        {{"test", secret, "--password-file", folder / "right"}, false, {}, kExitOk},
        {{"test", secret, "--password-file", folder / "wrong"}, false, {}, kExitWrongPassword},
        {{"test", secret, "--password-file", folder / "none"}, false, {}, kExitFailed},
        {{"test", secret, "--password-file", "-"}, false, {"right"}, kExitOk},
        {{"test", secret}, true, {"wrong", "right"}, kExitOk},
        {{"test", secret}, true, {}, kExitWrongPassword},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.arguments.back() + (test.terminal ? " on a terminal" : ""));
        console.terminal = test.terminal;
        console.lines = test.typed;
        EXPECT_EQ(run(test.arguments), test.code) << console.errors;
        EXPECT_TRUE(console.lines.empty());
    }
    // Damage is a failure, and the damaged entry is named.
    std::string bytes = readFile(archive);
    bytes[bytes.find("a.txt") + 100] ^= 0x55;
    writeFile(archive, bytes);
    console.terminal = false;
    EXPECT_EQ(run({"test", archive}), kExitFailed);
    EXPECT_NE(console.output.find("FAILED  " + source.substr(1) + "docs/a.txt"), std::string::npos)
        << console.output;
}

TEST_F(CommandLine, ExtractStatusesPoliciesAndQuestions) {
    const std::string destination = folder / "out";
    EXPECT_EQ(run({"extract", archive, "-d", destination, "--strip", strip}), kExitOk);
    EXPECT_TRUE(readFile(destination + "/docs/a.txt") == readFile(source + "docs/a.txt"));
    EXPECT_NE(console.output.find("Restored 3 files and links under " + destination),
              std::string::npos);

    // The default policy comes from Backup.cfg: RestoreOverwrite off means ask, and without a
    // terminal nothing is asked: the files there are kept.
    writeFile(destination + "/docs/b.txt", "changed");
    ConfigStore config(context.programFolder);
    config.record().restoreOverwrite = 0;
    ASSERT_TRUE(config.save().ok());
    EXPECT_EQ(run({"extract", archive, "-d", destination, "--strip", strip}), kExitOk);
    EXPECT_EQ(readFile(destination + "/docs/b.txt"), "changed");
    EXPECT_NE(console.errors.find("already exist and are kept"), std::string::npos);

    // On a terminal each one is asked: yes, no, both, all, none, quit.
    writeFile(destination + "/docs/a.txt", "changed too");
    console.terminal = true;
    struct Case {
        std::deque<std::string> typed;
        int code;
        std::string a, b;
        bool beside;
    };
    const Case cases[] = {
        {{"n", "y"}, kExitOk, "changed too", "bee", false},
        {{"N"}, kExitOk, "changed too", "bee", false},
        {{"q"}, kExitCancelled, "changed too", "bee", false},
        {{"b", "n"}, kExitOk, "changed too", "bee", true},
        {{"A"}, kExitOk, readFile(source + "docs/a.txt"), "bee", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.typed.front());
        writeFile(destination + "/docs/b.txt", "bee");
        fs::remove(destination + "/docs/a (1).txt");
        console.lines = test.typed;
        EXPECT_EQ(run({"extract", archive, "-d", destination, "--strip", strip, "*/docs"}),
                  test.code);
        EXPECT_TRUE(readFile(destination + "/docs/a.txt") == test.a);
        EXPECT_EQ(fs::exists(destination + "/docs/a (1).txt"), test.beside);
        EXPECT_TRUE(console.lines.empty());
    }

    // Back to the original place: a terminal user confirms first.
    fs::remove(source + "docs/b.txt");
    console.lines = {"n"};
    EXPECT_EQ(run({"extract", archive, "*b.txt"}), kExitCancelled);
    EXPECT_FALSE(fs::exists(source + "docs/b.txt"));
    console.lines = {"y"};
    EXPECT_EQ(run({"extract", archive, "*b.txt"}), kExitOk);
    EXPECT_EQ(readFile(source + "docs/b.txt"), "bee");

    // A missing volume: exit 5; nothing matching: exit 1.
    console.terminal = false;
    archive::test::ZipUnderTest split;
    split.settings.archivePath = folder / "split.bac";
    split.settings.includes = {source + "*"};
    split.settings.spanDisks = true;
    split.settings.diskSize = 64 * 1024;
    writeFile(source + "big.bin", archive::test::randomData(100000, 2));
    ASSERT_EQ(split.compress(), 0);
    // Any volume names the set.
    EXPECT_EQ(run({"test", folder / "split.z01"}), kExitOk);
    fs::remove(folder / "split.z01");
    EXPECT_EQ(run({"extract", split.settings.archivePath, "-d", folder / "out2"}),
              kExitVolumeMissing);
    EXPECT_EQ(run({"extract", archive, "-d", folder / "out3", "nothing*"}), kExitFailed);
    EXPECT_NE(console.errors.find("no entry of the archive matches"), std::string::npos);
}

TEST_F(CommandLine, RefusedEntriesAreListedWithTheirReasons) {
    const std::string destination = folder / "out";
    corvane::test::makeFolder(destination);
    // A link planted where a folder of the archive goes: that folder's files are refused.
    fs::create_directory_symlink(folder / "home", destination + "/docs");
    EXPECT_EQ(run({"extract", archive, "-d", destination, "--strip", strip}), kExitSkipped);
    EXPECT_NE(console.output.find("Not restored (2):"), std::string::npos) << console.output;
    EXPECT_NE(console.output.find("refused  " + source.substr(1) +
                                  "docs/a.txt: a folder on its path is a symbolic link on disk"),
              std::string::npos)
        << console.output;
    EXPECT_TRUE(test::allPaths(folder / "home").empty());
}

}  // namespace
}  // namespace corvane::restore
