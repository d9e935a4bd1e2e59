#include "ui/qt_host.h"

#include "ui/backup_windows.h"
#include "ui/progress_windows.h"
#include "ui/ui_text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace corvane::ui {

NormalPointer::NormalPointer(bool busy) : m_pushed(busy) {
    if (m_pushed) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

NormalPointer::~NormalPointer() {
    if (m_pushed) QGuiApplication::restoreOverrideCursor();
}

QtHost::QtHost() {
    m_commands.fill(true);
    m_progress.onChange([this] { syncProgressWindow(); });
    m_previewing.onChange([this] { syncPreviewingWindow(); });
}

QtHost::~QtHost() {
    m_progress.onChange(nullptr);
    m_previewing.onChange(nullptr);
    delete m_progressWindow.data();
    delete m_previewingWindow.data();
    while (m_busyDepth > 0)
        setBusy(false);
}

ProgressWindow* QtHost::progressWindow() const {
    return static_cast<ProgressWindow*>(m_progressWindow.data());
}

PreviewingWindow* QtHost::previewingWindow() const {
    return static_cast<PreviewingWindow*>(m_previewingWindow.data());
}

QWidget* QtHost::dialogParent() const {
    if (!m_modals.empty()) return m_modals.back();
    return m_mainWindow;
}

void QtHost::showHelp(int topic) {
    if (m_help != nullptr) m_help->open(topic);
}

int QtHost::runModal(QDialog& dialog) {
    NormalPointer normal(busy());
    m_modals.push_back(&dialog);
    const int result = dialog.exec();
    m_modals.pop_back();
    return result;
}

namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QPushButton* addBoxButton(QMessageBox& box, QMessageBox::StandardButton which, const char* name) {
    QPushButton* button = box.addButton(which);
    nameControl(button, name, str(button->text()));
    return button;
}

}  // namespace

Answer QtHost::message(Icon icon, Buttons buttons, std::string_view title, std::string_view text,
                       int helpTopic) {
    QMessageBox box(boxIcon(icon), qs(title), displayText(text), QMessageBox::NoButton,
                    dialogParent());
    box.setObjectName(QStringLiteral("msgBox"));
    QPushButton* help = nullptr;
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkHelp: {
            QPushButton* ok = addBoxButton(box, QMessageBox::Ok, "cmdOK");
            box.setDefaultButton(ok);
            box.setEscapeButton(ok);
            if (buttons == Buttons::OkHelp) help = addBoxButton(box, QMessageBox::Help, "cmdHelp");
            break;
        }
        case Buttons::OkCancel:
            box.setDefaultButton(addBoxButton(box, QMessageBox::Ok, "cmdOK"));
            box.setEscapeButton(addBoxButton(box, QMessageBox::Cancel, "cmdCancel"));
            break;
        case Buttons::YesNo:
            box.setDefaultButton(addBoxButton(box, QMessageBox::Yes, "cmdYes"));
            box.setEscapeButton(addBoxButton(box, QMessageBox::No, "cmdNo"));
            break;
    }
    for (;;) {
        runModal(box);
        // Help opens the page and leaves the question standing.
        if (help != nullptr && box.clickedButton() == help) {
            showHelp(helpTopic);
            continue;
        }
        break;
    }
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNo      ? Answer::No
                   : buttons == Buttons::OkCancel ? Answer::Cancel
                                                  : Answer::Ok;
    }
}

std::vector<std::string> QtHost::chooseOpenFiles(const FileRequest& request) {
    NormalPointer normal(busy());
    const QString folder =
        request.initialFolder.empty() ? QDir::currentPath() : qs(request.initialFolder);
    QStringList chosen;
    if (request.multiSelect) {
        chosen = QFileDialog::getOpenFileNames(dialogParent(), qs(request.title), folder,
                                               fileDialogFilter(request.filter));
    } else {
        const QString one = QFileDialog::getOpenFileName(dialogParent(), qs(request.title), folder,
                                                         fileDialogFilter(request.filter));
        if (!one.isEmpty()) chosen << one;
    }
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(str(path));
    return paths;
}

std::string QtHost::chooseSaveFile(const FileRequest& request) {
    NormalPointer normal(busy());
    QFileDialog dialog(dialogParent(), qs(request.title), qs(request.initialFolder),
                       fileDialogFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qs(request.defaultExtension));
    if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return str(dialog.selectedFiles().front());
}

std::string QtHost::chooseFolder(std::string_view title) {
    NormalPointer normal(busy());
    return str(QFileDialog::getExistingDirectory(dialogParent(), qs(title), QDir::currentPath()));
}

void QtHost::setStatusText(std::string_view text) {
    m_statusText = qs(text);
    emit statusTextChanged(m_statusText);
}

void QtHost::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtHost::setCommandEnabled(CommandId id, bool enabled) {
    m_commands[static_cast<std::size_t>(id)] = enabled;
    emit commandEnabledChanged(static_cast<int>(id), enabled);
}

void QtHost::processPendingEvents() {
    emit eventsPumped();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::showTimedErrorScreen() {
    TimedErrorWindow window(m_timedErrorMilliseconds, dialogParent());
    runModal(window);
}

void QtHost::beep() {
    QApplication::beep();
}

Answer QtHost::askPreview() {
    PreviewQuestionWindow window(*this, dialogParent());
    return runModal(window) == QDialog::Accepted ? Answer::Yes : Answer::No;
}

std::optional<std::string> QtHost::askArchivePassword() {
    PasswordPrompt prompt;
    PasswordWindow window(prompt, *this, dialogParent());
    runModal(window);
    return prompt.result();
}

void QtHost::showMaximumArchiveSize() {
    MaximumSizeWindow window(dialogParent());
    runModal(window);
}

void QtHost::syncProgressWindow() {
    if (m_progress.isOpen() && m_progressWindow.isNull()) {
        m_progressWindow = new ProgressWindow(m_progress, dialogParent());
    }
    auto* window = static_cast<ProgressWindow*>(m_progressWindow.data());
    if (window == nullptr) return;
    // A window made for an earlier run belongs to whatever window is in front now.
    QWidget* parent = dialogParent();
    if (m_progress.isOpen() && !window->isVisible() && window->parentWidget() != parent) {
        window->setParent(parent, window->windowFlags());
    }
    const bool opening = m_progress.isVisible() && !window->isVisible();
    window->sync();
    if (opening) emit progressOpened();
}

void QtHost::syncPreviewingWindow() {
    if (m_previewing.isOpen() && m_previewingWindow.isNull()) {
        m_previewingWindow = new PreviewingWindow(m_previewing, dialogParent());
    }
    if (auto* window = static_cast<PreviewingWindow*>(m_previewingWindow.data())) window->sync();
}

}  // namespace corvane::ui
