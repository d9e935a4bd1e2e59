#pragma once

#include "host/host.h"
#include "schedule/task_record.h"
#include "schedule/timed_list.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// Column widths are the list's width divided by 1.5 and by 3.
inline constexpr std::array<ListColumn, 2> kTaskColumns = {ListColumn{"Backup Set Name", 1.0 / 1.5},
                                                           ListColumn{"Last Performed", 1.0 / 3}};

// The "Track Backup Tasks" window: the entries of Tasks.dat, when each tracked set was last
// backed up. Sets are added and removed here; the file is rewritten when the window closes.
class TaskList {
public:
    TaskList(std::string programFolder, Host& host);

    // Reads Tasks.dat, creating it empty when missing; a file that cannot be read is reported
    // and then left untouched.
    void load();
    bool loaded() const { return m_loaded; }

    const std::vector<TaskRecord>& rows() const { return m_rows; }
    std::optional<std::size_t> selected() const { return m_selected; }
    void click(std::optional<std::size_t> row);
    bool removeEnabled() const { return m_removeEnabled; }

    // "&Add Task": asks for a set file and adds it unless it is listed (ignoring letter case) or
    // fails the set-file header test.
    void addTask();
    // "&Remove Task": removes the selected row without asking; nothing without a selection.
    void removeTask();
    // Closing the window: the rows become the file's records in display order.
    void close();

private:
    std::string m_programFolder;
    Host& m_host;
    std::vector<TaskRecord> m_rows;
    std::optional<std::size_t> m_selected;
    bool m_loaded = false;
    bool m_removeEnabled = false;
    bool m_closed = false;
};

// True when `path` names one of `listed` paths, both trimmed and upper-cased.
bool isListedIgnoringCase(const std::vector<std::string>& listed, const std::string& path);

// The "Select Task Type" dialog, which leads to the timed backup list or the task list.
class TaskTypeChooser {
public:
    enum class Choice { ScheduleTimedBackups, TrackImportantBackups };

    Choice choice() const { return m_choice; }
    void choose(Choice choice) { m_choice = choice; }
    // OK: the list window to open once the chooser has closed.
    Choice confirm() const { return m_choice; }

private:
    Choice m_choice = Choice::ScheduleTimedBackups;
};

}  // namespace corvane
