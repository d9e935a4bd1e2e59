// The engine's updates of single records in Tasks.dat, Favorite.dat and Timed.dat.
#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text.h"
#include "favorites/favorite_record.h"
#include "schedule/task_record.h"
#include "schedule/timed_record.h"
#include "temp_folder.h"

namespace corvane::test {
namespace {

std::string favorites(const std::vector<std::string>& paths) {
    std::string bytes;
    for (const auto& path : paths) bytes += fixedField(path, 150);
    return bytes;
}

TEST(Records, TaskStampMatchesIgnoringCaseAndChangesTheFirstMatchOnly) {
    TempFolder home;
    std::string bytes;
    for (const auto* path : {"/sets/other.cvt", "/SETS/DAILY.CVT", "/sets/daily.cvt"}) {
        const Bytes record = TaskRecord{path, "N/A"}.encode();
        bytes += std::string(record.begin(), record.end());
    }
    writeFile(home / "Tasks.dat", bytes + "partial");
    ASSERT_TRUE(stampTask(home.path(), " /sets/Daily.cvt ", fromLocal({2026, 12, 4, 9, 0, 0})));
    const auto records = *RecordFile(home / "Tasks.dat", 180).readAll();
    EXPECT_EQ(TaskRecord::decode(records[0]).lastPerformed, "N/A");
    EXPECT_EQ(TaskRecord::decode(records[1]).lastPerformed, "2026-12-04 09:00:00");
    EXPECT_EQ(TaskRecord::decode(records[2]).lastPerformed, "N/A");
    EXPECT_EQ(readFile(home / "Tasks.dat").substr(540), "partial");
    // No match: nothing is added.
    ASSERT_TRUE(stampTask(home.path(), "/sets/new.cvt", fromLocal({2026, 12, 4, 9, 0, 0})));
    EXPECT_EQ(*RecordFile(home / "Tasks.dat", 180).count(), 3u);
}

TEST(Records, FavouriteIsAddedUnlessListedAndReplacesTheFirstOfTwenty) {
    TempFolder home;
    ASSERT_TRUE(addFavoriteAfterBackup(home.path(), "/sets/a.cvt"));
    ASSERT_TRUE(addFavoriteAfterBackup(home.path(), "/SETS/A.CVT"));
    EXPECT_EQ(readFile(home / "Favorite.dat"), favorites({"/sets/a.cvt"}));

    std::vector<std::string> twenty;
    for (int i = 0; i < 20; ++i) twenty.push_back("/sets/" + std::to_string(i) + ".cvt");
    writeFile(home / "Favorite.dat", favorites(twenty));
    ASSERT_TRUE(addFavoriteAfterBackup(home.path(), "/sets/new.cvt"));
    auto expected = twenty;
    expected[0] = "/sets/new.cvt";
    EXPECT_EQ(readFile(home / "Favorite.dat"), favorites(expected));

    auto twentyOne = twenty;
    twentyOne.push_back("/sets/20.cvt");
    writeFile(home / "Favorite.dat", favorites(twentyOne));
    ASSERT_TRUE(addFavoriteAfterBackup(home.path(), "/sets/new.cvt"));
    twentyOne.push_back("/sets/new.cvt");
    EXPECT_EQ(readFile(home / "Favorite.dat"), favorites(twentyOne));
}

TEST(Records, TimedResultMatchesWithLetterCase) {
    TempFolder home;
    const TimedRecord upper{"/SETS/DAILY.CVT", "Every Day", "04:00:00", "2026-12-05", "N/A"};
    const TimedRecord exact{"/sets/Daily.cvt", "Every 12 Hours", "16:00:00", "2026-12-04", "N/A"};
    ASSERT_TRUE(RecordFile(home / "Timed.dat", 211).rewriteAll({upper.encode(), exact.encode()}));
    ASSERT_TRUE(recordTimedResult(home.path(), "/sets/Daily.cvt ", "Success"));
    const auto records = *RecordFile(home / "Timed.dat", 211).readAll();
    EXPECT_EQ(TimedRecord::decode(records[0]), upper);
    TimedRecord changed = exact;
    changed.lastResult = "Success";
    EXPECT_EQ(TimedRecord::decode(records[1]), changed);
    EXPECT_EQ(std::string(records[1].begin() + 204, records[1].end()), "Success");
    EXPECT_EQ(std::string(records[1].begin() + 150, records[1].begin() + 164), "Every 12 Hours");
}

}  // namespace
}  // namespace corvane::test
