#include "schedule/timed_list.h"

#include <sys/stat.h>

#include "common/text.h"
#include "schedule/list_file.h"
#include "schedule/schedule_texts.h"
#include "schedule/set_location.h"

namespace corvane {

namespace texts = schedule_texts;

namespace {

bool isExistingFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// Shows the list window again when an action ends, however it ends.
class HiddenWhileEditing {
public:
    explicit HiddenWhileEditing(bool& shown) : m_shown(shown) { m_shown = false; }
    ~HiddenWhileEditing() { m_shown = true; }
    HiddenWhileEditing(const HiddenWhileEditing&) = delete;
    HiddenWhileEditing& operator=(const HiddenWhileEditing&) = delete;

private:
    bool& m_shown;
};

}  // namespace

TimedList::TimedList(ScheduleContext context, ManagerControl& manager)
    : m_context(std::move(context)), m_manager(manager) {}

void TimedList::load() {
    m_changeEnabled = false;
    auto records = openListFile(m_context.host, timedListPath(m_context.programFolder),
                                readTimedList(m_context.programFolder));
    if (!records) return;
    m_rows = std::move(*records);
    m_loaded = true;
}

void TimedList::click(std::optional<std::size_t> row) {
    m_selected = row && *row < m_rows.size() ? row : std::nullopt;
    m_changeEnabled = !m_rows.empty() && m_selected.has_value();
}

void TimedList::reportFailure(std::string_view failureText, int code) {
    m_context.host.message(Icon::Exclamation, Buttons::Ok, texts::kErrorTitle,
                           texts::withErrorNumber(failureText, code));
}

bool TimedList::stopManager(std::string_view failureText) {
    const auto stopped = m_manager.stop();
    if (!stopped) {
        reportFailure(failureText, stopped.error().code);
        return false;
    }
    switch (*stopped) {
        case ManagerStop::NotRunning: return true;
        case ManagerStop::Stopped: m_managerWasStopped = true; return true;
        case ManagerStop::SignalFailed:
            m_context.host.message(Icon::Exclamation, Buttons::Ok, texts::kErrorTitle,
                                   texts::kManagerNotStoppedText);
            return false;
    }
    return false;
}

void TimedList::addEntry(const ShowEditor& show) {
    if (!m_loaded || !stopManager(texts::kSettingFailedText)) return;
    const HiddenWhileEditing hidden(m_shown);
    m_result = {};
    TimedEditor editor(m_context, TimedEditor::Mode::New, m_result);
    show(editor);
    if (!editor.confirmed()) m_result.name.clear();
    if (trim(m_result.name).empty()) return;
    m_rows.push_back({trim(m_result.name), trim(m_result.interval), trim(m_result.runTime),
                      dateText(m_result.nextRunDate), "N/A"});
}

void TimedList::modifyEntry(const ShowEditor& show) {
    if (!m_loaded || !m_selected) return;
    const TimedRecord row = m_rows[*m_selected];
    if (!isExistingFile(trim(row.setPath))) {
        m_context.host.message(Icon::Exclamation, Buttons::Ok, texts::kSetNotFoundTitle,
                               texts::kSetNotFoundText);
        return;
    }
    if (!stopManager(texts::kSettingFailedText)) return;
    const HiddenWhileEditing hidden(m_shown);
    m_result = {};
    m_result.name = row.setPath;
    TimedEditor editor(m_context, TimedEditor::Mode::Modify, m_result);
    {
        BusyPointer busy(m_context.host);
        editor.prefill(row.setPath, row.interval, row.runTime, row.nextRunDate);
        const auto summary = readSetSummary(row.setPath);
        if (!summary) {
            reportFailure(texts::kSettingFailedText, summary.error().code);
            return;
        }
        if (!summary->compatible) {
            m_context.host.message(Icon::Information, Buttons::Ok, texts::kIncompatibleTitle,
                                   texts::kIncompatibleText);
            return;
        }
        editor.showLocation(summary->defaultLocation);
    }
    show(editor);
    if (!editor.confirmed()) m_result.name.clear();
    if (trim(m_result.name).empty()) return;
    TimedRecord& changed = m_rows[*m_selected];
    changed.setPath = trim(m_result.name);
    changed.interval = trim(m_result.interval);
    changed.runTime = trim(m_result.runTime);
    changed.nextRunDate = dateText(m_result.nextRunDate);
}

void TimedList::removeEntry() {
    if (!m_loaded || !m_selected) return;
    if (!stopManager(texts::kRemovingFailedText)) return;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
    m_selected.reset();
    m_changeEnabled = false;
}

void TimedList::close() {
    if (m_closed) return;
    m_closed = true;
    BusyPointer busy(m_context.host);
    if (m_loaded) {
        reportListSaveFailure(m_context.host, timedListPath(m_context.programFolder),
                              writeTimedList(m_context.programFolder, m_rows));
    }
    if (!m_managerWasStopped) return;
    if (const Status started = m_manager.start(); !started) {
        m_context.host.message(Icon::Exclamation, Buttons::Ok, texts::kManagerNotStartedTitle,
                               texts::withErrorNumber(texts::kManagerNotStartedText,
                                                      started.error().code));
    }
}

}  // namespace corvane
