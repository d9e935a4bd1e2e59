// Fixed-record files, whole-file rewrites, log appends, date texts and error numbers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/date_text.h"
#include "common/error_log.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "temp_folder.h"

namespace corvane {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

Bytes recordOf(char c, std::size_t size = 4) { return Bytes(size, static_cast<std::uint8_t>(c)); }

TEST(RecordFile, CountsWholeRecordsOnly) {
    TempFolder home;
    const RecordFile file(home / "list.dat", 4);
    EXPECT_EQ(*file.count(), 0u);
    EXPECT_TRUE(file.readAll()->empty());
    writeFile(file.path(), "aaaabbbbcc");
    EXPECT_EQ(*file.count(), 2u);
    const auto all = file.readAll();
    ASSERT_EQ(all->size(), 2u);
    EXPECT_EQ((*all)[1], recordOf('b'));
    EXPECT_FALSE(file.read(3));
}

TEST(RecordFile, WritesOneRecordInPlaceAndAppends) {
    TempFolder home;
    const RecordFile file(home / "list.dat", 4);
    writeFile(file.path(), "aaaabbbbcccc");
    ASSERT_TRUE(file.write(2, recordOf('x')));
    ASSERT_TRUE(file.write(4, recordOf('d')));
    EXPECT_EQ(readFile(file.path()), "aaaaxxxxccccdddd");
    EXPECT_EQ(*file.read(2), recordOf('x'));
}

TEST(RecordFile, RewriteReplacesTheWholeFileAndLeavesNoTemporary) {
    TempFolder home;
    const RecordFile file(home / "list.dat", 4);
    writeFile(file.path(), "aaaabbbbcccc");
    ASSERT_TRUE(file.rewriteAll({recordOf('z')}));
    EXPECT_EQ(readFile(file.path()), "zzzz");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(home.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(RecordFile, FailedRewriteKeepsTheOldFile) {
    TempFolder home;
    test::makeFolder(home / "ro");
    const RecordFile file(home / "ro/list.dat", 4);
    writeFile(file.path(), "aaaa");
    Status status;
    {
        const test::UnwritableFolder locked(home / "ro");
        ASSERT_TRUE(locked.effective());
        status = file.rewriteAll({recordOf('z')});
    }
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().code, errc::kPermissionDenied);
    EXPECT_EQ(readFile(file.path()), "aaaa");
}

TEST(Errors, NotFoundIsToldApartFromPathNotFound) {
    TempFolder home;
    EXPECT_EQ(readWholeFile(home / "missing.txt").error().code, errc::kFileNotFound);
    EXPECT_EQ(readWholeFile(home / "no/such/folder.txt").error().code, errc::kPathNotFound);
    writeFile(home / "file", "x");
    EXPECT_EQ(readWholeFile(home / "file/inside").error().code, errc::kPathNotFound);
}

TEST(Logs, ErrorBlocksAppendFourLinesWithCrLf) {
    TempFolder home;
    const TimePoint when = fromLocal({2026, 12, 4, 9, 5, 7});
    ASSERT_TRUE(appendErrorLogBlock(home.path(), "Header", "Detail", "  /sets/a.cvt ", when));
    ASSERT_TRUE(appendErrorLogBlock(home.path(), "H2", "D2", "/b.cvt", when));
    EXPECT_EQ(readFile(home / "error.log"),
              "Header\r\nDetail\r\nBackup Name: /sets/a.cvt\r\nBackup Time: 2026-12-04 09:05:07\r\n"
              "H2\r\nD2\r\nBackup Name: /b.cvt\r\nBackup Time: 2026-12-04 09:05:07\r\n");
}

TEST(DateText, FixedLocaleIndependentForm) {
    const TimePoint when = fromLocal({2026, 1, 2, 3, 4, 5});
    EXPECT_EQ(dateTimeText(when), "2026-01-02 03:04:05");
    EXPECT_EQ(shortDateText(when), "2026-01-02");
    EXPECT_EQ(timeText(when), "03:04:05");
    const LocalDateTime back = toLocal(when);
    EXPECT_EQ(back.day, 2);
    EXPECT_EQ(back.second, 5);
}

}  // namespace
}  // namespace corvane
