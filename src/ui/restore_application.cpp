#include "ui/restore_application.h"

#include "app/help_pages.h"
#include "app/product_info.h"
#include "config/config_store.h"
#include "platform/program_folder.h"
#include "restore/restore_window.h"
#include "ui/info_windows.h"
#include "ui/qt_host.h"
#include "ui/restore_main_window.h"
#include "ui/ui_text.h"

#include <QApplication>
#include <QTimer>

namespace corvane::ui {

int runRestoreWindow(int argc, char** argv, const std::string& archivePath) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane Restore"));
    QApplication::setApplicationVersion(qs(product::kVersion));

    ConfigStore config(locateProgramFolder());
    config.reload();
    QtHost host;
    QtDesktopOpener opener;
    HelpPages help(HelpPages::installedFolder(), host, opener);
    host.setHelp(&help);
    restore::RestoreWindow model(host, config.record());
    RestoreMainWindow window(model, host, opener);
    host.setMainWindow(&window);
    opener.setParentWindow(&window);
    window.show();
    // The archive opens once the window is up, so that its boxes have a window to belong to.
    if (!archivePath.empty()) {
        QTimer::singleShot(0, &window, [&model, archivePath] { model.open(archivePath); });
    }
    QObject::connect(&window, &QDialog::finished, &application, &QApplication::quit);
    return QApplication::exec();
}

}  // namespace corvane::ui
