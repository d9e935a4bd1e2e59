#include "ui/registry_backup_window.h"

#include "app/main_commands.h"
#include "ui/icons.h"
#include "ui/list_view.h"
#include "ui/ui_text.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

constexpr int kListWidth = 520;

}  // namespace

RegistryBackupWindow::RegistryBackupWindow(RegistryWindow& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmRegistry", RegistryWindow::kTitle,
                  RegistryWindow::kHelpTopic),
      m_model(model) {
    std::vector<std::pair<std::string_view, double>> columns;
    for (const RegistryWindow::Column& column : RegistryWindow::kColumns)
        columns.emplace_back(column.caption, 1.0 / column.widthDivisor);
    m_list = makeListView(this, "ListView1", RegistryWindow::kListTitle, columns, kListWidth);
    m_backup = makeButton("cmdBackup", RegistryWindow::kBackupCaption);
    m_startupDisk = makeButton("cmdStartupDisk", RegistryWindow::kStartupDiskCaption);
    QPushButton* cancel = makeButton("cmdCancel", RegistryWindow::kCancelCaption);
    QPushButton* help = makeButton("cmdHelp", RegistryWindow::kHelpCaption);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", RegistryWindow::kIntro));
    QLabel* listTitle = makeLabel("lblListTitle", RegistryWindow::kListTitle, false);
    listTitle->setBuddy(m_list);
    layout->addWidget(listTitle);
    layout->addWidget(m_list, 1);
    // The note's "&&" is the toolkit's escape for one "&"; a plain-text label shows it as is.
    layout->addWidget(makeLabel("lblNote", plainCaption(RegistryWindow::kNote)));
    layout->addLayout(buttonRow({m_backup, m_startupDisk, cancel, help}));

    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (const auto row = rowOf(m_list, item)) m_model.selectRow(*row);
    });
    connect(m_backup, &QPushButton::clicked, this, [this] {
        // Hiding a modal window would end it: it stays in place under the progress window.
        m_model.backup();
        if (!m_model.isOpen()) {
            done(QDialog::Accepted);
            return;
        }
        refresh();
    });
    connect(m_startupDisk, &QPushButton::clicked, this, [this] { m_model.openStartupDisk(); });
    connect(cancel, &QPushButton::clicked, this, &RegistryBackupWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    refresh();
    resize(kListWidth + 40, 340);
}

void RegistryBackupWindow::refresh() {
    std::vector<std::vector<std::string>> rows;
    for (const RegistryRow& row : m_model.rows())
        rows.push_back({row.path, row.size, row.modified});
    fillListView(m_list, rows, pictureIcon(Picture::File), m_model.selectedRow());
    m_backup->setEnabled(m_model.backupEnabled());
    m_startupDisk->setEnabled(m_model.startupDiskEnabled());
}

void RegistryBackupWindow::reject() {
    m_model.cancel();
    QDialog::reject();
}

}  // namespace corvane::ui
