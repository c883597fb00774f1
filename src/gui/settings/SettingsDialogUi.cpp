#include "gui/settings/SettingsDialogUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/settings/JournalSettingsPage.h"

namespace replidex {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QToolButton* ArrowButton(QWidget* parent, const char* name, const char* glyph, const QString& hint)
{
    auto* button = Named(new QToolButton(parent), name);
    button->setIcon(QIcon(QStringLiteral(":/images/toolbar/%1.svg").arg(QLatin1String(glyph))));
    button->setToolTip(hint);
    button->setFixedSize(25, 25);
    button->setEnabled(false);
    return button;
}

}  // namespace

void SettingsDialogUi::setupUi(QDialog* dialog)
{
    PC = Named(new QTabWidget(dialog), "PC");
    TS_Column = setupColumnPage();
    TS_Search = setupSearchPage();
    TS_Etc = setupEtcPage();
    PC->addTab(TS_Column, QStringLiteral("列の表示"));
    PC->addTab(TS_Search, QStringLiteral("検索"));
    PC->addTab(TS_Etc, QStringLiteral("その他"));
    TS_Journal = new JournalSettingsPage(PC);
    PC->addTab(TS_Journal, QStringLiteral("操作履歴"));
    PC->setCurrentWidget(TS_Column);

    BtnOK = Named(new QPushButton(QStringLiteral("OK"), dialog), "BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = Named(new QPushButton(QStringLiteral("キャンセル"), dialog), "BtnCancel");
    for (QPushButton* button : {BtnOK, BtnCancel}) button->setMinimumWidth(75);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->addWidget(PC, 1);
    layout->addLayout(buttons);
}

QWidget* SettingsDialogUi::setupColumnPage()
{
    auto* page = Named(new QWidget, "TS_Column");
    List = Named(new QTreeView(page), "List");
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->header()->setSectionsMovable(false);
    List->header()->setStretchLastSection(false);
    // The list takes the room the other pages leave; it does not widen the
    // dialog itself.
    List->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    SpdBtnUp = ArrowButton(page, "SpdBtnUp", "up", QStringLiteral("上へ"));
    SpdBtnDown = ArrowButton(page, "SpdBtnDown", "down", QStringLiteral("下へ"));

    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(SpdBtnUp);
    arrows->addWidget(SpdBtnDown);
    arrows->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(List, 1);
    layout->addLayout(arrows);
    return page;
}

QWidget* SettingsDialogUi::setupSearchPage()
{
    auto* page = Named(new QWidget, "TS_Search");
    CB_SearchPage = Named(new QComboBox(page), "CB_SearchPage");
    for (int size = 100; size <= 1000; size += 100) CB_SearchPage->addItem(QString::number(size));
    Label1 = Named(new QLabel(QStringLiteral("件毎に表示"), page), "Label1");
    CB_NoExist = Named(new QCheckBox(QStringLiteral("存在しない／差分のあるファイルは検索対象外"), page),
                       "CB_NoExist");
    CB_NoExist->setChecked(true);

    auto* pageSize = new QHBoxLayout;
    pageSize->addWidget(CB_SearchPage);
    pageSize->addWidget(Label1);
    pageSize->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    // Narrow side margins: the option's caption is the widest text of the
    // dialog and has to fit its 284 pixels.
    layout->setContentsMargins(6, 9, 2, 9);
    layout->addLayout(pageSize);
    layout->addSpacing(8);
    layout->addWidget(CB_NoExist);
    layout->addStretch(1);
    return page;
}

QWidget* SettingsDialogUi::setupEtcPage()
{
    auto* page = Named(new QWidget, "TS_Etc");
    GB_PuyoFPath = Named(new QGroupBox(QStringLiteral("PuyoFフォルダ"), page), "GB_PuyoFPath");
    Edit_Path = Named(new QLineEdit(GB_PuyoFPath), "Edit_Path");
    Btn_Path = Named(new QPushButton(QStringLiteral("設定"), GB_PuyoFPath), "Btn_Path");
    auto* folder = new QHBoxLayout(GB_PuyoFPath);
    folder->addWidget(Edit_Path, 1);
    folder->addWidget(Btn_Path);

    GB_Extention = Named(new QGroupBox(QStringLiteral("関連付け"), page), "GB_Extention");
    CB_Extention = Named(new QCheckBox(QStringLiteral(".rdx拡張子を本ツールに関連付ける"), GB_Extention),
                         "CB_Extention");
    auto* association = new QVBoxLayout(GB_Extention);
    association->addWidget(CB_Extention);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(GB_PuyoFPath);
    layout->addWidget(GB_Extention);
    layout->addStretch(1);
    return page;
}

}  // namespace replidex
