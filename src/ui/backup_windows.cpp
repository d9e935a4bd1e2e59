#include "ui/backup_windows.h"

#include "host/dialog_texts.h"
#include "ui/ui_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace corvane::ui {

namespace texts = dialog_texts;

namespace {

QLabel* wrapped(QWidget* parent, const char* name, std::string_view text) {
    auto* label = new QLabel(qs(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(qs(text));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, std::string_view caption) {
    auto* made = new QPushButton(qs(caption), parent);
    nameControl(made, name, caption);
    return made;
}

QHBoxLayout* rightAligned(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return row;
}

// A large icon of the style's, beside a message.
QLabel* styleIcon(QWidget* parent, QStyle::StandardPixmap which) {
    auto* label = new QLabel(parent);
    label->setPixmap(parent->style()->standardIcon(which).pixmap(48, 48));
    label->setAlignment(Qt::AlignTop);
    return label;
}

}  // namespace

BackupTypeWindow::BackupTypeWindow(BackupTypeDialog& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmBackupType", texts::kBackupTypeTitle,
                  texts::kBackupTypeHelpTopic),
      m_model(model) {
    auto choice = [this](const char* name, std::string_view caption) {
        auto* radio = new QRadioButton(qs(caption), this);
        nameControl(radio, name, caption);
        QFont bold = radio->font();
        bold.setBold(true);
        radio->setFont(bold);
        return radio;
    };
    m_single = choice("optSingle", texts::kSingleArchive);
    m_multiple = choice("optMultiple", texts::kMultipleDisk);
    m_cd = choice("optCD", texts::kCdMultipleDisk);
    auto* group = new QButtonGroup(this);
    group->addButton(m_single);
    group->addButton(m_multiple);
    group->addButton(m_cd);
    m_size = new QComboBox(this);
    nameControl(m_size, "cboDiskSize", texts::kSizePerDisk);
    for (const std::string& capacity : m_model.capacities())
        m_size->addItem(qs(capacity));
    m_size->setCurrentIndex(
        m_model.selectedCapacity() ? static_cast<int>(*m_model.selectedCapacity()) : -1);
    auto* sizeLabel = new QLabel(qs(texts::kSizePerDisk), this);
    sizeLabel->setBuddy(m_size);
    QPushButton* start = button(this, "cmdStart", texts::kStartBackup);
    QPushButton* cancel = button(this, "cmdCancel", "&Cancel");
    QPushButton* help = button(this, "cmdHelp", "&Help");
    start->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wrapped(this, "lblIntro", texts::kBackupTypeIntro));
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 24);
    int row = 0;
    for (const auto& [radio, note, name] :
         {std::tuple{m_single, texts::kSingleArchiveNote, "lblSingle"},
          std::tuple{m_multiple, texts::kMultipleDiskNote, "lblMultiple"},
          std::tuple{m_cd, texts::kCdMultipleDiskNote, "lblCD"}}) {
        grid->addWidget(radio, row++, 0, 1, 2);
        grid->addWidget(wrapped(this, name, note), row++, 1);
    }
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeLabel);
    sizeRow->addWidget(m_size);
    sizeRow->addStretch(1);
    grid->addLayout(sizeRow, row, 1);
    layout->addLayout(grid);
    layout->addLayout(rightAligned({start, cancel, help}));

    connect(m_single, &QRadioButton::clicked, this, [this] {
        m_model.selectStyle(BackupStyle::SingleArchive);
        refresh();
    });
    connect(m_multiple, &QRadioButton::clicked, this, [this] {
        m_model.selectStyle(BackupStyle::MultipleDisks);
        refresh();
    });
    connect(m_cd, &QRadioButton::clicked, this, [this] {
        m_model.selectStyle(BackupStyle::CdMultipleDisks);
        refresh();
    });
    connect(m_size, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) m_model.selectCapacity(static_cast<std::size_t>(index));
    });
    connect(start, &QPushButton::clicked, this, &BackupTypeWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &BackupTypeWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    fitToWidth(this, 560);
    refresh();
}

void BackupTypeWindow::refresh() {
    m_single->setChecked(m_model.style() == BackupStyle::SingleArchive);
    m_multiple->setChecked(m_model.style() == BackupStyle::MultipleDisks);
    m_cd->setChecked(m_model.style() == BackupStyle::CdMultipleDisks);
    m_size->setEnabled(m_model.capacityEnabled());
}

CdReminderWindow::CdReminderWindow(CdReminderDialog& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmCDReminder", texts::kCdReminderTitle,
                  texts::kCdReminderHelpTopic),
      m_model(model) {
    m_showAgain = new QCheckBox(qs(texts::kShowThisScreenAgain), this);
    nameControl(m_showAgain, "chkShowAgain", texts::kShowThisScreenAgain);
    m_showAgain->setChecked(m_model.showAgain());
    QPushButton* ok = makeButton("cmdOK", "OK");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    auto* heading = makeLabel("lblHeading", texts::kCdReminderLines[0]);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addWidget(makeLabel("lblText1", texts::kCdReminderLines[1]));
    layout->addWidget(makeLabel("lblText2", texts::kCdReminderLines[2]));
    layout->addWidget(makeLabel("lblText3", texts::kCdReminderLines[3]));
    auto* row = new QHBoxLayout;
    row->addWidget(m_showAgain);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(help);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &CdReminderWindow::accept);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    fitToWidth(this, 500);
}

void CdReminderWindow::done(int result) {
    m_model.setShowAgain(m_showAgain->isChecked());
    m_model.close();
    ModelDialog::done(result);
}

PreviewQuestionWindow::PreviewQuestionWindow(QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmPreviewQuestion", texts::kPreviewQuestionTitle,
                  texts::kPreviewQuestionHelpTopic) {
    QPushButton* yes = makeButton("cmdYes", "&Yes");
    QPushButton* no = makeButton("cmdNo", "&No");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    yes->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    body->addWidget(styleIcon(this, QStyle::SP_MessageBoxQuestion));
    auto* lines = new QVBoxLayout;
    lines->addWidget(makeLabel("lblText1", texts::kPreviewQuestionLines[0]));
    auto* note = makeLabel("lblNote", texts::kPreviewQuestionLines[1]);
    QFont bold = note->font();
    bold.setBold(true);
    note->setFont(bold);
    lines->addWidget(note);
    lines->addWidget(makeLabel("lblText2", texts::kPreviewQuestionLines[2]));
    lines->addWidget(makeLabel("lblQuestion", texts::kPreviewQuestionLines[3]));
    body->addLayout(lines, 1);
    layout->addLayout(body);
    layout->addLayout(rightAligned({yes, no, help}));
    connect(yes, &QPushButton::clicked, this, &PreviewQuestionWindow::accept);
    connect(no, &QPushButton::clicked, this, &PreviewQuestionWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    fitToWidth(this, 500);
}

PasswordWindow::PasswordWindow(PasswordPrompt& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmPassword", PasswordPrompt::kTitle, 0), m_model(model) {
    m_password = new QLineEdit(this);
    nameControl(m_password, "txtPassword", PasswordPrompt::kLabel);
    m_password->setEchoMode(QLineEdit::Password);
    auto* label = makeLabel("lblPassword", PasswordPrompt::kLabel, false);
    label->setBuddy(m_password);
    QPushButton* ok = makeButton("cmdOK", "OK");
    QPushButton* cancel = makeButton("cmdCancel", PasswordPrompt::kCancelCaption);
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    body->addWidget(styleIcon(this, QStyle::SP_MessageBoxWarning));
    body->addWidget(makeLabel("lblText", PasswordPrompt::kText), 1);
    layout->addLayout(body);
    layout->addWidget(label);
    layout->addWidget(m_password);
    layout->addLayout(rightAligned({ok, cancel}));
    connect(ok, &QPushButton::clicked, this, [this] {
        m_model.setText(str(m_password->text()));
        m_model.ok();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &PasswordWindow::reject);
    fitToWidth(this, 460);
    m_password->setFocus();
}

void PasswordWindow::reject() {
    m_model.cancel();
    QDialog::reject();
}

MaximumSizeWindow::MaximumSizeWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMaximumSize"));
    setWindowTitle(qs(texts::kMaximumArchiveSizeTitle));
    auto* heading = wrapped(this, "lblHeading", texts::kMaximumBackupSizeHeading);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    QPushButton* ok = button(this, "cmdOK", "OK");
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    body->addWidget(styleIcon(this, QStyle::SP_MessageBoxCritical));
    auto* lines = new QVBoxLayout;
    lines->addWidget(heading);
    lines->addWidget(wrapped(this, "lblText1", texts::kMaximumBackupSizeLines[0]));
    lines->addWidget(wrapped(this, "lblText2", texts::kMaximumBackupSizeLines[1]));
    body->addLayout(lines, 1);
    layout->addLayout(body);
    layout->addLayout(rightAligned({ok}));
    connect(ok, &QPushButton::clicked, this, &MaximumSizeWindow::accept);
    fitToWidth(this, 500);
}

TimedErrorWindow::TimedErrorWindow(int milliseconds, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTimedError"));
    setWindowTitle(qs(kTimedErrorTitle));
    const std::vector<std::string> lines = timedErrorScreenLines();
    auto* heading = wrapped(this, "lblHeading", lines[0]);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    QPushButton* ok = button(this, "cmdOK", "OK");
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    body->addWidget(styleIcon(this, QStyle::SP_MessageBoxCritical));
    auto* column = new QVBoxLayout;
    column->addWidget(heading);
    for (std::size_t line = 1; line < lines.size(); ++line) {
        const std::string name = "lblText" + std::to_string(line);
        column->addWidget(wrapped(this, name.c_str(), lines[line]));
    }
    body->addLayout(column, 1);
    layout->addLayout(body);
    layout->addLayout(rightAligned({ok}));
    connect(ok, &QPushButton::clicked, this, &TimedErrorWindow::accept);
    m_timer.setSingleShot(true);
    m_timer.setInterval(milliseconds);
    connect(&m_timer, &QTimer::timeout, this, &TimedErrorWindow::accept);
    m_timer.start();
    fitToWidth(this, 520);
}

}  // namespace corvane::ui
