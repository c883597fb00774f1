// The controls of the search window, named as the rest of the program refers
// to them: the tool bar (SpdBtn...), the menu (MM...) whose nine items take
// the main window's captions, the criteria panel, the tab bar over the result
// list, and the bottom panel with the status label and the close button.
#pragma once

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabBar;
class QToolBar;
class QTreeView;
class QWidget;

namespace replidex {

class CriteriaPanel;
class QueryRow;
struct MainWindowUi;

struct SearchWindowUi {
    QToolBar* ToolBar = nullptr;
    QAction* SpdBtnSend2 = nullptr;
    QAction* SpdBtnTop = nullptr;
    QAction* SpdBtnUp = nullptr;
    QAction* SpdBtnDown = nullptr;
    QAction* SpdBtnLast = nullptr;

    QMenuBar* MM = nullptr;
    QMenu* MMPuyoF = nullptr;
    QAction* MMFileCopyRename = nullptr;
    QAction* MMExplorer = nullptr;
    QAction* MMRPDRename = nullptr;
    QAction* MMRpdFileAllDelete = nullptr;
    QAction* MMConfig = nullptr;
    QMenu* MMHelp = nullptr;
    QAction* MMHTMLHelp = nullptr;
    QAction* MMVersion = nullptr;

    CriteriaPanel* Panel = nullptr;
    QueryRow* Query = nullptr;    // the query row under the criteria panel
    QWidget* TCFrame = nullptr;   // holds the tab bar and the list below it
    QTabBar* TC = nullptr;
    QTreeView* List = nullptr;
    QWidget* Panel_Bottom = nullptr;
    QLabel* Label = nullptr;
    QPushButton* BtnClose = nullptr;
    QPushButton* BtnStats = nullptr;   // 「結果の成績(&T)」, beside 閉じる

    // Builds every control into `window`; the menu items take the captions
    // of the main window's items of the same names.
    void setupUi(QDialog* window, const MainWindowUi& main);

private:
    void setupMenu(QDialog* window, const MainWindowUi& main);
    void setupToolBar(QDialog* window);
    void setupResults(QDialog* window);
};

}  // namespace replidex
