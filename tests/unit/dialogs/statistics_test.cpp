// Set statistics: what each kind of entry counts, the display formats, the data status and
// the two messages.
#include <unistd.h>

#include "box_check.h"
#include "sets/set_statistics.h"
#include "set_fixture.h"

namespace corvane::test {
namespace {

class Statistics : public SetFixture {
protected:
    Statistics() { document.newSet("Daily.cvt"); }

    void addEntry(std::string_view category, const std::string& text, Picture picture,
                  std::optional<std::string> parent = std::nullopt) {
        ASSERT_TRUE(document.set().tree.add(parent.value_or(std::string(category)), text, text,
                                            picture));
    }
};

TEST_F(Statistics, EachKindOfEntryCountsByItsOwnRule) {
    SetStatistics statistics(document);
    statistics.calculate();  // an empty set counts nothing
    EXPECT_EQ((std::vector<std::string>{statistics.filesText(), statistics.foldersText(),
                                        statistics.uncompressedText(),
                                        statistics.dataStatusText()}),
              (std::vector<std::string>{"0", "0", "0 Bytes", "Size OK"}));
    EXPECT_EQ(statistics.progressMaximum(), 0);

    const std::string data = home / "data/";
    makeFolder(data + "sub/deeper");
    makeFolder(data + "listed");
    makeFolder(data + "only-folders/inner");
    writeFile(data + "a.txt", std::string(100, 'a'));
    writeFile(data + ".hidden.txt", std::string(20, 'h'));
    writeFile(data + "B.TXT", std::string(7, 'b'));
    writeFile(data + "sub/not-counted.txt", std::string(1000, 's'));
    writeFile(data + "listed/c.txt", std::string(3, 'c'));
    writeFile(home / "single.bin", std::string(5000, 'x'));
    ASSERT_EQ(::symlink("a.txt", (data + "link").c_str()), 0);
    addEntry(kFoldersCategory, data, Picture::Folder);
    addEntry(kFoldersCategory, data + "listed/", Picture::Folder, data);
    addEntry(kFoldersCategory, data + "only-folders/", Picture::Folder, data);
    addEntry(kFilesCategory, home / "single.bin", Picture::File);
    // Hidden files match; letter case and sub-folders do not.
    addEntry(kFilesCategory, "** - " + data + "*.txt", Picture::File);
    addEntry(kExclusionsCategory, "- *.txt", Picture::Exclusion);
    statistics.calculate();
    // data/: a.txt, .hidden.txt, B.TXT, link; listed/: c.txt; single.bin; the wildcard:
    // a.txt, .hidden.txt.
    EXPECT_EQ(statistics.filesText(), "8");
    EXPECT_EQ(statistics.foldersText(), "3");
    EXPECT_EQ(statistics.uncompressedText(), "5,255 Bytes");  // 100+20+7+5 +3 +5000 +120
    EXPECT_EQ(statistics.compressedText(), "2,365 Bytes");    // 2,364.75
    EXPECT_EQ(statistics.progressMaximum(), 6);
    EXPECT_EQ(statistics.progressValue(), 0);
    EXPECT_TRUE(statistics.okEnabled() && statistics.helpEnabled());
}

TEST_F(Statistics, TheTotalIsRatedAgainstTheArchiveLimit) {
    struct Case {
        off_t bytes;
        std::string uncompressed, compressed, status;
        StatusColour colour;
    };
    const std::string file = home / "data/big.bin";
    writeFile(file, "");
    addEntry(kFilesCategory, file, Picture::File);
    for (const Case& c : {
             Case{11, "11 Bytes", "5 Bytes", "Size OK", StatusColour::Green},
             Case{2'999'999'999, "2,999,999,999 Bytes", "1,350,000,000 Bytes", "Size OK",
                  StatusColour::Green},
             Case{3'000'000'000, "3,000,000,000 Bytes", "1,350,000,000 Bytes", "Size Warning",
                  StatusColour::Yellow},
             Case{3'999'999'999, "3,999,999,999 Bytes", "1,800,000,000 Bytes", "Size Warning",
                  StatusColour::Yellow},
             Case{4'000'000'000, "4,000,000,000 Bytes", "1,800,000,000 Bytes", "Size Too Large",
                  StatusColour::Red}}) {
        ASSERT_EQ(::truncate(file.c_str(), c.bytes), 0);  // sparse: takes no room on disk
        SetStatistics statistics(document);
        statistics.calculate();
        EXPECT_EQ(statistics.uncompressedText(), c.uncompressed);
        EXPECT_EQ(statistics.compressedText(), c.compressed) << c.bytes;
        EXPECT_EQ(statistics.dataStatusText(), c.status) << c.bytes;
        EXPECT_EQ(statistics.dataStatusColour(), c.colour) << c.bytes;
    }
}

TEST_F(Statistics, MoreThan65535FilesDrawTheMessage) {
    // 255 files matched by 257 different wildcards count 65,535 times.
    const std::string folder = home / "data/";
    for (int i = 0; i < 255; ++i) writeFile(folder + "f" + std::to_string(i), "");
    for (int stars = 1; stars <= 257; ++stars) {
        const std::string mask(static_cast<std::size_t>(stars), '*');
        addEntry(kFilesCategory, "** - " + folder + mask, Picture::File);
    }
    SetStatistics statistics(document);
    statistics.calculate();
    EXPECT_EQ(statistics.filesText(), "65,535");
    EXPECT_TRUE(host.messages().empty());

    writeFile(home / "one-more", "");
    addEntry(kFilesCategory, home / "one-more", Picture::File);
    host.expectMessage("Maximum Number of Files Reached", Answer::Ok);
    statistics.calculate();
    EXPECT_EQ(statistics.filesText(), "65,536");
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "The number of files to be included in your backup exceed the allowed 65,535."
              "\r\n\r\nNote:  If you have exclusions in your backup set, remember that exclusions "
              "are NOT taken into account for these statistics.");
}

// An entry that cannot be read stops the count: a missing file or a missing folder.
TEST_F(Statistics, AnEntryThatCannotBeReadStopsTheCount) {
    addEntry(kFilesCategory, home / "gone.txt", Picture::File);
    SetStatistics statistics(document);
    host.expectMessage("Error", Answer::Ok);
    statistics.calculate();
    expectBox(host.messages().back(), Icon::Critical, Buttons::Ok,
              "An error was encountered trying to calculate the statistics for the currently "
              "open backup set.\r\n\r\nThis is usally caused by Corvane not having access to all "
              "of the folders or files included in the backup set.\r\n\r\nError #53.  "
              "Description:  File not found.");
    EXPECT_EQ(statistics.filesText(), "");
    EXPECT_EQ(statistics.dataStatusColour(), StatusColour::None);
    EXPECT_TRUE(statistics.okEnabled());
    EXPECT_EQ(statistics.progressValue(), 0);

    document.set().tree.remove(home / "gone.txt");
    addEntry(kFoldersCategory, home / "missing/folder/", Picture::Folder);
    host.expectMessage("Error", Answer::Ok);
    statistics.calculate();
    EXPECT_NE(host.messages().back().text.find("Error #76.  Description:  Path not found."),
              std::string::npos);
}

}  // namespace
}  // namespace corvane::test
