#pragma once

#include "favorites/favorites_list.h"
#include "schedule/task_list.h"
#include "ui/model_dialog.h"

class QMenu;
class QPushButton;
class QTreeWidget;

namespace corvane::ui {

// "Track Backup Tasks": when each tracked set was last backed up.
class TaskListWindow final : public ModelDialog {
    Q_OBJECT

public:
    TaskListWindow(TaskList& model, QtHost& host, QWidget* parent);
    void done(int result) override;

private:
    void refresh();

    TaskList& m_model;
    QTreeWidget* m_list;
    QPushButton* m_remove;
};

// "Favorites": sets to open or back up quickly; a right click on a row offers the commands.
class FavoritesWindow final : public ModelDialog {
    Q_OBJECT

public:
    FavoritesWindow(FavoritesList& model, QtHost& host, QWidget* parent);
    void done(int result) override;
    QMenu* contextMenu() const { return m_menu; }

private:
    void refresh();
    // After a menu command: the window closes when the command chose a set.
    void afterCommand();

    FavoritesList& m_model;
    QTreeWidget* m_list;
    QPushButton* m_remove;
    QMenu* m_menu;
};

}  // namespace corvane::ui
