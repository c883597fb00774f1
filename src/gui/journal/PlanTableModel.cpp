#include "gui/journal/PlanTableModel.h"

#include <QBrush>
#include <QColor>

#include "gui/journal/PlanTexts.h"
#include "gui/main/GameFolderMessages.h"

namespace replidex {

namespace {

QString StepNote(const PlannedStep& step)
{
    switch (step.kind) {
    case StepKind::CopyNew:
    case StepKind::Rename: return QStringLiteral("%1バイト").arg(step.facts.size);
    case StepKind::Overwrite:
        return QStringLiteral("元のファイル (%1バイト) は操作履歴に保管").arg(step.replaced.size);
    case StepKind::Trash: return QStringLiteral("ごみ箱から戻せます");
    case StepKind::Delete: return QStringLiteral("元に戻せません");
    }
    return {};
}

}  // namespace

PlanTableModel::PlanTableModel(OperationPlan plan, QObject* parent)
    : QAbstractTableModel(parent), plan_(std::move(plan))
{
}

int PlanTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(plan_.steps.size() + plan_.refused.size());
}

int PlanTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString PlanTableModel::text(int row, int column) const
{
    const auto steps = static_cast<int>(plan_.steps.size());
    if (row >= steps) {
        const FileReport& refused = plan_.refused[static_cast<std::size_t>(row - steps)].second;
        switch (column) {
        case ColumnStep: return QStringLiteral("対象外");
        case ColumnSource: return NativeText(refused.source);
        case ColumnNote: return ProblemMessage(refused);
        default: return {};
        }
    }
    const PlannedStep& step = plan_.steps[static_cast<std::size_t>(row)];
    switch (column) {
    case ColumnStep: return StepWords(step.kind);
    case ColumnName: return NativeText(step.name);
    case ColumnSource: return StepSourceText(step);
    case ColumnNote: return StepNote(step);
    default: return {};
    }
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return text(index.row(), index.column());
    const bool permanent = index.row() < static_cast<int>(plan_.steps.size()) &&
                           plan_.steps[static_cast<std::size_t>(index.row())].kind == StepKind::Delete;
    if (role == Qt::ForegroundRole && permanent && index.column() == ColumnNote) return QBrush(QColor(Qt::red));
    return {};
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case ColumnStep: return QStringLiteral("操作");
    case ColumnName: return QStringLiteral("PuyoFフォルダ内の名前");
    case ColumnSource: return QStringLiteral("元のファイル");
    case ColumnNote: return QStringLiteral("備考");
    default: return {};
    }
}

}  // namespace replidex
