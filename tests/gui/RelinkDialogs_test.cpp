// 「見つからないファイルを探す」 and 「重複の確認」 through the main window's
// ツール menu, headless, over replay files moved and copied here.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <filesystem>
#include <functional>

#include "core/file/NativeFiles.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/MainWindow.h"
#include "gui/tools/DuplicatesDialog.h"
#include "gui/tools/RelinkDialog.h"
#include "gui/tools/RelinkDuplicateItems.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "GuiTestSupport.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

std::string Net(int wins, std::uint64_t seed)
{
    test::ReplayDescription d = test::NetMatchDescription();
    d.p1.wins = static_cast<std::uint32_t>(wins);
    d.paddingSeed = seed;
    return test::BuildReplay(d).bytes;
}

class RelinkDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        windows = test::MakeWindowsWithGameFolder(dir);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }
    ReplayDocument& doc() { return form->document().list; }
    ReplayFolder* root() { return form->document().RootNode(); }

    ReplayEntry* list(const std::string& name, int secondsAgo, const std::string& bytes, ReplayFolder* folder)
    {
        const std::string path = dir.write(name, bytes);
        fs::last_write_time(FsPath(path), fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
        std::string sjis;
        EXPECT_TRUE(SjisFromNativePath(path, sjis));
        const std::string fileName = FsPath(path).filename().string();
        ReplayEntry* e = test::AddEntry(doc(), *folder, sjis.substr(0, sjis.size() - fileName.size()), fileName,
                                        FileAgeOf(sjis));
        e->kind = kReplayEntryKind;
        e->info.emplace();
        AnalyseReplay(sjis, *e->info);
        return e;
    }
    // Runs `inside` on the modal dialog of type T once the command shows it,
    // then closes the dialog.
    template <typename T>
    void WhileModal(const std::function<void(T&)>& inside, const std::function<void()>& command)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            inside(*dialog);
            dialog->reject();
        });
        command();
        EXPECT_TRUE(seen);
    }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(RelinkDialogsTest, ToolsMenuEndsWithTheRelinkBlock)
{
    const QList<QAction*> actions = form->ui().MMTools->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions[actions.size() - 2]->text(), QStringLiteral("見つからないファイルを探す(&L)..."));
    EXPECT_EQ(actions.back()->text(), QStringLiteral("重複を確認(&D)..."));
}

TEST_F(RelinkDialogsTest, RelinkRewritesTheTickedEntriesAndRefreshesTheRows)
{
    ReplayEntry* a = list("old/a.RPD", 100, Net(1, 1), root());
    ReplayEntry* b = list("old/b.RPD", 200, Net(2, 2), root());
    ReplayEntry* c = list("old/c.RPD", 300, Net(3, 3), root());
    fs::create_directories(dir.path() / "new");
    fs::rename(FsPath(dir.file("old/a.RPD")), FsPath(dir.file("new/a.RPD")));
    fs::rename(FsPath(dir.file("old/b.RPD")), FsPath(dir.file("new/B2.RPD")));
    fs::rename(FsPath(dir.file("old/c.RPD")), FsPath(dir.file("new/c.RPD")));
    form->ShowFolderContents(root());
    form->SetModified(false);
    const std::string oldC = c->fullPath();

    test::Responders answers;
    answers.dialogAnswers.push_back({QString::fromStdString(dir.file("new"))});
    WhileModal<RelinkDialog>(
        [&](RelinkDialog& dialog) {
            QAbstractItemModelTester tester(&dialog.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
            ASSERT_EQ(dialog.model().rowCount(), 3);
            EXPECT_EQ(dialog.model().tickedCount(), 3);
            EXPECT_EQ(dialog.model().data(dialog.model().index(0, 0), Qt::DisplayRole).toString(),
                      QStringLiteral("2 日時と情報が一致"));
            // Untick c: it stays a proposal, and missing.
            EXPECT_TRUE(dialog.model().setData(dialog.model().index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
            dialog.relinkButton()->click();
            EXPECT_EQ(dialog.model().rowCount(), 1);
            EXPECT_FALSE(dialog.relinkButton()->isEnabled());
        },
        [&] { FindMissingFilesCommand(*form); });

    EXPECT_EQ(a->fullPath(), Sjis(dir.file("new/a.RPD")));
    EXPECT_EQ(b->fullPath(), Sjis(dir.file("new/B2.RPD")));
    EXPECT_EQ(c->fullPath(), oldC);
    EXPECT_TRUE(form->IsModified());
    // The rows show the new files' states: unchanged, unchanged, missing.
    std::vector<int> states;
    for (int r = 0; r < form->rowModel().rowCount(); ++r) states.push_back(form->RowState(r));
    EXPECT_EQ(states, (std::vector<int>{kStateUnchanged, kStateUnchanged, kStateMissing}));
}

TEST_F(RelinkDialogsTest, DuplicatesShowTheRowAndRemoveEntriesAskingWhenMemosDiffer)
{
    ReplayFolder* cup = root()->addChild(Sjis("大会"));
    ReplayEntry* a = list("m/a.RPD", 100, Net(1, 1), root());
    ReplayEntry* again = list("m/a.RPD", 100, Net(1, 1), cup);   // the same file listed twice
    a->memo = Sjis("決勝");
    list("m/copy.RPD", 50, Net(1, 1), cup);                      // the same bytes: a content group
    const std::int32_t againSlot = again->poolIndex;
    const std::string filePath = dir.file("m/a.RPD");
    form->ShowFolderContents(root());
    form->SetModified(false);

    test::Responders answers;
    answers.messageAnswers = {kAnswerCancel, kAnswerOk};
    WhileModal<DuplicatesDialog>(
        [&](DuplicatesDialog& dialog) {
            QAbstractItemModelTester tester(&dialog.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("重複の確認"));
            // Path group (a, again), content group (a, again, copy); match group likewise.
            int row = -1;
            for (int r = 0; r < dialog.model().rowCount(); ++r)
                if (dialog.model().rowAt(r).entry == again) row = r;
            ASSERT_GE(row, 0);
            EXPECT_EQ(dialog.model().data(dialog.model().index(row, DuplicateRowsModel::ColFolder), Qt::DisplayRole),
                      QStringLiteral("大会"));
            EXPECT_EQ(dialog.model().data(dialog.model().index(row, DuplicateRowsModel::ColState), Qt::DisplayRole),
                      QStringLiteral("変更なし"));
            dialog.table()->selectionModel()->setCurrentIndex(dialog.model().index(row, 0),
                                                              QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
            dialog.BtnShowClick();
            EXPECT_EQ(form->document().ShownNode, cup);
            const ReplayRow* current = form->rowModel().row(form->ListViewOf()->currentIndex().row());
            ASSERT_NE(current, nullptr);
            EXPECT_EQ(current->poolIndex, againSlot);

            const int rowsBefore = dialog.model().rowCount();
            dialog.BtnRemoveClick();   // memos differ: asked, cancelled
            ASSERT_EQ(answers.messages.size(), 1u);
            EXPECT_EQ(dialog.model().rowCount(), rowsBefore);
            EXPECT_FALSE(form->IsModified());
            dialog.BtnRemoveClick();   // asked again, OK
            EXPECT_EQ(answers.messages.size(), 2u);
            EXPECT_LT(dialog.model().rowCount(), rowsBefore);
        },
        [&] { CheckDuplicatesCommand(*form); });

    EXPECT_TRUE(form->IsModified());
    EXPECT_EQ(doc().pool.lookup(againSlot), nullptr);
    EXPECT_EQ(test::CountDocumentEntries(doc()), 2);
    EXPECT_TRUE(fs::exists(FsPath(filePath)));   // files stay
    EXPECT_EQ(form->rowModel().rowCount(), 1);    // 大会 shown again: copy.RPD only
}

TEST_F(RelinkDialogsTest, InfoOnlySearchAddsAnUntickedTier3RowOffTheWindowThread)
{
    ReplayEntry* copied = list("old/net.RPD", 500, Net(4, 4), root());
    list("old/kept.RPD", 600, Net(5, 5), root());
    fs::create_directories(dir.path() / "new");
    // A copy that lost its time: same facts, another file time.
    fs::copy_file(FsPath(dir.file("old/net.RPD")), FsPath(dir.file("new/net copy.RPD")));
    fs::remove(FsPath(dir.file("old/net.RPD")));
    fs::rename(FsPath(dir.file("old/kept.RPD")), FsPath(dir.file("new/kept.RPD")));
    const std::string oldPath = copied->fullPath();

    test::Responders answers;
    answers.dialogAnswers.push_back({QString::fromStdString(dir.file("new"))});
    WhileModal<RelinkDialog>(
        [&](RelinkDialog& dialog) {
            QAbstractItemModelTester tester(&dialog.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
            ASSERT_EQ(dialog.model().rowCount(), 1);   // kept.RPD, tier 2
            EXPECT_EQ(dialog.infoOnlyButton()->text(), QStringLiteral("情報だけで探す"));
            ASSERT_TRUE(dialog.infoOnlyButton()->isEnabled());
            dialog.infoOnlyButton()->click();
            EXPECT_TRUE(dialog.scanning());   // ends through the event loop, never inside the click
            EXPECT_FALSE(dialog.relinkButton()->isEnabled());
            ASSERT_TRUE(test::WaitUntil([&] { return !dialog.scanning(); }));
            ASSERT_EQ(dialog.model().rowCount(), 2);
            const QModelIndex tier = dialog.model().index(1, RelinkProposalModel::ColTier);
            EXPECT_EQ(dialog.model().data(tier, Qt::DisplayRole).toString(), QStringLiteral("3 情報のみ一致"));
            EXPECT_EQ(dialog.model().data(tier, Qt::CheckStateRole).toInt(), Qt::Unchecked);
            EXPECT_EQ(dialog.model().proposals()[1].oldPath, oldPath);
            EXPECT_EQ(dialog.model().tickedCount(), 1);
            EXPECT_FALSE(dialog.infoOnlyButton()->isEnabled());   // every file is analysed now
        },
        [&] { FindMissingFilesCommand(*form); });
    EXPECT_EQ(copied->fullPath(), oldPath);   // nothing relinked without a tick
}

}  // namespace
}  // namespace replidex
