#include "ui_fixture.h"

#include "app/main_commands.h"
#include "subprocess.h"
#include "ui/entry_windows.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <cstdlib>

namespace corvane::test {

void checkControls(const QWidget& window) {
    std::map<char, std::string> keys;
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window) || button->text().isEmpty()) continue;
        const std::string caption = button->text().toStdString();
        EXPECT_EQ(button->accessibleName().toStdString(), plainCaption(caption))
            << window.objectName().toStdString() << ": " << caption;
        EXPECT_FALSE(button->objectName().isEmpty()) << caption;
        const char key = accessKey(caption);
        if (key == 0) continue;
        const auto [at, fresh] = keys.emplace(key, caption);
        EXPECT_TRUE(fresh) << window.objectName().toStdString() << ": '" << caption << "' and '"
                           << at->second << "' share the access key " << key;
    }
    for (const QWidget* input : window.findChildren<QWidget*>()) {
        if (!input->isVisibleTo(&window)) continue;
        if (input->inherits("QLineEdit") || input->inherits("QComboBox") ||
            input->inherits("QAbstractItemView") || input->inherits("QPlainTextEdit")) {
            // The parts that belong to another control: a combo box's list, a view's header.
            if (input->inherits("QHeaderView")) continue;
            if (input->parentWidget() != nullptr && input->parentWidget()->inherits("QComboBox"))
                continue;
            EXPECT_FALSE(input->accessibleName().isEmpty())
                << window.objectName().toStdString() << ": " << input->objectName().toStdString();
        }
    }
}

void saveScreenshot(QWidget& window, const std::string& name) {
    if (window.isWindow() && !window.inherits("QMenu")) checkControls(window);
    const QString folder = QStringLiteral(CORVANE_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + QString::fromStdString(name) + ".png";
    const QPixmap content = window.grab();
    // The offscreen platform draws no title bars: a strip with the window's title stands in,
    // so that a reviewer sees what the user would.
    const bool titled =
        window.isWindow() && !window.windowTitle().isEmpty() && !window.inherits("QMenu");
    const int strip = titled ? 26 : 0;
    QImage picture(content.width(), content.height() + strip, QImage::Format_ARGB32);
    picture.fill(QColor(60, 64, 72));
    QPainter painter(&picture);
    if (titled) {
        painter.setPen(Qt::white);
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(QRect(10, 0, content.width() - 20, strip), Qt::AlignVCenter,
                         window.windowTitle());
    }
    painter.drawPixmap(0, strip, content);
    painter.end();
    EXPECT_TRUE(picture.save(path)) << "cannot save " << path.toStdString();
}

std::string textOf(const QObject& window, const char* name) {
    if (auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(name))) {
        return box->text().toStdString();
    }
    auto* label = control<QLabel>(window, name);
    return label == nullptr ? "" : label->text().toStdString();
}

bool enabled(const QObject& window, const char* name) {
    auto* widget = control<QWidget>(window, name);
    return widget != nullptr && widget->isEnabled();
}

void click(const QObject& window, const char* button) {
    auto* found = control<QAbstractButton>(window, button);
    if (found == nullptr) return;
    EXPECT_TRUE(found->isEnabled()) << button << " is disabled";
    found->click();
}

void type(const QObject& window, const char* box, const std::string& text) {
    auto* found = control<QLineEdit>(window, box);
    if (found == nullptr) return;
    found->selectAll();
    if (text.empty()) {
        QTest::keyClick(found, Qt::Key_Delete);
        return;
    }
    QTest::keyClicks(found, QString::fromStdString(text));
}

void TestHost::expectWindow(const std::string& objectName, Handler handler) {
    m_expected.push_back({objectName, std::move(handler)});
}

void TestHost::expectBox(const std::string& title, const std::string& text, const char* button) {
    expectWindow("msgBox", [title, text, button](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.windowTitle().toStdString(), title);
        if (!text.empty()) {
            EXPECT_EQ(box.text().toStdString(), text);
        }
        click(box, button);
    });
}

void TestHost::checkScriptFinished() const {
    for (const Expected& expected : m_expected) {
        ADD_FAILURE() << "the window " << expected.objectName << " was never shown";
    }
    if (!m_openFiles.empty() || !m_folders.empty() || !m_saveFiles.empty()) {
        ADD_FAILURE() << "not every queued chooser answer was used";
    }
}

int TestHost::runModal(QDialog& dialog) {
    const std::string name = dialog.objectName().toStdString();
    m_shown.push_back(name + ": " + dialog.windowTitle().toStdString());
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        m_boxTexts.push_back(box->text().toStdString());
    }
    if (m_expected.empty() || m_expected.front().objectName != name) {
        ADD_FAILURE() << "unexpected window " << name << " \"" << dialog.windowTitle().toStdString()
                      << "\""
                      << (m_expected.empty() ? "" : ", expected " + m_expected.front().objectName);
        dialog.QDialog::done(QDialog::Rejected);
        return QDialog::Rejected;
    }
    const Handler handler = std::move(m_expected.front().handler);
    m_expected.pop_front();
    // As exec() would: the window shows, and the normal pointer is over it.
    ui::NormalPointer normal(busy());
    dialog.show();
    handler(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the window " << name << " is still open after its script";
        dialog.QDialog::done(QDialog::Rejected);
    }
    return dialog.result();
}

namespace {

// The next queued answer; with none queued the test fails on the chooser `what`.
template <typename T>
T next(std::deque<T>& queue, const std::string& what) {
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return {};
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

std::vector<std::string> TestHost::chooseOpenFiles(const FileRequest& request) {
    m_fileRequests.push_back(request);
    return next(m_openFiles, "file chooser \"" + request.title + "\"");
}

std::string TestHost::chooseSaveFile(const FileRequest& request) {
    m_fileRequests.push_back(request);
    return next(m_saveFiles, "save chooser \"" + request.title + "\"");
}

std::string TestHost::chooseFolder(std::string_view title) {
    m_folderTitles.emplace_back(title);
    return next(m_folders, "folder chooser \"" + std::string(title) + "\"");
}

UiFixture::UiFixture(bool realArchiver) : clock(fromLocal({2026, 12, 4, 10, 30, 0})) {
    ::setenv("CORVANE_HOME", home.path().c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(home / "settings"));
    archive::ArchiveComponent& component =
        realArchiver ? static_cast<archive::ArchiveComponent&>(archiver) : fake;
    program = std::make_unique<Program>(
        home.path(), ProgramServices{gate, clock, fileSystem, drives, component, launcher});
    help = std::make_unique<HelpPages>(builtProgram("bin/help/"), gate, opener);
    host.setHelp(help.get());
    dialogs = std::make_unique<ui::UiDialogs>(host);
    dispatcher = std::make_unique<CommandDispatcher>(*program, gate, launcher, *dialogs, *help);
    window = std::make_unique<ui::MainWindow>(*program, *dispatcher, host, settings);
    // Short enough for a test to see it close itself.
    host.setTimedErrorMilliseconds(50);
    program->load("");
    window->syncTree();
    makeFolder(home / "data/sub");
    makeFolder(home / "out");
    writeFile(home / "data/a.txt", "alpha alpha alpha alpha");
    writeFile(home / "data/b.doc", "bravo");
    writeFile(home / "data/sub/c.txt", "charlie");
}

UiFixture::~UiFixture() {
    // The window goes before the program it shows.
    window.reset();
}

void UiFixture::TearDown() {
    host.checkScriptFinished();
}

void UiFixture::makeSet(const std::string& name) {
    host.expectWindow("frmNewSet", [&](QDialog& dialog) {
        type(dialog, "txtName", name);
        type(dialog, "txtLocation", home / ("out/" + name + ".bac"));
        click(dialog, "cmdOK");
    });
    trigger(CommandId::New);
}

void UiFixture::addDataFolder() {
    host.expectWindow("frmAddFolders", [&](QDialog& dialog) {
        auto& picker = static_cast<ui::FolderPickerWindow&>(dialog);
        picker.selectPath(QString::fromStdString(home / "data"));
        click(dialog, "cmdAdd");
        click(dialog, "cmdClose");
    });
    trigger(CommandId::AddFolder);
}

}  // namespace corvane::test
