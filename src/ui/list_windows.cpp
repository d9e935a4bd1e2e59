#include "ui/list_windows.h"

#include "schedule/schedule_texts.h"
#include "ui/icons.h"
#include "ui/list_view.h"
#include "ui/ui_text.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace texts = schedule_texts;

namespace {

constexpr int kListWidth = 520;

}  // namespace

TaskListWindow::TaskListWindow(TaskList& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmBackTasks", texts::kTaskListCaption, texts::kTaskHelpTopic),
      m_model(model) {
    std::vector<std::pair<std::string_view, double>> columns;
    for (const ListColumn& column : kTaskColumns)
        columns.emplace_back(column.title, column.widthShare);
    // The shares leave room for the list's frame and scroll bar.
    m_list = makeListView(this, "lvTask", texts::kTaskListCaption, columns, kListWidth - 20);
    QPushButton* add = makeButton("cmdAdd", "&Add Task");
    m_remove = makeButton("cmdRemove", "&Remove Task");
    QPushButton* close = makeButton("cmdClose", "&Close");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    close->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", texts::kTaskListIntro));
    layout->addWidget(m_list, 1);
    layout->addLayout(buttonRow({add, m_remove, close, help}));

    // A click changes only the button: the rows stay, with the item under the pointer.
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_model.click(rowOf(m_list, item));
        m_remove->setEnabled(m_model.removeEnabled());
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_model.click(rowOf(m_list, item));
        m_remove->setEnabled(m_model.removeEnabled());
    });
    connect(add, &QPushButton::clicked, this, [this] {
        m_model.addTask();
        refresh();
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        m_model.removeTask();
        refresh();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    m_model.load();
    refresh();
    resize(kListWidth + 20, 320);
}

void TaskListWindow::refresh() {
    std::vector<std::vector<std::string>> rows;
    for (const TaskRecord& row : m_model.rows())
        rows.push_back({row.setPath, row.lastPerformed});
    fillListView(m_list, rows, pictureIcon(Picture::Backup), m_model.selected());
    m_remove->setEnabled(m_model.removeEnabled());
}

void TaskListWindow::done(int result) {
    m_model.close();
    QDialog::done(result);
}

FavoritesWindow::FavoritesWindow(FavoritesList& model, QtHost& host, QWidget* parent)
    : ModelDialog(host, parent, "frmFavorites", favorite_texts::kCaption,
                  favorite_texts::kHelpTopic),
      m_model(model) {
    m_list = makeListView(this, "ListView1", favorite_texts::kColumn,
                          {{favorite_texts::kColumn, 1.0}}, kListWidth - 20);
    m_list->header()->setStretchLastSection(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    QPushButton* add = makeButton("cmdAdd", "&Add");
    m_remove = makeButton("cmdRemove", "&Remove");
    QPushButton* close = makeButton("cmdClose", "&Close");
    QPushButton* help = makeButton("cmdHelp", "&Help");
    close->setDefault(true);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuFavorites"));
    const char* names[] = {"mnuOpen", "mnuPerform", "", "mnuShortcut"};
    for (std::size_t index = 0; index < favorite_texts::kMenu.size(); ++index) {
        if (favorite_texts::kMenu[index].empty()) {
            m_menu->addSeparator();
            continue;
        }
        QAction* item = m_menu->addAction(qs(favorite_texts::kMenu[index]));
        item->setObjectName(QString::fromLatin1(names[index]));
    }
    const QList<QAction*> items = m_menu->actions();
    connect(items[0], &QAction::triggered, this, [this] {
        m_model.openBackupSet();
        afterCommand();
    });
    connect(items[1], &QAction::triggered, this, [this] {
        m_model.performBackup();
        afterCommand();
    });
    connect(items[3], &QAction::triggered, this, [this] {
        m_model.createDesktopShortcut();
        afterCommand();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel("lblIntro", favorite_texts::kIntro));
    layout->addWidget(m_list, 1);
    layout->addLayout(buttonRow({add, m_remove, close, help}));

    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_model.click(rowOf(m_list, item), MouseButton::Left);
        m_remove->setEnabled(m_model.removeEnabled());
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_model.click(rowOf(m_list, item), MouseButton::Left);
        m_remove->setEnabled(m_model.removeEnabled());
    });
    connect(m_list, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = m_list->itemAt(at);
        if (item != nullptr) m_list->setCurrentItem(item);
        const bool menu = m_model.click(rowOf(m_list, item), MouseButton::Right);
        m_remove->setEnabled(m_model.removeEnabled());
        if (menu) m_menu->popup(m_list->viewport()->mapToGlobal(at));
    });
    connect(add, &QPushButton::clicked, this, [this] {
        m_model.add();
        refresh();
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        m_model.remove();
        refresh();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });
    m_model.load();
    refresh();
    resize(kListWidth + 20, 320);
}

void FavoritesWindow::refresh() {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& row : m_model.rows())
        rows.push_back({row});
    fillListView(m_list, rows, pictureIcon(Picture::Backup), m_model.selected());
    m_remove->setEnabled(m_model.removeEnabled());
}

void FavoritesWindow::afterCommand() {
    refresh();
    if (m_model.closeRequested()) accept();
}

void FavoritesWindow::done(int result) {
    m_model.close();
    QDialog::done(result);
}

}  // namespace corvane::ui
