// The controls of the main window, named as the rest of the program refers to
// them: the main menu (MM...), the tool bar (SpdBtn...), the tree popup
// (PMTree_...), the two views, the status bar and the drag timer.
#pragma once

#include "gui/browse/ReplayListView.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QTreeView;

namespace replidex {

// Commands whose work the program does not have yet are offered with their
// captions but stay disabled, whatever the document state says.
void MarkUnavailable(QAction* action);
// Offers a command that was marked unavailable (enabled; its own enabling
// rules take over from here).
void MarkAvailable(QAction* action);
bool IsUnavailable(const QAction* action);
// Enables `action` when `on`, unless it is unavailable.
void SetCommandEnabled(QAction* action, bool on);

struct MainWindowUi {
    QTreeView* TreeView = nullptr;
    QSplitter* Splitter = nullptr;
    ReplayListView* List = nullptr;
    QToolBar* ToolBar = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusText = nullptr;   // the status bar's single simple panel
    QTimer* Timer = nullptr;

    QMenuBar* MM = nullptr;
    QMenu* MMFileList = nullptr;
    QAction* MMNewFileList = nullptr;
    QAction* MMOpenFileList = nullptr;
    QMenu* MMRecentFileList = nullptr;
    QAction* MMSaveFileList = nullptr;
    QAction* MMSaveAsFileList = nullptr;
    QAction* MMCloseFileList = nullptr;
    QAction* MMExit = nullptr;
    QMenu* MMReplay = nullptr;
    QAction* MMAddFile = nullptr;
    QAction* MMAddFolder = nullptr;
    QMenu* MMRecentFolder = nullptr;
    QMenu* MMPuyoF = nullptr;
    QAction* MMFileCopy = nullptr;
    QAction* MMFileCopyRename = nullptr;
    QAction* MMExplorer = nullptr;
    QAction* MMRPDRename = nullptr;
    QAction* MMRpdFileAllDelete = nullptr;
    QAction* MMSearch = nullptr;
    // "ツール(&T)": archiving, undo, queries, statistics and relinking, each
    // command adding its own items.
    QMenu* MMTools = nullptr;
    QAction* MMConfig = nullptr;
    QMenu* MMHelp = nullptr;
    QAction* MMHTMLHelp = nullptr;
    QAction* MMVersion = nullptr;

    QAction* SpdBtnOpenRdx = nullptr;
    QAction* SpdBtnSaveRdx = nullptr;
    QAction* SpdBtnAddFile = nullptr;
    QAction* SpdBtnAddFolder = nullptr;
    QAction* SpdBtnFind = nullptr;
    QAction* SpdBtnSend1 = nullptr;
    QAction* SpdBtnSend2 = nullptr;
    QAction* SpdBtnTop = nullptr;
    QAction* SpdBtnUp = nullptr;
    QAction* SpdBtnDown = nullptr;
    QAction* SpdBtnLast = nullptr;

    QMenu* PM_Tree = nullptr;
    QAction* PMTree_Del = nullptr;
    QAction* PMTree_Search = nullptr;

    // Builds every control into `window`; views get their models later.
    void setupUi(QMainWindow* window);

private:
    void setupMenu(QMainWindow* window);
    void setupToolBar(QMainWindow* window);
    void setupViews(QMainWindow* window);
};

}  // namespace replidex
