#include "ui/info_windows.h"

#include "app/product_info.h"
#include "ui/icons.h"
#include "ui/ui_text.h"

#include <isa-l.h>
#include <libdeflate.h>
#include <openssl/crypto.h>

#include <QDesktopServices>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane::ui {

LogViewerWindow::LogViewerWindow(LogViewer& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, model.kind() == LogKind::Backup ? "frmLogFile" : "frmErrorLog",
                  model.title(), 0),
      m_model(model) {
    m_text = new QPlainTextEdit(this);
    nameControl(m_text, "txtLog", model.title());
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_delete = makeButton("cmdDelete", LogViewer::kDeleteCaption);
    QPushButton* close = makeButton("cmdClose", LogViewer::kCloseCaption);
    close->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_delete);
    row->addStretch(1);
    row->addWidget(close);
    layout->addLayout(row);
    connect(m_delete, &QPushButton::clicked, this, [this] {
        m_model.deleteLog();
        refresh();
    });
    connect(close, &QPushButton::clicked, this, &LogViewerWindow::reject);
    resize(720, 480);
    refresh();
    // The latest run is at the end.
    m_text->moveCursor(QTextCursor::End);
}

void LogViewerWindow::refresh() {
    m_text->setPlainText(displayText(m_model.text()));
    m_delete->setEnabled(m_model.deleteEnabled());
}

void LogViewerWindow::reject() {
    m_model.close();
    QDialog::reject();
}

std::vector<LibraryVersion> libraryVersions() {
    const std::string isal = std::to_string(ISAL_MAJOR_VERSION) + "." +
                             std::to_string(ISAL_MINOR_VERSION) + "." +
                             std::to_string(ISAL_PATCH_VERSION);
    return {
        {"Qt", qVersion()},
        {"OpenSSL", OpenSSL_version(OPENSSL_VERSION_STRING)},
        {"libdeflate", LIBDEFLATE_VERSION_STRING " (built with)"},
        {"ISA-L", isal + " (built with)"},
    };
}

namespace {

QString aboutText() {
    QString text = QStringLiteral("<h2>%1</h2>").arg(qs(product::kTitle).toHtmlEscaped());
    text += QStringLiteral(
        "<p>A backup utility: Backup Sets describe what to save; Corvane writes "
        "it to standard ZIP archives that any ZIP tool can open.</p>");
    text += QStringLiteral("<p>%1</p>").arg(qs(product::kLicence).toHtmlEscaped());
    text += QStringLiteral("<p>Corvane uses these libraries:</p><ul>");
    for (const LibraryVersion& library : libraryVersions()) {
        text += QStringLiteral("<li>%1 %2</li>")
                    .arg(qs(library.name).toHtmlEscaped(), qs(library.version).toHtmlEscaped());
    }
    text += QStringLiteral("</ul><p>Web site: <a href=\"%1\">%1</a></p>")
                .arg(qs(product::kProductAddress));
    return text;
}

QString updateText() {
    return QStringLiteral(
               "<h3>%1 is installed.</h3><p>Corvane does not look for updates on its own and "
               "sends nothing over the network.</p><p>New releases are announced at <a "
               "href=\"%2\">%2</a>. If you installed Corvane from your distribution's packages, "
               "your system's software updates bring new versions.</p>")
        .arg(qs(product::kTitle).toHtmlEscaped(), qs(product::kDownloadAddress));
}

QString tutorialText() {
    return QStringLiteral(
               "<h3>Learning Corvane</h3><p>The online tutorial walks through a first Backup "
               "Set, a backup and a restore: <a href=\"%1\">%1</a></p><p>The help pages installed "
               "with Corvane cover every window: press F1 in any window, or choose Help, "
               "Contents.</p><p>The quickest start: choose Options, Backup Wizard.</p>")
        .arg(qs(product::kTutorialAddress));
}

}  // namespace

InfoWindow::InfoWindow(Kind kind, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent,
                  kind == Kind::About           ? "frmAbout"
                  : kind == Kind::ProductUpdate ? "frmUpdate"
                                                : "frmTutorial",
                  kind == Kind::About           ? "About Corvane"
                  : kind == Kind::ProductUpdate ? "Check for Product Update"
                                                : "Online Tutorial",
                  0) {
    auto* picture = new QLabel(this);
    picture->setPixmap(programIcon().pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("lblText"));
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setOpenExternalLinks(true);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setText(kind == Kind::About           ? aboutText()
                  : kind == Kind::ProductUpdate ? updateText()
                                                : tutorialText());
    text->setAccessibleName(windowTitle());
    QPushButton* ok = makeButton("cmdOK", "OK");
    ok->setDefault(true);
    auto* body = new QHBoxLayout;
    body->addWidget(picture);
    body->addWidget(text, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &InfoWindow::accept);
    fitToWidth(this, 480);
}

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelpViewer"));
    setWindowTitle(QStringLiteral("Corvane Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    resize(640, 520);
}

void HelpViewer::showPage(const QString& path) {
    m_browser->setSource(QUrl::fromLocalFile(path));
    show();
    raise();
}

bool QtDesktopOpener::openPage(const std::string& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)))) return true;
    if (m_viewer.isNull()) m_viewer = new HelpViewer(m_parent);
    m_viewer->showPage(qs(path));
    return true;
}

bool QtDesktopOpener::openAddress(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(qs(address)));
}

SplashWindow::SplashWindow() : QSplashScreen(splashPicture()) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(qs(product::kTitle));
}

}  // namespace corvane::ui
