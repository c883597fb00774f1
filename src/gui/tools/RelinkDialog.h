// 「見つからないファイルを探す」: the proposals for the missing entries, with
// 「選択した項目を再リンク(&R)」 pointing the ticked entries at their files.
#pragma once

#include <QDialog>

#include <atomic>
#include <functional>

#include "gui/tools/RelinkProposalModel.h"

class QPushButton;
class QTableView;
class QLabel;
class QThread;

namespace replidex {

class RelinkDialog final : public QDialog {
    Q_OBJECT
public:
    // `relink` applies the ticked proposals it is given and answers what is
    // to be proposed next (the rest of a moved folder).
    using Relinker = std::function<std::vector<RelinkProposal>(const std::vector<RelinkProposal>&)>;
    RelinkDialog(QWidget* parent, Relinker relink);
    ~RelinkDialog() override;

    // 「情報だけで探す」 runs `scan` on a thread of its own and adds the
    // proposals for entries not on the table yet; `keepGoing` answers false
    // once the window closes.
    using InfoOnlyScan = std::function<std::vector<RelinkProposal>(const std::function<bool()>& keepGoing)>;
    void setInfoOnlyScan(InfoOnlyScan scan);

    void setProposals(std::vector<RelinkProposal> proposals);
    RelinkProposalModel& model() { return model_; }
    QTableView* table() const { return table_; }
    QPushButton* relinkButton() const { return relinkButton_; }
    QPushButton* infoOnlyButton() const { return infoOnlyButton_; }
    bool scanning() const { return scan_ != nullptr; }

    // 「選択した項目を再リンク(&R)」: the ticked proposals are applied and leave
    // the table; the rest stay, after the new ones the relink brought.
    void BtnRelinkClick();
    // 「情報だけで探す」: the files not analysed yet are, off this thread; the
    // window stays usable meanwhile, but nothing is relinked until it ends.
    void BtnInfoOnlyClick();

    void reject() override;

private:
    void AddInfoOnlyProposals(std::vector<RelinkProposal> found);
    void StopScan();
    void UpdateButtons();

    Relinker relink_;
    RelinkProposalModel model_;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* relinkButton_ = nullptr;
    QPushButton* infoOnlyButton_ = nullptr;
    InfoOnlyScan infoOnly_;
    QThread* scan_ = nullptr;
    std::atomic<bool> cancelScan_{false};
};

}  // namespace replidex
