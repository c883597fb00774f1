// 「見つからないファイルを探す」: the proposals for the missing entries, with
// 「選択した項目を再リンク(&R)」 pointing the ticked entries at their files.
#pragma once

#include <QDialog>

#include <functional>

#include "gui/tools/RelinkProposalModel.h"

class QPushButton;
class QTableView;
class QLabel;

namespace replidex {

class RelinkDialog final : public QDialog {
    Q_OBJECT
public:
    // `relink` applies the ticked proposals it is given and answers what is
    // to be proposed next (the rest of a moved folder).
    using Relinker = std::function<std::vector<RelinkProposal>(const std::vector<RelinkProposal>&)>;
    RelinkDialog(QWidget* parent, Relinker relink);

    void setProposals(std::vector<RelinkProposal> proposals);
    RelinkProposalModel& model() { return model_; }
    QTableView* table() const { return table_; }
    QPushButton* relinkButton() const { return relinkButton_; }

    // 「選択した項目を再リンク(&R)」: the ticked proposals are applied and leave
    // the table; the rest stay, after the new ones the relink brought.
    void BtnRelinkClick();

private:
    void UpdateButtons();

    Relinker relink_;
    RelinkProposalModel model_;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* relinkButton_ = nullptr;
};

}  // namespace replidex
