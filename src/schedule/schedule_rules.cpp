#include "schedule/schedule_rules.h"

#include <cstdio>

#include "common/text.h"

namespace corvane {

namespace {

std::chrono::sys_days toSysDays(CalendarDate date) {
    return std::chrono::year_month_day{std::chrono::year{date.year},
                                       std::chrono::month{static_cast<unsigned>(date.month)},
                                       std::chrono::day{static_cast<unsigned>(date.day)}};
}

CalendarDate fromSysDays(std::chrono::sys_days days) {
    const std::chrono::year_month_day ymd{days};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

// Reads exactly `width` digits at `at`; -1 when any of them is not a digit.
int fixedDigits(std::string_view text, std::size_t at, std::size_t width) {
    if (at + width > text.size()) return -1;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

TimePoint atLocal(CalendarDate date, HourMinute time) {
    return fromLocal({date.year, date.month, date.day, time.hour, time.minute, 0});
}

ScheduledRun runAt(TimePoint moment) {
    const LocalDateTime local = toLocal(moment);
    return {runTimeText(local.hour, local.minute), dateOf(local)};
}

}  // namespace

bool isHourBased(std::string_view interval) {
    return interval.find("Hour") != std::string_view::npos;
}

std::optional<std::size_t> intervalPosition(std::string_view interval) {
    for (std::size_t i = 0; i < kIntervalTexts.size(); ++i) {
        if (kIntervalTexts[i] == interval) return i;
    }
    return std::nullopt;
}

std::optional<IntervalPeriod> intervalPeriod(std::string_view interval) {
    static constexpr std::array<IntervalPeriod, kIntervalTexts.size()> kPeriods = {
        IntervalPeriod{30, false}, IntervalPeriod{15, false}, IntervalPeriod{7, false},
        IntervalPeriod{1, false},  IntervalPeriod{12, true},  IntervalPeriod{6, true},
        IntervalPeriod{1, true}};
    const auto position = intervalPosition(interval);
    if (!position) return std::nullopt;
    return kPeriods[*position];
}

CalendarDate dateOf(const LocalDateTime& local) { return {local.year, local.month, local.day}; }

CalendarDate addDays(CalendarDate date, int days) {
    return fromSysDays(toSysDays(date) + std::chrono::days{days});
}

int daysBetween(CalendarDate from, CalendarDate to) {
    return static_cast<int>((toSysDays(to) - toSysDays(from)).count());
}

std::string dateText(CalendarDate date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::optional<CalendarDate> parseDateText(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const int year = fixedDigits(text, 0, 4);
    const int month = fixedDigits(text, 5, 2);
    const int day = fixedDigits(text, 8, 2);
    if (year < 1 || month < 0 || day < 0) return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year{year},
                                          std::chrono::month{static_cast<unsigned>(month)},
                                          std::chrono::day{static_cast<unsigned>(day)}};
    if (!ymd.ok()) return std::nullopt;
    return CalendarDate{year, month, day};
}

std::string runTimeText(int hour, int minute) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:00", hour, minute);
    return text;
}

std::optional<HourMinute> parseRunTime(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return std::nullopt;
    const int hour = fixedDigits(text, 0, colon);
    const int minute = fixedDigits(text, colon + 1, 2);
    const std::string_view rest = text.substr(std::min(text.size(), colon + 3));
    const bool secondsOk = rest.empty() || (rest.size() == 3 && rest[0] == ':' &&
                                            fixedDigits(rest, 1, 2) >= 0);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || !secondsOk) return std::nullopt;
    return HourMinute{hour, minute};
}

bool dayBasedTimeHasPassed(const LocalDateTime& now, int hour, int minute) {
    return hour < now.hour || (hour == now.hour && minute <= now.minute);
}

ScheduledRun hourBasedFirstRun(const LocalDateTime& now, int hours) {
    const int hour = now.hour + hours;
    if (hour <= 23) return {runTimeText(hour, now.minute), dateOf(now)};
    return {runTimeText(hour - 24, now.minute), addDays(dateOf(now), 1)};
}

std::optional<TimePoint> dueMoment(std::string_view nextRunDate, std::string_view runTime) {
    const auto date = parseDateText(trim(nextRunDate));
    const auto time = parseRunTime(trim(runTime));
    if (!date || !time) return std::nullopt;
    return atLocal(*date, *time);
}

ScheduledRun nextRunAfter(TimePoint due, IntervalPeriod period, TimePoint now) {
    if (period.hours) {
        const std::chrono::seconds step = std::chrono::hours{period.count};
        const auto late = std::chrono::duration_cast<std::chrono::seconds>(now - due);
        const auto periods = late.count() < 0 ? 0 : late / step + 1;
        return runAt(due + periods * step);
    }
    const LocalDateTime dueLocal = toLocal(due);
    const HourMinute time{dueLocal.hour, dueLocal.minute};
    const int late = std::max(0, daysBetween(dateOf(dueLocal), dateOf(toLocal(now))));
    // Whole periods that have gone by, counted in days; the candidate may still lie before
    // `now` on today's date, and is then one period short.
    CalendarDate next = addDays(dateOf(dueLocal), late / period.count * period.count);
    if (atLocal(next, time) <= now) next = addDays(next, period.count);
    return {runTimeText(time.hour, time.minute), next};
}

}  // namespace corvane
