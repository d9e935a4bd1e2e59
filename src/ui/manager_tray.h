#pragma once

#include "schedule/manager_control.h"
#include "schedule/timed_scheduler.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

class QFileSystemWatcher;
class QMenu;
class QTimer;

namespace corvane::ui {

class DesktopNotifier;
class QtHost;

// The Timed Backups Manager with its tray icon: the schedule carried out on the event loop, the
// next due entry in the icon's tip, and a menu that opens the timed backup list, opens Corvane
// or stops the manager. The timed backup list opened here pauses this manager instead of
// stopping its process.
class ManagerTray final : public QObject, private ManagerControl {
    Q_OBJECT

public:
    // `host` shows the timed backup list and the error log; its help pages are set by the caller.
    ManagerTray(std::string programFolder, const Clock& clock, const ManagerLog& log,
                QtHost& host);
    ~ManagerTray() override;

    // Runs one pass of the schedule and waits for the next due moment.
    void runDue();
    QSystemTrayIcon& icon() { return *m_icon; }
    QMenu& menu() { return *m_menu; }
    bool paused() const { return m_paused; }

    // The menu's commands.
    void openTimedList();
    void openCorvane();
    void quitManager();

private:
    Result<ManagerStop> stop() override;
    Status start() override;
    Result<int> startRun(const std::string& setPath);

    std::string m_programFolder;
    const Clock& m_clock;
    const ManagerLog& m_log;
    TimedScheduler m_scheduler;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QMenu> m_menu;
    QTimer* m_timer;
    QFileSystemWatcher* m_watcher;
    std::unique_ptr<DesktopNotifier> m_notifier;
    QtHost& m_host;
    bool m_paused = false;
    bool m_listOpen = false;
};

// `cvtimer` with a display: the manager of a program folder it has claimed, with its tray icon,
// until it is stopped (from the menu or by a signal). Returns -1 without starting anything when
// the desktop has no tray; the caller then runs the manager headless.
int runManagerTray(int argc, char** argv, int signalFd, const std::string& programFolder,
                   const Clock& clock, const ManagerLog& log);

}  // namespace corvane::ui
