// The browsing views driven as a user would: the rows of a folder, the row
// commands and their enabling, the folder operations of the tree with their
// messages, drops, the memo editor, the list menu and the column layout.
#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "GuiTestSupport.h"
#include "core/list/ListFile.h"
#include "core/replay/FileTime.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ColumnLayout.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/FolderTreeView.h"
#include "gui/browse/MemoDialog.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

const QString kExists = QStringLiteral("：フォルダは既に存在しています。");

class BrowseViewsTest : public ::testing::Test {
protected:
    void SetUp() override { iniPath = dir.path().string() + "/program/replidex.ini"; }

    void Start(const std::string& extraIni = {})
    {
        windows = test::MakeWindowsWithGameFolder(dir, extraIni);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }

    ReplayDocument& doc() { return form->document().list; }
    ReplayFolder* root() { return form->document().RootNode(); }
    ReplayRowModel& rows() { return form->rowModel(); }
    QTreeView* list() { return form->ui().List; }

    // Adds a folder below `parent` through the model's insert signals.
    ReplayFolder* AddFolder(ReplayFolder* parent, const char* name)
    {
        auto events = form->treeModel().events();
        const int row = static_cast<int>(parent->children.size());
        events.beforeInsert(parent, row);
        ReplayFolder* folder = parent->addChild(Sjis(name));
        events.afterInsert(parent, row);
        return folder;
    }

    // An entry with info of match kind `kind` (0 net, 1 vs computer, 2 two
    // players) whose file does not exist.
    ReplayEntry* AddEntry(ReplayFolder* folder, const std::string& name, int kind = 1,
                          bool failed = false)
    {
        ReplayEntry* e = test::AddEntry(doc(), *folder, dir.path().string() + "/r/", name);
        if (!e) return nullptr;
        e->info.emplace();
        e->info->infoFlags = kind == 0 ? std::uint32_t{kInfoNetMatch} : kind == 1 ? std::uint32_t{kInfoOfflineMatch} : 0u;
        if (kind == 1) e->info->p2.isCom = 1;
        if (failed) e->info->infoFlags = kInfoFailed;
        e->info->p1.setName("P1");
        e->info->p2.setName("P2");
        return e;
    }

    // Root with folders A and B and entries E0, E1, E2, shown.
    void FiveRows()
    {
        AddFolder(root(), "A");
        AddFolder(root(), "B");
        for (int i = 0; i < 3; ++i) AddEntry(root(), "E" + std::to_string(i) + ".RPD");
        form->SelectFolder(root(), true);
        form->ShowFolderContents(root());
    }

    void Select(int row)
    {
        list()->selectionModel()->setCurrentIndex(
            rows().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    std::vector<int> Selected() const { return form->listCommands().SelectedRows(); }
    QString Text(int row, int column = 0)
    {
        return rows().data(rows().index(row, column), Qt::DisplayRole).toString();
    }
    std::vector<std::string> EntryNames(const ReplayFolder* folder)
    {
        std::vector<std::string> names;
        if (folder->entries)
            for (auto index : *folder->entries) names.push_back(doc().pool.lookup(index)->fileName);
        return names;
    }
    void SelectTreeFolder(ReplayFolder* folder)
    {
        form->ui().TreeView->selectionModel()->setCurrentIndex(
            form->treeModel().indexOf(folder), QItemSelectionModel::ClearAndSelect);
    }
    // Drops what the tree drags (its selected folder) or the list's rows on
    // a tree node.
    void DropOnTree(ReplayFolder* target, bool folder)
    {
        QMimeData data;
        data.setData(QString::fromLatin1(folder ? kFolderMimeType : kReplayRowsMimeType), {});
        form->treeModel().dropMimeData(&data, Qt::MoveAction, -1, -1,
                                       form->treeModel().indexOf(target));
    }

    test::TempDir dir;
    std::string iniPath;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(BrowseViewsTest, FolderRowsComeFirstThenEntriesWithTheirCells)
{
    test::Responders responders;
    Start();
    FiveRows();
    ReplayEntry* memo = doc().pool.lookup((*root()->entries)[1]);
    memo->memo = "abc\r\ndef";
    AddEntry(root(), "BAD.RPD", 0, true);
    form->ShowFolderContents(root());

    ASSERT_EQ(rows().rowCount(), 6);
    EXPECT_EQ(Text(0), "A");
    EXPECT_EQ(Text(1), "B");
    EXPECT_EQ(form->RowState(0), 4);
    EXPECT_EQ(Text(2), "E0.RPD");
    EXPECT_EQ(Text(2, 1), QString::fromStdString(dir.path().string() + "/r/"));
    // Missing file of a match against the computer: 3 x 1 + 1.
    EXPECT_EQ(rows().row(2)->icon, 4);
    EXPECT_EQ(Text(3, 5), "abc");
    // A failed analysis: icon 9, the error in Info, no player cells.
    EXPECT_EQ(rows().row(5)->icon, kIconFailed);
    EXPECT_FALSE(Text(5, 2).isEmpty());
    EXPECT_TRUE(Text(5, 3).isEmpty());
    EXPECT_TRUE(Text(5, 4).isEmpty());
    EXPECT_EQ(form->ui().StatusText->text(), QStringLiteral("フォルダ:2個 ファイル:4個"));
}

TEST_F(BrowseViewsTest, AnEntryWithoutInfoKeepsItsOwnIdentity)
{
    test::Responders responders;
    Start();
    ReplayEntry* first = AddEntry(root(), "A.RPD");
    ReplayEntry* bare = test::AddEntry(doc(), *root(), "/x/", "BARE.RPD");
    form->ShowFolderContents(root());
    ASSERT_EQ(rows().rowCount(), 2);
    EXPECT_EQ(rows().row(1)->icon, kIconNone);
    EXPECT_EQ(rows().row(1)->poolIndex, bare->poolIndex);
    // Deleting it takes that entry, never the first one.
    Select(1);
    responders.messageAnswers = {kAnswerOk};
    form->DeleteRows();
    EXPECT_EQ(EntryNames(root()), std::vector<std::string>{"A.RPD"});
    EXPECT_EQ(doc().pool.lookup(first->poolIndex), first);
}

TEST_F(BrowseViewsTest, MoveEnablingAtTheBoundaries)
{
    test::Responders responders;
    Start();
    FiveRows();
    struct Case {
        int row;
        bool up;
        bool down;
    };
    for (const Case& c : {Case{0, false, true}, Case{1, true, false}, Case{2, false, true},
                          Case{3, true, true}, Case{4, true, false}}) {
        Select(c.row);
        form->listCommands().RunEnabling();
        EXPECT_EQ(form->listMenuItems().moveUp->isEnabled(), c.up) << c.row;
        EXPECT_EQ(form->listMenuItems().moveTop->isEnabled(), c.up) << c.row;
        EXPECT_EQ(form->ui().SpdBtnUp->isEnabled(), c.up) << c.row;
        EXPECT_EQ(form->listMenuItems().moveDown->isEnabled(), c.down) << c.row;
        EXPECT_EQ(form->ui().SpdBtnLast->isEnabled(), c.down) << c.row;
        EXPECT_EQ(form->listMenuItems().memo->isEnabled(), c.row >= 2) << c.row;
        EXPECT_TRUE(form->listMenuItems().deleteRows->isEnabled());
        // The entries' files do not exist: nothing to send; files of entry rows can be deleted.
        EXPECT_FALSE(form->listMenuItems().sendRenamed->isEnabled());
        EXPECT_FALSE(form->listMenuItems().sendAsIs->isEnabled());
        EXPECT_EQ(form->listMenuItems().deleteFiles->isEnabled(), c.row >= 2) << c.row;
    }
    list()->clearSelection();
    form->listCommands().RunEnabling();
    EXPECT_FALSE(form->listMenuItems().deleteRows->isEnabled());
    EXPECT_FALSE(form->listMenuItems().moveUp->isEnabled());
    EXPECT_TRUE(form->listMenuItems().newFolder->isEnabled());
}

TEST_F(BrowseViewsTest, MovingUpKeepsOneVisibleSelectionAndTheSavedOrderFollows)
{
    test::Responders responders;
    Start();
    FiveRows();
    Select(4);
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("SpdBtnUp")), Qt::LeftButton);
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(Text(3), "E2.RPD");
    EXPECT_EQ(EntryNames(root()), (std::vector<std::string>{"E0.RPD", "E2.RPD", "E1.RPD"}));
    EXPECT_TRUE(form->document().Modified);
    EXPECT_TRUE(list()->visualRect(rows().index(3, 0)).intersects(list()->viewport()->rect()));

    const std::string path = dir.path().string() + "/saved.rdx";
    ASSERT_EQ(form->commands().WriteList(path), SaveOutcome::Saved);
    ReplayDocument reread;
    ASSERT_EQ(OpenListFileNative(path, reread), ListOpenResult::Opened);
    ASSERT_NE(reread.root, nullptr);
    std::vector<std::string> names;
    for (auto index : *reread.root->entries) names.push_back(reread.pool.lookup(index)->fileName);
    EXPECT_EQ(names, (std::vector<std::string>{"E0.RPD", "E2.RPD", "E1.RPD"}));
}

TEST_F(BrowseViewsTest, MovesNeverCrossBetweenFoldersAndEntries)
{
    test::Responders responders;
    Start();
    FiveRows();
    Select(4);
    form->MoveTop();
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(EntryNames(root()), (std::vector<std::string>{"E2.RPD", "E0.RPD", "E1.RPD"}));
    Select(0);
    form->MoveBottom();
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(root()->children[0]->name, "B");
    EXPECT_EQ(root()->children[1]->name, "A");
    // The tree follows through its move signals.
    EXPECT_EQ(form->treeModel().index(1, 0, form->treeModel().indexOf(root())).data().toString(), "A");
    form->MoveDown();   // A is the last folder row: nothing
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(Text(2), "E2.RPD");
}

TEST_F(BrowseViewsTest, DeleteRowsAsksAndRemovesFoldersAndEntries)
{
    test::Responders responders;
    Start();
    FiveRows();
    AddEntry(root()->children[0].get(), "INA.RPD");
    list()->selectionModel()->select(rows().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list()->selectionModel()->select(rows().index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    responders.messageAnswers = {kAnswerCancel};
    form->DeleteRows();
    EXPECT_EQ(rows().rowCount(), 5);
    responders.messageAnswers = {kAnswerOk};
    form->DeleteRows();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[1].text, QStringLiteral("削除してもよろしいですか？"));
    EXPECT_EQ(rows().rowCount(), 3);
    EXPECT_EQ(Text(0), "B");
    EXPECT_EQ(EntryNames(root()), (std::vector<std::string>{"E0.RPD", "E2.RPD"}));
    EXPECT_EQ(doc().pool.size(), 2);   // the entries of A and E1 are released
    EXPECT_EQ(form->treeModel().rowCount(form->treeModel().indexOf(root())), 1);
}

TEST_F(BrowseViewsTest, NewFolderTakesTheFirstFreeNameAndStartsRenaming)
{
    test::Responders responders;
    Start();
    AddFolder(root(), "New_0");
    AddFolder(root(), "New_2");
    form->SelectFolder(root(), true);
    form->ShowFolderContents(root());
    form->NewFolder();
    ASSERT_EQ(root()->children.size(), 3u);
    EXPECT_EQ(root()->children[2]->name, "New_1");
    EXPECT_EQ(Text(2), "New_1");
    const QLineEdit* editor = list()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "New_1");
    EXPECT_EQ(form->treeModel().rowCount(form->treeModel().indexOf(root())), 3);
    EXPECT_TRUE(form->document().Modified);
}

TEST_F(BrowseViewsTest, RenamingToASiblingsNameIsRefused)
{
    test::Responders responders;
    Start();
    FiveRows();
    form->SetModified(false);
    // In the tree.
    const QModelIndex a = form->treeModel().indexOf(root()->children[0].get());
    EXPECT_FALSE(form->treeModel().setData(a, QStringLiteral("B"), Qt::EditRole));
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("B") + kExists);
    EXPECT_EQ(root()->children[0]->name, "A");
    // Its own name changes nothing.
    EXPECT_TRUE(form->treeModel().setData(a, QStringLiteral("A"), Qt::EditRole));
    EXPECT_FALSE(form->document().Modified);
    // In the list, folder rows only.
    EXPECT_FALSE(rows().setData(rows().index(1, 0), QStringLiteral("A"), Qt::EditRole));
    EXPECT_EQ(responders.messages.back().text, QStringLiteral("A") + kExists);
    EXPECT_FALSE(rows().flags(rows().index(2, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(rows().setData(rows().index(1, 0), QStringLiteral("フォルダ"), Qt::EditRole));
    EXPECT_EQ(root()->children[1]->name, Sjis("フォルダ"));
    EXPECT_EQ(Text(1), QStringLiteral("フォルダ"));
    EXPECT_TRUE(form->document().Modified);
    // A name Shift-JIS cannot write is refused, not altered.
    EXPECT_FALSE(rows().setData(rows().index(1, 0), QStringLiteral("x\U0001F600"), Qt::EditRole));
    EXPECT_EQ(root()->children[1]->name, Sjis("フォルダ"));
}

TEST_F(BrowseViewsTest, DroppingAFolderOnItsParentItselfOrADescendant)
{
    test::Responders responders;
    Start();
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* sub = AddFolder(a, "Sub");
    SelectTreeFolder(a);
    DropOnTree(root(), true);   // own parent
    DropOnTree(a, true);        // itself
    EXPECT_TRUE(responders.messages.empty());
    DropOnTree(sub, true);      // a descendant
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text,
              QStringLiteral("SubはAのサブフォルダです。\nサブフォルダには移動できません。"));
    EXPECT_EQ(a->parent, root());
    EXPECT_FALSE(form->document().Modified);
}

TEST_F(BrowseViewsTest, DroppingAFolderOnASameNamedChildAsksThenMerges)
{
    test::Responders responders;
    Start();
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* b = AddFolder(root(), "B");
    ReplayFolder* ba = AddFolder(b, "A");
    AddFolder(ba, "X");
    AddFolder(a, "X");
    AddEntry(ba, "OLD.RPD");
    AddEntry(a, "NEW.RPD");
    SelectTreeFolder(a);
    responders.messageAnswers = {kAnswerCancel};
    DropOnTree(b, true);
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(responders.messages[0].text,
              QStringLiteral("BにはAフォルダが既に存在します。\n上書きしますか？"));
    EXPECT_EQ(root()->children.size(), 2u);

    responders.messageAnswers = {kAnswerOk};
    DropOnTree(b, true);
    ASSERT_EQ(root()->children.size(), 1u);
    ASSERT_EQ(b->children.size(), 1u);
    EXPECT_EQ(b->children[0].get(), ba);
    EXPECT_EQ(ba->children.size(), 1u);   // X merged into X
    EXPECT_EQ(EntryNames(ba), (std::vector<std::string>{"OLD.RPD", "NEW.RPD"}));
    // The merged folder is selected and shown.
    EXPECT_EQ(form->treeModel().folderAt(form->ui().TreeView->currentIndex()), ba);
    EXPECT_EQ(form->document().ShownNode, ba);
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(form->treeModel().rowCount(form->treeModel().indexOf(root())), 1);
}

TEST_F(BrowseViewsTest, DroppingRowsOnAFolderRowOrATreeFolderMovesThem)
{
    test::Responders responders;
    Start();
    FiveRows();
    SelectTreeFolder(root());
    Select(2);
    list()->selectionModel()->select(rows().index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QMimeData data;
    data.setData(QString::fromLatin1(kReplayRowsMimeType), {});
    EXPECT_FALSE(rows().canDropMimeData(&data, Qt::MoveAction, -1, -1, rows().index(3, 0)));
    ASSERT_TRUE(rows().canDropMimeData(&data, Qt::MoveAction, -1, -1, rows().index(1, 0)));
    rows().dropMimeData(&data, Qt::MoveAction, -1, -1, rows().index(1, 0));
    EXPECT_EQ(EntryNames(root()->children[1].get()), (std::vector<std::string>{"E0.RPD", "E2.RPD"}));
    EXPECT_EQ(EntryNames(root()), std::vector<std::string>{"E1.RPD"});
    EXPECT_EQ(rows().rowCount(), 3);

    // The last entry row onto the tree folder A.
    Select(2);
    DropOnTree(root()->children[0].get(), false);
    EXPECT_EQ(EntryNames(root()->children[0].get()), std::vector<std::string>{"E1.RPD"});
    EXPECT_EQ(rows().rowCount(), 2);
}

TEST_F(BrowseViewsTest, DoubleClickOpensFolderRowsOnly)
{
    test::Responders responders;
    Start();
    FiveRows();
    list()->doubleClicked(rows().index(3, 0));
    EXPECT_EQ(form->document().ShownNode, root());
    list()->doubleClicked(rows().index(1, 0));
    EXPECT_EQ(form->document().ShownNode, root()->children[1].get());
    EXPECT_EQ(form->treeModel().folderAt(form->ui().TreeView->currentIndex()), root()->children[1].get());
}

TEST_F(BrowseViewsTest, TreePopupDeletesAfterAskingAndIsEnabledBelowTheRoot)
{
    test::Responders responders;
    Start();
    FiveRows();
    AddEntry(root()->children[1].get(), "INB.RPD");
    SelectTreeFolder(root());
    form->treeCommands().UpdateTreePopup();
    EXPECT_FALSE(form->ui().PMTree_Del->isEnabled());
    EXPECT_TRUE(form->ui().PMTree_Search->isEnabled());
    SelectTreeFolder(root()->children[1].get());
    form->treeCommands().UpdateTreePopup();
    EXPECT_TRUE(form->ui().PMTree_Del->isEnabled());
    EXPECT_TRUE(form->ui().PMTree_Search->isEnabled());
    form->ui().TreeView->selectionModel()->clearCurrentIndex();
    form->treeCommands().UpdateTreePopup();
    EXPECT_FALSE(form->ui().PMTree_Search->isEnabled());
    EXPECT_FALSE(form->ui().PMTree_Del->isEnabled());
    SelectTreeFolder(root()->children[1].get());
    form->treeCommands().UpdateTreePopup();

    responders.messageAnswers = {kAnswerOk};
    form->ui().PMTree_Del->trigger();
    EXPECT_EQ(root()->children.size(), 1u);
    EXPECT_EQ(doc().pool.size(), 3);
    EXPECT_EQ(form->treeModel().folderAt(form->ui().TreeView->currentIndex()), root());
    EXPECT_EQ(form->document().ShownNode, root());
}

TEST_F(BrowseViewsTest, TreeDragSettings)
{
    Start();
    QTreeView* tree = form->ui().TreeView;
    EXPECT_EQ(tree->autoScrollMargin(), 16);
    EXPECT_TRUE(tree->dragEnabled());
    EXPECT_EQ(tree->dragDropMode(), QAbstractItemView::DragDrop);
}

TEST_F(BrowseViewsTest, ListMenuHasItsFifteenItemsInOrder)
{
    Start();
    QStringList texts;
    for (QAction* action : form->listMenu()->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(texts, (QStringList{"通常転送(ファイル名そのまま)(&C)",
                                  "追加転送（上書きしないようにファイル名を変更）(&R)",
                                  "フォルダを新規作成(&F)", "-", "メモ(&M)", "-",
                                  "最新の情報に更新(&N)", "-", "削除(&E)", "実ファイルを削除(&X)", "-",
                                  "一番上に移動(&T)", "１つ上に移動(&U)", "１つ下に移動(&D)",
                                  "一番下に移動(&L)"}));
}

// Runs `answer` on the memo window once it is shown.
void WhenMemoShows(MemoDialog* memo, std::function<void()> answer)
{
    QTimer::singleShot(0, memo, [memo, answer] {
        test::WaitUntil([memo] { return memo->isVisible(); });
        answer();
    });
}

TEST_F(BrowseViewsTest, MemoEditorShowsStoresAndCancels)
{
    test::Responders responders;
    Start();
    FiveRows();
    ReplayEntry* entry = doc().pool.lookup((*root()->entries)[0]);
    entry->memo = "one\r\ntwo";
    form->SetModified(false);
    Select(2);
    MemoDialog* memo = windows->memo;
    EXPECT_EQ(memo->windowTitle(), QStringLiteral("メモ"));
    EXPECT_TRUE(memo->windowFlags() & Qt::WindowStaysOnTopHint);

    QString shown;
    WhenMemoShows(memo, [&] {
        shown = memo->Edit()->toPlainText();
        EXPECT_EQ(memo->focusWidget(), memo->Edit());
        QTest::mouseClick(memo->CancelButton(), Qt::LeftButton);
    });
    form->EditMemo();
    EXPECT_EQ(shown, QStringLiteral("one\ntwo"));
    EXPECT_FALSE(form->document().Modified);

    WhenMemoShows(memo, [&] {
        memo->Edit()->setPlainText(QStringLiteral("abc\ndef"));
        QTest::mouseClick(memo->OkButton(), Qt::LeftButton);
    });
    form->EditMemo();
    EXPECT_EQ(entry->memo, "abc\r\ndef");
    EXPECT_EQ(Text(2, 5), "abc");
    EXPECT_TRUE(form->document().Modified);

    // A character Shift-JIS cannot write keeps the window open.
    WhenMemoShows(memo, [&] {
        memo->Edit()->setPlainText(QStringLiteral("\U0001F600"));
        QTest::mouseClick(memo->OkButton(), Qt::LeftButton);
        EXPECT_TRUE(memo->isVisible());
        QTest::mouseClick(memo->CancelButton(), Qt::LeftButton);
    });
    form->EditMemo();
    EXPECT_EQ(entry->memo, "abc\r\ndef");
    ASSERT_FALSE(responders.messages.empty());
    EXPECT_TRUE(responders.messages.back().text.contains(QStringLiteral("Shift-JIS")));
}

TEST_F(BrowseViewsTest, ColumnsFollowTheSettingsFileAndRoundTrip)
{
    test::Responders responders;
    // Unknown and repeated keys neither hide nor duplicate a column.
    Start("[Column]\nMemo=80\nBogus=5\nmemo=300\nFile=150\n");
    const QHeaderView* header = list()->header();
    ASSERT_EQ(rows().columnCount(), 2);
    EXPECT_EQ(rows().columnId(0), kColFile);
    EXPECT_EQ(rows().columnId(1), kColMemo);
    EXPECT_EQ(header->logicalIndex(0), 1);   // Memo leftmost
    EXPECT_EQ(header->sectionSize(1), 80);
    EXPECT_EQ(header->sectionSize(0), 150);

    form->close();
    ProfileFile file(iniPath);
    EXPECT_EQ(file.keyNames("Column"), (std::vector<std::string>{"Memo", "File"}));
    EXPECT_EQ(file.readString("Column", "Memo", ""), "80");
}

TEST_F(BrowseViewsTest, HidingPathShiftsTheLaterCells)
{
    test::Responders responders;
    Start();
    FiveRows();
    EXPECT_EQ(rows().columnCount(), 6);
    EXPECT_EQ(Text(2, 1), QString::fromStdString(dir.path().string() + "/r/"));
    ColumnModel& columns = form->program().columnModel;
    std::vector<ColumnConfigRow> config;
    for (const ColumnConfigRow& row : columns.UpdateConfigByGColumns())
        config.push_back({row.caption, row.caption != "Path"});
    columns.UpdateByConfig(config);
    ApplyColumnModel(columns, list(), &rows());
    EXPECT_EQ(rows().columnCount(), 5);
    EXPECT_EQ(columns.SubItemIndex(ColumnModel::kInfo), 0);
    const auto cell = [&](int id) {
        return QString::fromStdString(Cp932ToUtf8Lossy(rows().row(2)->texts[static_cast<std::size_t>(id)]));
    };
    EXPECT_EQ(Text(2, 1), cell(kColInfo));
    EXPECT_EQ(Text(2, 2), cell(kCol1P));

    // Dragging a header changes the order that is saved.
    list()->header()->moveSection(4, 0);   // Memo to the left
    form->close();
    ProfileFile file(iniPath);
    EXPECT_EQ(file.keyNames("Column"), (std::vector<std::string>{"Memo", "File", "Info", "1P", "2P"}));
}

}  // namespace
}  // namespace replidex

namespace replidex {
namespace {

// Every icon kind: three match kinds in the three file states, a failed
// analysis and folder rows. With REPLIDEX_SHOTS set to a folder, pictures of
// the list, the memo editor and the tree popup are kept there.
TEST_F(BrowseViewsTest, EveryIconKindAndAFolderOfManyEntries)
{
    test::Responders responders;
    Start();
    AddFolder(root(), "Folder");
    const std::string files = dir.path().string() + "/r/";
    fs::create_directories(files);
    int n = 0;
    for (int kind = 0; kind < 3; ++kind) {
        for (int state = 0; state < 3; ++state) {
            const std::string name = "K" + std::to_string(kind) + "S" + std::to_string(state) + ".RPD";
            ReplayEntry* e = AddEntry(root(), name, kind);
            if (state != kStateMissing) dir.write("r/" + name, "x");
            e->fileAge = state == kStateUnchanged ? FileAgeOf(files + name) : 0x35836000;
            e->memo = "memo " + std::to_string(++n) + "\r\nsecond line";
        }
    }
    AddEntry(root(), "FAILED.RPD", 0, true);
    form->SelectFolder(root(), true);
    form->ShowFolderContents(root());
    std::vector<int> icons;
    for (const ReplayRow& row : rows().rows()) icons.push_back(row.icon);
    EXPECT_EQ(icons, (std::vector<int>{10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // A changed file can be refreshed; a missing one cannot.
    Select(2);
    form->listCommands().RunEnabling();
    EXPECT_FALSE(form->listMenuItems().refresh->isEnabled());
    Select(3);
    form->listCommands().RunEnabling();
    EXPECT_TRUE(form->listMenuItems().refresh->isEnabled());

    const QString shots = qEnvironmentVariable("REPLIDEX_SHOTS");
    if (!shots.isEmpty()) {
        form->resize(1100, 420);
        test::WaitUntil([] { return false; }, 300);
        form->grab().save(shots + "/list.png");
        QTimer::singleShot(300, form, [&] {
            form->ui().PM_Tree->grab().save(shots + "/treepopup.png");
            form->ui().PM_Tree->hide();
        });
        SelectTreeFolder(root()->children[0].get());
        form->ui().TreeView->customContextMenuRequested(
            form->ui().TreeView->visualRect(form->treeModel().indexOf(root()->children[0].get())).center());
        test::WaitUntil([&] { return !form->ui().PM_Tree->isVisible(); }, 2000);
        SelectTreeFolder(root());
        Select(1);
        WhenMemoShows(windows->memo, [&] {
            test::WaitUntil([] { return false; }, 300);
            windows->memo->grab().save(shots + "/memo.png");
            windows->memo->reject();
        });
        form->EditMemo();
    }

    // A folder of 65,536 entries (the whole pool).
    ReplayFolder* big = AddFolder(root(), "Big");
    while (doc().pool.size() < EntryPool::kSlotCount && AddEntry(big, "R.RPD")) {
    }
    form->SelectFolder(big, false);
    EXPECT_EQ(rows().rowCount(), static_cast<int>(big->entries->size()));
}

TEST_F(BrowseViewsTest, EnterOpensTheSelectedFolderRowAndDeleteAsksFirst)
{
    test::Responders responders;
    Start();
    FiveRows();
    ReplayFolder* b = root()->children[1].get();
    // Enter on an entry row, or on a focused folder row that is not selected,
    // opens nothing; on a selected folder row it opens that folder.
    Select(2);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(form->document().ShownNode, root());
    list()->selectionModel()->setCurrentIndex(rows().index(1, 0), QItemSelectionModel::NoUpdate);
    QTest::keyClick(list(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form->document().ShownNode, root());
    Select(1);
    QTest::keyClick(list(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form->document().ShownNode, b);
    EXPECT_EQ(form->treeModel().folderAt(form->ui().TreeView->currentIndex()), b);

    // Delete in the list asks, then deletes the selected rows.
    SelectTreeFolder(root());
    Select(2);
    responders.messageAnswers = {kAnswerCancel, kAnswerOk};
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(EntryNames(root()).size(), 3u);
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[1].text, QStringLiteral("削除してもよろしいですか？"));
    EXPECT_EQ(EntryNames(root()), (std::vector<std::string>{"E1.RPD", "E2.RPD"}));

    // Delete in the tree: a folder below the root after asking, never the root.
    SelectTreeFolder(b);
    responders.messageAnswers = {kAnswerOk};
    QTest::keyClick(form->ui().TreeView, Qt::Key_Delete);
    ASSERT_EQ(root()->children.size(), 1u);
    EXPECT_EQ(root()->children[0]->name, "A");
    EXPECT_EQ(form->document().ShownNode, root());
    const std::size_t asked = responders.messages.size();
    SelectTreeFolder(root());
    QTest::keyClick(form->ui().TreeView, Qt::Key_Delete);
    EXPECT_EQ(responders.messages.size(), asked);
    EXPECT_NE(form->document().RootNode(), nullptr);
}

TEST_F(BrowseViewsTest, MovesActOnTheSelectedRowNotOnAFocusedOne)
{
    test::Responders responders;
    Start();
    FiveRows();   // A, B, E0, E1, E2
    struct Case {
        const char* what;
        int selected;
        int key;
        QAction* MainWindowUi::*button;
        std::vector<std::string> entries;
        int selectedAfter;
    };
    const Case cases[] = {
        {"up with the focus one row higher", 4, Qt::Key_Up, &MainWindowUi::SpdBtnUp,
         {"E0.RPD", "E2.RPD", "E1.RPD"}, 3},
        {"down with the focus one row lower", 2, Qt::Key_Down, &MainWindowUi::SpdBtnDown,
         {"E1.RPD", "E0.RPD", "E2.RPD"}, 3},
        {"to the top with the focus elsewhere", 4, Qt::Key_Up, &MainWindowUi::SpdBtnTop,
         {"E2.RPD", "E0.RPD", "E1.RPD"}, 2},
    };
    const std::vector<std::int32_t> order = *root()->entries;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        *root()->entries = order;
        form->ShowFolderContents(root());
        Select(c.selected);
        QTest::keyClick(list(), c.key, Qt::ControlModifier);   // the focus moves, the selection stays
        ASSERT_EQ(Selected(), std::vector<int>{c.selected});
        ASSERT_NE(list()->currentIndex().row(), c.selected);
        (form->ui().*c.button)->trigger();
        EXPECT_EQ(EntryNames(root()), c.entries);
        EXPECT_EQ(Selected(), std::vector<int>{c.selectedAfter});
    }
}

TEST_F(BrowseViewsTest, WidthsFromTheSettingsFileAreShownAndSavedWithinRange)
{
    test::Responders responders;
    Start("[Column]\nFile=3\nPath=5000\nMemo=x\n");
    const QHeaderView* header = list()->header();
    ASSERT_EQ(rows().columnCount(), 3);
    EXPECT_EQ(header->sectionSize(0), 10);
    EXPECT_EQ(header->sectionSize(1), 1000);
    EXPECT_EQ(header->sectionSize(2), 100);   // not a number: the default
    form->close();
    ProfileFile file(iniPath);
    EXPECT_EQ(file.readString("Column", "File", ""), "10");
    EXPECT_EQ(file.readString("Column", "Path", ""), "1000");
}

TEST_F(BrowseViewsTest, EveryHeaderSectionMovesWithTheMouseFileToo)
{
    test::Responders responders;
    Start();
    FiveRows();
    QHeaderView* header = list()->header();
    // Presses on the middle of a section and lets go at `x`.
    const auto dragSection = [header](int logical, int x) {
        QWidget* viewport = header->viewport();
        const int y = header->height() / 2;
        const QPoint from(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2, y);
        const QPoint to(x, y);
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 10; ++i) QTest::mouseMove(viewport, from + (to - from) * i / 10);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    };
    // Info left of File, then File right of Path.
    dragSection(kColInfo, 2);
    EXPECT_EQ(header->logicalIndex(0), kColInfo);
    EXPECT_EQ(header->visualIndex(kColFile), 1);
    dragSection(kColFile, header->sectionViewportPosition(kColPath) + header->sectionSize(kColPath) - 5);
    EXPECT_EQ(header->visualIndex(kColFile), 2);
    form->close();
    ProfileFile file(iniPath);
    EXPECT_EQ(file.keyNames("Column"),
              (std::vector<std::string>{"Info", "Path", "File", "1P", "2P", "Memo"}));
}

// A folder shows the rows on screen; whatever asks about the others gets the
// answer it would get had they all been made when the folder was shown.
TEST_F(BrowseViewsTest, RowsAreMadeAsTheyAreAskedFor)
{
    test::Responders responders;
    Start();
    const std::string files = dir.path().string() + "/r/";
    fs::create_directories(files);
    constexpr int kRows = 400;
    for (int i = 0; i < kRows; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "R%03d.RPD", i);
        ReplayEntry* e = AddEntry(root(), name, 0);
        ASSERT_NE(e, nullptr);
        if (i < kRows - 2) continue;
        dir.write("r/" + std::string(name), "x");   // the last two: unchanged, changed
        e->fileAge = i == kRows - 2 ? FileAgeOf(files + name) : 0x35836000;
    }
    form->SelectFolder(root(), false);
    form->ShowFolderContents(root());
    (void)list()->grab();
    const int onScreen = rows().madeRowCount();
    EXPECT_GT(onScreen, 0);
    EXPECT_LT(onScreen, 100);

    EXPECT_EQ(form->RowState(0), 1);
    EXPECT_EQ(form->RowState(kRows - 2), 0);
    EXPECT_EQ(form->RowState(kRows - 1), 2);
    EXPECT_EQ(form->RowState(kRows), 5);
    Select(kRows - 1);
    form->listCommands().RunEnabling();
    EXPECT_TRUE(form->listMenuItems().refresh->isEnabled());
    EXPECT_TRUE(form->ui().SpdBtnUp->isEnabled());
    EXPECT_FALSE(form->ui().SpdBtnDown->isEnabled());
    // Exchanging a made row with one that was not made yet.
    Select(kRows - 150);
    form->MoveUp();
    EXPECT_EQ(Text(kRows - 151), "R250.RPD");
    EXPECT_EQ(Text(kRows - 150), "R249.RPD");
    EXPECT_EQ(rows().row(kRows - 151)->poolIndex, (*root()->entries)[kRows - 151]);
    EXPECT_LT(rows().madeRowCount(), 120);
    // Finding a row by its text reads the rows down to it.
    EXPECT_EQ(rows().findRowByText("R300.RPD"), 300);

    // Showing the folder again starts over.
    form->ShowFolderContents(root());
    EXPECT_EQ(rows().madeRowCount(), 0);
}

}  // namespace
}  // namespace replidex
