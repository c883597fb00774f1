#include "gui/journal/JournalHistoryModel.h"

#include <QDateTime>

#include "gui/journal/PlanTexts.h"

namespace replidex {

QString LocalTimeText(const std::string& isoTime)
{
    const QDateTime time = QDateTime::fromString(QString::fromStdString(isoTime), Qt::ISODate);
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                          : QString::fromStdString(isoTime);
}

JournalHistoryModel::JournalHistoryModel(std::vector<JournalEntry> entries, QObject* parent)
    : QAbstractTableModel(parent), entries_(std::move(entries))
{
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        const auto steps = static_cast<int>(entries_[e].plan.steps.size());
        if (steps == 0) rows_.push_back({e, -1});
        for (int s = 0; s < steps; ++s) rows_.push_back({e, s});
    }
}

int JournalHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int JournalHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString JournalHistoryModel::text(const Row& row, int column) const
{
    const JournalEntry& entry = entries_[row.entry];
    if (column == ColumnTime) return LocalTimeText(entry.time);
    if (column == ColumnOperation) return OperationWords(entry.plan.kind);
    if (row.step < 0) return column == ColumnState ? QStringLiteral("変更なし") : QString();
    const PlannedStep& step = entry.plan.steps[static_cast<std::size_t>(row.step)];
    const StepRecord& record = entry.records[static_cast<std::size_t>(row.step)];
    switch (column) {
    case ColumnStep: return StepWords(step.kind);
    case ColumnName: return NativeText(record.name);
    case ColumnSource: return StepSourceText(step);
    case ColumnState:
        if (record.skipped) return QStringLiteral("スキップ");
        if (entry.undone) return QStringLiteral("元に戻し済み");
        if (!entry.complete) return QStringLiteral("途中で終了");
        return QStringLiteral("完了");
    default: return {};
    }
}

QVariant JournalHistoryModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return text(rows_[static_cast<std::size_t>(index.row())], index.column());
}

QVariant JournalHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case ColumnTime: return QStringLiteral("日時");
    case ColumnOperation: return QStringLiteral("操作");
    case ColumnStep: return QStringLiteral("手順");
    case ColumnName: return QStringLiteral("PuyoFフォルダ内の名前");
    case ColumnSource: return QStringLiteral("元のファイル");
    case ColumnState: return QStringLiteral("状態");
    default: return {};
    }
}

}  // namespace replidex
