#include "ui/list_view.h"

#include "ui/ui_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>

namespace corvane::ui {

QTreeWidget* makeListView(QWidget* parent, const char* objectName, std::string_view caption,
                          const std::vector<std::pair<std::string_view, double>>& columns,
                          int width) {
    auto* list = new QTreeWidget(parent);
    nameControl(list, objectName, caption);
    QStringList titles;
    for (const auto& column : columns)
        titles << qs(column.first);
    list->setHeaderLabels(titles);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setStretchLastSection(false);
    for (std::size_t index = 0; index < columns.size(); ++index) {
        list->setColumnWidth(static_cast<int>(index),
                             static_cast<int>(width * columns[index].second));
    }
    list->setMinimumWidth(width);
    return list;
}

void fillListView(QTreeWidget* list, const std::vector<std::vector<std::string>>& rows,
                  const QIcon& icon, std::optional<std::size_t> selected) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::vector<std::string>& row : rows) {
        QStringList texts;
        for (const std::string& text : row)
            texts << qs(text);
        auto* item = new QTreeWidgetItem(list, texts);
        item->setIcon(0, icon);
    }
    if (selected && *selected < rows.size()) {
        list->setCurrentItem(list->topLevelItem(static_cast<int>(*selected)));
    } else {
        list->setCurrentItem(nullptr);
        list->clearSelection();
    }
}

std::optional<std::size_t> rowOf(QTreeWidget* list, QTreeWidgetItem* item) {
    if (item == nullptr) return std::nullopt;
    const int index = list->indexOfTopLevelItem(item);
    if (index < 0) return std::nullopt;
    return static_cast<std::size_t>(index);
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

}  // namespace corvane::ui
