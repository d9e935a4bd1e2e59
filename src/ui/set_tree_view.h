#pragma once

#include "sets/set_tree.h"

#include <QTreeWidget>
#include <cstdint>
#include <limits>

namespace corvane::ui {

// The main window's view of the open set's tree: one item per node, with the node's key, text,
// picture and parent; the category nodes in dark blue. It reports the mouse button pressed on
// it and each click, for the dispatcher's rules.
class SetTreeView final : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int kKeyRole = Qt::UserRole;

    explicit SetTreeView(QWidget* parent);

    // Shows `tree` when it changed since it was last shown; expanded items stay expanded and
    // the model's selection is shown.
    void showTree(const SetTree& tree);
    // The item of the node with `key`; null when none.
    QTreeWidgetItem* itemFor(const QString& key) const;

signals:
    void buttonPressed(Qt::MouseButton button);
    void clickedAt(const QPoint& globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void rebuild(const SetTree& tree);

    std::uint64_t m_shownRevision = std::numeric_limits<std::uint64_t>::max();
    QHash<QString, QTreeWidgetItem*> m_items;
};

}  // namespace corvane::ui
