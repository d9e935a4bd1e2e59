#include "ui/manager_tray.h"

#include "app/help_pages.h"
#include "app/log_viewer.h"
#include "common/text.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "schedule/timed_list.h"
#include "ui/desktop_notifier.h"
#include "ui/icons.h"
#include "ui/info_windows.h"
#include "ui/qt_host.h"
#include "ui/timed_windows.h"
#include "ui/ui_text.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace corvane::ui {

namespace {

// Even with nothing due soon the schedule is looked at this often, so a changed system clock
// or a machine waking from sleep is noticed.
constexpr std::chrono::milliseconds kLongestWait = std::chrono::seconds(30);

int waitMilliseconds(const std::optional<TimePoint>& next, TimePoint now) {
    if (!next) return static_cast<int>(kLongestWait.count());
    const auto until = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::clamp(until, std::chrono::milliseconds(0), kLongestWait).count());
}

QAction* addItem(QMenu& menu, const char* name, const char* caption) {
    QAction* item = menu.addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

}  // namespace

ManagerTray::ManagerTray(std::string programFolder, const Clock& clock, const ManagerLog& log,
                         QtHost& host)
    : m_programFolder(std::move(programFolder)), m_clock(clock), m_log(log),
      m_scheduler(
          m_programFolder, clock,
          [this](const std::string& setPath) { return startRun(setPath); }, log),
      m_icon(std::make_unique<QSystemTrayIcon>(programIcon())),
      m_menu(std::make_unique<QMenu>()), m_timer(new QTimer(this)),
      m_watcher(new QFileSystemWatcher(this)), m_notifier(std::make_unique<DesktopNotifier>()),
      m_host(host) {
    m_menu->setObjectName(QStringLiteral("mnuManager"));
    connect(addItem(*m_menu, "mnuTimedBackups", "&Timed Backups..."), &QAction::triggered, this,
            &ManagerTray::openTimedList);
    connect(addItem(*m_menu, "mnuOpenCorvane", "&Open Corvane"), &QAction::triggered, this,
            &ManagerTray::openCorvane);
    m_menu->addSeparator();
    connect(addItem(*m_menu, "mnuStopManager", "&Stop the Timed Backups Manager"),
            &QAction::triggered, this, &ManagerTray::quitManager);
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) openTimedList();
            });
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ManagerTray::runDue);
    m_watcher->addPath(qs(m_programFolder));
    // Timed.dat is rewritten under a temporary name and renamed: the folder's change covers
    // that, the file's own change an edit in place.
    const auto changed = [this] {
        const QString list = qs(timedListPath(m_programFolder));
        if (!m_watcher->files().contains(list)) m_watcher->addPath(list);
        runDue();
    };
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    m_watcher->addPath(qs(timedListPath(m_programFolder)));
    connect(m_notifier.get(), &DesktopNotifier::clicked, this,
            [this] { showErrorLog(m_host, m_programFolder); });
    m_icon->show();
}

ManagerTray::~ManagerTray() = default;

void ManagerTray::runDue() {
    std::optional<TimePoint> next;
    if (!m_paused) next = m_scheduler.runDue();
    const auto records = readTimedList(m_programFolder);
    m_icon->setToolTip(qs(managerToolTip(records ? *records : std::vector<TimedRecord>{})));
    m_timer->start(waitMilliseconds(next, m_clock.now()));
}

Result<int> ManagerTray::startRun(const std::string& setPath) {
    auto started = startDetached(siblingProgram("corvane"), {timedRunArgument(setPath)});
    if (!started) {
        std::string folder;
        m_notifier->notify({fileNameOf(trim(setPath), folder),
                            "The timed backup could not be started: " +
                                started.error().description +
                                ". See the error log for details."});
    }
    return started;
}

void ManagerTray::openTimedList() {
    if (m_listOpen) return;
    m_listOpen = true;
    TimedList list({m_programFolder, m_host, m_clock}, *this);
    TimedListWindow window(list, m_host, nullptr);
    window.setWindowIcon(programIcon());
    m_host.runModal(window);
    m_listOpen = false;
}

void ManagerTray::openCorvane() {
    const auto started = startDetached(siblingProgram("corvane"), {});
    if (!started) m_log.write("Corvane could not be started: " + started.error().description);
}

void ManagerTray::quitManager() {
    m_log.write("Timed Backups Manager stopped from its tray icon");
    QCoreApplication::quit();
}

Result<ManagerStop> ManagerTray::stop() {
    if (m_paused) return ManagerStop::NotRunning;
    m_paused = true;
    m_timer->stop();
    return ManagerStop::Stopped;
}

Status ManagerTray::start() {
    m_paused = false;
    runDue();
    return {};
}

int runManagerTray(int argc, char** argv, int signalFd, const std::string& programFolder,
                   const Clock& clock, const ManagerLog& log) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane Timed Backups"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return -1;

    log.write("Timed Backups Manager started with its tray icon (process " +
              std::to_string(::getpid()) + ", program folder " + programFolder + ")");
    QtHost host;
    QtDesktopOpener opener;
    HelpPages help(HelpPages::installedFolder(), host, opener);
    host.setHelp(&help);
    ManagerTray tray(programFolder, clock, log, host);
    std::unique_ptr<QSocketNotifier> endSignals;
    if (signalFd >= 0) endSignals = std::make_unique<QSocketNotifier>(signalFd, QSocketNotifier::Read);
    if (endSignals) QObject::connect(endSignals.get(), &QSocketNotifier::activated, [&] {
        signalfd_siginfo info{};
        const ssize_t got = ::read(signalFd, &info, sizeof info);
        const int signal = got == sizeof info ? static_cast<int>(info.ssi_signo) : 0;
        log.write("Timed Backups Manager stopped (signal " + std::to_string(signal) + ")");
        QCoreApplication::quit();
    });
    tray.runDue();
    return QApplication::exec();
}

}  // namespace corvane::ui
