// 「重複の確認」: the groups of entries standing for one replay more than once.
// 「一覧で表示」 shows the chosen entry's row in the main list; 「リストから外す」
// takes the chosen entries out of the list (their files stay), asking first
// when their memos differ.
#pragma once

#include <QDialog>

#include <functional>

#include "gui/tools/DuplicateRowsModel.h"

class QPushButton;
class QTableView;

namespace replidex {

class DuplicatesDialog final : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        std::function<void(ReplayFolder*, std::int32_t poolIndex)> showRow;
        // Takes the entries out of the list; answers the number removed.
        std::function<int(const std::vector<ReplayEntry*>&)> removeEntries;
    };
    DuplicatesDialog(QWidget* parent, Actions actions);

    void setGroups(const ReplayDocument& doc, const std::vector<DuplicateGroup>& groups);
    DuplicateRowsModel& model() { return model_; }
    QTableView* table() const { return table_; }

    void BtnShowClick();
    void BtnRemoveClick();

private:
    std::vector<ReplayEntry*> SelectedEntries() const;
    void UpdateButtons();

    Actions actions_;
    DuplicateRowsModel model_;
    QTableView* table_ = nullptr;
    QPushButton* showButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
};

}  // namespace replidex
