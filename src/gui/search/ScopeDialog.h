// The scope chooser: a small modal dialog showing a read-only copy of the
// folder tree of the open list with the current scope selected; OK answers
// the chosen folder of the list (ChosenNode).
#pragma once

#include <QDialog>

#include "core/replay/ReplayRecords.h"

class QPushButton;
class QStandardItemModel;
class QTreeView;

namespace replidex {

class ScopeDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ScopeDialog(QWidget* parent = nullptr);

    // The list's root folder (the copy is made from it on every showing) and
    // the current scope (selected in the copy when it is there).
    void SetFolders(ReplayFolder* root, const ReplayFolder* scope);
    // The folder confirmed with OK; none after Cancel, and none when OK was
    // pressed with no node selected.
    ReplayFolder* ChosenNode() const { return chosen_; }

    void BtnOKClick();
    void BtnCancelClick();

    QTreeView* Tree = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QStandardItemModel* copy_ = nullptr;
    ReplayFolder* root_ = nullptr;
    const ReplayFolder* scope_ = nullptr;
    ReplayFolder* chosen_ = nullptr;
};

}  // namespace replidex
