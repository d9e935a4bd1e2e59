#include "ui/restore_main_window.h"

#include "restore/restore_paths.h"
#include "ui/restore_tree_model.h"
#include "ui/ui_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace corvane::ui {

using restore::Action;
using restore::DestinationKind;
using restore::OverwritePolicy;
using restore::WindowStep;

namespace {

// The overwrite policies in the order of the list.
constexpr OverwritePolicy kPolicies[] = {OverwritePolicy::Ask, OverwritePolicy::Newer,
                                         OverwritePolicy::Never, OverwritePolicy::Always,
                                         OverwritePolicy::Rename};
constexpr const char* kPolicyTexts[] = {
    "Ask me about each one", "Replace only with a newer copy", "Never replace",
    "Always replace", "Keep them, and restore beside them as \"name (1)\""};

constexpr Action kChoices[] = {Action::Replace, Action::Keep, Action::Beside};
constexpr const char* kChoiceTexts[] = {"Replace", "Keep", "Restore beside"};

// A label whose text wraps, made tall enough for all its lines at the page's width (the
// stacked pages do not pass the height a wrapped text needs on to the window).
void fitLabel(QLabel* label, int width) {
    // A little narrower than the page: a line that only just fits may still wrap.
    label->setMinimumHeight(label->heightForWidth(std::max(width - 24, 200)));
}

QLabel* wrappedLabel(QWidget* page, const char* name) {
    auto* label = new QLabel(page);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The place of the spacer in the summary page's layout.
constexpr int kSummarySpacer = 3;

int pageOf(WindowStep step) {
    return static_cast<int>(step);
}

QTreeWidget* makeList(QWidget* parent, const char* name, std::string_view caption,
                      const QStringList& columns) {
    auto* list = new QTreeWidget(parent);
    nameControl(list, name, caption);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setTextElideMode(Qt::ElideMiddle);
    return list;
}

}  // namespace

RestoreMainWindow::RestoreMainWindow(restore::RestoreWindow& model, QtHost& host,
                                     DesktopOpener& opener, QWidget* parent)
    : ModelDialog(host, parent, "frmRestore", model.title(), kHelpTopic),
      m_model(model),
      m_opener(opener) {
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setSizeGripEnabled(true);

    m_header = new QWidget(this);
    auto* header = new QHBoxLayout(m_header);
    header->setContentsMargins(0, 0, 0, 0);
    auto* archiveLabel = new QLabel(QStringLiteral("Archive:"), m_header);
    m_archive = new QLineEdit(m_header);
    nameControl(m_archive, "txtArchive", "Archive");
    m_archive->setReadOnly(true);
    auto* open = makeButton("cmdOpen", "&Open Archive...");
    header->addWidget(archiveLabel);
    header->addWidget(m_archive, 1);
    header->addWidget(open);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(makeEmptyPage());
    m_pages->addWidget(makeChoosePage());
    m_pages->addWidget(makeConflictsPage());
    m_pages->addWidget(makeRunningPage());
    m_pages->addWidget(makeSummaryPage());
    m_pages->addWidget(makeTestPage());

    auto* help = makeButton("cmdHelp", "&Help");
    m_close = makeButton("cmdClose", "Close");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(help);
    bottom->addStretch(1);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);

    connect(open, &QPushButton::clicked, this, [this] { m_model.browseArchive(); });
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    connect(m_close, &QPushButton::clicked, this, &RestoreMainWindow::reject);
    m_model.onChanged = [this] { refresh(); };
    resize(760, 600);
    refresh();
}

RestoreMainWindow::~RestoreMainWindow() {
    m_model.onChanged = nullptr;
}

QWidget* RestoreMainWindow::makeEmptyPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* intro = new QLabel(
        QStringLiteral("Open a backup archive (.bac, or any volume of a split archive) to see "
                       "the folders and files it holds. Then restore all of them or a "
                       "selection, or test them without restoring anything."),
        page);
    intro->setObjectName(QStringLiteral("lblEmpty"));
    intro->setWordWrap(true);
    layout->addStretch(1);
    layout->addWidget(intro);
    layout->addStretch(2);
    return page;
}

QWidget* RestoreMainWindow::makeChoosePage() {
    auto* page = new QWidget(this);
    auto* filterLabel = new QLabel(QStringLiteral("Fi&lter:"), page);
    m_filter = new QLineEdit(page);
    nameControl(m_filter, "txtFilter", "Filter");
    m_filter->setPlaceholderText(QStringLiteral("part of a name, or a pattern such as *.odt"));
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);

    m_treeModel = new RestoreTreeModel(m_model, this);
    m_tree = new QTreeView(page);
    nameControl(m_tree, "tvwArchive", "Archive contents");
    m_tree->setModel(m_treeModel);
    m_tree->setUniformRowHeights(true);
    m_tree->setAlternatingRowColors(true);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(RestoreTreeModel::kName, QHeaderView::Stretch);
    m_tree->header()->setSectionResizeMode(RestoreTreeModel::kSize,
                                           QHeaderView::ResizeToContents);
    m_tree->header()->setSectionResizeMode(RestoreTreeModel::kModified,
                                           QHeaderView::ResizeToContents);
    m_chosen = new QLabel(page);
    m_chosen->setObjectName(QStringLiteral("lblChosen"));

    auto* where = new QGroupBox(QStringLiteral("Restore to"), page);
    where->setObjectName(QStringLiteral("fraDestination"));
    m_original = new QRadioButton(QStringLiteral("The ori&ginal places"), where);
    nameControl(m_original, "optOriginal", "The ori&ginal places");
    m_toFolder = new QRadioButton(QStringLiteral("This &folder:"), where);
    nameControl(m_toFolder, "optFolder", "This &folder:");
    m_folder = new QLineEdit(where);
    nameControl(m_folder, "txtFolder", "Folder");
    m_browse = new QPushButton(QStringLiteral("&Browse..."), where);
    nameControl(m_browse, "cmdBrowse", "&Browse...");
    m_keepFolders = new QCheckBox(QStringLiteral("&Keep folder structure"), where);
    nameControl(m_keepFolders, "chkKeepFolders", "&Keep folder structure");
    auto* stripLabel = new QLabel(QStringLiteral("&Strip leading folders:"), where);
    m_strip = new QSpinBox(where);
    nameControl(m_strip, "spnStrip", "Strip leading folders");
    m_strip->setRange(0, 64);
    if (auto* box = m_strip->findChild<QLineEdit*>()) box->setAccessibleName(m_strip->accessibleName());
    stripLabel->setBuddy(m_strip);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_toFolder);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    auto* optionRow = new QHBoxLayout;
    optionRow->addSpacing(24);
    optionRow->addWidget(m_keepFolders);
    optionRow->addSpacing(16);
    optionRow->addWidget(stripLabel);
    optionRow->addWidget(m_strip);
    optionRow->addStretch(1);
    auto* whereLayout = new QVBoxLayout(where);
    whereLayout->addWidget(m_original);
    whereLayout->addLayout(folderRow);
    whereLayout->addLayout(optionRow);

    auto* existing = new QGroupBox(QStringLiteral("Files that are already there"), page);
    existing->setObjectName(QStringLiteral("fraOverwrite"));
    auto* policyLabel = new QLabel(QStringLiteral("&When a file is already there:"), existing);
    m_policy = new QComboBox(existing);
    nameControl(m_policy, "cboOverwrite", "When a file is already there");
    for (const char* text : kPolicyTexts)
        m_policy->addItem(QString::fromUtf8(text));
    policyLabel->setBuddy(m_policy);
    m_systemValidate = new QCheckBox(
        QStringLiteral("Replace programs and shared libraries only with a ne&wer copy"), existing);
    nameControl(m_systemValidate, "chkSystemValidate",
                "Replace programs and shared libraries only with a ne&wer copy");
    auto* policyRow = new QHBoxLayout;
    policyRow->addWidget(policyLabel);
    policyRow->addWidget(m_policy, 1);
    auto* existingLayout = new QVBoxLayout(existing);
    existingLayout->addLayout(policyRow);
    existingLayout->addWidget(m_systemValidate);

    m_test = makeButton("cmdTest", "&Test");
    m_restore = makeButton("cmdRestore", "&Restore");
    m_restore->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chosen, 1);
    buttons->addWidget(m_test);
    buttons->addWidget(m_restore);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filterRow);
    layout->addWidget(m_tree, 1);
    layout->addWidget(where);
    layout->addWidget(existing);
    layout->addLayout(buttons);

    connect(m_filter, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setFilter(str(text)); });
    connect(m_original, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_refreshing) m_model.setDestination(DestinationKind::OriginalPlace);
    });
    connect(m_toFolder, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_refreshing) m_model.setDestination(DestinationKind::Folder);
    });
    connect(m_folder, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setFolder(str(text)); });
    connect(m_browse, &QPushButton::clicked, this, [this] { m_model.browseFolder(); });
    connect(m_keepFolders, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_refreshing) m_model.setKeepFolders(on);
    });
    connect(m_strip, &QSpinBox::valueChanged, this, [this](int count) {
        if (!m_refreshing) m_model.setStripFolders(count);
    });
    connect(m_policy, &QComboBox::activated, this,
            [this](int row) { m_model.setPolicy(kPolicies[row]); });
    connect(m_systemValidate, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_refreshing) m_model.setSystemValidate(on);
    });
    connect(m_test, &QPushButton::clicked, this, [this] { m_model.test(); });
    connect(m_restore, &QPushButton::clicked, this, [this] { m_model.restore(); });
    return page;
}

QWidget* RestoreMainWindow::makeConflictsPage() {
    auto* page = new QWidget(this);
    m_conflictsIntro = wrappedLabel(page, "lblConflicts");
    m_conflicts = makeList(page, "lvwConflicts", "Files already there",
                           {QStringLiteral("File"), QStringLiteral("In the archive"),
                            QStringLiteral("On disk"), QStringLiteral("Do")});
    m_conflicts->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_conflicts->header()->setStretchLastSection(false);
    auto* replaceAll = makeButton("cmdReplaceAll", "Replace &All");
    auto* keepAll = makeButton("cmdKeepAll", "&Keep All");
    auto* besideAll = makeButton("cmdBesideAll", "Restore Beside A&ll");
    auto* back = makeButton("cmdBack", "< &Back");
    auto* go = makeButton("cmdContinue", "&Restore");
    auto* all = new QHBoxLayout;
    all->addWidget(replaceAll);
    all->addWidget(keepAll);
    all->addWidget(besideAll);
    all->addStretch(1);
    all->addWidget(back);
    all->addWidget(go);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_conflictsIntro);
    layout->addWidget(m_conflicts, 1);
    layout->addLayout(all);
    connect(replaceAll, &QPushButton::clicked, this,
            [this] { m_model.setAllConflicts(Action::Replace); });
    connect(keepAll, &QPushButton::clicked, this,
            [this] { m_model.setAllConflicts(Action::Keep); });
    connect(besideAll, &QPushButton::clicked, this,
            [this] { m_model.setAllConflicts(Action::Beside); });
    connect(back, &QPushButton::clicked, this, [this] { m_model.backToChoose(); });
    connect(go, &QPushButton::clicked, this, [this] { m_model.continueRestore(); });
    return page;
}

QWidget* RestoreMainWindow::makeRunningPage() {
    auto* page = new QWidget(this);
    m_operation = new QLabel(page);
    m_operation->setObjectName(QStringLiteral("lblOperation"));
    QFont bold = m_operation->font();
    bold.setBold(true);
    m_operation->setFont(bold);
    m_entry = new QLabel(page);
    m_entry->setObjectName(QStringLiteral("lblEntry"));
    m_entry->setTextFormat(Qt::PlainText);
    m_entry->setMinimumWidth(200);
    m_bar = new QProgressBar(page);
    nameControl(m_bar, "prgRestore", "Progress");
    m_bar->setRange(0, 100);
    m_count = new QLabel(page);
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_cancel = makeButton("cmdCancel", "Cancel");
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(m_operation);
    layout->addWidget(m_entry);
    layout->addWidget(m_bar);
    layout->addWidget(m_count);
    layout->addLayout(row);
    layout->addStretch(2);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cancel(); });
    return page;
}

QWidget* RestoreMainWindow::makeSummaryPage() {
    auto* page = new QWidget(this);
    m_headline = wrappedLabel(page, "lblHeadline");
    QFont bold = m_headline->font();
    bold.setBold(true);
    m_headline->setFont(bold);
    m_skippedIntro = new QLabel(page);
    m_skippedIntro->setObjectName(QStringLiteral("lblSkipped"));
    m_skipped = makeList(page, "lvwSkipped", "Not restored",
                         {QStringLiteral("Entry"), QStringLiteral("What happened"),
                          QStringLiteral("Why")});
    m_openFolder = makeButton("cmdOpenFolder", "&Open folder");
    auto* more = makeButton("cmdRestoreMore", "Restore &More...");
    auto* row = new QHBoxLayout;
    row->addWidget(m_openFolder);
    row->addStretch(1);
    row->addWidget(more);
    m_summaryLayout = new QVBoxLayout(page);
    m_summaryLayout->setContentsMargins(0, 0, 0, 0);
    m_summaryLayout->addWidget(m_headline);
    m_summaryLayout->addWidget(m_skippedIntro);
    m_summaryLayout->addWidget(m_skipped, 1);
    m_summaryLayout->addStretch(0);
    m_summaryLayout->addLayout(row);
    connect(m_openFolder, &QPushButton::clicked, this, &RestoreMainWindow::openFolder);
    connect(more, &QPushButton::clicked, this, [this] { m_model.backToChoose(); });
    return page;
}

QWidget* RestoreMainWindow::makeTestPage() {
    auto* page = new QWidget(this);
    m_testHeadline = wrappedLabel(page, "lblTestHeadline");
    QFont bold = m_testHeadline->font();
    bold.setBold(true);
    m_testHeadline->setFont(bold);
    m_testLines = makeList(page, "lvwTest", "Test report",
                           {QStringLiteral("Entry"), QStringLiteral("Result")});
    auto* back = makeButton("cmdTestBack", "< &Back");
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(back);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_testHeadline);
    layout->addWidget(m_testLines, 1);
    layout->addLayout(row);
    connect(back, &QPushButton::clicked, this, [this] { m_model.backToChoose(); });
    return page;
}

void RestoreMainWindow::refresh() {
    if (m_refreshing) return;
    m_refreshing = true;
    const WindowStep step = m_model.step();
    const bool entering = step != m_shownStep;
    setWindowTitle(qs(m_model.title()));
    m_archive->setText(qs(restore::printable(m_model.archivePath())));
    m_header->setVisible(step == WindowStep::Empty || step == WindowStep::Choose);
    m_close->setVisible(step != WindowStep::Running);
    m_pages->setCurrentIndex(pageOf(step));
    switch (step) {
        case WindowStep::Empty:
            break;
        case WindowStep::Choose:
            refreshChoose();
            break;
        case WindowStep::Conflicts:
            if (entering) refreshConflicts();
            refreshChoices();
            break;
        case WindowStep::Running:
            refreshRunning();
            break;
        case WindowStep::Summary:
            if (entering) refreshSummary();
            break;
        case WindowStep::TestReport:
            if (entering) refreshTest();
            break;
    }
    if (step == WindowStep::Running && entering) m_cancel->setFocus();
    m_shownStep = step;
    m_refreshing = false;
}

void RestoreMainWindow::refreshChoose() {
    if (m_model.treeVersion() != m_shownTree) {
        m_shownTree = m_model.treeVersion();
        m_treeModel->reload();
        // A filter shows what it found; otherwise the archive's top folders are open.
        if (!m_model.tree().filter().empty()) {
            m_tree->expandAll();
        } else {
            m_tree->expandToDepth(1);
        }
    }
    showText(m_filter, m_model.tree().filter());
    m_chosen->setText(qs(m_model.chosenText()));
    const bool toFolder = m_model.destination() == DestinationKind::Folder;
    m_original->setChecked(!toFolder);
    m_toFolder->setChecked(toFolder);
    showText(m_folder, m_model.folder());
    m_folder->setEnabled(toFolder);
    m_browse->setEnabled(true);
    m_keepFolders->setChecked(m_model.keepFolders());
    m_keepFolders->setEnabled(m_model.folderChoicesEnabled());
    m_strip->setValue(m_model.stripFolders());
    m_strip->setEnabled(m_model.stripEnabled());
    for (std::size_t row = 0; row < std::size(kPolicies); ++row) {
        if (kPolicies[row] == m_model.policy()) m_policy->setCurrentIndex(static_cast<int>(row));
    }
    m_systemValidate->setChecked(m_model.systemValidate());
    m_test->setEnabled(m_model.testEnabled());
    m_restore->setEnabled(m_model.restoreEnabled());
}

void RestoreMainWindow::refreshConflicts() {
    const auto& rows = m_model.conflicts();
    m_conflictsIntro->setText(
        qs(std::to_string(rows.size()) +
           (rows.size() == 1 ? " file is" : " files are") +
           " already there. Choose what happens to each one; nothing is written until you "
           "click Restore."));
    m_conflicts->clear();
    for (std::size_t at = 0; at < rows.size(); ++at) {
        const restore::ConflictRow& row = rows[at];
        auto* item = new QTreeWidgetItem(m_conflicts);
        item->setText(0, qs(restore::printable(row.target)));
        item->setText(1, qs(restore::sizeText(row.archiveSize) + ", " +
                            restore::entryTimeText(row.archiveTimeNs)));
        item->setText(2, qs(restore::sizeText(row.diskSize) + ", " +
                            restore::entryTimeText(row.diskTimeNs)));
        auto* choice = new QComboBox(m_conflicts);
        nameControl(choice, "cboChoice", "Do");
        for (const char* text : kChoiceTexts)
            choice->addItem(QString::fromUtf8(text));
        for (std::size_t c = 0; c < std::size(kChoices); ++c) {
            if (kChoices[c] == row.choice) choice->setCurrentIndex(static_cast<int>(c));
        }
        m_conflicts->setItemWidget(item, 3, choice);
        connect(choice, &QComboBox::activated, this,
                [this, at](int c) { m_model.setConflictChoice(at, kChoices[c]); });
    }
    m_conflicts->resizeColumnToContents(1);
    m_conflicts->resizeColumnToContents(2);
    fitLabel(m_conflictsIntro, m_pages->width());
}

void RestoreMainWindow::refreshChoices() {
    const auto& rows = m_model.conflicts();
    for (std::size_t at = 0; at < rows.size(); ++at) {
        auto* choice = qobject_cast<QComboBox*>(
            m_conflicts->itemWidget(m_conflicts->topLevelItem(static_cast<int>(at)), 3));
        if (choice == nullptr) continue;
        for (std::size_t c = 0; c < std::size(kChoices); ++c) {
            if (kChoices[c] == rows[at].choice) choice->setCurrentIndex(static_cast<int>(c));
        }
    }
}

void RestoreMainWindow::refreshRunning() {
    const restore::ProgressState& state = m_model.progressState();
    m_operation->setText(qs(state.operation));
    m_entry->setText(qs(state.name));
    m_bar->setValue(state.percent);
    m_count->setText(qs(std::to_string(state.filesDone) + " of " +
                        std::to_string(state.filesTotal) + " files" +
                        (state.cancelling ? "; cancelling..." : "")));
    m_cancel->setEnabled(!state.cancelling);
}

void RestoreMainWindow::refreshSummary() {
    m_headline->setText(qs(m_model.summaryHeadline()));
    const auto lines = m_model.skippedLines();
    m_skipped->clear();
    for (const restore::SkippedLine& line : lines) {
        auto* item = new QTreeWidgetItem(m_skipped);
        item->setText(0, qs(line.name));
        item->setText(1, qs(line.outcome));
        item->setText(2, qs(line.reason));
        item->setToolTip(0, qs(line.name));
        item->setToolTip(2, qs(line.reason));
    }
    m_skipped->setColumnWidth(0, m_pages->width() * 2 / 5);
    m_skipped->resizeColumnToContents(1);
    m_skippedIntro->setText(lines.empty() ? QStringLiteral("Nothing chosen was left out.")
                                          : QStringLiteral("Not restored, and why:"));
    m_skipped->setVisible(!lines.empty());
    // Without the list the texts stay at the top.
    m_summaryLayout->setStretch(kSummarySpacer, lines.empty() ? 1 : 0);
    fitLabel(m_headline, m_pages->width());
    m_openFolder->setEnabled(!m_model.openFolderPath().empty());
}

void RestoreMainWindow::refreshTest() {
    m_testHeadline->setText(qs(m_model.testHeadline()));
    m_testLines->clear();
    for (const restore::TestLine& line : m_model.testLines()) {
        auto* item = new QTreeWidgetItem(m_testLines);
        item->setText(0, qs(line.name));
        item->setText(1, qs(line.result));
        if (!line.ok) item->setForeground(1, QBrush(QColor(200, 0, 0)));
    }
    m_testLines->resizeColumnToContents(0);
    fitLabel(m_testHeadline, m_pages->width());
}

void RestoreMainWindow::openFolder() {
    const std::string folder = m_model.openFolderPath();
    if (folder.empty()) return;
    if (!m_opener.openPage(folder)) {
        m_host.message(Icon::Information, Buttons::Ok, "Open folder",
                       "No program to show folders was found. The files are in " +
                           restore::printable(folder) + ".");
    }
}

void RestoreMainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        ModelDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (m_model.step() == WindowStep::Running) {
        m_model.cancel();
    } else if (m_model.step() == WindowStep::Choose && !m_model.tree().filter().empty()) {
        m_model.setFilter("");
    }
}

void RestoreMainWindow::reject() {
    if (m_model.step() == WindowStep::Running) {
        m_model.cancel();
        return;
    }
    QDialog::reject();
}

}  // namespace corvane::ui
