#include "schedule/task_list.h"

#include "common/text.h"
#include "schedule/list_file.h"
#include "schedule/schedule_texts.h"
#include "schedule/set_location.h"

namespace corvane {

namespace texts = schedule_texts;

bool isListedIgnoringCase(const std::vector<std::string>& listed, const std::string& path) {
    const std::string wanted = toUpper(trim(path));
    for (const std::string& entry : listed) {
        if (toUpper(trim(entry)) == wanted) return true;
    }
    return false;
}

TaskList::TaskList(std::string programFolder, Host& host)
    : m_programFolder(std::move(programFolder)), m_host(host) {}

void TaskList::load() {
    auto records =
        openListFile(m_host, taskListPath(m_programFolder), readTaskList(m_programFolder));
    if (!records) return;
    m_rows = std::move(*records);
    m_loaded = true;
}

void TaskList::click(std::optional<std::size_t> row) {
    m_selected = row && *row < m_rows.size() ? row : std::nullopt;
    m_removeEnabled = !m_rows.empty() && m_selected.has_value();
}

void TaskList::addTask() {
    if (!m_loaded) return;
    const std::string chosen = chooseBackupSet(m_host, m_programFolder);
    if (chosen.empty()) return;
    std::vector<std::string> listed;
    listed.reserve(m_rows.size());
    for (const TaskRecord& row : m_rows) listed.push_back(row.setPath);
    if (isListedIgnoringCase(listed, chosen)) {
        m_host.message(Icon::Information, Buttons::Ok, texts::kUnableToAddTitle,
                       texts::kDuplicateText);
        return;
    }
    // A file that cannot be read is refused like one that is not a set file.
    const auto compatible = hasSetHeader(chosen);
    if (!compatible || !*compatible) {
        m_host.message(Icon::Information, Buttons::Ok, texts::kIncompatibleTitle,
                       texts::kIncompatibleText);
        return;
    }
    m_rows.push_back({trim(chosen), "N/A"});
}

void TaskList::removeTask() {
    if (!m_selected) return;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
    m_selected.reset();
    m_removeEnabled = false;
}

void TaskList::close() {
    if (m_closed || !m_loaded) return;
    m_closed = true;
    BusyPointer busy(m_host);
    reportListSaveFailure(m_host, taskListPath(m_programFolder),
                          writeTaskList(m_programFolder, m_rows));
}

}  // namespace corvane
