// The folder tree of the open replay list as an item model: one item per
// ReplayFolder, the document's top-level folders (the root among them) at the
// top. The model owns nothing; the document does.
#pragma once

#include <QAbstractItemModel>

#include "replay/ReplayDocument.h"

namespace replidex {

class FolderTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FolderTreeModel(ReplayDocument& document, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    ReplayFolder* folderAt(const QModelIndex& index) const;
    QModelIndex indexOf(const ReplayFolder* folder) const;

    // Brackets a change that replaces the document's whole tree (new, open,
    // close): views drop every index they hold.
    void beginReplaceTree();
    void endReplaceTree();

private:
    // Position of `folder` among its siblings, or -1.
    int rowOf(const ReplayFolder* folder) const;
    const std::vector<std::unique_ptr<ReplayFolder>>& siblingsOf(const ReplayFolder* parent) const;

    ReplayDocument& document_;
};

}  // namespace replidex
