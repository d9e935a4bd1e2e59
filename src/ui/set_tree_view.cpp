#include "ui/set_tree_view.h"

#include "ui/icons.h"
#include "ui/ui_text.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSet>
#include <array>

namespace corvane::ui {

namespace {

// The category nodes' colour, dark blue.
const QColor kCategoryColour(0x00, 0x00, 0x40);

}  // namespace

SetTreeView::SetTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("tvBackupSet"));
    setAccessibleName(QStringLiteral("Backup Set"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

QTreeWidgetItem* SetTreeView::itemFor(const QString& key) const {
    return m_items.value(key);
}

void SetTreeView::showTree(const SetTree& tree) {
    if (tree.revision() != m_shownRevision) rebuild(tree);
    QTreeWidgetItem* wanted = tree.selected() ? itemFor(qs(*tree.selected())) : nullptr;
    if (wanted != currentItem()) {
        const QSignalBlocker quiet(this);
        setCurrentItem(wanted);
    }
}

void SetTreeView::rebuild(const SetTree& tree) {
    QSet<QString> expanded;
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        if (it.value()->isExpanded()) expanded.insert(it.key());
    }
    const QSignalBlocker quiet(this);
    setUpdatesEnabled(false);
    clear();
    m_items.clear();
    m_items.reserve(static_cast<qsizetype>(tree.count()));

    const std::array<QIcon, 4> icons = {pictureIcon(Picture::Backup), pictureIcon(Picture::Folder),
                                        pictureIcon(Picture::File),
                                        pictureIcon(Picture::Exclusion)};
    const auto layout = tree.displayChildren();
    std::vector<QTreeWidgetItem*> made(tree.count() + 1, nullptr);
    auto makeItem = [&](std::size_t index) {
        const SetEntry& node = tree.at(index);
        auto* item = new QTreeWidgetItem({qs(node.text)});
        item->setData(0, kKeyRole, qs(node.key));
        item->setIcon(0, icons[static_cast<std::size_t>(node.picture)]);
        if (!node.parent) item->setForeground(0, kCategoryColour);
        made[index] = item;
        m_items.insert(qs(node.key), item);
        return item;
    };
    QList<QTreeWidgetItem*> roots;
    for (const std::size_t index : layout[0])
        roots << makeItem(index);
    // Parents come before their children in index order, so one pass builds every level.
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        QList<QTreeWidgetItem*> children;
        for (const std::size_t child : layout[index])
            children << makeItem(child);
        if (!children.isEmpty()) made[index]->addChildren(children);
    }
    addTopLevelItems(roots);
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        const SetEntry& node = tree.at(index);
        if (node.expanded || expanded.contains(qs(node.key))) made[index]->setExpanded(true);
    }
    setUpdatesEnabled(true);
    m_shownRevision = tree.revision();
}

void SetTreeView::mousePressEvent(QMouseEvent* event) {
    emit buttonPressed(event->button());
    QTreeWidget::mousePressEvent(event);
}

void SetTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    emit clickedAt(event->globalPosition().toPoint());
}

}  // namespace corvane::ui
