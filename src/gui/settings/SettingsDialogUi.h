// The controls of the settings dialog, named as the program refers to them:
// the page control PC with its three pages (the column list, the search
// options, the game folder and the association) and the OK and Cancel
// buttons.
#pragma once

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeView;
class QWidget;

namespace replidex {

class JournalSettingsPage;

struct SettingsDialogUi {
    QTabWidget* PC = nullptr;

    QWidget* TS_Column = nullptr;   // "列の表示"
    QTreeView* List = nullptr;
    QToolButton* SpdBtnUp = nullptr;
    QToolButton* SpdBtnDown = nullptr;

    QWidget* TS_Search = nullptr;   // "検索"
    QComboBox* CB_SearchPage = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* CB_NoExist = nullptr;

    QWidget* TS_Etc = nullptr;      // "その他"
    JournalSettingsPage* TS_Journal = nullptr;   // "操作履歴"
    QGroupBox* GB_PuyoFPath = nullptr;
    QLineEdit* Edit_Path = nullptr;
    QPushButton* Btn_Path = nullptr;
    QGroupBox* GB_Extention = nullptr;
    QCheckBox* CB_Extention = nullptr;

    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

    void setupUi(QDialog* dialog);

private:
    QWidget* setupColumnPage();
    QWidget* setupSearchPage();
    QWidget* setupEtcPage();
};

}  // namespace replidex
