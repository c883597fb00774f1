// The proposals of a relink search as a table: tier, entry, found file, and
// the tick that says whether the entry is pointed at the file.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/list/Relink.h"

namespace replidex {

class RelinkProposalModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColTier, ColEntry, ColFound, ColumnCount };

    explicit RelinkProposalModel(QObject* parent = nullptr);
    void setProposals(std::vector<RelinkProposal> proposals);
    std::vector<RelinkProposal>& proposals() { return proposals_; }
    int tickedCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    std::vector<RelinkProposal> proposals_;
};

// "1 同一内容", "2 日時と情報が一致", "3 情報のみ一致".
QString RelinkTierText(int tier);

}  // namespace replidex
