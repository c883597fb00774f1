#include "gui/archive/ArchivePlanModel.h"

#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

QString FromSjis(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

QString DateText(const std::tm& t)
{
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                             t.tm_min, t.tm_sec);
}

}  // namespace

void ArchivePlanModel::setPlan(ArchivePlan plan)
{
    beginResetModel();
    plan_ = std::move(plan);
    endResetModel();
}

int ArchivePlanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(plan_.files.size());
}

int ArchivePlanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ArchivePlanModel::StateText(ArchiveState state)
{
    switch (state) {
    case ArchiveState::Archive: return QStringLiteral("取り込む");
    case ArchiveState::Already: return QStringLiteral("取り込み済み");
    case ArchiveState::Failed: return QStringLiteral("失敗");
    }
    return {};
}

QString ArchivePlanModel::cellText(const PlannedSlot& s, int column) const
{
    const bool analysed = s.fileTime.tm_mday != 0;   // the file could be read
    const ArchiveFields fields = FieldsOf(analysed ? &s.info : nullptr, s.fileTime, s.slot);
    switch (column) {
    case Slot: return QString::fromStdString(s.fileName);
    case Date: return analysed ? DateText(s.fileTime) : QString();
    case Player1: return FromSjis(fields.p1);
    case Player2: return FromSjis(fields.p2);
    case Score: return FromSjis(fields.score);
    case Name: return QString::fromStdString(s.relative);
    case State:
        return s.reason.empty() ? StateText(s.state)
                                : StateText(s.state) + QStringLiteral(": ") + QString::fromStdString(s.reason);
    }
    return {};
}

QVariant ArchivePlanModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const PlannedSlot& s = plan_.files[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return cellText(s, index.column());
    if (role == Qt::ToolTipRole && index.column() == Name) return QString::fromStdString(s.target);
    return {};
}

QVariant ArchivePlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Slot: return QStringLiteral("スロット");
    case Date: return QStringLiteral("日付");
    case Player1: return QStringLiteral("1P");
    case Player2: return QStringLiteral("2P");
    case Score: return QStringLiteral("スコア");
    case Name: return QStringLiteral("取り込み名");
    case State: return QStringLiteral("状態");
    }
    return {};
}

}  // namespace replidex
