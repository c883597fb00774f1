#include "gui/tools/RelinkDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace replidex {

RelinkDialog::RelinkDialog(QWidget* parent, Relinker relink) : QDialog(parent), relink_(std::move(relink))
{
    setObjectName(QStringLiteral("RelinkDialog"));
    setWindowTitle(QStringLiteral("見つからないファイルを探す"));
    resize(760, 360);
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("RelinkTable"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(this);
    relinkButton_ = buttons->addButton(QStringLiteral("選択した項目を再リンク(&R)"), QDialogButtonBox::ActionRole);
    relinkButton_->setObjectName(QStringLiteral("BtnRelink"));
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(relinkButton_, &QPushButton::clicked, this, &RelinkDialog::BtnRelinkClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &RelinkDialog::UpdateButtons);
    connect(&model_, &QAbstractItemModel::modelReset, this, &RelinkDialog::UpdateButtons);
    UpdateButtons();
}

void RelinkDialog::setProposals(std::vector<RelinkProposal> proposals)
{
    model_.setProposals(std::move(proposals));
    table_->resizeColumnsToContents();
}

void RelinkDialog::BtnRelinkClick()
{
    std::vector<RelinkProposal> ticked, rest;
    for (RelinkProposal& p : model_.proposals()) (p.ticked ? ticked : rest).push_back(std::move(p));
    if (ticked.empty()) return;
    std::vector<RelinkProposal> next;
    // A new proposal for an entry still on the table (unticked by the user) is not repeated.
    for (RelinkProposal& p : relink_(ticked))
        if (std::none_of(rest.begin(), rest.end(), [&](const RelinkProposal& r) { return r.oldPath == p.oldPath; }))
            next.push_back(std::move(p));
    next.insert(next.end(), std::make_move_iterator(rest.begin()), std::make_move_iterator(rest.end()));
    model_.setProposals(std::move(next));
}

void RelinkDialog::UpdateButtons()
{
    const int ticked = model_.tickedCount();
    relinkButton_->setEnabled(ticked > 0);
    status_->setText(model_.rowCount() == 0
                         ? QStringLiteral("見つかったファイルはありません。")
                         : QStringLiteral("%1件の候補 (%2件を選択)").arg(model_.rowCount()).arg(ticked));
}

}  // namespace replidex
