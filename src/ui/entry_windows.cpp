#include "ui/entry_windows.h"

#include "ui/ui_text.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace corvane::ui {

EntryWindow::EntryWindow(EntryDialog& model, QtHost& host, QWidget* parent, const char* objectName,
                         std::string_view title, int helpTopic, const char* boxName,
                         std::string_view label)
    : ModelDialog(host, parent, objectName, title, helpTopic), m_model(model), m_label(qs(label)) {
    m_box = new QLineEdit(this);
    nameControl(m_box, boxName, label);
    m_box->installEventFilter(this);
    m_ok = makeButton("cmdOK", "OK");
    m_ok->setDefault(true);
    connect(m_box, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.setText(str(text));
        refresh();
    });
    connect(m_ok, &QPushButton::clicked, this, &EntryWindow::ok);
}

void EntryWindow::build(std::string_view intro, std::string_view hint,
                        std::initializer_list<QPushButton*> chooseButtons) {
    QPushButton* cancel = makeButton("cmdCancel", EntryDialog::kCancelCaption);
    QPushButton* help = makeButton("cmdHelp", EntryDialog::kHelpCaption);
    auto* label = makeLabel("lblEntry", str(m_label), false);
    label->setBuddy(m_box);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", intro));
    layout->addWidget(label);
    layout->addWidget(m_box);
    layout->addWidget(makeLabel("lblHint", hint));
    auto* row = new QHBoxLayout;
    for (QPushButton* button : chooseButtons)
        row->addWidget(button);
    row->addStretch(1);
    for (QPushButton* button : {m_ok, cancel, help})
        row->addWidget(button);
    layout->addLayout(row);

    setTabOrder(m_box, *chooseButtons.begin());
    connect(cancel, &QPushButton::clicked, this, &EntryWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    fitToWidth(this, 540);
    refresh();
    m_box->setFocus();
}

void EntryWindow::refresh() {
    showText(m_box, m_model.text());
    m_ok->setEnabled(m_model.okEnabled());
}

void EntryWindow::ok() {
    m_model.ok();
    if (!m_model.isOpen()) {
        accept();
        return;
    }
    refresh();
    if (m_model.takeFocusRequest()) focusBox(true);
}

void EntryWindow::focusBox(bool selectText) {
    m_box->setFocus(Qt::OtherFocusReason);
    if (!selectText) {
        m_box->end(false);
        return;
    }
    const TextSelection selection = m_model.focusSelection();
    selectBytes(m_box, selection.start, selection.length);
}

bool EntryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_box && event->type() == QEvent::FocusIn) {
        // After the focus has arrived, so that the click that gave it does not undo the
        // selection.
        QTimer::singleShot(0, this, [this] {
            if (m_box->hasFocus()) focusBox(true);
        });
    }
    return ModelDialog::eventFilter(watched, event);
}

void EntryWindow::reject() {
    m_model.cancel();
    QDialog::reject();
}

WildcardWindow::WildcardWindow(WildcardDialog& model, QtHost& host, QWidget* parent)
    : EntryWindow(model, host, parent, "frmAddWildCard", WildcardDialog::kTitle,
                  WildcardDialog::kHelpTopic, "txtWildCard", WildcardDialog::kLabel) {
    QPushButton* chooseFolder = makeButton("cmdChooseFolder", WildcardDialog::kChooseFolderCaption);
    connect(chooseFolder, &QPushButton::clicked, this, [this, &model] {
        model.chooseFolder();
        refresh();
        focusBox(false);
    });
    build(WildcardDialog::kIntro, WildcardDialog::kExample, {chooseFolder});
}

ExclusionWindow::ExclusionWindow(ExclusionDialog& model, QtHost& host, QWidget* parent)
    : EntryWindow(model, host, parent, "frmAddExclusion", ExclusionDialog::kTitle,
                  ExclusionDialog::kHelpTopic, "txtExclusion", ExclusionDialog::kLabel) {
    QPushButton* chooseFile = makeButton("cmdChooseFile", ExclusionDialog::kChooseFileCaption);
    QPushButton* chooseFolder =
        makeButton("cmdChooseFolder", ExclusionDialog::kChooseFolderCaption);
    connect(chooseFile, &QPushButton::clicked, this, [this, &model] {
        model.chooseFile();
        refresh();
        focusBox(false);
    });
    connect(chooseFolder, &QPushButton::clicked, this, [this, &model] {
        model.chooseFolder();
        refresh();
        focusBox(false);
    });
    build(ExclusionDialog::kIntro, ExclusionDialog::kHint, {chooseFile, chooseFolder});
}

FolderPickerWindow::FolderPickerWindow(FolderPicker& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmAddFolders", FolderPicker::kTitle, FolderPicker::kHelpTopic),
      m_model(model) {
    m_folders = new QFileSystemModel(this);
    // Hidden folders stay out of sight, as in the desktop's own folder choosers.
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    nameControl(m_tree, "tvFolders", "Folders");
    m_tree->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setHeaderHidden(true);
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    m_add = makeButton("cmdAdd", FolderPicker::kAddCaption);
    m_close = makeButton("cmdClose", FolderPicker::kCloseCaption);
    QPushButton* help = makeButton("cmdHelp", FolderPicker::kHelpCaption);
    // The picker has no help page: its Help button has no action.
    help->setEnabled(false);
    m_add->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", FolderPicker::kIntro));
    layout->addWidget(m_tree, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : {m_add, m_close, help})
        row->addWidget(button);
    layout->addLayout(row);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                m_model.selectFolder(str(m_folders->filePath(current)));
                refresh();
            });
    connect(m_add, &QPushButton::clicked, this, [this] {
        // The buttons show their disabled state while the folder's tree is read.
        const QMetaObject::Connection redraw =
            connect(&m_host, &QtHost::eventsPumped, this, &FolderPickerWindow::refresh);
        m_add->setEnabled(false);
        m_close->setEnabled(false);
        m_model.addSelectedFolder();
        disconnect(redraw);
        refresh();
    });
    connect(m_close, &QPushButton::clicked, this, &FolderPickerWindow::reject);
    // Folders are listed as they are read: keep the selected one in sight meanwhile.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, [this] {
        if (m_tree->currentIndex().isValid()) {
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });
    resize(520, 480);
    selectPath(QDir::homePath());
    refresh();
    m_tree->setFocus();
}

void FolderPickerWindow::selectPath(const QString& path) {
    const QModelIndex index = m_folders->index(path);
    if (!index.isValid()) return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderPickerWindow::refresh() {
    m_add->setEnabled(m_model.addEnabled());
    m_close->setEnabled(m_model.closeEnabled());
}

void FolderPickerWindow::reject() {
    if (!m_model.closeEnabled()) return;
    m_model.close();
    QDialog::reject();
}

ReminderWindow::ReminderWindow(FoldersReminder& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmReminder", FoldersReminder::kTitle, 0), m_model(model) {
    auto* note = makeLabel("lblNote", FoldersReminder::kNote, false);
    QFont bold = note->font();
    bold.setBold(true);
    note->setFont(bold);
    m_showAgain = new QCheckBox(qs(FoldersReminder::kShowAgainCaption), this);
    nameControl(m_showAgain, "chkShowAgain", FoldersReminder::kShowAgainCaption);
    m_showAgain->setChecked(m_model.showAgain());
    QPushButton* ok = makeButton("cmdOK", "OK");
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(makeLabel("lblText1", FoldersReminder::kTexts[0]));
    layout->addWidget(makeLabel("lblText2", FoldersReminder::kTexts[1]));
    auto* row = new QHBoxLayout;
    row->addWidget(m_showAgain);
    row->addStretch(1);
    row->addWidget(ok);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &ReminderWindow::accept);
    fitToWidth(this, 480);
}

void ReminderWindow::done(int result) {
    m_model.setShowAgain(m_showAgain->isChecked());
    m_model.close();
    ModelDialog::done(result);
}

}  // namespace corvane::ui
