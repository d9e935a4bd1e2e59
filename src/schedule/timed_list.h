#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "schedule/manager_control.h"
#include "schedule/timed_editor.h"
#include "schedule/timed_record.h"

namespace corvane {

// A column of a list window: its title and its width as a share of the list's width.
struct ListColumn {
    std::string_view title;
    double widthShare;
};

inline constexpr std::array<ListColumn, 5> kTimedColumns = {
    ListColumn{"Backup Set Name", 1.0 / 2}, ListColumn{"Backup Type", 1.0 / 3},
    ListColumn{"Time to Perform", 1.0 / 3}, ListColumn{"Next Run Date", 1.0 / 2},
    ListColumn{"Last Backup", 1.0 / 4}};

// The "Timed Backups" window: the entries of Timed.dat as rows, changed by Add, Modify and
// Remove and written back when the window closes. The first change of a visit stops a running
// Timed Backups Manager; closing starts again only a manager this visit stopped.
class TimedList {
public:
    // Runs an editor modally (the window layer shows it; tests script it). The list window is
    // hidden meanwhile.
    using ShowEditor = std::function<void(TimedEditor&)>;

    TimedList(ScheduleContext context, ManagerControl& manager);

    // Reads Timed.dat, creating it empty when missing. A file that cannot be read is reported and
    // the window then changes nothing and writes nothing, so the file is never lost.
    void load();
    bool loaded() const { return m_loaded; }

    const std::vector<TimedRecord>& rows() const { return m_rows; }
    std::optional<std::size_t> selected() const { return m_selected; }
    // A click on the list; `row` is the row under the pointer, nullopt for none.
    void click(std::optional<std::size_t> row);
    bool removeEnabled() const { return m_changeEnabled; }
    bool modifyEnabled() const { return m_changeEnabled; }
    bool addEnabled() const { return m_loaded; }
    bool windowShown() const { return m_shown; }
    bool managerWasStopped() const { return m_managerWasStopped; }

    void addEntry(const ShowEditor& show);
    void modifyEntry(const ShowEditor& show);
    // Removes the selected row without asking.
    void removeEntry();

    // Closing the window, however it closes: writes the rows as the file's records in display
    // order and starts the manager when this visit stopped it. Later calls do nothing.
    void close();

private:
    // Stops a running manager before the first change; false (after its message) when the
    // action has to be abandoned. `failureText` opens the message of an unexpected failure.
    bool stopManager(std::string_view failureText);
    void reportFailure(std::string_view failureText, int code);

    ScheduleContext m_context;
    ManagerControl& m_manager;
    TimedEditResult m_result;
    std::vector<TimedRecord> m_rows;
    std::optional<std::size_t> m_selected;
    bool m_loaded = false;
    bool m_changeEnabled = false;
    bool m_shown = true;
    bool m_managerWasStopped = false;
    bool m_closed = false;
};

}  // namespace corvane
