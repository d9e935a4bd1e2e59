// Failure notifications and the manager's tray icon on a private session bus (ctest runs this
// under dbus-run-session): a fake notification service records what it receives and clicks or
// closes notices on request; a fake tray reads back the tip of the icon that registers.
#include "common/file_io.h"
#include "platform/manager_process.h"
#include "schedule/timed_record.h"
#include "set_text.h"
#include "subprocess.h"
#include "temp_folder.h"
#include "ui/desktop_notifier.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>

namespace corvane::test {
namespace {

// A fake desktop service (a python script) that says "ready" once it owns its bus name and then
// reports a JSON line per thing it received.
class FakeService {
public:
    explicit FakeService(const char* script) {
        m_process.start(QStringLiteral(CORVANE_PYTHON), {QString::fromLatin1(script)});
        EXPECT_EQ(nextLine(), "ready");
    }
    ~FakeService() {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }

    // The next thing the service received.
    QJsonObject nextNotice() {
        return QJsonDocument::fromJson(QByteArray::fromStdString(nextLine())).object();
    }
    void call(const char* method, uint id) {
        QDBusInterface fake(QStringLiteral("org.freedesktop.Notifications"),
                            QStringLiteral("/org/freedesktop/Notifications"),
                            QStringLiteral("org.corvane.FakeNotifications"));
        fake.call(QString::fromLatin1(method), id);
    }

private:
    std::string nextLine() {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                ADD_FAILURE() << "the fake service said nothing: "
                              << m_process.readAllStandardError().toStdString();
                return {};
            }
        }
        return m_process.readLine().trimmed().toStdString();
    }

    QProcess m_process;
};

class FakeNotificationService : public FakeService {
public:
    FakeNotificationService() : FakeService(CORVANE_FAKE_NOTIFICATIONS) {}
};

TEST(Notifications, NoticeCarriesTheSetAndReasonAndItsClickIsReported) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    FakeNotificationService service;
    ui::DesktopNotifier notifier;
    QSignalSpy clicked(&notifier, &ui::DesktopNotifier::clicked);
    QSignalSpy closed(&notifier, &ui::DesktopNotifier::closed);
    const uint id = notifier.notify({"Daily.cvt", "The backup failed (521: writing failed)."});
    ASSERT_NE(id, 0u);
    const QJsonObject notice = service.nextNotice();
    EXPECT_EQ(notice["app_name"].toString().toStdString(), "Corvane");
    EXPECT_EQ(notice["summary"].toString().toStdString(), "Corvane: Daily.cvt");
    EXPECT_EQ(notice["body"].toString().toStdString(), "The backup failed (521: writing failed).");
    EXPECT_EQ(notice["actions"].toArray().first().toString().toStdString(), "default");

    service.call("Click", id);
    ASSERT_TRUE(clicked.wait());
    EXPECT_EQ(clicked.front().front().toUInt(), id);
    service.call("Close", id);
    ASSERT_TRUE(closed.wait());
}

// A set whose archive cannot be written: its destination lies under a file.
std::string writeFailingSet(const TempFolder& home) {
    makeFolder(home / "Backup Sets");
    makeFolder(home / "data");
    writeFile(home / "data/a.txt", "alpha");
    writeFile(home / "blocker", "a file, not a folder");
    const std::string set = home / "Backup Sets/Bad.cvt";
    writeFile(set, setFileText({home / "data/"}, home / "blocker/Bad.bac"));
    return set;
}

TEST(Notifications, FailedCommandLineRunNotifiesOnlyWhereThereIsABus) {
    TempFolder home;
    const std::string set = writeFailingSet(home);
    FakeNotificationService service;
    const std::vector<std::pair<std::string, std::string>> console = {
        {"CORVANE_HOME", home.path()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};

    // No session bus: no notice and no complaint about it.
    auto noBus = console;
    noBus.emplace_back("DBUS_SESSION_BUS_ADDRESS", "");
    noBus.emplace_back("XDG_RUNTIME_DIR", "");
    const ProcessResult quiet = runProcess({builtProgram("bin/corvane"), set}, noBus);
    EXPECT_EQ(quiet.exitCode, 1) << quiet.err;
    EXPECT_EQ(quiet.err.find("bus"), std::string::npos) << quiet.err;

    const ProcessResult failed = runProcess({builtProgram("bin/corvane"), set}, console);
    EXPECT_EQ(failed.exitCode, 1) << failed.err;
    // The first notice the service saw is this run's: the run without a bus sent none.
    const QJsonObject notice = service.nextNotice();
    EXPECT_EQ(notice["summary"].toString().toStdString(), "Corvane: Bad.cvt");
    const std::string body = notice["body"].toString().toStdString();
    EXPECT_EQ(body.rfind("The backup failed (5", 0), 0u) << body;
    EXPECT_NE(body.find("See the error log"), std::string::npos) << body;
    // Dismissed, the notice's own process ends.
    service.call("Close", static_cast<uint>(notice["id"].toInt()));
}

TEST(Tray, ManagerIconRegistersWithTheTrayAndNamesTheNextBackup) {
    requireTool("xvfb-run");
    TempFolder home;
    ASSERT_TRUE(writeTimedList(
        home.path(),
        {{home / "Backup Sets/Weekly.cvt", "Every 7 Days", "09:00:00", "2030-01-08", "N/A"},
         {home / "Backup Sets/Daily.cvt", "Every Day", "21:45:00", "2030-01-01", "Success"}}));
    FakeService tray(CORVANE_FAKE_TRAY);
    QProcess manager;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_HOME"), QString::fromStdString(home.path()));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    manager.setProcessEnvironment(environment);
    manager.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QString::fromStdString(builtProgram("bin/cvtimer"))});
    const QJsonObject item = tray.nextNotice();
    EXPECT_EQ(item["title"].toString().toStdString(), "Corvane Timed Backups");
    EXPECT_EQ(item["tooltip_title"].toString().toStdString(),
              "Corvane Timed Backups\nNext: Daily.cvt at 21:45 on 2030-01-01");
    EXPECT_TRUE(stopManager(home.path()));
    EXPECT_TRUE(manager.waitForFinished());
    EXPECT_NE(readFile(home / "CVTimer.log").find("with its tray icon"), std::string::npos);
}

}  // namespace
}  // namespace corvane::test

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
