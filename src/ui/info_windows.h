#pragma once

#include "app/help_pages.h"
#include "app/log_viewer.h"
#include "ui/model_dialog.h"

#include <QPointer>
#include <QSplashScreen>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QTextBrowser;

namespace corvane::ui {

// "Corvane Log File" and "Corvane Error Log".
class LogViewerWindow final : public ModelDialog {
    Q_OBJECT

public:
    LogViewerWindow(LogViewer& model, QtHost& host, QWidget* parent);
    void reject() override;

private:
    void refresh();

    LogViewer& m_model;
    QPlainTextEdit* m_text;
    QPushButton* m_delete;
};

// A library Corvane uses, with the version this program runs with (or was built with, where
// the library cannot tell at run time).
struct LibraryVersion {
    std::string name;
    std::string version;
};
std::vector<LibraryVersion> libraryVersions();

// The informational windows: "About Corvane", the product update pointer and the tutorial
// pointer. None of them goes on the network.
class InfoWindow final : public ModelDialog {
    Q_OBJECT

public:
    enum class Kind { About, ProductUpdate, Tutorial };
    InfoWindow(Kind kind, QtHost& host, QWidget* parent);
};

// The help pages' own viewer, for a desktop that has no program to show HTML.
class HelpViewer final : public QDialog {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent);
    void showPage(const QString& path);

private:
    QTextBrowser* m_browser;
};

// Opens pages and addresses with the desktop's programs; help pages fall back to the built-in
// viewer.
class QtDesktopOpener final : public DesktopOpener {
public:
    bool openPage(const std::string& path) override;
    bool openAddress(const std::string& address) override;
    // The window the built-in viewer belongs to.
    void setParentWindow(QWidget* window) { m_parent = window; }
    HelpViewer* viewer() const { return m_viewer; }

private:
    QPointer<QWidget> m_parent;
    QPointer<HelpViewer> m_viewer;
};

// The first window of the program, shown until the main window is ready.
class SplashWindow final : public QSplashScreen {
    Q_OBJECT

public:
    SplashWindow();
};

}  // namespace corvane::ui
