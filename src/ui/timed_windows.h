#pragma once

#include "schedule/task_list.h"
#include "schedule/timed_editor.h"
#include "schedule/timed_list.h"
#include "ui/model_dialog.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace corvane::ui {

// "Select Task Type": leads to the timed backup list or the task list.
class TaskTypeWindow final : public ModelDialog {
    Q_OBJECT

public:
    TaskTypeWindow(TaskTypeChooser& model, QtHost& host, QWidget* parent);

private:
    TaskTypeChooser& m_model;
    QRadioButton* m_schedule;
    QRadioButton* m_track;
};

// "Timed Backups": the schedule of Timed.dat, written back when the window closes.
class TimedListWindow final : public ModelDialog {
    Q_OBJECT

public:
    TimedListWindow(TimedList& model, QtHost& host, QWidget* parent);
    void done(int result) override;

private:
    void refresh();
    void syncButtons();
    void showEditor(TimedEditor& editor);

    TimedList& m_model;
    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_modify;
    QPushButton* m_remove;
};

// "Setup Timed Backup" and "Modify Timed Backup".
class TimedEditorWindow final : public ModelDialog {
    Q_OBJECT

public:
    TimedEditorWindow(TimedEditor& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    void refresh();

    TimedEditor& m_model;
    QLineEdit* m_set;
    QPushButton* m_browseSet;
    QComboBox* m_interval;
    QLineEdit* m_hour;
    QLineEdit* m_minute;
    QLineEdit* m_location;
    QPushButton* m_browseLocation;
    QDateEdit* m_start;
};

}  // namespace corvane::ui
