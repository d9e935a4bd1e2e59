#include "ui/application.h"

#include "app/command_dispatcher.h"
#include "app/product_info.h"
#include "archive/archiver.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "ui/info_windows.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/ui_dialogs.h"
#include "ui/ui_text.h"

#include <QApplication>
#include <cstdlib>

namespace corvane::ui {

QtSettingsStore::QtSettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                 QStringLiteral("Corvane")) {}

std::optional<std::string> QtSettingsStore::value(std::string_view key) const {
    const QString name = QStringLiteral("Startup/") + qs(key);
    if (!m_settings.contains(name)) return std::nullopt;
    return str(m_settings.value(name).toString());
}

void QtSettingsStore::setValue(std::string_view key, const std::string& value) {
    m_settings.setValue(QStringLiteral("Startup/") + qs(key), qs(value));
    m_settings.sync();
}

bool displayAvailable() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

int runWithWindows(int argc, char** argv, const std::string& commandLine) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(qs(product::kVersion));
    SplashWindow splash;
    const RunMode mode = parseCommandLine(commandLine).mode;
    // An unattended run shows its progress window instead.
    if (mode == RunMode::Interactive || mode == RunMode::ArchiveHandOff) {
        splash.show();
        QApplication::processEvents();
    }

    QtHost host;
    QtDesktopOpener opener;
    HelpPages help(HelpPages::installedFolder(), host, opener);
    host.setHelp(&help);
    CommandGate gate(host);
    SystemClock clock;
    RealFileSystem fileSystem;
    RealDrives drives;
    archive::Archiver component;
    SiblingLauncher launcher;
    Program program(locateProgramFolder(), {gate, clock, fileSystem, drives, component, launcher});
    UiDialogs dialogs(host);
    CommandDispatcher dispatcher(program, gate, launcher, dialogs, help);
    QtSettingsStore settings;
    MainWindow window(program, dispatcher, host, settings);
    opener.setParentWindow(&window);
    window.restorePlacement();

    const LoadResult loaded = program.load(commandLine);
    if (loaded.endProgram) return loaded.exitCode;
    window.syncTree();
    window.show();
    splash.finish(&window);
    const int status = QApplication::exec();
    return loaded.mode == RunMode::Interactive ? status : loaded.exitCode;
}

}  // namespace corvane::ui
