// The stored interval, date and time texts and the manager's move to the next run. (The first
// run of a new entry is tested through the editor, with its clock.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <tuple>

#include "schedule/schedule_rules.h"

namespace corvane::test {
namespace {

TimePoint at(int year, int month, int day, int hour, int minute, int second = 0) {
    return fromLocal({year, month, day, hour, minute, second});
}

// The interval texts as stored in Timed.dat, in the order of the editors' list.
TEST(ScheduleRules, IntervalTextsAndTheirPeriods) {
    const std::tuple<std::string_view, int, bool> intervals[] = {
        {"Every 30 Days", 30, false}, {"Every 15 Days", 15, false}, {"Every 7 Days", 7, false},
        {"Every Day", 1, false},      {"Every 12 Hours", 12, true}, {"Every 6 Hours", 6, true},
        {"Every Hour", 1, true}};
    ASSERT_EQ(kIntervalTexts.size(), std::size(intervals));
    for (std::size_t position = 0; position < kIntervalTexts.size(); ++position) {
        const auto& [text, count, hours] = intervals[position];
        SCOPED_TRACE(text);
        EXPECT_EQ(kIntervalTexts[position], text);
        EXPECT_EQ(intervalPosition(text), position);
        ASSERT_TRUE(intervalPeriod(text));
        EXPECT_EQ(intervalPeriod(text)->count, count);
        EXPECT_EQ(isHourBased(text), hours);
    }
    EXPECT_FALSE(isHourBased("every hour"));
    EXPECT_FALSE(intervalPosition("every day"));
    EXPECT_FALSE(intervalPeriod("Every 2 Days"));
}

TEST(ScheduleRules, StoredTextsAreReadStrictly) {
    EXPECT_EQ(parseDateText("2028-02-29"), (CalendarDate{2028, 2, 29}));
    for (const char* bad : {"2027-02-29", "2026-13-01", "2026-1-01", "26-12-04", "", "2026/12/04",
                            "2026-12-0x"}) {
        EXPECT_FALSE(parseDateText(bad)) << bad;
    }
    EXPECT_EQ(parseRunTime("4:15:00")->minute, 15);
    EXPECT_TRUE(parseRunTime("23:59"));
    for (const char* bad :
         {"24:00:00", "12:60:00", "12", ":15:00", "12:5:00", "12:15:0", "ab:cd"}) {
        EXPECT_FALSE(parseRunTime(bad)) << bad;
    }
    EXPECT_EQ(dueMoment(" 2026-12-04 ", "10:30:00 "), at(2026, 12, 4, 10, 30));
    EXPECT_FALSE(dueMoment("12/04/2026", "10:30:00"));
}

TEST(ScheduleRules, ADueEntryMovesToTheFirstMomentAfterNowAndRunsOnce) {
    const IntervalPeriod hour{1, true}, sixHours{6, true}, day{1, false}, week{7, false},
        month{30, false};
    struct Case {
        const char* what;
        TimePoint due;
        IntervalPeriod period;
        TimePoint now;
        ScheduledRun expected;
    };
    const Case cases[] = {
        {"due this very second", at(2026, 12, 4, 10, 30), hour, at(2026, 12, 4, 10, 30),
         {"11:30:00", {2026, 12, 4}}},
        {"a few seconds late", at(2026, 12, 4, 10, 30), day, at(2026, 12, 4, 10, 30, 5),
         {"10:30:00", {2026, 12, 5}}},
        {"hours missed", at(2026, 12, 4, 10, 15), hour, at(2026, 12, 4, 13, 40),
         {"14:15:00", {2026, 12, 4}}},
        {"exactly on a later period", at(2026, 12, 4, 10, 0), sixHours, at(2026, 12, 4, 22, 0),
         {"04:00:00", {2026, 12, 5}}},
        {"days missed, time still ahead today", at(2026, 11, 20, 18, 0), day,
         at(2026, 12, 4, 9, 0), {"18:00:00", {2026, 12, 4}}},
        {"days missed, time gone today", at(2026, 11, 20, 8, 0), day, at(2026, 12, 4, 9, 0),
         {"08:00:00", {2026, 12, 5}}},
        {"weeks missed keep the weekday", at(2026, 11, 2, 7, 0), week, at(2026, 12, 4, 9, 0),
         {"07:00:00", {2026, 12, 7}}},
        {"a year missed", at(2025, 12, 1, 7, 0), month, at(2026, 12, 4, 9, 0),
         {"07:00:00", {2026, 12, 26}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(nextRunAfter(c.due, c.period, c.now), c.expected);
    }
}

// Day-based runs keep their time of day across a summer-time change; hourly ones count real
// hours.
TEST(ScheduleRules, SummerTimeChangesKeepDailyTimes) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved != nullptr ? saved : "";
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    EXPECT_EQ(nextRunAfter(at(2026, 3, 28, 9, 0), {1, false}, at(2026, 3, 28, 9, 0, 1)),
              (ScheduledRun{"09:00:00", {2026, 3, 29}}));
    EXPECT_EQ(nextRunAfter(at(2026, 3, 29, 1, 30), {1, true}, at(2026, 3, 29, 1, 30)),
              (ScheduledRun{"03:30:00", {2026, 3, 29}}));
    if (saved != nullptr) {
        ::setenv("TZ", previous.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
}  // namespace corvane::test
