#pragma once

#include "app/command_dispatcher.h"
#include "app/window_placement.h"
#include "ui/qt_host.h"

#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace corvane::ui {

class SetTreeView;

// "Corvane v6.0", the main window: the menus and the toolbar of the command table, the set's
// tree and the status text. Every command goes to the dispatcher; the window only shows.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kDesignedWidth = 660;
    static constexpr int kDesignedHeight = 480;

    MainWindow(Program& program, CommandDispatcher& dispatcher, QtHost& host,
               SettingsStore& settings);

    // The action of a command (menu item, tool or popup entry); null for none.
    QAction* action(CommandId id) const { return m_actions[static_cast<std::size_t>(id)]; }
    QMenu* menu(CommandId id) const;
    QToolBar* toolBar() const { return m_toolBar; }
    SetTreeView* tree() const { return m_tree; }
    QLabel* statusPanel() const { return m_status; }

    // The load step's placement: the stored position, and the stored size when there is one.
    void restorePlacement();
    // Shows the open set's tree as it is now.
    void syncTree();
    // Runs a command as a click on its tool would.
    void trigger(CommandId id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* makeAction(CommandId id, std::string_view caption);
    void buildMenus();
    void buildToolBar();

    Program& m_program;
    CommandDispatcher& m_dispatcher;
    QtHost& m_host;
    SettingsStore& m_settings;
    std::array<QAction*, kCommandCount> m_actions{};
    std::array<QMenu*, 6> m_menus{};
    QToolBar* m_toolBar = nullptr;
    SetTreeView* m_tree = nullptr;
    QLabel* m_status = nullptr;
    bool m_closed = false;
};

}  // namespace corvane::ui
