#include "ui/options_window.h"

#include "config/folders_reminder.h"
#include "config/set_option_choices.h"
#include "ui/entry_windows.h"
#include "ui/icons.h"
#include "ui/ui_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

// The picture of each page, in page order: the set, basic settings, restore, password,
// advanced settings, testing.
constexpr std::array<std::string_view, 6> kPagePictures = {
    "corvane-category", "preferences-system", "document-revert",
    "dialog-password",  "system-run",         "corvane-test"};

QIcon pagePicture(std::size_t index) {
    const QString name = qs(kPagePictures[index]);
    return QIcon::fromTheme(name, bundledIcon(kPagePictures[index]));
}

QLineEdit* passwordBox(const char* name, std::string_view caption, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    nameControl(box, name, caption);
    box->setEchoMode(OptionsDialog::kPasswordMasked ? QLineEdit::Password : QLineEdit::Normal);
    box->setMaxLength(static_cast<int>(OptionsDialog::kPasswordMaxLength));
    return box;
}

}  // namespace

OptionsWindow::OptionsWindow(OptionsDialog& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmOptions", OptionsDialog::kTitle, model.helpTopic()),
      m_model(model) {
    auto* iconColumn = new QVBoxLayout;
    auto* iconGroup = new QButtonGroup(this);
    for (std::size_t index = 0; index < kOptionsPages.size(); ++index) {
        const OptionsPage& page = kOptionsPages[index];
        auto* icon = new QToolButton(this);
        nameControl(icon, std::string(page.icon).c_str(), page.tip);
        icon->setIcon(pagePicture(index));
        icon->setIconSize(QSize(32, 32));
        icon->setToolTip(qs(page.tip));
        icon->setCheckable(true);
        icon->setAutoRaise(true);
        iconGroup->addButton(icon, static_cast<int>(index) + 1);
        iconColumn->addWidget(icon);
        m_icons[index] = icon;
    }
    iconColumn->addStretch(1);
    connect(iconGroup, &QButtonGroup::idClicked, this, [this](int page) { showPage(page); });

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("fraPages"));
    m_pages->addWidget(makePage(1, setPage()));
    m_pages->addWidget(makePage(2, basicPage()));
    m_pages->addWidget(makePage(3, restorePage()));
    m_pages->addWidget(makePage(4, passwordPage()));
    m_pages->addWidget(makePage(5, advancedPage()));
    m_pages->addWidget(makePage(6, testingPage()));

    QPushButton* ok = makeButton("cmdOK", "OK");
    QPushButton* cancel = makeButton("cmdCancel", "&Cancel");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &OptionsWindow::ok);
    connect(cancel, &QPushButton::clicked, this, &OptionsWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });

    auto* right = new QVBoxLayout;
    right->addWidget(makeLabel("lblIconHint", OptionsDialog::kIconHint));
    right->addWidget(m_pages, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(iconColumn);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::VLine);
    body->addWidget(rule);
    body->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    showPage(m_model.page());
    syncPasswordBoxes();
    fitToWidth(this, 560);
}

QWidget* OptionsWindow::makePage(int page, QWidget* controls) {
    const OptionsPage& definition = kOptionsPages[static_cast<std::size_t>(page - 1)];
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("fraPage%1").arg(page));
    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("imgPage%1").arg(page));
    picture->setPixmap(pagePicture(static_cast<std::size_t>(page - 1)).pixmap(48, 48));
    QLabel* title = makeLabel(("lblTitle" + std::to_string(page)).c_str(), definition.tip, false);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    QLabel* intro = makeLabel(("lblIntro" + std::to_string(page)).c_str(), definition.intro);
    auto* heading = new QGridLayout;
    heading->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    heading->addWidget(title, 0, 1);
    heading->addWidget(intro, 1, 1);
    heading->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(heading);
    layout->addSpacing(8);
    layout->addWidget(controls);
    layout->addStretch(1);
    return panel;
}

QCheckBox* OptionsWindow::makeCheck(const char* objectName, std::string_view caption,
                                    bool& field) {
    auto* box = new QCheckBox(qs(caption), this);
    nameControl(box, objectName, caption);
    box->setChecked(field);
    connect(box, &QCheckBox::toggled, this, [&field](bool checked) { field = checked; });
    return box;
}

QWidget* OptionsWindow::setPage() {
    auto* controls = new QWidget(this);
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    m_compression = new QComboBox(controls);
    nameControl(m_compression, "cboCompression", kCompressionStyleCaption);
    for (const std::string_view item : kCompressionItems)
        m_compression->addItem(qs(item));
    m_compression->setCurrentIndex(static_cast<int>(m_model.compressionIndex()));
    connect(m_compression, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) m_model.selectCompression(static_cast<std::size_t>(index));
    });
    auto* caption = makeLabel("lblCompression", kCompressionStyleCaption, false);
    caption->setBuddy(m_compression);
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(m_compression, 1);
    layout->addLayout(row);
    OptionsDialog::Checks& checks = m_model.checks();
    layout->addWidget(makeCheck("chkAddNew", kAddNewCaption, checks.addNew));
    layout->addWidget(makeCheck("chkFreshen", kFreshenCaption, checks.freshen));
    m_addAllFolders = new QCheckBox(qs(kAddAllFoldersCaption), controls);
    nameControl(m_addAllFolders, "chkAddAllFolders", kAddAllFoldersCaption);
    // Set before the handler is connected: loading never shows the reminder.
    m_addAllFolders->setChecked(m_model.addAllFolders());
    connect(m_addAllFolders, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_model.setAddAllFolders(checked)) return;
        FoldersReminder reminder(m_model.programFolder());
        ReminderWindow window(reminder, m_host, this);
        m_host.runModal(window);
    });
    layout->addWidget(m_addAllFolders);
    return controls;
}

QWidget* OptionsWindow::basicPage() {
    auto* controls = new QWidget(this);
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    OptionsDialog::Checks& checks = m_model.checks();
    layout->addWidget(makeCheck("chkSubFolders", "Include subfolders when selecting folders",
                                checks.subFolders));
    layout->addWidget(makeCheck("chkShutDown",
                                "Shut down Corvane when a command line backup has been performed",
                                checks.shutDown));
    layout->addWidget(
        makeCheck("chkSkipPrompt", "Prompt notification for skipped files", checks.skipPrompt));
    layout->addWidget(makeCheck("chkPromptPreview", "Prompt for backup archive size preview",
                                checks.promptPreview));
    return controls;
}

QWidget* OptionsWindow::restorePage() {
    auto* controls = new QWidget(this);
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    OptionsDialog::Checks& checks = m_model.checks();
    layout->addWidget(makeCheck("chkRestoreOverwrite",
                                "Always overwrite existing files when restoring",
                                checks.restoreOverwrite));
    layout->addWidget(makeCheck("chkSystemValidate",
                                "Only overwrite program && system files with newer version numbers",
                                checks.systemValidate));
    layout->addWidget(makeCheck("chkNewLocationPrompt", "Prompt for different restore locations",
                                checks.newLocationPrompt));
    return controls;
}

QWidget* OptionsWindow::passwordPage() {
    auto* controls = new QWidget(this);
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    m_password = new QCheckBox(QStringLiteral("Password Protect Backup Archives"), controls);
    nameControl(m_password, "chkPassword", "Password Protect Backup Archives");
    m_password->setChecked(m_model.passwordProtect());
    m_pass1 = passwordBox("txtPass1", "Password", controls);
    m_pass2 = passwordBox("txtPass2", OptionsDialog::kConfirmLabel, controls);
    m_pass1->setText(qs(m_model.password()));
    m_pass2->setText(qs(m_model.confirmation()));
    QLabel* first = makeLabel("lblPass1", OptionsDialog::kPasswordLabel);
    QLabel* second = makeLabel("lblPass2", OptionsDialog::kConfirmLabel, false);
    first->setBuddy(m_pass1);
    second->setBuddy(m_pass2);
    layout->addWidget(m_password);
    layout->addWidget(first);
    layout->addWidget(m_pass1);
    layout->addWidget(second);
    layout->addWidget(m_pass2);
    connect(m_password, &QCheckBox::toggled, this, [this](bool checked) {
        m_model.setPasswordProtect(checked);
        syncPasswordBoxes();
    });
    connect(m_pass1, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setPassword(str(text)); });
    connect(m_pass2, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setConfirmation(str(text)); });
    return controls;
}

QWidget* OptionsWindow::advancedPage() {
    auto* controls = new QWidget(this);
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    OptionsDialog::Checks& checks = m_model.checks();
    layout->addWidget(makeCheck("chkLogFile", "Keep log file of all operations in Corvane",
                                checks.logFile));
    layout->addWidget(makeCheck("chkVerifyExists",
                                "Verify that files/folders exist when opening a backup set",
                                checks.verifyExists));
    layout->addWidget(makeCheck("chkNoAskDefault",
                                "If Default Location exists, then do not ask for backup location "
                                "when performing a backup",
                                checks.noAskDefault));
    m_tempFolder = new QLineEdit(controls);
    nameControl(m_tempFolder, "txtTempFolder", "Temp Folder Location");
    m_tempFolder->setText(qs(m_model.tempFolder()));
    connect(m_tempFolder, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setTempFolder(str(text)); });
    auto* browse = new QToolButton(controls);
    nameControl(browse, "cmdBrowse", OptionsDialog::kBrowseTip);
    browse->setIcon(QIcon::fromTheme(QStringLiteral("folder-open"), bundledIcon("document-open")));
    browse->setToolTip(qs(OptionsDialog::kBrowseTip));
    m_browseMenu = new QMenu(this);
    m_browseMenu->setObjectName(QStringLiteral("mnuBrowse"));
    QAction* selectNew = m_browseMenu->addAction(qs(OptionsDialog::kSelectNew));
    selectNew->setObjectName(QStringLiteral("mnuBrowseSelectNew"));
    m_clearAction = m_browseMenu->addAction(qs(OptionsDialog::kClearToDefault));
    m_clearAction->setObjectName(QStringLiteral("mnuBrowseClear"));
    connect(browse, &QToolButton::clicked, this, &OptionsWindow::browseMenu);
    connect(selectNew, &QAction::triggered, this, [this] {
        m_model.selectNewTempFolder();
        showText(m_tempFolder, m_model.tempFolder());
    });
    connect(m_clearAction, &QAction::triggered, this, [this] {
        m_model.clearTempFolder();
        showText(m_tempFolder, m_model.tempFolder());
    });
    QLabel* caption = makeLabel("lblTempFolder", "Temp Folder Location", false);
    caption->setBuddy(m_tempFolder);
    auto* row = new QHBoxLayout;
    row->addWidget(m_tempFolder, 1);
    row->addWidget(browse);
    layout->addSpacing(6);
    layout->addWidget(caption);
    layout->addLayout(row);
    return controls;
}

QWidget* OptionsWindow::testingPage() {
    auto* controls = new QWidget(this);
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tests = new QButtonGroup(this);
    const std::pair<const char*, std::string_view> options[] = {
        {"optNeverTest", "Never Test Backup Archive"},
        {"optAlwaysTest", "Always Test Backup Archive"},
        {"optPromptTest", "Prompt for Test Action"},
    };
    int id = 0;
    for (const auto& option : options) {
        auto* button = new QRadioButton(qs(option.second), controls);
        nameControl(button, option.first, option.second);
        m_tests->addButton(button, id++);
        layout->addWidget(button);
    }
    m_tests->button(static_cast<int>(m_model.testChoice()))->setChecked(true);
    connect(m_tests, &QButtonGroup::idClicked, this,
            [this](int choice) { m_model.selectTestChoice(static_cast<TestChoice>(choice)); });
    return controls;
}

void OptionsWindow::showPage(int page) {
    m_model.selectPage(page);
    const int shown = m_model.page();
    for (std::size_t index = 0; index < m_icons.size(); ++index) {
        const bool selected = m_model.iconSelected(static_cast<int>(index) + 1);
        m_icons[index]->setChecked(selected);
        // The selected icon carries a border; the others sit flat.
        m_icons[index]->setAutoRaise(!selected);
    }
    m_pages->setCurrentIndex(shown - 1);
    m_helpTopic = m_model.helpTopic();
}

void OptionsWindow::syncPasswordBoxes() {
    const bool enabled = m_model.passwordBoxesEnabled();
    // Qt greys a disabled box as the button face.
    m_pass1->setEnabled(enabled);
    m_pass2->setEnabled(enabled);
    showText(m_pass1, m_model.password());
    showText(m_pass2, m_model.confirmation());
}

void OptionsWindow::browseMenu() {
    m_clearAction->setEnabled(m_model.clearToDefaultEnabled());
    m_browseMenu->popup(QCursor::pos());
}

void OptionsWindow::ok() {
    m_model.ok();
    if (!m_model.isOpen()) accept();
}

void OptionsWindow::reject() {
    if (m_model.isOpen()) m_model.cancel();
    QDialog::reject();
}

}  // namespace corvane::ui
