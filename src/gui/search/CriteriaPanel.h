// The search window's criteria panel ("Panel"): the criterion check boxes
// with their editors, the player and match-kind boxes, the two text options,
// the scope field with its button, and the search and abort buttons. It turns
// the state of its controls into SearchCriteria; it keeps no data itself.
#pragma once

#include <QWidget>

#include "core/search/SearchCriteria.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace replidex {

class CriteriaPanel final : public QWidget {
    Q_OBJECT
public:
    explicit CriteriaPanel(QWidget* parent = nullptr);

    // The criteria as the controls stand now. A pattern that Shift-JIS
    // cannot write is taken as empty: no Shift-JIS text contains it.
    SearchCriteria Criteria() const;

    // Criterion check box handlers: each enables its editors and paints them
    // white (enabled) or in the 3D-light colour (disabled).
    void CB_HNClick();
    void CB_RankClick();
    void CB_AvgClick();
    void CB_CharaClick();
    void CB_MemoClick();

    QCheckBox* CB_HN = nullptr;
    QLineEdit* Edit = nullptr;
    QCheckBox* CB_Rank = nullptr;
    QComboBox* ComboBox_Rank = nullptr;
    QComboBox* ComboBox_RankIf = nullptr;
    QCheckBox* CB_Avg = nullptr;
    QComboBox* ComboBox_AvgRatio = nullptr;
    QComboBox* ComboBox_AvgIf = nullptr;
    QCheckBox* CB_Chara = nullptr;
    QComboBox* ComboBox_Chara = nullptr;
    QCheckBox* CB_Memo = nullptr;
    QLineEdit* Edit_Memo = nullptr;
    QCheckBox* CB_1P = nullptr;
    QCheckBox* CB_2P = nullptr;
    QCheckBox* CB_Net = nullptr;
    QCheckBox* CB_OffLine = nullptr;
    QCheckBox* CB_Alpha = nullptr;
    QCheckBox* CB_Zenkaku = nullptr;
    QLineEdit* Edit_Folder = nullptr;
    QPushButton* BtnFolder = nullptr;
    QPushButton* BtnSearch = nullptr;
    QPushButton* BtnAbort = nullptr;

signals:
    // Enter was pressed in the handle name or the memo edit.
    void searchRequested();

private:
    void BuildControls();
    void LayOut();
};

// Paints an editor white when it is enabled, in the 3D-light colour when not.
void PaintEditor(QWidget* editor, bool enabled);

}  // namespace replidex
