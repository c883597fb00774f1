#include "gui/journal/PlanTexts.h"

#include <QStringList>

#include <array>

#include "gui/main/GameFolderMessages.h"

namespace replidex {

QString StepWords(StepKind kind)
{
    switch (kind) {
    case StepKind::CopyNew: return QStringLiteral("コピー");
    case StepKind::Overwrite: return QStringLiteral("上書き");
    case StepKind::Rename: return QStringLiteral("リネーム");
    case StepKind::Trash: return QStringLiteral("ごみ箱へ移動");
    case StepKind::Delete: return QStringLiteral("完全に削除");
    }
    return {};
}

QString OperationWords(OperationKind kind)
{
    switch (kind) {
    case OperationKind::Send: return QStringLiteral("通常転送");
    case OperationKind::SendRenamed: return QStringLiteral("追加転送");
    case OperationKind::Renumber: return QStringLiteral("昇順リネーム");
    case OperationKind::Clear: return QStringLiteral("*.rpdファイルを削除");
    case OperationKind::DeleteFiles: return QStringLiteral("実ファイルを削除");
    case OperationKind::ArchiveRemove: return QStringLiteral("アーカイブ後の削除");
    }
    return {};
}

QString UndoReasonWords(UndoReason reason)
{
    switch (reason) {
    case UndoReason::None: return {};
    case UndoReason::ChangedSince: return QStringLiteral("その後に変更されています");
    case UndoReason::SlotTaken: return QStringLiteral("同じ名前のファイルがあります");
    case UndoReason::Permanent: return QStringLiteral("完全に削除したため元に戻せません");
    case UndoReason::NotInTrash: return QStringLiteral("ごみ箱にありません");
    }
    return {};
}

QString StepStateWords(StepState state)
{
    switch (state) {
    case StepState::Done: return QStringLiteral("完了");
    case StepState::NotDone: return QStringLiteral("未実行");
    case StepState::Skipped: return QStringLiteral("スキップ");
    case StepState::Changed: return QStringLiteral("その後に変更");
    }
    return {};
}

QString NativeText(const std::string& native)
{
    return QString::fromUtf8(QByteArray::fromStdString(native));
}

QString StepSourceText(const PlannedStep& step)
{
    return NativeText(step.source);
}

QString PlanDetailsText(const OperationPlan& plan)
{
    QStringList lines;
    for (const PlannedStep& step : plan.steps) {
        QString line = QStringLiteral("%1: %2").arg(StepWords(step.kind), NativeText(step.name));
        if (!step.source.empty()) line += QStringLiteral(" <- ") + StepSourceText(step);
        if (step.kind == StepKind::Delete) line += QStringLiteral("（元に戻せません）");
        lines << line;
    }
    for (const auto& [input, report] : plan.refused)
        lines << QStringLiteral("対象外: %1 (%2)").arg(NativeText(report.source), ProblemMessage(report));
    return lines.join(QLatin1Char('\n'));
}

QString PlanCountsText(const OperationPlan& plan)
{
    std::array<int, 5> counts{};
    for (const PlannedStep& step : plan.steps) ++counts[static_cast<std::size_t>(step.kind)];
    QStringList parts;
    for (std::size_t k = 0; k < counts.size(); ++k)
        if (counts[k] > 0) parts << QStringLiteral("%1 %2").arg(StepWords(static_cast<StepKind>(k))).arg(counts[k]);
    if (!plan.refused.empty()) parts << QStringLiteral("対象外 %1").arg(plan.refused.size());
    return parts.isEmpty() ? QStringLiteral("変更はありません") : parts.join(QStringLiteral("、"));
}

QString OperationSummary(const JournalEntry& entry)
{
    int files = 0;
    for (const StepRecord& record : entry.records)
        if (!record.skipped) ++files;
    return QStringLiteral("%1 (%2ファイル)").arg(OperationWords(entry.plan.kind)).arg(files);
}

}  // namespace replidex
