#pragma once

#include "host/host.h"
#include "platform/clock.h"
#include "schedule/schedule_rules.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// What the timed backup windows work with.
struct ScheduleContext {
    std::string programFolder;  // with a trailing "/"
    Host& host;
    const Clock& clock;
};

// The values an editor hands back to the timed backup list. An empty `name` means the editor
// was not confirmed.
struct TimedEditResult {
    std::string name;  // the set path
    std::string interval;
    std::string runTime;  // "HH:MM:00"
    CalendarDate nextRunDate;
};

// The "Setup Timed Backup" (New) and "Modify Timed Backup" (Modify) dialogs: a set, an interval,
// a time and a start date, validated on OK, with the first run computed and the chosen location
// written into the set file.
class TimedEditor {
public:
    enum class Mode { New, Modify };

    // A new editor: no interval chosen, the location greyed and its browse disabled, the start
    // date today.
    TimedEditor(ScheduleContext context, Mode mode, TimedEditResult& result);

    Mode mode() const { return m_mode; }
    std::string_view caption() const;
    std::string_view intro() const;

    // The set field; only the New dialog has a browse button for it.
    const std::string& setField() const { return m_setField; }
    bool setBrowseAvailable() const { return m_mode == Mode::New; }

    std::optional<std::size_t> selectedInterval() const { return m_interval; }
    std::string intervalText() const;
    // Hour-based intervals disable the hour and minute fields and the start date.
    void selectInterval(std::optional<std::size_t> position);
    bool timeFieldsEnabled() const { return m_timeEnabled; }
    bool startDateEnabled() const { return m_timeEnabled; }

    // The fields take what is typed, and empty themselves at once when it is not a number from
    // 0 to 23 (hour) or 0 to 59 (minute).
    const std::string& hourField() const { return m_hour; }
    const std::string& minuteField() const { return m_minute; }
    void typeHour(std::string_view text);
    void typeMinute(std::string_view text);

    const std::string& locationField() const { return m_location; }
    // The location field has the window colour and its browse button is enabled.
    bool locationEnabled() const { return m_locationEnabled; }

    CalendarDate startDate() const { return m_startDate; }
    CalendarDate earliestStartDate() const;
    // Dates before today cannot be picked; they select today.
    void pickStartDate(CalendarDate date);

    // The set browse button of the New dialog.
    void browseSet();
    // The location browse button.
    void browseLocation();

    // The modify dialog as the list window prepares it from a row; a start date before today
    // shows today.
    void prefill(const std::string& setPath, std::string_view interval, std::string_view runTime,
                 std::string_view nextRunDate);
    // The set's default location, read by the list window; it enables the location controls.
    void showLocation(std::string location);

    // OK: validates in order and on success fills the result, rewrites the set file's location
    // and returns true (the dialog closes). A refusal leaves the dialog open and returns false.
    bool confirm();
    // Cancel, or any closing of the dialog other than a confirmed OK.
    void cancel();
    bool confirmed() const { return m_confirmed; }

private:
    LocalDateTime now() const { return toLocal(m_context.clock.now()); }
    void refuse(Icon icon, std::string_view title, std::string_view text);

    ScheduleContext m_context;
    Mode m_mode;
    TimedEditResult& m_result;
    std::string m_setField;
    bool m_setCompatible = false;
    std::optional<std::size_t> m_interval;
    bool m_timeEnabled = true;
    std::string m_hour;
    std::string m_minute;
    std::string m_location;
    bool m_locationEnabled = false;
    CalendarDate m_startDate;
    bool m_confirmed = false;
};

}  // namespace corvane
