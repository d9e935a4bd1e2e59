#pragma once

#include <array>
#include <chrono>
#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/date_text.h"

namespace corvane {

// The interval texts of a timed backup, in the order the editor lists them; the stored text is
// the text itself, and a modified entry selects its interval by this position.
inline constexpr std::array<std::string_view, 7> kIntervalTexts = {
    "Every 30 Days", "Every 15 Days", "Every 7 Days", "Every Day",
    "Every 12 Hours", "Every 6 Hours", "Every Hour"};

// Hour-based exactly when the text contains "Hour" (letter case significant); every rule that
// treats the two kinds differently uses this test, so an empty interval counts as day-based.
bool isHourBased(std::string_view interval);

// The list position of a stored interval text, nullopt when it is none of them.
std::optional<std::size_t> intervalPosition(std::string_view interval);

// How far one period of an interval reaches: a number of calendar days or of hours.
struct IntervalPeriod {
    int count = 0;
    bool hours = false;
};

// The period of a stored interval text; nullopt for a text that is not one of the seven.
std::optional<IntervalPeriod> intervalPeriod(std::string_view interval);

// A date without a time of day, in the local calendar.
struct CalendarDate {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31

    friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

CalendarDate dateOf(const LocalDateTime& local);
CalendarDate addDays(CalendarDate date, int days);
int daysBetween(CalendarDate from, CalendarDate to);

// "YYYY-MM-DD", the stored form of NextRunDate.
std::string dateText(CalendarDate date);
// Reads the stored form; nullopt unless it is a real date written as "YYYY-MM-DD".
std::optional<CalendarDate> parseDateText(std::string_view text);

// "HH:MM:00", the stored form of RunTime, from an hour (0-23) and a minute (0-59).
std::string runTimeText(int hour, int minute);

struct HourMinute {
    int hour = 0;
    int minute = 0;
};

// Reads a stored RunTime ("HH:MM" followed by ":SS" or nothing; one-digit hours are taken);
// nullopt unless the hour and minute are in range.
std::optional<HourMinute> parseRunTime(std::string_view text);

// The first run of a day-based entry that starts today: the entered time must lie strictly after
// the current time to the minute, so an earlier hour, or the current hour with a minute up to
// the current one, has already passed.
bool dayBasedTimeHasPassed(const LocalDateTime& now, int hour, int minute);

struct ScheduledRun {
    std::string runTime;  // "HH:MM:00"
    CalendarDate nextRunDate;

    friend bool operator==(const ScheduledRun&, const ScheduledRun&) = default;
};

// The first run of an hour-based entry of `hours` (1, 6 or 12): that many hours after the
// current hour, at the current minute, today or tomorrow when the hour passes 23.
ScheduledRun hourBasedFirstRun(const LocalDateTime& now, int hours);

// The moment an entry falls due: its NextRunDate at its RunTime, local time; nullopt when either
// text is not a valid stored form.
std::optional<TimePoint> dueMoment(std::string_view nextRunDate, std::string_view runTime);

// The run after a due one: the due moment moved on by whole periods to the first moment after
// `now`, so an entry that missed several periods runs once, not once per missed period.
// Day-based periods move along the calendar (the same time of day, whatever the summer-time
// changes in between); hour-based ones move in real hours.
ScheduledRun nextRunAfter(TimePoint due, IntervalPeriod period, TimePoint now);

}  // namespace corvane
