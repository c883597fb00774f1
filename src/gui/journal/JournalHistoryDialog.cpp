#include "gui/journal/JournalHistoryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/journal/JournalHistoryModel.h"

namespace replidex {

JournalHistoryDialog::JournalHistoryDialog(std::vector<JournalEntry> entries, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("JournalHistoryDialog"));
    setWindowTitle(QStringLiteral("PuyoFフォルダの操作履歴"));
    auto* layout = new QVBoxLayout(this);
    model = new JournalHistoryModel(std::move(entries), this);
    Table = new QTableView(this);
    Table->setModel(model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->resizeColumnsToContents();
    layout->addWidget(Table, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(880, 400);
}

}  // namespace replidex
