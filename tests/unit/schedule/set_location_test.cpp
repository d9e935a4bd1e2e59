// Reading a set's header and location, rewriting its location line, and the location browse rule.
#include "schedule/set_location.h"

#include "schedule_fixture.h"

namespace corvane::test {
namespace {

using SetLocation = ScheduleFixture;

TEST_F(SetLocation, RewriteReplacesLineSevenAndTrimsEveryLine) {
    const std::string path = home / "Backup Sets/Daily.cvt";
    writeFile(path,
              "\" Corvane Set - v6.0 \"\r\n\"[OPTIONS]\"\r\n\"IncludeSubFolders=1\"\r\n"
              "\"CompressionStyle=9 \"\r\n\"BackupFreshen=1\"\r\n\"BackupAddNew=0\"\r\n"
              "\"DefaultLocation=/old/Daily.bac\"\r\n\"[FOLDERS/PATHS]\"\r\n\"  /data/  \"\r\n"
              "\"** - /data/*.txt\"\r\n\"[END OF BACKUP]\"\r\n\"AllFolders=1\"\r\n"
              "\"left over\"\r\n");
    ASSERT_TRUE(rewriteSetLocation(" " + path + " ", "  /media/usb/$DATE$.bac "));
    EXPECT_EQ(readFile(path),
              "\"Corvane Set - v6.0\"\r\n\"[OPTIONS]\"\r\n\"IncludeSubFolders=1\"\r\n"
              "\"CompressionStyle=9\"\r\n\"BackupFreshen=1\"\r\n\"BackupAddNew=0\"\r\n"
              "\"DefaultLocation=/media/usb/$DATE$.bac\"\r\n\"[FOLDERS/PATHS]\"\r\n\"/data/\"\r\n"
              "\"** - /data/*.txt\"\r\n\"[END OF BACKUP]\"\r\n\"AllFolders=1\"\r\n");
    EXPECT_FALSE(fileExists(path + "1"));
}

// A set cut short is completed: every line read past its end is "AllFolders=0", and the end
// line follows the entries.
TEST_F(SetLocation, RewriteOfAFileCutShortEndsAtTheEndOfTheFile) {
    const std::string rewritten = setFileText({"/data/"}, "/new/x.bac");
    const auto full = setFileLines({}, "/old/x.bac");
    std::vector<std::string> lines(full.begin(), full.begin() + 8);  // up to "[FOLDERS/PATHS]"
    for (const char* last : {"/data/", "[END OF BACKUP]"}) {  // among the entries, after the end
        SCOPED_TRACE(last);
        lines.push_back(last);
        const std::string set = writeSet("Cut.cvt", lines);
        ASSERT_TRUE(rewriteSetLocation(set, "/new/x.bac"));
        EXPECT_EQ(readFile(set), rewritten);
    }

    const std::string header = writeSet("Header.cvt", {"Corvane Set - v6.0", "[OPTIONS]"});
    ASSERT_TRUE(rewriteSetLocation(header, "/new/x.bac"));
    EXPECT_EQ(readFile(header),
              "\"Corvane Set - v6.0\"\r\n\"[OPTIONS]\"\r\n\"AllFolders=0\"\r\n"
              "\"AllFolders=0\"\r\n\"AllFolders=0\"\r\n\"AllFolders=0\"\r\n"
              "\"DefaultLocation=/new/x.bac\"\r\n\"AllFolders=0\"\r\n\"[END OF BACKUP]\"\r\n"
              "\"AllFolders=0\"\r\n");
}

TEST_F(SetLocation, FailedRewriteLeavesTheSetAndNoCopy) {
    const Status missing = rewriteSetLocation(home / "Backup Sets/Gone.cvt", "/x/$DATE$.bac");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, errc::kFileNotFound);
    EXPECT_FALSE(fileExists(home / "Backup Sets/Gone.cvt1"));

    // The copy is written but cannot take the set's place: a folder of that name is in the way.
    makeFolder(home / "Backup Sets/Folder.cvt");
    EXPECT_FALSE(rewriteSetLocation(home / "Backup Sets/Folder.cvt", "/x/$DATE$.bac"));
    EXPECT_FALSE(fileExists(home / "Backup Sets/Folder.cvt1"));

    const std::string set = writeStandardSet("Locked.cvt", "/old/Locked.bac");
    const std::string before = readFile(set);
    UnwritableFolder locked(home / "Backup Sets");
    if (!locked.effective()) GTEST_SKIP() << "the file system ignores unwritable folders";
    EXPECT_FALSE(rewriteSetLocation(set, "/x/$DATE$.bac"));
    EXPECT_EQ(readFile(set), before);
    EXPECT_FALSE(fileExists(set + "1"));
}

TEST_F(SetLocation, SummaryAndHeaderTest) {
    const auto good = readSetSummary(writeStandardSet("Good.cvt", " /media/usb/Good.bac "));
    ASSERT_TRUE(good);
    EXPECT_TRUE(good->compatible);
    EXPECT_EQ(good->defaultLocation, "/media/usb/Good.bac");
    EXPECT_FALSE(
        readSetSummary(writeSet("Old.cvt", {"Backup Set - v4.0", "[OPTIONS]"}))->compatible);
    EXPECT_TRUE(*hasSetHeader(home / "Backup Sets/Good.cvt"));
    EXPECT_FALSE(*hasSetHeader(writeSet("Empty.cvt", {})));
    EXPECT_FALSE(*hasSetHeader(writeSet("Case.cvt", {"corvane set - v6.0"})));  // exact match
    const auto shortSet =
        readSetSummary(writeSet("Short.cvt", {"Corvane Set - v6.0", "[OPTIONS]"}));
    ASSERT_FALSE(shortSet);
    EXPECT_EQ(shortSet.error().code, errc::kInputPastEnd);
}

TEST(LocationBrowse, NewFolderKeepsTheArchiveName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/me/$DATE$.bac", "/media/usb/$DATE$.bac"},
        {" /home/me/Weekly.zip ", "/media/usb/Weekly.bac"},
        {"NoFolder.bac", "/media/usb/$DATE$.bac"},
        {"", "/media/usb/$DATE$.bac"},
        {"/home/me/abc", "/media/usb/bac"},
    };
    for (const auto& [current, expected] : cases) {
        SCOPED_TRACE(current);
        const auto location = locationInFolder("/media/usb/", current);
        ASSERT_TRUE(location);
        EXPECT_EQ(*location, expected);
    }
    EXPECT_FALSE(locationInFolder("/media/usb/", "/home/me/ab"));
    EXPECT_FALSE(locationInFolder("/media/usb/", "/home/me/"));
}

}  // namespace
}  // namespace corvane::test
