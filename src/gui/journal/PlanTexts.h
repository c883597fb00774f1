// The words the window uses for the plans and the journal of the changes to
// the game folder: what a step does, what an operation was, why a step could
// not be undone, and the plan as text (the detailed text of a question).
#pragma once

#include <QString>

#include "core/journal/Journal.h"

namespace replidex {

QString StepWords(StepKind kind);             // "上書き", "ごみ箱へ移動", ...
QString OperationWords(OperationKind kind);   // "追加転送", "昇順リネーム", ...
QString UndoReasonWords(UndoReason reason);
QString StepStateWords(StepState state);
// A name or path of the file system as display text.
QString NativeText(const std::string& native);

// The step's source column: the copied file, the old name of a rename.
QString StepSourceText(const PlannedStep& step);
// One line a step ("上書き REPLAY01.RPD <- /a/b.rpd"), then the inputs that
// take no part; empty for a plan without steps and refusals.
QString PlanDetailsText(const OperationPlan& plan);
// "コピー 2、上書き 1" — the steps counted by kind, in the order of the kinds.
QString PlanCountsText(const OperationPlan& plan);

// "追加転送 (3ファイル)": the operation and how many files it touched.
QString OperationSummary(const JournalEntry& entry);

}  // namespace replidex
