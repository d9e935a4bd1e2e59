#pragma once

#include "restore/restore_window.h"

#include <QAbstractItemModel>
#include <vector>

namespace corvane::ui {

// The archive's tree as Qt's views see it: the rows are the visible nodes of the restore
// window model's tree (the root is the whole archive), the check boxes are its check boxes.
// Nothing is kept here but the rows of the visible children, rebuilt when the tree changes.
class RestoreTreeModel final : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Column { kName, kSize, kModified, kColumns };

    explicit RestoreTreeModel(restore::RestoreWindow& window, QObject* parent = nullptr);

    // The archive or the filter changed: the rows are rebuilt.
    void reload();
    // Check boxes changed somewhere: the rows show their new state.
    void checksChanged();
    std::size_t nodeOf(const QModelIndex& index) const { return index.internalId(); }
    QModelIndex indexOf(std::size_t node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void announce(std::size_t node);

    restore::RestoreWindow& m_window;
    std::vector<std::vector<std::size_t>> m_children;  // visible children of each node
    std::vector<int> m_row;                            // each visible node's row under its parent
};

}  // namespace corvane::ui
