#include "gui/tools/RelinkDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QThread>
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
    infoOnlyButton_ = buttons->addButton(QStringLiteral("情報だけで探す"), QDialogButtonBox::ActionRole);
    infoOnlyButton_->setObjectName(QStringLiteral("BtnInfoOnly"));
    infoOnlyButton_->setEnabled(false);
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(relinkButton_, &QPushButton::clicked, this, &RelinkDialog::BtnRelinkClick);
    connect(infoOnlyButton_, &QPushButton::clicked, this, &RelinkDialog::BtnInfoOnlyClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &RelinkDialog::UpdateButtons);
    connect(&model_, &QAbstractItemModel::modelReset, this, &RelinkDialog::UpdateButtons);
    UpdateButtons();
}

RelinkDialog::~RelinkDialog()
{
    StopScan();
}

void RelinkDialog::setInfoOnlyScan(InfoOnlyScan scan)
{
    infoOnly_ = std::move(scan);
    infoOnlyButton_->setEnabled(static_cast<bool>(infoOnly_));
}

void RelinkDialog::setProposals(std::vector<RelinkProposal> proposals)
{
    model_.setProposals(std::move(proposals));
    table_->resizeColumnsToContents();
}

void RelinkDialog::BtnRelinkClick()
{
    if (scan_) return;
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

void RelinkDialog::BtnInfoOnlyClick()
{
    if (scan_ || !infoOnly_) return;
    cancelScan_ = false;
    auto found = std::make_shared<std::vector<RelinkProposal>>();
    scan_ = QThread::create([this, found] { *found = infoOnly_([this] { return !cancelScan_.load(); }); });
    connect(scan_, &QThread::finished, this, [this, found] {
        if (!scan_) return;   // called off when the window closed
        scan_->deleteLater();
        scan_ = nullptr;
        AddInfoOnlyProposals(std::move(*found));
    });
    scan_->start();
    UpdateButtons();
}

void RelinkDialog::AddInfoOnlyProposals(std::vector<RelinkProposal> found)
{
    std::vector<RelinkProposal> rows = model_.proposals();
    for (RelinkProposal& p : found)
        if (std::none_of(rows.begin(), rows.end(), [&](const RelinkProposal& r) { return r.oldPath == p.oldPath; }))
            rows.push_back(std::move(p));
    infoOnly_ = {};   // every file has been analysed now
    model_.setProposals(std::move(rows));
    table_->resizeColumnsToContents();
}

void RelinkDialog::reject()
{
    StopScan();
    QDialog::reject();
}

void RelinkDialog::StopScan()
{
    if (!scan_) return;
    cancelScan_ = true;
    scan_->wait();
    delete scan_;
    scan_ = nullptr;
}

void RelinkDialog::UpdateButtons()
{
    const int ticked = model_.tickedCount();
    relinkButton_->setEnabled(ticked > 0 && !scan_);
    infoOnlyButton_->setEnabled(infoOnly_ && !scan_);
    if (scan_) {
        status_->setText(QStringLiteral("情報だけで探しています..."));
        return;
    }
    status_->setText(model_.rowCount() == 0
                         ? QStringLiteral("見つかったファイルはありません。")
                         : QStringLiteral("%1件の候補 (%2件を選択)").arg(model_.rowCount()).arg(ticked));
}

}  // namespace replidex
