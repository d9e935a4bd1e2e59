#pragma once

#include <chrono>
#include <string>

namespace corvane {

using TimePoint = std::chrono::system_clock::time_point;

// Local calendar fields of a moment.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalDateTime toLocal(TimePoint moment);
TimePoint fromLocal(const LocalDateTime& local);

// "YYYY-MM-DD HH:MM:SS" in local time: the one date-time text of logs and records.
std::string dateTimeText(TimePoint moment);

// "YYYY-MM-DD" in local time.
std::string shortDateText(TimePoint moment);

// "HH:MM:SS" in local time.
std::string timeText(TimePoint moment);

}  // namespace corvane
