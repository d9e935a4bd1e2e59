#pragma once

#include "app/failure_notice.h"

#include <QObject>
#include <QString>
#include <functional>
#include <string>

namespace corvane::ui {

class QtHost;

// Desktop notifications over the session bus (org.freedesktop.Notifications). Without a session
// bus, or without a notification service on it, nothing is shown and nothing is reported: a
// server or a cron job has nobody to tell.
class DesktopNotifier final : public QObject {
    Q_OBJECT

public:
    DesktopNotifier();

    // Shows the notice with its default action ("View Error Log"); 0 when it was not shown.
    uint notify(const FailureNotice& notice);

signals:
    // The user clicked the notice `id` (its default action).
    void clicked(uint id);
    // The notice `id` expired or was dismissed.
    void closed(uint id);

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);
};

// What a click on a notice shows: the error log's window, or a box when there is no log.
void showErrorLog(QtHost& host, const std::string& programFolder);

// `corvane --notify-failure <set name> <reason>`: shows the notice and waits until it is gone;
// a click on it opens the error log. Returns the exit status, 0 also
// when there is no session bus.
int runFailureNotice(int argc, char** argv, const FailureNotice& notice);

}  // namespace corvane::ui
