// The search window and the scope chooser driven as a user would: controls
// and their initial states, refusals, the run with its tabs and pages, abort,
// moving result rows, the scope chooser, re-marking the scope, the missing-file
// option, the keyboard, and the main window's search command.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QInputDialog>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/replay/FileTime.h"
#include "core/search/SearchRun.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/MemoDialog.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/QueryRow.h"
#include "core/search/query/QueryCriteria.h"
#include "core/settings/SavedQueries.h"
#include "gui/search/ScopeDialog.h"
#include "gui/search/ScopeTree.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/settings/SettingsDialogUi.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

// Runs `act` on the modal dialog once it is up, inside its own event loop.
void OnModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

class SearchWindowTest : public ::testing::Test {
protected:
    // `search` holds the "Search" section: page size and the missing-file
    // option (off unless a test turns it on).
    void Start(const std::string& search = "Page=0\nExist=0\n")
    {
        windows = test::MakeWindowsWithGameFolder(dir, "[Search]\n" + search);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        window = windows->search;
    }
    void TearDown() override { Stop(); }
    void Stop()
    {
        if (window) window->hide();
        if (form) form->document().Modified = false;
        windows.reset();
        form = nullptr;
        window = nullptr;
    }

    ReplayDocument& doc() { return form->document().list; }
    ReplayFolder* root() { return form->document().RootNode(); }
    CriteriaPanel& panel() { return *window->ui().Panel; }
    ReplayRowModel& rows() { return *window->RowModelOf(); }

    ReplayFolder* AddFolder(ReplayFolder* parent, const char* name)
    {
        auto events = form->treeModel().events();
        const int row = static_cast<int>(parent->children.size());
        events.beforeInsert(parent, row);
        ReplayFolder* folder = parent->addChild(Sjis(name));
        events.afterInsert(parent, row);
        return folder;
    }
    // A net match (every net match hits the initial criteria) or an offline
    // match against the computer (which they never hit).
    ReplayEntry* AddEntry(ReplayFolder* folder, bool net = true)
    {
        const std::string name = "R" + std::to_string(doc().pool.size()) + ".RPD";
        ReplayEntry* e = test::AddEntry(doc(), *folder, dir.path().string() + "/r/", name);
        e->info.emplace();
        e->info->infoFlags = net ? std::uint32_t{kInfoNetMatch} : std::uint32_t{kInfoOfflineMatch};
        e->info->p1.setName("P1");
        e->info->p2.setName("P2");
        return e;
    }
    void AddEntries(ReplayFolder* folder, int count, bool net = true)
    {
        for (int i = 0; i < count; ++i) AddEntry(folder, net);
    }

    // Shows the window (not modally) over `scope`, as the main window does.
    void Open(ReplayFolder* scope)
    {
        window->SetScope(scope);
        window->show();
        ASSERT_TRUE(test::WaitUntil([this] { return window->isVisible(); }));
    }
    QStringList Tabs() const
    {
        QStringList tabs;
        for (int i = 0; i < window->ui().TC->count(); ++i) tabs << window->ui().TC->tabText(i);
        return tabs;
    }
    std::vector<std::int32_t> ShownSlots()
    {
        std::vector<std::int32_t> shown;
        for (const ReplayRow& row : rows().rows()) shown.push_back(row.poolIndex);
        return shown;
    }
    void SelectRow(int row)
    {
        window->ui().List->selectionModel()->setCurrentIndex(
            rows().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // Answers the scope chooser with `pick` (or no selection when it gives
    // an invalid index) and OK, after `check` looked at it as it opened.
    void ChooseScope(const std::function<QModelIndex(ScopeDialog&)>& pick,
                     const std::function<void(ScopeDialog&)>& check = {})
    {
        OnModal([pick, check](QWidget* modal) {
            auto* dialog = qobject_cast<ScopeDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            if (check) check(*dialog);
            const QModelIndex index = pick(*dialog);
            if (index.isValid())
                dialog->Tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            else
                dialog->Tree->selectionModel()->clear();
            dialog->BtnOK->click();
        });
        window->ui().Panel->BtnFolder->click();
    }

    test::TempDir dir;
    // Runs the settings command of the search window and answers its dialog
    // with the missing-file option ticked or not; false if no dialog showed.
    bool SetMissingFileOptionInTheSettings(bool skipMissing)
    {
        bool shown = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            SettingsDialog* dialog = windows->config;
            if (!dialog->isVisible()) return;
            answer.stop();
            shown = true;
            dialog->ui().CB_NoExist->setChecked(skipMissing);
            dialog->ui().BtnOK->click();
        });
        answer.start(10);
        window->ui().MMConfig->trigger();
        answer.stop();
        return shown;
    }

    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    SearchWindow* window = nullptr;
};

TEST_F(SearchWindowTest, ControlsCaptionsAndInitialStates)
{
    Start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("検索"));
    EXPECT_EQ(window->size(), QSize(956, 584));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    struct Box {
        QCheckBox* box;
        const char* caption;
        bool checked;
    };
    for (const Box& b : {Box{panel().CB_HN, "ハンドル名", false}, Box{panel().CB_Rank, "段位", true},
                         Box{panel().CB_Avg, "勝率", false}, Box{panel().CB_Chara, "使用キャラ", false},
                         Box{panel().CB_Memo, "メモ", false}, Box{panel().CB_1P, "１P", true},
                         Box{panel().CB_2P, "２P", true}, Box{panel().CB_Net, "Net", true},
                         Box{panel().CB_OffLine, "OffLine", true},
                         Box{panel().CB_Alpha, "大文字と小文字を区別する", true},
                         Box{panel().CB_Zenkaku, "全角英数字と半角英数字を区別する", true}}) {
        EXPECT_EQ(b.box->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.box->isChecked(), b.checked) << b.caption;
    }
    struct Combo {
        QComboBox* combo;
        int count, current;
        const char *first, *last;
    };
    for (const Combo& c :
         {Combo{panel().ComboBox_Rank, 20, 0, "１０きゅう", "１０だん"},
          Combo{panel().ComboBox_RankIf, 3, 1, "に等しい", "以下"},
          Combo{panel().ComboBox_AvgRatio, 9, 0, "１割", "９割"},
          Combo{panel().ComboBox_AvgIf, 2, 0, "以上", "以下"},
          Combo{panel().ComboBox_Chara, 16, 0, "アミティ", "カーバンクル"}}) {
        EXPECT_EQ(c.combo->count(), c.count) << c.first;
        EXPECT_EQ(c.combo->currentIndex(), c.current) << c.first;
        EXPECT_EQ(c.combo->itemText(0), QString::fromUtf8(c.first));
        EXPECT_EQ(c.combo->itemText(c.count - 1), QString::fromUtf8(c.last));
    }
    EXPECT_EQ(panel().ComboBox_Rank->itemText(10), QStringLiteral("しょだん"));
    EXPECT_EQ(panel().ComboBox_Chara->itemText(12), QStringLiteral("子連れフランケン"));
    EXPECT_TRUE(panel().Edit_Folder->isReadOnly());
    for (QWidget* control : std::initializer_list<QWidget*>{panel().Edit, panel().Edit_Memo, panel().Edit_Folder,
                                                            panel().ComboBox_Rank, window->ui().TC,
                                                            window->ui().List})
        EXPECT_EQ(control->accessibleName(), control->objectName());
    EXPECT_EQ(panel().BtnFolder->text(), QStringLiteral("検索するフォルダ"));
    EXPECT_EQ(panel().BtnSearch->text(), QStringLiteral("検索"));
    EXPECT_TRUE(panel().BtnSearch->isEnabled());
    EXPECT_EQ(panel().BtnAbort->text(), QStringLiteral("中止"));
    EXPECT_FALSE(panel().BtnAbort->isEnabled());
    EXPECT_EQ(window->ui().BtnClose->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(panel().height(), 113);
    EXPECT_EQ(window->ui().ToolBar->height(), 30);
    EXPECT_EQ(window->ui().Panel_Bottom->height(), 41);

    // The tool bar: every button starts disabled.
    const std::vector<std::pair<const char*, const char*>> buttons = {
        {"SpdBtnSend2", "追加転送(上書きしないようにファイル名を変更)"}, {"SpdBtnDiv4", nullptr},
        {"SpdBtnTop", "一番上に移動"}, {"SpdBtnUp", "１つ上に移動"},
        {"SpdBtnDown", "１つ下に移動"}, {"SpdBtnLast", "一番下に移動"}};
    const QList<QAction*> tools = window->ui().ToolBar->actions();
    ASSERT_EQ(tools.size(), static_cast<qsizetype>(buttons.size()));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QWidget* widget = window->ui().ToolBar->widgetForAction(tools[static_cast<qsizetype>(i)]);
        EXPECT_EQ(widget->objectName(), QString::fromLatin1(buttons[i].first));
        EXPECT_FALSE(widget->isEnabled()) << buttons[i].first;
        if (buttons[i].second) {
            EXPECT_EQ(widget->toolTip(), QString::fromUtf8(buttons[i].second));
        }
    }

    // The menu: the nine items with the main window's captions.
    const MainWindowUi& main = form->ui();
    QStringList top, puyoF, help;
    for (QAction* a : window->ui().MM->actions()) top << a->text();
    for (QAction* a : window->ui().MMPuyoF->actions()) puyoF << (a->isSeparator() ? "-" : a->text());
    for (QAction* a : window->ui().MMHelp->actions()) help << a->text();
    EXPECT_EQ(top, (QStringList{main.MMPuyoF->title(), main.MMConfig->text(), main.MMHelp->title()}));
    EXPECT_EQ(puyoF, (QStringList{main.MMFileCopyRename->text(), "-", main.MMExplorer->text(),
                                  main.MMRPDRename->text(), "-", main.MMRpdFileAllDelete->text()}));
    EXPECT_EQ(help, (QStringList{main.MMHTMLHelp->text(), main.MMVersion->text()}));

    // The list menu: nine items, two separators in a row after the memo.
    QStringList menu;
    for (QAction* a : window->listMenu()->actions()) menu << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(menu, (QStringList{"追加転送（上書きしないようにファイル名を変更）(&R)", "-", "メモ(&M)", "-", "-",
                                 "一番上に移動(&T)", "１つ上に移動(&U)", "１つ下に移動(&D)",
                                 "一番下に移動(&L)"}));
    EXPECT_EQ(window->ui().List->header()->sectionsMovable(), true);
    EXPECT_EQ(window->ui().List->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(SearchWindowTest, CriterionBoxesEnableAndColourTheirEditors)
{
    Start();
    const QColor white(Qt::white);
    const QColor light = panel().palette().color(QPalette::Midlight);
    struct Case {
        QCheckBox* box;
        std::vector<QWidget*> editors;
    };
    for (const Case& c : {Case{panel().CB_HN, {panel().Edit}},
                          Case{panel().CB_Rank, {panel().ComboBox_Rank, panel().ComboBox_RankIf}},
                          Case{panel().CB_Avg, {panel().ComboBox_AvgRatio, panel().ComboBox_AvgIf}},
                          Case{panel().CB_Chara, {panel().ComboBox_Chara}},
                          Case{panel().CB_Memo, {panel().Edit_Memo}}}) {
        for (const bool on : {!c.box->isChecked(), c.box->isChecked()}) {
            QTest::mouseClick(c.box, Qt::LeftButton, {}, QPoint(4, c.box->height() / 2));
            ASSERT_EQ(c.box->isChecked(), on);
            for (QWidget* editor : c.editors) {
                EXPECT_EQ(editor->isEnabled(), on) << editor->objectName().toStdString();
                EXPECT_EQ(editor->palette().color(QPalette::Base), on ? white : light)
                    << editor->objectName().toStdString();
                // Drawn so too: a drop-down list's face as an edit's, away
                // from the frame, the text and the arrow.
                const QImage face = editor->grab().toImage();
                EXPECT_EQ(QColor(face.pixel(face.width() - 25, face.height() / 2)).rgb(),
                          (on ? white : light).rgb())
                    << editor->objectName().toStdString();
            }
        }
    }
}

TEST_F(SearchWindowTest, TabsFollowTheHitsAndThePageSize)
{
    struct Case {
        int hits;
        const char* page;   // the "Search" section's page item
        QStringList tabs;
        int lastPageRows;
        const char* label;
    };
    const std::vector<Case> cases = {
        {200, "0", {"1～100", "101～200"}, 100, "200個のファイルが見つかりました"},
        {201, "0", {"1～100", "101～200", "201"}, 1, "201個のファイルが見つかりました"},
        {1, "0", {"1"}, 1, "1個のファイルが見つかりました"},
        {150, "0", {"1～100", "101～150"}, 50, "150個のファイルが見つかりました"},
        {0, "0", {"0"}, 0, "条件に一致するファイルはありませんでした"},
        {250, "1", {"1～200", "201～250"}, 50, "250個のファイルが見つかりました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hits);
        Start(std::string("Page=") + c.page + "\nExist=0\n");
        // Offline matches in between never hit.
        AddEntries(root(), c.hits);
        AddEntries(root(), 7, false);
        Open(root());
        panel().BtnSearch->click();
        EXPECT_EQ(Tabs(), c.tabs);
        EXPECT_EQ(window->HitCount(), c.hits);
        EXPECT_EQ(window->ui().Label->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(rows().rowCount(), std::min(c.hits, window->PageSize()));
        window->ui().TC->setCurrentIndex(window->ui().TC->count() - 1);
        EXPECT_EQ(rows().rowCount(), c.lastPageRows);
        Stop();
    }
}

TEST_F(SearchWindowTest, OfflineOnlyWithoutCharacterOrMemoIsRefusedAndTheResultsStay)
{
    Start();
    AddEntries(root(), 3);
    Open(root());
    panel().BtnSearch->click();
    ASSERT_EQ(Tabs(), QStringList{"1～3"});

    // The order of all four refusals is the core's (SearchRun tests).
    test::Responders responders;
    panel().CB_Rank->setChecked(false);
    panel().CB_HN->setChecked(true);
    panel().CB_Net->setChecked(false);
    panel().BtnSearch->click();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("検索条件が設定されていません。"));
    EXPECT_EQ(responders.messages[0].kind, -1);   // the plain box
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(Tabs(), QStringList{"1～3"});
    EXPECT_EQ(rows().rowCount(), 3);
    EXPECT_EQ(window->ui().Label->text(), QStringLiteral("3個のファイルが見つかりました"));
    EXPECT_TRUE(panel().BtnSearch->isEnabled());
    EXPECT_FALSE(panel().BtnAbort->isEnabled());
}

TEST_F(SearchWindowTest, AbortKeepsTheHitsSoFarWithTheirCount)
{
    struct Case {
        bool hitting;
        QStringList tabs;
        const char* label;
    };
    // Pending events run after every stride of slots: the abort lands in the
    // first round.
    const std::vector<Case> cases = {
        {true, {"1～100", "101～200", "201～256"}, "256個のファイルが見つかりました"},
        {false, {"0"}, "条件に一致するファイルはありませんでした"},
    };
    ASSERT_EQ(kSearchPollStride, 256);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hitting);
        Start();
        AddEntries(root(), 1000, c.hitting);
        Open(root());
        window->runLoop().setPollInterval(std::chrono::milliseconds(0));
        bool sawRunning = false;
        QTimer::singleShot(0, window, [&] {
            sawRunning = !panel().BtnSearch->isEnabled() && panel().BtnAbort->isEnabled() &&
                         !window->ui().List->isEnabled() &&
                         window->ui().Label->text() == QStringLiteral("検索中･･･");
            panel().BtnAbort->click();
        });
        panel().BtnSearch->click();
        EXPECT_TRUE(sawRunning);
        EXPECT_EQ(window->HitCount(), c.hitting ? 256 : 0);
        EXPECT_EQ(Tabs(), c.tabs);
        EXPECT_EQ(window->ui().Label->text(), QString::fromUtf8(c.label));
        // Idle again, and the next search is not aborted.
        EXPECT_TRUE(panel().BtnSearch->isEnabled());
        EXPECT_FALSE(panel().BtnAbort->isEnabled());
        EXPECT_TRUE(window->ui().List->isEnabled());
        EXPECT_EQ(window->ui().List->palette().color(QPalette::Base), QColor(Qt::white));
        EXPECT_FALSE(window->runLoop().AbortRequested());
        panel().BtnSearch->click();
        EXPECT_EQ(window->HitCount(), c.hitting ? 1000 : 0);
        Stop();
    }
}

TEST_F(SearchWindowTest, ClosingDuringARunAbortsItAndHidesTheWindow)
{
    Start();
    AddEntries(root(), 1000);
    Open(root());
    window->runLoop().setPollInterval(std::chrono::milliseconds(0));
    QTimer::singleShot(0, window, [this] { window->ui().BtnClose->click(); });
    panel().BtnSearch->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->HitCount(), kSearchPollStride);
    EXPECT_FALSE(window->runLoop().AbortRequested());
}

TEST_F(SearchWindowTest, MovedRowsGoBackToSlotOrderOnATabChange)
{
    Start();
    AddEntries(root(), 150);
    Open(root());
    panel().BtnSearch->click();
    const std::vector<std::int32_t> listOrder = *root()->entries;
    const std::vector<std::int32_t> slotOrder = ShownSlots();
    ASSERT_EQ(slotOrder.size(), 100u);

    struct Case {
        int row;
        QAction* (*button)(SearchWindowUi&);
        int landsAt;
    };
    const std::vector<Case> cases = {
        {0, [](SearchWindowUi& ui) { return ui.SpdBtnDown; }, 1},
        {5, [](SearchWindowUi& ui) { return ui.SpdBtnUp; }, 4},
        {50, [](SearchWindowUi& ui) { return ui.SpdBtnTop; }, 0},
        {50, [](SearchWindowUi& ui) { return ui.SpdBtnLast; }, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        window->ui().TC->setCurrentIndex(1);
        window->ui().TC->setCurrentIndex(0);
        ASSERT_EQ(ShownSlots(), slotOrder);
        SelectRow(c.row);
        QAction* button = c.button(window->ui());
        ASSERT_TRUE(button->isEnabled());
        button->trigger();
        EXPECT_EQ(rows().row(c.landsAt)->poolIndex, slotOrder[static_cast<std::size_t>(c.row)]);
        EXPECT_NE(ShownSlots(), slotOrder);
        const QModelIndexList selected = window->ui().List->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected.front().row(), c.landsAt);
        EXPECT_EQ(window->ui().List->currentIndex().row(), c.landsAt);
    }
    // The folder's list and the pool are untouched.
    EXPECT_EQ(*root()->entries, listOrder);
    EXPECT_FALSE(form->document().Modified);
    window->ui().TC->setCurrentIndex(1);
    EXPECT_EQ(rows().rowCount(), 50);
    window->ui().TC->setCurrentIndex(0);
    EXPECT_EQ(ShownSlots(), slotOrder);

    // The first row cannot go up, the last one not down.
    for (const auto& [row, up, down] : {std::tuple{0, false, true}, std::tuple{99, true, false}}) {
        SelectRow(row);
        EXPECT_EQ(window->ui().SpdBtnUp->isEnabled(), up);
        EXPECT_EQ(window->ui().SpdBtnTop->isEnabled(), up);
        EXPECT_EQ(window->listMenuItems().moveUp->isEnabled(), up);
        EXPECT_EQ(window->ui().SpdBtnDown->isEnabled(), down);
        EXPECT_EQ(window->listMenuItems().moveBottom->isEnabled(), down);
        EXPECT_TRUE(window->listMenuItems().memo->isEnabled());
    }
}

TEST_F(SearchWindowTest, KeyboardMovesLikeTheMainList)
{
    Start();
    AddEntries(root(), 20);
    Open(root());
    panel().BtnSearch->click();
    QTreeView* list = window->ui().List;
    list->setFocus();
    SelectRow(0);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int current;
        int selected;
    };
    for (const Case& c : {Case{Qt::Key_Down, {}, 1, 1}, Case{Qt::Key_End, {}, 19, 1},
                          Case{Qt::Key_Home, {}, 0, 1}, Case{Qt::Key_Down, Qt::ShiftModifier, 1, 2},
                          Case{Qt::Key_PageDown, {}, -1, 1},
                          Case{Qt::Key_A, Qt::ControlModifier, -1, 20}}) {
        QTest::keyClick(list, c.key, c.modifiers);
        if (c.current >= 0) {
            EXPECT_EQ(list->currentIndex().row(), c.current) << c.key;
        }
        EXPECT_EQ(list->selectionModel()->selectedRows().size(), c.selected) << c.key;
    }
    // The commands follow the keyboard's selection.
    EXPECT_FALSE(window->ui().SpdBtnUp->isEnabled());
    EXPECT_FALSE(window->ui().SpdBtnDown->isEnabled());
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_FALSE(window->ui().SpdBtnUp->isEnabled());
    EXPECT_TRUE(window->ui().SpdBtnDown->isEnabled());
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_TRUE(window->ui().SpdBtnUp->isEnabled());
    EXPECT_FALSE(window->ui().SpdBtnDown->isEnabled());
}

TEST_F(SearchWindowTest, EnterInACriterionEditRunsTheSearch)
{
    Start();
    ReplayEntry* named = AddEntry(root());
    named->info->p1.setName("Tanaka");
    named->memo = "good game";
    AddEntries(root(), 2);
    Open(root());
    panel().CB_Rank->setChecked(false);
    panel().CB_HN->setChecked(true);
    QTest::keyClicks(panel().Edit, "ana");
    QTest::keyClick(panel().Edit, Qt::Key_Return);
    EXPECT_EQ(window->HitCount(), 1);
    EXPECT_EQ(Tabs(), QStringList{"1"});

    panel().CB_HN->setChecked(false);
    panel().CB_Memo->setChecked(true);
    QTest::keyClicks(panel().Edit_Memo, "zzz");
    QTest::keyClick(panel().Edit_Memo, Qt::Key_Enter);
    EXPECT_EQ(window->HitCount(), 0);
    EXPECT_EQ(window->ui().Label->text(), QStringLiteral("条件に一致するファイルはありませんでした"));
}

TEST_F(SearchWindowTest, ScopeChooserOpensOnTheScopeAndAnswersTheChosenFolder)
{
    Start();
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* b = AddFolder(a, "B");
    ReplayFolder* deep = AddFolder(b, "深い");
    ReplayFolder* other = AddFolder(root(), "Other");
    AddEntries(root(), 1);
    AddEntries(deep, 2);
    AddEntries(other, 4);
    Open(deep);
    EXPECT_EQ(panel().Edit_Folder->text(), QStringLiteral("深い"));
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 2);

    // Opens with the folder three levels deep selected, its parents open.
    QString selectedThere;
    bool parentsOpen = false;
    int topNodes = 0;
    ChooseScope([](ScopeDialog& d) { return d.Tree->model()->index(0, 0); },
                [&](ScopeDialog& d) {
                    const QModelIndexList selected = d.Tree->selectionModel()->selectedIndexes();
                    if (!selected.isEmpty()) selectedThere = selected.front().data().toString();
                    parentsOpen = !selected.isEmpty() && d.Tree->isExpanded(selected.front().parent()) &&
                                  d.Tree->isExpanded(selected.front().parent().parent());
                    topNodes = d.Tree->model()->rowCount();
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("検索するフォルダの選択"));
                    EXPECT_EQ(d.size(), QSize(257, 314));
                    EXPECT_EQ(d.BtnCancel->text(), QStringLiteral("キャンセル"));
                    EXPECT_EQ(d.focusWidget(), d.Tree);
                });
    EXPECT_EQ(selectedThere, QStringLiteral("深い"));
    EXPECT_TRUE(parentsOpen);
    EXPECT_EQ(topNodes, 1);
    // The top node makes the root the scope, marked anew.
    EXPECT_EQ(window->ScopeNode(), root());
    EXPECT_EQ(panel().Edit_Folder->text(), QStringLiteral("Root"));
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 7);

    // A sub-folder; then OK with nothing selected keeps it.
    ChooseScope([](ScopeDialog& d) {
        const QModelIndex top = d.Tree->model()->index(0, 0);
        return d.Tree->model()->index(1, 0, top);
    });
    EXPECT_EQ(window->ScopeNode(), other);
    ChooseScope([](ScopeDialog&) { return QModelIndex(); });
    EXPECT_EQ(window->ScopeNode(), other);
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 4);

    // Cancel keeps the scope too.
    OnModal([](QWidget* modal) { qobject_cast<ScopeDialog*>(modal)->BtnCancel->click(); });
    panel().BtnFolder->click();
    EXPECT_EQ(window->ScopeNode(), other);
    EXPECT_EQ(windows->tree->ChosenNode(), nullptr);
}

TEST_F(SearchWindowTest, ScopeCopyAndItsPathsBothWays)
{
    Start();
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* a1 = AddFolder(a, "A1");
    ReplayFolder* b = AddFolder(root(), "B");
    AddFolder(b, "B0");
    ReplayFolder* b2 = AddFolder(b, "B1");
    QStandardItemModel copy;
    const QModelIndex top = CopyRootFolder(root(), copy);
    ASSERT_TRUE(top.isValid());
    EXPECT_EQ(copy.rowCount(top), 2);
    for (ReplayFolder* folder : {root(), a, a1, b, b2}) {
        const QModelIndex node = MapNodeByPath(root(), folder, copy);
        ASSERT_TRUE(node.isValid());
        EXPECT_EQ(node.data().toString().toStdString(), folder->name);
        EXPECT_EQ(MapNodeByPath(node, root()), folder);
    }
    // When the copy and the tree differ, a path past the copy's children
    // maps to none.
    copy.itemFromIndex(top)->removeRow(1);
    EXPECT_FALSE(MapNodeByPath(root(), b2, copy).isValid());
    AddFolder(a1, "new");
    EXPECT_EQ(MapNodeByPath(copy.index(0, 0, copy.index(0, 0, top)), root()), a1);
}

TEST_F(SearchWindowTest, MissingFileOptionAndItsChangeThroughTheSettings)
{
    Start("Page=0\nExist=1\n");
    // Three entries: unchanged, changed and missing files.
    std::vector<ReplayEntry*> entries;
    for (const char* name : {"SAME.RPD", "CHANGED.RPD", "GONE.RPD"}) {
        ReplayEntry* e = test::AddEntry(doc(), *root(), dir.path().string() + "/files/", name);
        e->info.emplace();
        e->info->infoFlags = kInfoNetMatch;
        entries.push_back(e);
    }
    dir.write("files/SAME.RPD", "x");
    dir.write("files/CHANGED.RPD", "x");
    entries[0]->fileAge = FileAgeOf(entries[0]->fullPath());
    entries[1]->fileAge = FileAgeOf(entries[1]->fullPath()) + 2;

    Open(root());
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 1);
    ASSERT_EQ(rows().rowCount(), 1);
    EXPECT_EQ(rows().row(0)->poolIndex, entries[0]->poolIndex);

    // Option off: re-marked at once; the shown results stay until the next search.
    // The settings dialog opens over the search window; untick the option there.
    ASSERT_TRUE(window->ui().MMConfig->isEnabled());
    EXPECT_TRUE(SetMissingFileOptionInTheSettings(false));
    EXPECT_FALSE(form->program().config.skipMissing);
    EXPECT_EQ(rows().rowCount(), 1);
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 3);
    // Rows carry the state of their files now: net match 0, 2 and 1.
    std::vector<int> icons;
    for (const ReplayRow& row : rows().rows()) icons.push_back(row.icon);
    EXPECT_EQ(icons, (std::vector<int>{0, 2, 1}));
    // Only the unchanged row may be sent.
    MarkAvailable(window->listMenuItems().sendRenamed);
    window->hide();
    Open(root());
    panel().BtnSearch->click();
    for (const auto& [row, sendable] : {std::pair{0, true}, std::pair{1, false}, std::pair{2, false}}) {
        SelectRow(row);
        EXPECT_EQ(window->ui().SpdBtnSend2->isEnabled(), sendable) << row;
        EXPECT_EQ(window->ui().MMFileCopyRename->isEnabled(), sendable) << row;
        EXPECT_EQ(window->listMenuItems().sendRenamed->isEnabled(), sendable) << row;
    }

    // Back on: the missing and changed entries never hit again.
    EXPECT_TRUE(SetMissingFileOptionInTheSettings(true));
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 1);
}

TEST_F(SearchWindowTest, GameFolderAndHelpItemsRunTheMainWindowsCommands)
{
    Start();
    AddEntries(root(), 2);
    form->program().config.puyoFPath = dir.path().string() + "/vanished";
    Open(root());
    const MainWindowUi& main = form->ui();
    SearchWindowUi& ui = window->ui();
    // The game-folder, help and settings items are offered as in the main window.
    for (QAction* action : {ui.MMRPDRename, ui.MMRpdFileAllDelete, ui.MMConfig, ui.MMExplorer, ui.MMHTMLHelp})
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();

    // These items run the main window's commands.
    struct Case {
        QAction* mine;
        QAction* theirs;
    };
    for (const Case& c : {Case{ui.MMExplorer, main.MMExplorer}, Case{ui.MMRPDRename, main.MMRPDRename},
                          Case{ui.MMRpdFileAllDelete, main.MMRpdFileAllDelete},
                          Case{ui.MMHTMLHelp, main.MMHTMLHelp}}) {
        test::Responders responders;   // the help and file manager may fail to start
        QSignalSpy spy(c.theirs, &QAction::triggered);
        ASSERT_TRUE(c.mine->isEnabled()) << c.mine->objectName().toStdString();
        c.mine->trigger();
        EXPECT_EQ(spy.count(), 1) << c.mine->objectName().toStdString();
    }

    // The about box opens over this window.
    bool about = false;
    OnModal([&](QWidget* modal) {
        about = modal == windows->version;
        modal->close();
    });
    ui.MMVersion->trigger();
    EXPECT_TRUE(about);
}

TEST_F(SearchWindowTest, MemoOfAResultRow)
{
    Start();
    AddEntries(root(), 3);
    Open(root());
    panel().BtnSearch->click();
    SelectRow(1);
    ASSERT_TRUE(window->listMenuItems().memo->isEnabled());
    OnModal([this](QWidget*) {
        windows->memo->SetMemo("new memo\r\nsecond line");
        windows->memo->OkButton()->click();
    });
    window->listMenuItems().memo->trigger();
    EXPECT_TRUE(form->document().Modified);
    const int memoColumn = rows().columnOf(kColMemo);
    EXPECT_EQ(rows().data(rows().index(1, memoColumn), Qt::DisplayRole).toString(), "new memo");
    EXPECT_EQ(doc().pool.lookup(rows().row(1)->poolIndex)->memo, "new memo\r\nsecond line");
}

TEST_F(SearchWindowTest, SearchCommandCarriesScopeAndColumnsOverAndBack)
{
    Start();
    ReplayFolder* sub = AddFolder(root(), "Sub");
    AddEntries(root(), 2);
    AddEntries(sub, 3);
    form->SelectFolder(sub, false);
    QHeaderView* mainHeader = form->ui().List->header();
    mainHeader->moveSection(mainHeader->visualIndex(kColMemo), 1);   // Memo second
    mainHeader->resizeSection(kColPath, 150);

    for (QAction* command : {form->ui().MMSearch, form->ui().SpdBtnFind, form->ui().PMTree_Search}) {
        SCOPED_TRACE(command->objectName().toStdString());
        ASSERT_TRUE(command->isEnabled());
        bool shownModal = false;
        int hits = -1;
        std::vector<int> searchOrder;
        int pathWidth = 0;
        OnModal([&](QWidget* modal) {
            shownModal = modal == window;
            QHeaderView* header = window->ui().List->header();
            for (int visual = 0; visual < header->count(); ++visual)
                searchOrder.push_back(header->logicalIndex(visual));
            pathWidth = header->sectionSize(kColPath);
            window->ui().Panel->BtnSearch->click();
            hits = window->HitCount();
            // Dragged in the search window: Path goes leftmost.
            header->moveSection(header->visualIndex(kColPath), 0);
            window->ui().BtnClose->click();
        });
        command->trigger();
        EXPECT_TRUE(shownModal);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(hits, 3);
        EXPECT_EQ(window->ScopeNode(), sub);
        EXPECT_EQ(pathWidth, 150);
        ASSERT_GE(searchOrder.size(), 2u);
        EXPECT_EQ(searchOrder[1], kColMemo);
        // The order left in the search window is the main list's now.
        EXPECT_EQ(mainHeader->logicalIndex(0), kColPath);
        mainHeader->moveSection(mainHeader->visualIndex(kColFile), 0);
        mainHeader->moveSection(mainHeader->visualIndex(kColMemo), 1);
        // The main list shows the selected folder again.
        EXPECT_EQ(form->document().ShownNode, sub);
        EXPECT_EQ(form->rowModel().rowCount(), 3);
    }
}

}  // namespace
}  // namespace replidex

namespace replidex {
namespace {

// The query row: a query runs instead of the criteria, which grey while it
// stands; an error shows in red under it and runs nothing.
TEST_F(SearchWindowTest, QueryRowRunsTheQueryInsteadOfTheCriteria)
{
    Start();
    AddEntries(root(), 3);
    AddEntries(root(), 2, false);
    doc().pool.lookup(1)->info->p2.setName(Sjis("あみ"));
    Open(root());
    QueryRow& row = *window->ui().Query;
    EXPECT_EQ(row.Label_Query->text(), QStringLiteral("検索式(&Q):"));
    EXPECT_EQ(row.BtnToQuery->text(), QStringLiteral("条件を式に(&E)"));
    EXPECT_EQ(row.ComboBox_Saved->placeholderText(), QStringLiteral("保存した検索"));
    EXPECT_EQ(row.BtnSaveQuery->text(), QStringLiteral("保存(&V)..."));
    EXPECT_EQ(row.BtnDeleteQuery->text(), QStringLiteral("削除"));
    EXPECT_FALSE(row.Edit_Query->placeholderText().isEmpty());

    // The second net match has あみ as 2P. A negated player term holds for a
    // side whose player it does not describe: "-name:あみ" holds there for
    // 1P, so every net match hits; "no player named あみ" says it of the other
    // player too, or asks for the side.
    const struct {
        const char* query;
        int hits;
    } cases[] = {
        {"name:あみ", 1},
        {"vs:(name:あみ)", 1},
        {"-name:あみ net", 3},
        {"-name:あみ -vs:(name:あみ) net", 2},
        {"side:2p -name:あみ net", 2},
        {"offline", 2},
        {"name:P OR offline", 5},
    };
    for (const auto& c : cases) {
        row.Edit_Query->setText(QString::fromUtf8(c.query));
        EXPECT_FALSE(panel().CB_HN->isEnabled());
        EXPECT_FALSE(panel().CB_Net->isEnabled());
        EXPECT_TRUE(panel().CB_Alpha->isEnabled());
        panel().BtnSearch->click();
        EXPECT_EQ(window->HitCount(), c.hits) << c.query;
        EXPECT_TRUE(row.Label_QueryError->isHidden());
    }
    row.Edit_Query->setText(QStringLiteral("rank:しょだ"));
    panel().BtnSearch->click();
    EXPECT_FALSE(row.Label_QueryError->isHidden());
    EXPECT_EQ(row.Label_QueryError->text(),
              QStringLiteral("6文字目: 段位の名前ではありません「しょだ」(候補: しょだん)"));
    EXPECT_EQ(window->HitCount(), 5);  // nothing ran
    row.Edit_Query->clear();
    EXPECT_TRUE(row.Label_QueryError->isHidden());
    EXPECT_TRUE(panel().CB_HN->isEnabled());
    EXPECT_EQ(panel().Edit->isEnabled(), panel().CB_HN->isChecked());
    panel().BtnSearch->click();
    EXPECT_EQ(window->HitCount(), 3);  // the criteria again: every net match
}

TEST_F(SearchWindowTest, QueryRowCompletesKeysAndValues)
{
    Start();
    Open(root());
    QLineEdit* edit = window->ui().Query->Edit_Query;
    auto* completer = window->ui().Query->findChild<QCompleter*>();
    ASSERT_NE(completer, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("net ran"));
    EXPECT_EQ(completer->completionPrefix(), QStringLiteral("ran"));
    EXPECT_EQ(completer->currentCompletion(), QStringLiteral("rank:"));
    emit completer->activated(QStringLiteral("rank:しょだん"));
    EXPECT_EQ(edit->text(), QStringLiteral("net rank:しょだん"));
    // QTest types ASCII only: the kana go in as an input method would put them.
    QTest::keyClicks(edit, QStringLiteral(" chara:"));
    edit->insert(QStringLiteral("アル"));
    emit edit->textEdited(edit->text());
    EXPECT_EQ(completer->currentCompletion(), QStringLiteral("chara:アルル"));
}

// The criteria as a query; saving it under a name with the text options,
// choosing it again, deleting it. The settings file keeps them.
TEST_F(SearchWindowTest, CriteriaToQueryAndSavedSearches)
{
    Start();
    Open(root());
    QueryRow& row = *window->ui().Query;
    panel().CB_HN->click();
    panel().Edit->setText(QStringLiteral("あみ"));
    row.BtnToQuery->click();
    EXPECT_EQ(row.QueryText().toStdString(), ToQuery(panel().Criteria()));
    EXPECT_FALSE(row.BtnDeleteQuery->isEnabled());

    const auto saveAs = [&](const QString& name) {
        OnModal([name](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->setTextValue(name);
            dialog->accept();
        });
        row.BtnSaveQuery->click();
    };
    panel().CB_Alpha->setChecked(false);
    saveAs(QStringLiteral("あみ探し"));
    row.Edit_Query->setText(QStringLiteral("chara:アルル"));
    panel().CB_Alpha->setChecked(true);
    saveAs(QStringLiteral("アルル"));
    const SavedQueries& saved = form->program().savedQueries;
    ASSERT_EQ(saved.items().size(), 2u);
    EXPECT_EQ(saved.items()[0].name, Sjis("あみ探し"));
    EXPECT_EQ(saved.items()[0].options & kSavedQueryCaseSensitive, 0);
    EXPECT_EQ(row.ComboBox_Saved->count(), 2);
    EXPECT_EQ(row.ComboBox_Saved->currentText(), QStringLiteral("アルル"));
    EXPECT_NE(test::ReadWholeFile(form->program().iniPath).find(Sjis("Name1=アルル")), std::string::npos);

    emit row.ComboBox_Saved->activated(0);
    EXPECT_EQ(row.QueryText().toStdString(), ToQuery(panel().Criteria()));
    EXPECT_FALSE(panel().CB_Alpha->isChecked());

    // A query that does not parse is not saved.
    row.Edit_Query->setText(QStringLiteral("(net"));
    row.BtnSaveQuery->click();
    EXPECT_FALSE(row.Label_QueryError->isHidden());
    EXPECT_EQ(saved.items().size(), 2u);

    row.ComboBox_Saved->setCurrentIndex(0);
    row.BtnDeleteQuery->click();
    ASSERT_EQ(saved.items().size(), 1u);
    EXPECT_EQ(saved.items()[0].name, Sjis("アルル"));
    EXPECT_EQ(row.ComboBox_Saved->count(), 1);
}

// Searches saved in an earlier session are there when the window opens.
TEST_F(SearchWindowTest, SavedSearchesOfTheSettingsFileAreOffered)
{
    Start("Page=0\nExist=0\n" + Sjis("[SavedQuery]\nName0=強い人\nQuery0=rank>=初段\nOptions0=3\n"));
    Open(root());
    const QueryRow& row = *window->ui().Query;
    ASSERT_EQ(row.ComboBox_Saved->count(), 1);
    EXPECT_EQ(row.ComboBox_Saved->itemText(0), QStringLiteral("強い人"));
    EXPECT_TRUE(row.BtnDeleteQuery->isEnabled());
}

}  // namespace
}  // namespace replidex
