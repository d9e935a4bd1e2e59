#include "ui/timed_windows.h"

#include "schedule/schedule_texts.h"
#include "ui/icons.h"
#include "ui/list_view.h"
#include "ui/ui_text.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace corvane::ui {

namespace texts = schedule_texts;

namespace {

// The columns' shares of the list's width add up to almost twice that width: the window is
// wide enough to show them all.
constexpr int kListWidth = 500;
constexpr int kWindowWidth = 1000;

QDate toQDate(CalendarDate date) { return QDate(date.year, date.month, date.day); }
CalendarDate fromQDate(QDate date) { return {date.year(), date.month(), date.day()}; }

QIcon timedRowIcon() { return bundledIcon("appointment-new"); }

}  // namespace

TaskTypeWindow::TaskTypeWindow(TaskTypeChooser& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmBackChooseTaskType", texts::kChooserCaption, 0),
      m_model(model) {
    m_schedule = new QRadioButton(qs(texts::kScheduleChoice), this);
    nameControl(m_schedule, "optSchedule", texts::kScheduleChoice);
    m_track = new QRadioButton(qs(texts::kTrackChoice), this);
    nameControl(m_track, "optTrack", texts::kTrackChoice);
    auto* group = new QButtonGroup(this);
    group->addButton(m_schedule);
    group->addButton(m_track);
    const bool track = m_model.choice() == TaskTypeChooser::Choice::TrackImportantBackups;
    (track ? m_track : m_schedule)->setChecked(true);
    QPushButton* ok = makeButton("cmdOK", "OK");
    QPushButton* cancel = makeButton("cmdCancel", "&Cancel");
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblText", texts::kChooserText, false));
    layout->addWidget(m_schedule);
    layout->addWidget(m_track);
    layout->addLayout(buttonRow({ok, cancel}));

    connect(m_schedule, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_model.choose(TaskTypeChooser::Choice::ScheduleTimedBackups);
    });
    connect(m_track, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_model.choose(TaskTypeChooser::Choice::TrackImportantBackups);
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    fitToWidth(this, 320);
}

TimedListWindow::TimedListWindow(TimedList& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmBackPreset", texts::kTimedListCaption,
                  texts::kTimedHelpTopic),
      m_model(model) {
    std::vector<std::pair<std::string_view, double>> columns;
    for (const ListColumn& column : kTimedColumns)
        columns.emplace_back(column.title, column.widthShare);
    m_list = makeListView(this, "lvTimed", texts::kTimedListCaption, columns, kListWidth);
    m_add = makeButton("cmdAdd", "&Add New");
    m_modify = makeButton("cmdModify", "&Modify");
    m_remove = makeButton("cmdRemove", "&Remove");
    QPushButton* close = makeButton("cmdClose", "&Close");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    close->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", texts::kTimedListIntro));
    layout->addWidget(m_list, 1);
    layout->addLayout(buttonRow({m_add, m_modify, m_remove, close, help}));

    // A click changes only the buttons: the rows stay, with the item under the pointer.
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_model.click(rowOf(m_list, item));
        syncButtons();
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_model.click(rowOf(m_list, item));
        syncButtons();
    });
    connect(m_add, &QPushButton::clicked, this, [this] {
        m_model.addEntry([this](TimedEditor& editor) { showEditor(editor); });
        refresh();
    });
    connect(m_modify, &QPushButton::clicked, this, [this] {
        m_model.modifyEntry([this](TimedEditor& editor) { showEditor(editor); });
        refresh();
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        m_model.removeEntry();
        refresh();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    m_model.load();
    refresh();
    m_list->setMinimumWidth(kWindowWidth - 40);
    resize(kWindowWidth, 380);
}

void TimedListWindow::showEditor(TimedEditor& editor) {
    // The list stays in place under the editor: hiding a modal window would end it.
    TimedEditorWindow window(editor, m_host, this);
    m_host.runModal(window);
}

void TimedListWindow::refresh() {
    std::vector<std::vector<std::string>> rows;
    for (const TimedRecord& row : m_model.rows())
        rows.push_back({row.setPath, row.interval, row.runTime, row.nextRunDate, row.lastResult});
    fillListView(m_list, rows, timedRowIcon(), m_model.selected());
    syncButtons();
}

void TimedListWindow::syncButtons() {
    m_add->setEnabled(m_model.addEnabled());
    m_modify->setEnabled(m_model.modifyEnabled());
    m_remove->setEnabled(m_model.removeEnabled());
}

void TimedListWindow::done(int result) {
    m_model.close();
    QDialog::done(result);
}

TimedEditorWindow::TimedEditorWindow(TimedEditor& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent,
                  model.mode() == TimedEditor::Mode::New ? "frmBackNewEvent" : "frmModifyEvent",
                  model.caption(), texts::kTimedHelpTopic),
      m_model(model) {
    m_set = new QLineEdit(this);
    nameControl(m_set, "txtSet", "Backup Set:");
    m_set->setReadOnly(true);
    m_set->setToolTip(QStringLiteral("Click the button to browse for a Backup Set"));
    m_browseSet = makeButton("cmdBrowseSet", "&Browse...");
    m_browseSet->setToolTip(m_set->toolTip());
    m_browseSet->setVisible(m_model.setBrowseAvailable());

    m_interval = new QComboBox(this);
    nameControl(m_interval, "cboInterval", "Backup Type:");
    for (const std::string_view text : kIntervalTexts)
        m_interval->addItem(qs(text));
    m_interval->setToolTip(QStringLiteral("Select the Backup Type you wish to assign"));

    m_hour = new QLineEdit(this);
    nameControl(m_hour, "txtHour", "Hour");
    m_minute = new QLineEdit(this);
    nameControl(m_minute, "txtMinute", "Minute");
    for (QLineEdit* box : {m_hour, m_minute}) {
        box->setMaxLength(2);
        box->setFixedWidth(44);
        box->setAlignment(Qt::AlignCenter);
        box->setToolTip(QStringLiteral("Set the Backup Time"));
    }

    m_location = new QLineEdit(this);
    nameControl(m_location, "txtLocation", "Backup Location:");
    m_location->setReadOnly(true);
    m_location->setToolTip(QStringLiteral("Set the Default Backup Location"));
    m_browseLocation = makeButton("cmdLocation", "Browse &Location...");
    m_browseLocation->setToolTip(m_location->toolTip());

    m_start = new QDateEdit(this);
    nameControl(m_start, "dtpStart", "Set the Start Date");
    m_start->setCalendarPopup(true);
    m_start->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_start->setMinimumDate(toQDate(m_model.earliestStartDate()));
    // The date's own text box is what assistive technology meets first.
    if (auto* dateText = m_start->findChild<QLineEdit*>()) {
        dateText->setAccessibleName(QStringLiteral("Set the Start Date"));
    }

    QPushButton* ok = makeButton("cmdOK", "OK");
    QPushButton* cancel = makeButton("cmdCancel", "&Cancel");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    ok->setDefault(true);

    auto* grid = new QGridLayout;
    const auto caption = [this, grid](int row, const char* name, std::string_view text,
                                      QWidget* buddy) {
        QLabel* label = makeLabel(name, text, false);
        label->setBuddy(buddy);
        grid->addWidget(label, row, 0);
    };
    caption(0, "lblSet", "Backup Set:", m_set);
    grid->addWidget(m_set, 0, 1);
    grid->addWidget(m_browseSet, 0, 2);
    caption(1, "lblType", "Backup Type:", m_interval);
    grid->addWidget(m_interval, 1, 1);
    caption(2, "lblTime", "Backup Time:  (Military Style)", m_hour);
    auto* time = new QHBoxLayout;
    time->addWidget(m_hour);
    time->addWidget(new QLabel(QStringLiteral(":"), this));
    time->addWidget(m_minute);
    time->addStretch(1);
    grid->addLayout(time, 2, 1);
    caption(3, "lblLocation", "Backup Location:", m_location);
    grid->addWidget(m_location, 3, 1);
    grid->addWidget(m_browseLocation, 3, 2);
    caption(4, "lblStart", "Set the Start Date", m_start);
    auto* start = new QHBoxLayout;
    start->addWidget(m_start);
    start->addStretch(1);
    grid->addLayout(start, 4, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", m_model.intro()));
    layout->addLayout(grid);
    layout->addLayout(buttonRow({ok, cancel, help}));

    connect(m_browseSet, &QPushButton::clicked, this, [this] {
        m_model.browseSet();
        refresh();
    });
    connect(m_interval, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.selectInterval(index < 0 ? std::nullopt
                                         : std::optional(static_cast<std::size_t>(index)));
        refresh();
    });
    connect(m_hour, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.typeHour(str(text));
        refresh();
    });
    connect(m_minute, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.typeMinute(str(text));
        refresh();
    });
    connect(m_browseLocation, &QPushButton::clicked, this, [this] {
        m_model.browseLocation();
        refresh();
    });
    connect(m_start, &QDateEdit::dateChanged, this, [this](QDate date) {
        m_model.pickStartDate(fromQDate(date));
        refresh();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        if (m_model.confirm()) accept();
        refresh();
    });
    connect(cancel, &QPushButton::clicked, this, &TimedEditorWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    refresh();
    fitToWidth(this, 680);
}

void TimedEditorWindow::refresh() {
    showText(m_set, m_model.setField());
    {
        const QSignalBlocker quiet(m_interval);
        const auto interval = m_model.selectedInterval();
        m_interval->setCurrentIndex(interval ? static_cast<int>(*interval) : -1);
    }
    showText(m_hour, m_model.hourField());
    showText(m_minute, m_model.minuteField());
    m_hour->setEnabled(m_model.timeFieldsEnabled());
    m_minute->setEnabled(m_model.timeFieldsEnabled());
    showText(m_location, m_model.locationField());
    m_location->setEnabled(m_model.locationEnabled());
    m_browseLocation->setEnabled(m_model.locationEnabled());
    {
        const QSignalBlocker quiet(m_start);
        m_start->setDate(toQDate(m_model.startDate()));
    }
    m_start->setEnabled(m_model.startDateEnabled());
}

void TimedEditorWindow::reject() {
    m_model.cancel();
    QDialog::reject();
}

}  // namespace corvane::ui
