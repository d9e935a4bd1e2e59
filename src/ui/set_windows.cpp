#include "ui/set_windows.h"

#include "ui/icons.h"
#include "ui/list_view.h"
#include "ui/set_fields.h"
#include "ui/ui_text.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace corvane::ui {

NewSetWindow::NewSetWindow(NewSetDialog& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmNewSet", NewSetDialog::kTitle, NewSetDialog::kHelpTopic),
      m_model(model) {
    m_naming = new NamingFieldsWidget(m_model.naming(), this);
    auto* options = new OptionFieldsWidget(m_model.options(), NewSetDialog::kSettingsFrame, this);
    m_ok = makeButton("cmdOK", "OK");
    QPushButton* cancel = makeButton("cmdCancel", "&Cancel");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    m_ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", NewSetDialog::kIntro));
    layout->addWidget(m_naming);
    layout->addWidget(options);
    layout->addLayout(buttonRow({m_ok, cancel, help}));
    setTabOrder(options, m_ok);
    setTabOrder(m_ok, cancel);
    setTabOrder(cancel, help);

    connect(m_naming, &NamingFieldsWidget::changed, this,
            [this] { m_ok->setEnabled(m_model.okEnabled()); });
    connect(m_ok, &QPushButton::clicked, this, &NewSetWindow::ok);
    connect(cancel, &QPushButton::clicked, this, &NewSetWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    m_ok->setEnabled(m_model.okEnabled());
    fitToWidth(this, 520);
    m_naming->focusName();
}

void NewSetWindow::ok() {
    m_model.ok();
    if (m_model.takeFocusRequest()) m_naming->focusName();
    if (!m_model.isOpen()) accept();
}

void NewSetWindow::reject() {
    m_model.cancel();
    QDialog::reject();
}

OpenSetWindow::OpenSetWindow(OpenSetDialog& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmOpenSet", OpenSetDialog::kTitle, 0), m_model(model) {
    m_list = new QTreeWidget(this);
    nameControl(m_list, "lvSets", OpenSetDialog::kColumn);
    m_list->setHeaderLabels({qs(OpenSetDialog::kColumn)});
    m_list->setRootIsDecorated(false);
    m_list->header()->setStretchLastSection(true);
    m_open = makeButton("cmdOpen", OpenSetDialog::kOpenCaption);
    m_delete = makeButton("cmdDelete", OpenSetDialog::kDeleteCaption);
    QPushButton* cancel = makeButton("cmdCancel", OpenSetDialog::kCancelCaption);
    m_open->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", OpenSetDialog::kIntro));
    layout->addWidget(m_list, 1);
    layout->addLayout(buttonRow({m_open, m_delete, cancel}));

    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr)
            m_model.select(static_cast<std::size_t>(m_list->indexOfTopLevelItem(item)));
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { m_open->click(); });
    connect(m_open, &QPushButton::clicked, this, [this] {
        m_model.open();
        if (!m_model.isOpen()) accept();
    });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        m_model.deleteSelected();
        refresh();
    });
    connect(cancel, &QPushButton::clicked, this, &OpenSetWindow::reject);
    resize(460, 340);
    refresh();
    m_list->setFocus();
}

void OpenSetWindow::refresh() {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    const QIcon setIcon = pictureIcon(Picture::Backup);
    for (const std::string& entry : m_model.entries()) {
        auto* item = new QTreeWidgetItem(m_list, {qs(entry)});
        item->setIcon(0, setIcon);
    }
    if (const auto selected = m_model.selected()) {
        m_list->setCurrentItem(m_list->topLevelItem(static_cast<int>(*selected)));
    }
    m_open->setEnabled(m_model.openEnabled());
    m_delete->setEnabled(m_model.deleteEnabled());
}

void OpenSetWindow::reject() {
    m_model.cancel();
    QDialog::reject();
}

DefaultLocationWindow::DefaultLocationWindow(DefaultLocationDialog& model, QtHost& host,
                                             QWidget* parent)
    : ModelDialog(host, parent, "frmDefaultLocation", DefaultLocationDialog::kTitle,
                  DefaultLocationDialog::kHelpTopic),
      m_model(model) {
    m_location = new QLineEdit(this);
    nameControl(m_location, "txtLocation", DefaultLocationDialog::kLocationLabel);
    auto* label = makeLabel("lblLocation", DefaultLocationDialog::kLocationLabel, false);
    label->setBuddy(m_location);
    m_useDate = new QCheckBox(qs(SetNamingFields::kUseDateCaption), this);
    nameControl(m_useDate, "chkUseDate", SetNamingFields::kUseDateCaption);
    QPushButton* setLocation =
        makeButton("cmdSetLocation", DefaultLocationDialog::kSetLocationCaption);
    QPushButton* close = makeButton("cmdClose", DefaultLocationDialog::kCloseCaption);
    QPushButton* help = makeButton("cmdHelp", DefaultLocationDialog::kHelpCaption);
    close->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", DefaultLocationDialog::kIntro));
    layout->addWidget(label);
    layout->addWidget(m_location);
    layout->addWidget(m_useDate);
    layout->addLayout(buttonRow({setLocation, close, help}));

    connect(m_location, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_model.setLocation(str(text)); });
    connect(m_useDate, &QCheckBox::clicked, this, [this](bool checked) {
        m_model.setUseDate(checked);
        refresh();
    });
    connect(setLocation, &QPushButton::clicked, this, [this] {
        m_model.chooseLocation();
        refresh();
    });
    connect(close, &QPushButton::clicked, this, &DefaultLocationWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    fitToWidth(this, 520);
    refresh();
}

void DefaultLocationWindow::refresh() {
    showText(m_location, m_model.location());
    m_useDate->setChecked(m_model.useDate());
    m_useDate->setEnabled(m_model.dateEnabled());
}

void DefaultLocationWindow::reject() {
    m_model.close();
    QDialog::reject();
}

}  // namespace corvane::ui
