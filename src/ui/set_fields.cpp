#include "ui/set_fields.h"

#include "ui/ui_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

QLabel* fieldLabel(std::string_view caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(qs(caption), parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

NamingFieldsWidget::NamingFieldsWidget(SetNamingFields& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    m_name = new QLineEdit(this);
    nameControl(m_name, "txtName", SetNamingFields::kNameLabel);
    m_location = new QLineEdit(this);
    nameControl(m_location, "txtLocation", SetNamingFields::kLocationLabel);
    m_browse = new QPushButton(QStringLiteral("Choose &Folder..."), this);
    nameControl(m_browse, "cmdLocation", "Choose &Folder...");
    m_browse->setToolTip(QStringLiteral("Choose the folder for the backup archive"));
    m_useDate = new QCheckBox(qs(SetNamingFields::kUseDateCaption), this);
    nameControl(m_useDate, "chkUseDate", SetNamingFields::kUseDateCaption);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(fieldLabel(SetNamingFields::kNameLabel, m_name, this), 0, 0, 1, 2);
    grid->addWidget(m_name, 1, 0, 1, 2);
    grid->addWidget(fieldLabel(SetNamingFields::kLocationLabel, m_location, this), 2, 0, 1, 2);
    grid->addWidget(m_location, 3, 0);
    grid->addWidget(m_browse, 3, 1);
    grid->addWidget(m_useDate, 4, 0, 1, 2);
    setTabOrder(m_name, m_location);
    setTabOrder(m_location, m_browse);
    setTabOrder(m_browse, m_useDate);

    m_name->installEventFilter(this);
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.setName(str(text));
        refresh();
    });
    connect(m_location, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model.setLocation(str(text));
        refresh();
    });
    connect(m_browse, &QPushButton::clicked, this, [this] {
        m_model.chooseLocation();
        refresh();
    });
    connect(m_useDate, &QCheckBox::clicked, this, [this](bool checked) {
        m_model.setUseDate(checked);
        refresh();
    });
    refresh();
}

void NamingFieldsWidget::refresh() {
    showText(m_name, m_model.name());
    showText(m_location, m_model.location());
    m_useDate->setChecked(m_model.useDate());
    m_useDate->setEnabled(m_model.dateEnabled());
    m_browse->setEnabled(m_model.locationButtonEnabled());
    emit changed();
}

void NamingFieldsWidget::focusName() {
    m_name->setFocus(Qt::OtherFocusReason);
    const TextSelection selection = m_model.nameFocusSelection();
    selectBytes(m_name, selection.start, selection.length);
}

bool NamingFieldsWidget::eventFilter(QObject* watched, QEvent* event) {
    // After the focus has arrived, so that a mouse click does not undo the selection.
    if (watched == m_name && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, this, [this] {
            const TextSelection selection = m_model.nameFocusSelection();
            if (m_name->hasFocus()) selectBytes(m_name, selection.start, selection.length);
        });
    }
    return QWidget::eventFilter(watched, event);
}

OptionFieldsWidget::OptionFieldsWidget(SetOptionChoices& choices, std::string_view frameTitle,
                                       QWidget* parent)
    : QGroupBox(qs(frameTitle), parent), m_choices(choices) {
    setObjectName(QStringLiteral("fraSettings"));
    m_compression = new QComboBox(this);
    nameControl(m_compression, "cboCompression", kCompressionStyleCaption);
    for (const auto item : kCompressionItems)
        m_compression->addItem(qs(item));
    m_compression->setCurrentIndex(static_cast<int>(m_choices.compressionIndex));
    m_addNew = new QCheckBox(qs(kAddNewCaption), this);
    nameControl(m_addNew, "chkAddNew", kAddNewCaption);
    m_addNew->setChecked(m_choices.addNew);
    m_freshen = new QCheckBox(qs(kFreshenCaption), this);
    nameControl(m_freshen, "chkFreshen", kFreshenCaption);
    m_freshen->setChecked(m_choices.freshen);
    m_addAllFolders = new QCheckBox(qs(kAddAllFoldersCaption), this);
    nameControl(m_addAllFolders, "chkAddAllFolders", kAddAllFoldersCaption);
    m_addAllFolders->setChecked(m_choices.addAllFolders);

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(fieldLabel(kCompressionStyleCaption, m_compression, this));
    row->addWidget(m_compression, 1);
    layout->addLayout(row);
    layout->addWidget(m_addNew);
    layout->addWidget(m_freshen);
    layout->addWidget(m_addAllFolders);

    connect(m_compression, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) m_choices.compressionIndex = static_cast<std::size_t>(index);
    });
    connect(m_addNew, &QCheckBox::toggled, this, [this](bool on) { m_choices.addNew = on; });
    connect(m_freshen, &QCheckBox::toggled, this, [this](bool on) { m_choices.freshen = on; });
    connect(m_addAllFolders, &QCheckBox::toggled, this,
            [this](bool on) { m_choices.addAllFolders = on; });
}

}  // namespace corvane::ui
