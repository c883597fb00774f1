#include "gui/main/MainWindowUi.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "gui/main/CommandKeys.h"
#include "gui/main/ToolBarParts.h"

namespace replidex {

namespace {

constexpr const char* kUnavailable = "replidexUnavailable";

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = NewAction(menu, name, caption);
    menu->addAction(action);
    return action;
}

QMenu* SubMenu(QWidget* parent, const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

void MarkUnavailable(QAction* action)
{
    action->setProperty(kUnavailable, true);
    action->setEnabled(false);
}

void MarkAvailable(QAction* action)
{
    action->setProperty(kUnavailable, false);
    action->setEnabled(true);
}

bool IsUnavailable(const QAction* action)
{
    return action->property(kUnavailable).toBool();
}

void SetCommandEnabled(QAction* action, bool on)
{
    action->setEnabled(on && !IsUnavailable(action));
}

void MainWindowUi::setupUi(QMainWindow* window)
{
    setupMenu(window);
    setupToolBar(window);
    setupViews(window);

    Timer = new QTimer(window);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1000);
}

void MainWindowUi::setupMenu(QMainWindow* window)
{
    MM = window->menuBar();
    MM->setObjectName(QStringLiteral("MM"));

    MMFileList = SubMenu(MM, "MMFileList", QStringLiteral("ファイル(&F)"));
    MMNewFileList = MenuItem(MMFileList, "MMNewFileList", QStringLiteral("新規作成(&N)"));
    MMOpenFileList = MenuItem(MMFileList, "MMOpenFileList", QStringLiteral("開く(&O)"));
    MMRecentFileList = SubMenu(MMFileList, "MMRecentFileList", QStringLiteral("最近使ったファイル(&L)"));
    MMFileList->addMenu(MMRecentFileList);
    MMSaveFileList = MenuItem(MMFileList, "MMSaveFileList", QStringLiteral("保存(&S)"));
    MMSaveAsFileList = MenuItem(MMFileList, "MMSaveAsFileList", QStringLiteral("名前を付けて保存(&A)"));
    MMCloseFileList = MenuItem(MMFileList, "MMCloseFileList", QStringLiteral("閉じる(&C)"));
    MMFileList->addSeparator()->setObjectName(QStringLiteral("MMBar2"));
    MMExit = MenuItem(MMFileList, "MMExit", QStringLiteral("終了(&X)"));
    MM->addMenu(MMFileList);

    MMReplay = SubMenu(MM, "MMReplay", QStringLiteral("リプレイ追加(&A)"));
    MMAddFile = MenuItem(MMReplay, "MMAddFile", QStringLiteral("ファイルを追加(&R)"));
    MMAddFolder = MenuItem(MMReplay, "MMAddFolder", QStringLiteral("フォルダを追加(&F)"));
    MMRecentFolder = SubMenu(MMReplay, "MMRecentFolder", QStringLiteral("最近使ったフォルダ(&L)"));
    MMReplay->addMenu(MMRecentFolder);
    MM->addMenu(MMReplay);

    MMPuyoF = SubMenu(MM, "MMPuyoF", QStringLiteral("PuyoFフォルダ(&P)"));
    MMFileCopy = MenuItem(MMPuyoF, "MMFileCopy", QStringLiteral("通常転送(ファイル名そのまま)(&C)"));
    MMFileCopyRename = MenuItem(MMPuyoF, "MMFileCopyRename",
                                QStringLiteral("追加転送（上書きしないようにファイル名を変更）(&R)"));
    MMPuyoF->addSeparator()->setObjectName(QStringLiteral("MMBar"));
    MMExplorer = MenuItem(MMPuyoF, "MMExplorer", QStringLiteral("PuyoFフォルダをExplorerで開く(&E)"));
    MMRPDRename = MenuItem(MMPuyoF, "MMRPDRename",
                           QStringLiteral("PuyoFフォルダ内の*.rpdファイルを昇順リネーム(&S)"));
    MMPuyoF->addSeparator()->setObjectName(QStringLiteral("MMBar3"));
    MMRpdFileAllDelete = MenuItem(MMPuyoF, "MMRpdFileAllDelete",
                                  QStringLiteral("PuyoFフォルダ内の*.rpdファイルを削除(&D)"));
    MM->addMenu(MMPuyoF);

    MMSearch = NewAction(MM, "MMSearch", QStringLiteral("検索(&S)"));
    MM->addAction(MMSearch);
    MMTools = SubMenu(MM, "MMTools", QStringLiteral("ツール(&T)"));
    MM->addMenu(MMTools);
    MMConfig = NewAction(MM, "MMConfig", QStringLiteral("設定(&C)"));
    MM->addAction(MMConfig);

    MMHelp = SubMenu(MM, "MMHelp", QStringLiteral("ヘルプ(&H)"));
    MMHTMLHelp = MenuItem(MMHelp, "MMHTMLHelp", QStringLiteral("ヘルプ(&H)"));
    MMVersion = MenuItem(MMHelp, "MMVersion", QStringLiteral("バージョン情報(&A)"));
    MM->addMenu(MMHelp);

    // The tree's popup menu.
    PM_Tree = new QMenu(window);
    PM_Tree->setObjectName(QStringLiteral("PM_Tree"));
    PMTree_Del = MenuItem(PM_Tree, "PMTree_Del", QStringLiteral("削除(&E)"));
    PMTree_Search = MenuItem(PM_Tree, "PMTree_Search", QStringLiteral("検索(&S)"));

    AssignMainMenuKeys(*this);

    // The transfers wait for a selection of replays.
    MMFileCopy->setEnabled(false);
    MMFileCopyRename->setEnabled(false);
}

void MainWindowUi::setupToolBar(QMainWindow* window)
{
    ToolBar = new QToolBar(window);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    SetUpFixedToolBar(ToolBar);
    window->addToolBar(Qt::TopToolBarArea, ToolBar);

    const auto button = [this](const char* name, const char* glyph, const QString& hint) {
        return AddToolButton(ToolBar, name, glyph, hint);
    };
    const auto divider = [this](const char* name, int width) { AddToolBarDivider(ToolBar, name, width); };

    SpdBtnOpenRdx = button("SpdBtnOpenRdx", "open", QStringLiteral("開く"));
    SpdBtnSaveRdx = button("SpdBtnSaveRdx", "save", QStringLiteral("保存"));
    divider("SpdBtnDiv1", 9);
    SpdBtnAddFile = button("SpdBtnAddFile", "addfile", QStringLiteral("ファイルを追加"));
    SpdBtnAddFolder = button("SpdBtnAddFolder", "addfolder", QStringLiteral("フォルダを追加"));
    divider("SpdBtnDiv2", 9);
    SpdBtnFind = button("SpdBtnFind", "find", QStringLiteral("検索"));
    divider("SpdBtnDiv3", 9);
    SpdBtnSend1 = button("SpdBtnSend1", "send", QStringLiteral("通常転送（ファイル名そのまま）"));
    SpdBtnSend2 = button("SpdBtnSend2", "sendrenamed",
                         QStringLiteral("追加転送(上書きしないようにファイル名を変更)"));
    divider("SpdBtnDiv4", 17);
    SpdBtnTop = button("SpdBtnTop", "top", QStringLiteral("一番上に移動"));
    SpdBtnUp = button("SpdBtnUp", "up", QStringLiteral("１つ上に移動"));
    SpdBtnDown = button("SpdBtnDown", "down", QStringLiteral("１つ下に移動"));
    SpdBtnLast = button("SpdBtnLast", "last", QStringLiteral("一番下に移動"));

    // The transfers and the moves wait for a selection.
    for (QAction* action : {SpdBtnSend1, SpdBtnSend2, SpdBtnTop, SpdBtnUp, SpdBtnDown, SpdBtnLast})
        action->setEnabled(false);
}

void MainWindowUi::setupViews(QMainWindow* window)
{
    Splitter = new QSplitter(Qt::Horizontal, window);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(4);
    Splitter->setChildrenCollapsible(false);

    TreeView = new QTreeView(Splitter);
    TreeView->setObjectName(QStringLiteral("TreeView"));
    TreeView->setHeaderHidden(true);
    TreeView->setRootIsDecorated(false);
    TreeView->setIndentation(19);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView->setIconSize(QSize(16, 16));

    List = new ReplayListView(Splitter);
    List->setObjectName(QStringLiteral("List"));

    Splitter->addWidget(TreeView);
    Splitter->addWidget(List);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    window->setCentralWidget(Splitter);

    StatusBar = window->statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusText = new QLabel(StatusBar);
    StatusText->setObjectName(QStringLiteral("StatusText"));
    StatusBar->addWidget(StatusText, 1);
}

}  // namespace replidex
