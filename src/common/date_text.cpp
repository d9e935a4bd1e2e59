#include "common/date_text.h"

#include <ctime>
#include <cstdio>

namespace corvane {

LocalDateTime toLocal(TimePoint moment) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(moment);
    std::tm fields{};
    localtime_r(&seconds, &fields);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
            fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

TimePoint fromLocal(const LocalDateTime& local) {
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;  // let the library decide whether summer time applies
    return std::chrono::system_clock::from_time_t(std::mktime(&fields));
}

std::string dateTimeText(TimePoint moment) {
    return shortDateText(moment) + " " + timeText(moment);
}

std::string shortDateText(TimePoint moment) {
    const LocalDateTime local = toLocal(moment);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.year, local.month, local.day);
    return text;
}

std::string timeText(TimePoint moment) {
    const LocalDateTime local = toLocal(moment);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.hour, local.minute, local.second);
    return text;
}

}  // namespace corvane
