#include "schedule/timed_editor.h"

#include "common/text.h"
#include "config/folder_choice.h"
#include "schedule/schedule_texts.h"
#include "schedule/set_location.h"

namespace corvane {

namespace texts = schedule_texts;

namespace {

// The value of a time field when it holds a whole number from 0 to `limit` - 1.
std::optional<int> fieldValue(std::string_view text, int limit) {
    const std::string digits = trim(text);
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value >= limit) return std::nullopt;
    return value;
}

std::string typedField(std::string_view text, int limit) {
    return fieldValue(text, limit) ? std::string(text) : std::string();
}

std::string padded(const std::string& field) {
    return field.size() < 2 ? std::string(2 - field.size(), '0') + field : field;
}

}  // namespace

TimedEditor::TimedEditor(ScheduleContext context, Mode mode, TimedEditResult& result)
    : m_context(std::move(context)),
      m_mode(mode),
      m_result(result),
      m_startDate(dateOf(toLocal(m_context.clock.now()))) {}

std::string_view TimedEditor::caption() const {
    return m_mode == Mode::New ? texts::kNewEditorCaption : texts::kModifyEditorCaption;
}

std::string_view TimedEditor::intro() const {
    return m_mode == Mode::New ? texts::kNewEditorIntro : texts::kModifyEditorIntro;
}

std::string TimedEditor::intervalText() const {
    return m_interval ? std::string(kIntervalTexts[*m_interval]) : std::string();
}

void TimedEditor::selectInterval(std::optional<std::size_t> position) {
    m_interval = position && *position < kIntervalTexts.size() ? position : std::nullopt;
    m_timeEnabled = !isHourBased(intervalText());
}

void TimedEditor::typeHour(std::string_view text) { m_hour = typedField(text, 24); }

void TimedEditor::typeMinute(std::string_view text) { m_minute = typedField(text, 60); }

CalendarDate TimedEditor::earliestStartDate() const { return dateOf(now()); }

void TimedEditor::pickStartDate(CalendarDate date) {
    m_startDate = std::max(date, earliestStartDate());
}

void TimedEditor::browseSet() {
    if (m_mode != Mode::New) return;
    const std::string chosen = chooseBackupSet(m_context.host, m_context.programFolder);
    if (chosen.empty()) return;
    m_setField = chosen;
    m_result.name = chosen;
    m_setCompatible = false;
    m_locationEnabled = false;
    const auto summary = readSetSummary(chosen);
    if (!summary) {
        m_context.host.message(Icon::Exclamation, Buttons::Ok, texts::kErrorTitle,
                               texts::kSetReadFailedText);
        return;
    }
    if (!summary->compatible) {
        m_context.host.message(Icon::Information, Buttons::Ok, texts::kIncompatibleTitle,
                               texts::kIncompatibleText);
        return;
    }
    showLocation(summary->defaultLocation);
}

void TimedEditor::browseLocation() {
    if (!m_locationEnabled) return;
    const std::string folder = chooseFolderPath(m_context.host, texts::kChooseLocationTitle);
    if (folder.empty()) return;
    const auto location = locationInFolder(folder, m_location);
    if (!location) {
        m_context.host.message(Icon::Exclamation, Buttons::Ok, texts::kErrorTitle,
                               texts::kLocationFailedText);
        return;
    }
    m_location = *location;
}

void TimedEditor::prefill(const std::string& setPath, std::string_view interval,
                          std::string_view runTime, std::string_view nextRunDate) {
    m_setField = setPath;
    selectInterval(intervalPosition(trim(interval)));
    const std::string time = trim(runTime);
    typeHour(time.substr(0, 2));
    typeMinute(time.size() > 3 ? time.substr(3, 2) : std::string());
    const auto date = parseDateText(trim(nextRunDate));
    pickStartDate(date ? *date : earliestStartDate());
}

void TimedEditor::showLocation(std::string location) {
    m_location = std::move(location);
    m_locationEnabled = true;
    m_setCompatible = true;
}

void TimedEditor::refuse(Icon icon, std::string_view title, std::string_view text) {
    m_context.host.message(icon, Buttons::Ok, title, text);
}

bool TimedEditor::confirm() {
    BusyPointer busy(m_context.host);
    const LocalDateTime moment = now();
    const std::string interval = intervalText();
    const bool hourBased = isHourBased(interval);

    if (trim(m_setField).empty()) {
        refuse(Icon::Information, texts::kNoNameTitle, texts::kNoNameText);
        return false;
    }
    if (!hourBased) {
        if (trim(m_hour).empty() || trim(m_minute).empty()) {
            refuse(Icon::Information, texts::kInvalidTimeTitle, texts::kTimeMissingText);
            return false;
        }
        if (fieldValue(m_hour, 24) == 0 && fieldValue(m_minute, 60) == 0) {
            refuse(Icon::Information, texts::kInvalidTimeTitle, texts::kMidnightText);
            return false;
        }
    }
    if (trim(interval).empty()) {
        refuse(Icon::Information, texts::kInvalidTypeTitle, texts::kTypeMissingText);
        return false;
    }

    ScheduledRun run;
    if (hourBased) {
        run = hourBasedFirstRun(moment, intervalPeriod(interval)->count);
    } else {
        m_minute = padded(trim(m_minute));
        m_hour = padded(trim(m_hour));
        const int hour = fieldValue(m_hour, 24).value_or(0);
        const int minute = fieldValue(m_minute, 60).value_or(0);
        if (m_startDate == dateOf(moment) && dayBasedTimeHasPassed(moment, hour, minute)) {
            refuse(Icon::Exclamation, texts::kPassedTitle, texts::kPassedText);
            return false;
        }
        run = {runTimeText(hour, minute), m_startDate};
    }

    // A set that failed the header test cannot take a location: its layout is unknown.
    if (!m_setCompatible) {
        refuse(Icon::Information, texts::kIncompatibleTitle, texts::kIncompatibleText);
        return false;
    }
    if (const Status rewritten = rewriteSetLocation(m_setField, m_location); !rewritten) {
        refuse(Icon::Critical, texts::kErrorTitle,
               texts::withErrorNumber(texts::kSettingFailedText, rewritten.error().code));
        return false;
    }
    m_result.interval = interval;
    m_result.runTime = run.runTime;
    m_result.nextRunDate = run.nextRunDate;
    m_confirmed = true;
    return true;
}

void TimedEditor::cancel() {
    m_result.name.clear();
    m_confirmed = false;
}

}  // namespace corvane
