#pragma once

#include <QTreeWidget>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QHBoxLayout;
class QPushButton;

namespace corvane::ui {

// A flat list of rows with titled columns, as the list windows show their files' entries.
// Column widths are shares of `width`, the list's designed width.
QTreeWidget* makeListView(QWidget* parent, const char* objectName, std::string_view caption,
                          const std::vector<std::pair<std::string_view, double>>& columns,
                          int width);

// Replaces the rows; each row's first text gets `icon`. `selected` becomes the current row.
void fillListView(QTreeWidget* list, const std::vector<std::vector<std::string>>& rows,
                  const QIcon& icon, std::optional<std::size_t> selected);

// The index of `item` in a flat list, none for no item.
std::optional<std::size_t> rowOf(QTreeWidget* list, QTreeWidgetItem* item);

// A row of buttons at the window's right edge.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

}  // namespace corvane::ui
