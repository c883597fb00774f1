#include "gui/search/SearchWindowUi.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/main/MainWindowUi.h"
#include "gui/main/ToolBarParts.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/QueryRow.h"

namespace replidex {

namespace {

// An item named like the main window's `source`, with its caption.
QAction* CopiedItem(QMenu* menu, const QAction* source)
{
    QAction* action = NewAction(menu, source->objectName().toLatin1().constData(), source->text());
    menu->addAction(action);
    return action;
}

QMenu* CopiedMenu(QWidget* parent, const QMenu* source)
{
    auto* menu = new QMenu(source->title(), parent);
    menu->setObjectName(source->objectName());
    menu->menuAction()->setObjectName(source->objectName());
    return menu;
}

}  // namespace

void SearchWindowUi::setupUi(QDialog* window, const MainWindowUi& main)
{
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setupMenu(window, main);
    layout->setMenuBar(MM);
    setupToolBar(window);
    layout->addWidget(ToolBar);

    Panel = new CriteriaPanel(window);
    Panel->setFixedHeight(113);
    layout->addWidget(Panel);
    Query = new QueryRow(window);
    layout->addWidget(Query);
    setupResults(window);
    layout->addWidget(TCFrame, 1);
    layout->addWidget(Panel_Bottom);
}

void SearchWindowUi::setupMenu(QDialog* window, const MainWindowUi& main)
{
    MM = new QMenuBar(window);
    MM->setObjectName(QStringLiteral("MM"));

    MMPuyoF = CopiedMenu(MM, main.MMPuyoF);
    MMFileCopyRename = CopiedItem(MMPuyoF, main.MMFileCopyRename);
    MMPuyoF->addSeparator();
    MMExplorer = CopiedItem(MMPuyoF, main.MMExplorer);
    MMRPDRename = CopiedItem(MMPuyoF, main.MMRPDRename);
    MMPuyoF->addSeparator();
    MMRpdFileAllDelete = CopiedItem(MMPuyoF, main.MMRpdFileAllDelete);
    MM->addMenu(MMPuyoF);

    MMConfig = NewAction(MM, "MMConfig", main.MMConfig->text());
    MM->addAction(MMConfig);

    MMHelp = CopiedMenu(MM, main.MMHelp);
    MMHTMLHelp = CopiedItem(MMHelp, main.MMHTMLHelp);
    MMVersion = CopiedItem(MMHelp, main.MMVersion);
    MM->addMenu(MMHelp);
}

void SearchWindowUi::setupToolBar(QDialog* window)
{
    ToolBar = new QToolBar(window);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    SetUpFixedToolBar(ToolBar);
    SpdBtnSend2 = AddToolButton(ToolBar, "SpdBtnSend2", "sendrenamed",
                                QStringLiteral("追加転送(上書きしないようにファイル名を変更)"));
    AddToolBarDivider(ToolBar, "SpdBtnDiv4", 17);
    SpdBtnTop = AddToolButton(ToolBar, "SpdBtnTop", "top", QStringLiteral("一番上に移動"));
    SpdBtnUp = AddToolButton(ToolBar, "SpdBtnUp", "up", QStringLiteral("１つ上に移動"));
    SpdBtnDown = AddToolButton(ToolBar, "SpdBtnDown", "down", QStringLiteral("１つ下に移動"));
    SpdBtnLast = AddToolButton(ToolBar, "SpdBtnLast", "last", QStringLiteral("一番下に移動"));
    for (QAction* action : {SpdBtnSend2, SpdBtnTop, SpdBtnUp, SpdBtnDown, SpdBtnLast})
        action->setEnabled(false);
}

void SearchWindowUi::setupResults(QDialog* window)
{
    TCFrame = new QWidget(window);
    TCFrame->setObjectName(QStringLiteral("TCFrame"));
    auto* frame = new QVBoxLayout(TCFrame);
    frame->setContentsMargins(4, 4, 4, 0);
    frame->setSpacing(0);
    TC = new QTabBar(TCFrame);
    TC->setObjectName(QStringLiteral("TC"));
    TC->setExpanding(false);
    TC->setUsesScrollButtons(true);
    TC->setDrawBase(false);
    List = new QTreeView(TCFrame);
    List->setObjectName(QStringLiteral("List"));
    // Named by their control names in the accessibility tree.
    TC->setAccessibleName(TC->objectName());
    List->setAccessibleName(List->objectName());
    frame->addWidget(TC);
    frame->addWidget(List, 1);

    Panel_Bottom = new QWidget(window);
    Panel_Bottom->setObjectName(QStringLiteral("Panel_Bottom"));
    Panel_Bottom->setFixedHeight(41);
    auto* bottom = new QHBoxLayout(Panel_Bottom);
    bottom->setContentsMargins(10, 0, 10, 0);
    Label = new QLabel(Panel_Bottom);
    Label->setObjectName(QStringLiteral("Label"));
    BtnClose = new QPushButton(QStringLiteral("閉じる"), Panel_Bottom);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setAutoDefault(false);
    BtnClose->setFixedWidth(75);
    BtnStats = new QPushButton(QStringLiteral("結果の成績(&T)"), Panel_Bottom);
    BtnStats->setObjectName(QStringLiteral("BtnStats"));
    BtnStats->setAutoDefault(false);
    bottom->addWidget(Label, 1);
    bottom->addWidget(BtnStats);
    bottom->addWidget(BtnClose);
}

}  // namespace replidex
