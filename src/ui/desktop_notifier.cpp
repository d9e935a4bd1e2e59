#include "ui/desktop_notifier.h"

#include "app/log_viewer.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "ui/application.h"
#include "ui/info_windows.h"
#include "ui/qt_host.h"
#include "ui/ui_text.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QTimer>
#include <memory>

namespace corvane::ui {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");

// A notice nobody clicks may stay in the desktop's history; its process does not wait for ever.
constexpr int kLongestWaitMilliseconds = 60 * 60 * 1000;

}  // namespace

DesktopNotifier::DesktopNotifier() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onNotificationClosed(uint, uint)));
}

uint DesktopNotifier::notify(const FailureNotice& notice) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return 0;
    QDBusInterface service(kService, kPath, kInterface, bus);
    if (!service.isValid()) return 0;
    const QStringList actions{kDefaultAction, QStringLiteral("View Error Log")};
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
    hints.insert(QStringLiteral("category"), QStringLiteral("transfer.error"));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("corvane"));
    const QDBusReply<uint> reply = service.call(
        QStringLiteral("Notify"), QStringLiteral("Corvane"), 0u, QStringLiteral("dialog-error"),
        QStringLiteral("Corvane: ") + qs(notice.setName), qs(notice.reason), actions, hints, -1);
    return reply.isValid() ? reply.value() : 0;
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
    if (action == kDefaultAction) emit clicked(id);
}

void DesktopNotifier::onNotificationClosed(uint id, uint) {
    emit closed(id);
}

void showErrorLog(QtHost& host, const std::string& programFolder) {
    if (!RealFileSystem().exists(LogViewer::logPath(programFolder, LogKind::Error))) {
        host.message(Icon::Information, Buttons::Ok, "No Log",
                     "There currently is no 'Error Log' to view.");
        return;
    }
    LogViewer viewer(programFolder, LogKind::Error, host);
    LogViewerWindow window(viewer, host, host.dialogParent());
    host.runModal(window);
}

int runFailureNotice(int argc, char** argv, const FailureNotice& notice) {
    // The error log needs a display; without one the notice is still shown.
    std::unique_ptr<QCoreApplication> application;
    if (displayAvailable()) {
        application = std::make_unique<QApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    DesktopNotifier notifier;
    const uint id = notifier.notify(notice);
    if (id == 0) return 0;
    std::unique_ptr<QtHost> host;
    QObject::connect(&notifier, &DesktopNotifier::closed, [id](uint closed) {
        if (closed == id) QCoreApplication::quit();
    });
    QObject::connect(&notifier, &DesktopNotifier::clicked, [&host, id](uint clicked) {
        if (clicked != id) return;
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            host = std::make_unique<QtHost>();
            showErrorLog(*host, locateProgramFolder());
        }
        QCoreApplication::quit();
    });
    QTimer::singleShot(kLongestWaitMilliseconds, [] { QCoreApplication::quit(); });
    return QCoreApplication::exec();
}

}  // namespace corvane::ui
