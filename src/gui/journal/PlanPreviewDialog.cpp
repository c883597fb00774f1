#include "gui/journal/PlanPreviewDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

#include "gui/journal/PlanTableModel.h"
#include "gui/journal/PlanTexts.h"

namespace replidex {

namespace {

PlanPreviewResponder& Responder()
{
    static PlanPreviewResponder responder;
    return responder;
}

}  // namespace

PlanPreviewDialog::PlanPreviewDialog(const QString& question, const OperationPlan& plan, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PlanPreviewDialog"));
    setWindowTitle(QStringLiteral("PuyoFフォルダ操作の確認"));
    auto* layout = new QVBoxLayout(this);
    Question = new QLabel(question.isEmpty() ? OperationWords(plan.kind) : question, this);
    layout->addWidget(Question);

    model = new PlanTableModel(plan, this);
    Table = new QTableView(this);
    Table->setModel(model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->resizeColumnsToContents();
    layout->addWidget(Table, 1);

    Counts = new QLabel(PlanCountsText(plan), this);
    layout->addWidget(Counts);
    Permanent = new QLabel(QStringLiteral("元に戻せません"), this);
    Permanent->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Permanent->setVisible(plan.hasPermanentDelete());
    layout->addWidget(Permanent);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtnRun = new QPushButton(QStringLiteral("実行"), this);
    BtnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    BtnRun->setDefault(true);
    buttons->addWidget(BtnRun);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(BtnRun, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 360);
}

bool AskWithPlanPreview(const QString& question, const OperationPlan& plan)
{
    PlanPreviewDialog dialog(question, plan, QApplication::activeWindow());
    if (Responder()) return Responder()(dialog);
    return dialog.exec() == QDialog::Accepted;
}

PlanPreviewResponder SetPlanPreviewResponder(PlanPreviewResponder responder)
{
    return std::exchange(Responder(), std::move(responder));
}

}  // namespace replidex
