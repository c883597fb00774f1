#include "gui/tools/RelinkProposalModel.h"

#include "core/text/SjisCodec.h"

namespace replidex {

QString RelinkTierText(int tier)
{
    switch (tier) {
    case 1: return QStringLiteral("1 同一内容");
    case 2: return QStringLiteral("2 日時と情報が一致");
    default: return QStringLiteral("3 情報のみ一致");
    }
}

RelinkProposalModel::RelinkProposalModel(QObject* parent) : QAbstractTableModel(parent) {}

void RelinkProposalModel::setProposals(std::vector<RelinkProposal> proposals)
{
    beginResetModel();
    proposals_ = std::move(proposals);
    endResetModel();
}

int RelinkProposalModel::tickedCount() const
{
    int n = 0;
    for (const RelinkProposal& p : proposals_) n += p.ticked;
    return n;
}

int RelinkProposalModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(proposals_.size());
}

int RelinkProposalModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RelinkProposalModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const RelinkProposal& p = proposals_[static_cast<std::size_t>(index.row())];
    if (role == Qt::CheckStateRole && index.column() == ColTier) return p.ticked ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
    case ColTier: return RelinkTierText(p.tier);
    case ColEntry: {
        QString text = QString::fromStdString(Cp932ToUtf8Lossy(p.oldPath));
        if (p.entries.size() > 1) text += QStringLiteral(" (%1件)").arg(p.entries.size());
        return text;
    }
    case ColFound: return QString::fromStdString(p.found.nativePath);
    default: return {};
    }
}

QVariant RelinkProposalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case ColTier: return QStringLiteral("一致");
    case ColEntry: return QStringLiteral("項目");
    case ColFound: return QStringLiteral("見つかったファイル");
    default: return {};
    }
}

Qt::ItemFlags RelinkProposalModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColTier) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool RelinkProposalModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != ColTier ||
        role != Qt::CheckStateRole)
        return false;
    proposals_[static_cast<std::size_t>(index.row())].ticked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

}  // namespace replidex
