// "PuyoFフォルダ操作の確認": the plan of a change to the game folder before it
// runs, as a table, with the counts, a red 「元に戻せません」 when the plan
// deletes permanently, and the answers 「実行」 and 「キャンセル」.
#pragma once

#include <QDialog>

#include <functional>

#include "core/journal/JournalPlan.h"

class QLabel;
class QPushButton;
class QTableView;

namespace replidex {

class PlanTableModel;

class PlanPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    // `question` is the operation's own question, shown above the table.
    PlanPreviewDialog(const QString& question, const OperationPlan& plan, QWidget* parent = nullptr);

    QLabel* Question = nullptr;
    QTableView* Table = nullptr;
    QLabel* Counts = nullptr;
    QLabel* Permanent = nullptr;   // hidden unless the plan deletes permanently
    QPushButton* BtnRun = nullptr;
    QPushButton* BtnCancel = nullptr;
    PlanTableModel* model = nullptr;
};

// Shows the dialog modally; true when 「実行」 was pressed.
bool AskWithPlanPreview(const QString& question, const OperationPlan& plan);

// Test seam: answers the dialog without running it (true: 実行).
using PlanPreviewResponder = std::function<bool(PlanPreviewDialog&)>;
PlanPreviewResponder SetPlanPreviewResponder(PlanPreviewResponder responder);

}  // namespace replidex
