// The folder tree of the open replay list as an item model: one item per
// ReplayFolder, the document's top-level folders (the root among them) at the
// top. The model owns nothing; the document does.
#pragma once

#include <QAbstractItemModel>

#include <functional>

#include "core/list/FolderOps.h"
#include "core/list/ReplayDocument.h"
#include "gui/browse/RowDrag.h"

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
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    ReplayFolder* folderAt(const QModelIndex& index) const;
    QModelIndex indexOf(const ReplayFolder* folder) const;

    // Brackets a change that replaces the document's whole tree (new, open,
    // close): views drop every index they hold.
    void beginReplaceTree();
    void endReplaceTree();

    // The insert and remove announcements of this model, for the folder
    // operations of the core that add and delete nodes.
    FolderTreeEvents events();
    // Moves child `from` of `parent` to stand before child `to` (to may be
    // the number of children: the end).
    void moveChild(ReplayFolder* parent, int from, int to);
    // The folder's name has changed.
    void folderChanged(const ReplayFolder* folder);

    // What the window does when a node is renamed in place (answers whether
    // the name was taken), and when a folder (`fromTree`) or list rows are
    // dropped on `target`.
    std::function<bool(ReplayFolder* folder, const QString& name)> onRename;
    std::function<void(ReplayFolder* target, bool fromTree)> onDrop;
    // Names the window whose folder drags this model's data carries.
    void setDragOrigin(const RowDragOrigin& origin) { dragOrigin_ = origin; }

private:
    // Position of `folder` among its siblings, or -1.
    int rowOf(const ReplayFolder* folder) const;
    const std::vector<std::unique_ptr<ReplayFolder>>& siblingsOf(const ReplayFolder* parent) const;

    ReplayDocument& document_;
    RowDragOrigin dragOrigin_;
};

}  // namespace replidex
