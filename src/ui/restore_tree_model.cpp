#include "ui/restore_tree_model.h"

#include "restore/restore_paths.h"
#include "ui/ui_text.h"

#include <QApplication>
#include <QBrush>
#include <QStyle>

namespace corvane::ui {

using restore::CheckState;
using restore::EntryKind;
using restore::TreeNode;

RestoreTreeModel::RestoreTreeModel(restore::RestoreWindow& window, QObject* parent)
    : QAbstractItemModel(parent), m_window(window) {
    reload();
}

void RestoreTreeModel::reload() {
    beginResetModel();
    const auto& tree = m_window.tree();
    const std::size_t count = tree.nodes().size();
    m_children.assign(count, {});
    m_row.assign(count, 0);
    for (std::size_t node = 0; node < count; ++node) {
        for (const std::size_t child : tree.node(node).children) {
            if (!tree.visible(child)) continue;
            m_row[child] = static_cast<int>(m_children[node].size());
            m_children[node].push_back(child);
        }
    }
    endResetModel();
}

void RestoreTreeModel::checksChanged() {
    if (m_children.empty()) return;
    announce(0);
}

// Every row under `node` (and the node itself) redraws its check box.
void RestoreTreeModel::announce(std::size_t node) {
    const QModelIndex at = indexOf(node);
    emit dataChanged(at, at, {Qt::CheckStateRole});
    const auto& children = m_children[node];
    if (children.empty()) return;
    emit dataChanged(index(0, kName, at), index(static_cast<int>(children.size()) - 1, kName, at),
                     {Qt::CheckStateRole});
    for (const std::size_t child : children) {
        if (!m_children[child].empty()) announce(child);
    }
}

QModelIndex RestoreTreeModel::indexOf(std::size_t node) const {
    if (node >= m_row.size()) return {};
    return createIndex(node == 0 ? 0 : m_row[node], kName, static_cast<quintptr>(node));
}

QModelIndex RestoreTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= kColumns || m_children.empty()) return {};
    if (!parent.isValid()) return row == 0 ? createIndex(0, column, quintptr{0}) : QModelIndex();
    const auto& children = m_children[nodeOf(parent)];
    if (static_cast<std::size_t>(row) >= children.size()) return {};
    return createIndex(row, column, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex RestoreTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || nodeOf(child) == 0) return {};
    return indexOf(m_window.tree().node(nodeOf(child)).parent);
}

int RestoreTreeModel::rowCount(const QModelIndex& parent) const {
    if (m_children.empty()) return 0;
    if (!parent.isValid()) return 1;
    if (parent.column() != kName) return 0;
    return static_cast<int>(m_children[nodeOf(parent)].size());
}

int RestoreTreeModel::columnCount(const QModelIndex& /*parent*/) const {
    return kColumns;
}

QVariant RestoreTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const std::size_t at = nodeOf(index);
    const TreeNode& node = m_window.tree().node(at);
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kName: {
                    if (at != 0) return qs(restore::printable(node.name));
                    const std::string& path = m_window.archivePath();
                    return qs(restore::printable(path.substr(path.rfind('/') + 1)));
                }
                case kSize:
                    return qs(restore::sizeText(node.size));
                case kModified:
                    return qs(restore::entryTimeText(node.timeNs));
            }
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == kSize) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::CheckStateRole:
            if (index.column() != kName) return {};
            switch (node.check) {
                case CheckState::Checked:
                    return Qt::Checked;
                case CheckState::Partial:
                    return Qt::PartiallyChecked;
                case CheckState::Unchecked:
                    return Qt::Unchecked;
            }
            return {};
        case Qt::DecorationRole: {
            if (index.column() != kName) return {};
            const QStyle* style = QApplication::style();
            if (at == 0) return style->standardIcon(QStyle::SP_DriveHDIcon);
            if (node.kind == EntryKind::Folder) return style->standardIcon(QStyle::SP_DirIcon);
            if (node.kind == EntryKind::Link) return style->standardIcon(QStyle::SP_FileLinkIcon);
            return style->standardIcon(QStyle::SP_FileIcon);
        }
        case Qt::ForegroundRole:
            if (!node.restorable) return QBrush(Qt::gray);
            return {};
        case Qt::ToolTipRole:
            if (!node.restorable) {
                return QStringLiteral("This entry cannot be restored safely; it is left out.");
            }
            if (node.encrypted) return QStringLiteral("Password-protected");
            return qs(restore::printable(node.path));
    }
    return {};
}

bool RestoreTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != kName) return false;
    // A click on a partly checked folder checks all of it.
    m_window.setChecked(nodeOf(index), value.toInt() != Qt::Unchecked);
    // The folders above and the entries below changed with it.
    checksChanged();
    return true;
}

Qt::ItemFlags RestoreTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kName) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant RestoreTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case kName:
            return QStringLiteral("Name");
        case kSize:
            return QStringLiteral("Size");
        case kModified:
            return QStringLiteral("Modified");
    }
    return {};
}

}  // namespace corvane::ui
