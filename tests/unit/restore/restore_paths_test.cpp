// The rules on names: which stored names are safe, where links may point, what a pattern
// takes, numbered names beside existing files, and names fit for a terminal.
#include "restore/restore_paths.h"

#include "restore/restore_plan.h"

#include <gtest/gtest.h>

namespace corvane::restore {
namespace {

using Parts = std::vector<std::string>;

TEST(RestorePaths, SafePartsRefuseWhatCouldLeaveTheDestination) {
    struct Case {
        std::string name;
        std::optional<Parts> parts;
    };
    const Case cases[] = {
        {"a.txt", Parts{"a.txt"}},
        {"docs/a.txt", Parts{"docs", "a.txt"}},
        {"docs/sub/", Parts{"docs", "sub"}},
        {"..a/b..", Parts{"..a", "b.."}},
        {"back\\slash", Parts{"back\\slash"}},
        {"", std::nullopt},
        {"/", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"../x", std::nullopt},
        {"a/../../x", std::nullopt},
        {"a/..", std::nullopt},
        {"a//b", std::nullopt},
        {"./a", std::nullopt},
        {"a/./b", std::nullopt},
        {"a//", std::nullopt},
        {std::string("a\0b", 3), std::nullopt},
    };
    for (const auto& test : cases)
        EXPECT_EQ(safeParts(test.name), test.parts) << test.name;
}

TEST(RestorePaths, LinksMustStayInside) {
    struct Case {
        Parts link;
        std::string target;
        bool inside;
    };
    const Case cases[] = {
        {{"link"}, "file", true},
        {{"link"}, "./dir/../file", true},
        {{"a", "b", "link"}, "../../file", true},
        {{"a", "b", "link"}, "../../../file", false},
        {{"link"}, "../file", false},
        {{"link"}, "dir/../../file", false},
        {{"link"}, "/etc/passwd", false},
        {{"link"}, "", false},
        {{"a", "link"}, "..//x", true},
        {{"link"}, std::string("ok\0/../..", 9), false},
    };
    for (const auto& test : cases)
        EXPECT_EQ(linkStaysInside(test.link, test.target), test.inside) << test.target;
}

TEST(RestorePaths, PatternsTakeFilesAndWholeFolders) {
    struct Case {
        std::string pattern;
        std::string name;
        bool taken;
    };
    const Case cases[] = {
        {"*.txt", "home/ann/notes.txt", true},
        {"*.txt", "home/ann/notes.md", false},
        {"home/ann/docs", "home/ann/docs/a/b.txt", true},
        {"home/ann/docs/", "home/ann/docs/a/b.txt", true},
        {"/home/ann/docs", "home/ann/docs/", true},
        {"home/ann/doc", "home/ann/docs/a.txt", false},
        {"home/?nn/*", "home/ann/x", true},
        {"home/?nn", "home/bob/x", false},
        {"*/notes.txt", "notes.txt", false},
        {"", "anything", false},
        {"/", "anything", false},
    };
    for (const auto& test : cases)
        EXPECT_EQ(matchesPattern(test.pattern, test.name), test.taken)
            << test.pattern << " " << test.name;
}

TEST(RestorePaths, NumberedNamesProgramFilesAndPrintableNames) {
    EXPECT_EQ(numberedName("report.txt", 1), "report (1).txt");
    EXPECT_EQ(numberedName("archive.tar.gz", 2), "archive.tar (2).gz");
    EXPECT_EQ(numberedName(".bashrc", 1), ".bashrc (1)");
    EXPECT_EQ(numberedName("README", 3), "README (3)");
    EXPECT_EQ(joinPath("/", {"home", "ann"}), "/home/ann");
    EXPECT_EQ(joinPath("/tmp/out/", {"a"}), "/tmp/out/a");
    struct Case {
        std::string name;
        unsigned mode;
        bool program;
    };
    const Case programs[] = {
        {"run.sh", 0755, true},      {"notes.txt", 0644, false},   {"libz.so", 0644, true},
        {"libz.so.1.2", 0644, true}, {"a.something", 0644, false}, {"x.so.txt", 0644, false},
    };
    for (const auto& test : programs)
        EXPECT_EQ(isProgramFile(test.name, test.mode), test.program) << test.name;
    EXPECT_EQ(printable("plain \xC3\xA9t\xC3\xA9.txt"), "plain \xC3\xA9t\xC3\xA9.txt");
    EXPECT_EQ(printable("evil\n### Test Operation successful ###"),
              "evil\\n### Test Operation successful ###");
    EXPECT_EQ(printable("esc\x1b[2Jtab\t\\"), "esc\\x1b[2Jtab\\t\\\\");
    EXPECT_EQ(printable("bad\xff\xC3"), "bad\\xff\\xc3");
    EXPECT_EQ(printable("c1\xC2\x9B"), "c1\\xc2\\x9b");
    EXPECT_EQ(lastVolumeOf("/nowhere/set.z01"), "/nowhere/set.z01");  // no set beside it
    EXPECT_EQ(lastVolumeOf("/nowhere/set.zip"), "/nowhere/set.zip");
    EXPECT_EQ(lastVolumeOf("/a.z01/b"), "/a.z01/b");
}

}  // namespace
}  // namespace corvane::restore
