#include "gui/search/ScopeDialog.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTreeView>

#include "gui/search/ScopeTree.h"

namespace replidex {

ScopeDialog::ScopeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ScopeDialog"));
    setWindowTitle(QStringLiteral("検索するフォルダの選択"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(257, 314);

    copy_ = new QStandardItemModel(this);
    Tree = new QTreeView(this);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setAccessibleName(Tree->objectName());
    Tree->setGeometry(16, 16, 225, 249);
    Tree->setModel(copy_);
    Tree->setHeaderHidden(true);
    Tree->setIndentation(19);
    Tree->setIconSize(QSize(16, 16));
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree->setDragEnabled(false);

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setGeometry(48, 276, 75, 25);
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setGeometry(134, 276, 75, 25);
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
}

void ScopeDialog::SetFolders(ReplayFolder* root, const ReplayFolder* scope)
{
    root_ = root;
    scope_ = scope;
}

void ScopeDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void ScopeDialog::FormShow()
{
    chosen_ = nullptr;
    Tree->setUpdatesEnabled(false);
    const QModelIndex top = CopyRootFolder(root_, *copy_);
    Tree->expand(top);
    const QModelIndex scope = MapNodeByPath(root_, scope_, *copy_);
    if (scope.isValid()) {
        for (QModelIndex above = scope.parent(); above.isValid(); above = above.parent())
            Tree->expand(above);
        Tree->selectionModel()->setCurrentIndex(scope, QItemSelectionModel::ClearAndSelect);
        Tree->scrollTo(scope);
    }
    Tree->setUpdatesEnabled(true);
    Tree->setFocus();
}

void ScopeDialog::BtnOKClick()
{
    const QModelIndexList selected = Tree->selectionModel()->selectedIndexes();
    chosen_ = selected.isEmpty() ? nullptr : MapNodeByPath(selected.front(), root_);
    accept();
}

void ScopeDialog::BtnCancelClick()
{
    reject();
}

}  // namespace replidex
