// The folder tree model checked by QAbstractItemModelTester while the tree
// commands change it, and the refresh command of the list menu on real
// replay files.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "GuiTestSupport.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

// Collects what QAbstractItemModelTester reports (as warnings of its own
// logging category) while it lives; other warnings pass on.
class TesterReports {
public:
    TesterReports() { previous_ = qInstallMessageHandler(&TesterReports::Handle); }
    ~TesterReports() { qInstallMessageHandler(previous_); }
    static QStringList& messages()
    {
        static QStringList list;
        return list;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && context.category &&
            QLatin1String(context.category) == QLatin1String("qt.modeltest"))
            messages() << message;
    }
    QtMessageHandler previous_ = nullptr;
};

class BrowseCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        windows = test::MakeWindowsWithGameFolder(dir);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }

    ReplayDocument& doc() { return form->document().list; }
    ReplayFolder* root() { return form->document().RootNode(); }
    FolderTreeModel& tree() { return form->treeModel(); }
    ReplayRowModel& rows() { return form->rowModel(); }
    QTreeView* list() { return form->ui().List; }

    void SelectTreeFolder(ReplayFolder* folder)
    {
        form->ui().TreeView->selectionModel()->setCurrentIndex(tree().indexOf(folder),
                                                               QItemSelectionModel::ClearAndSelect);
    }
    void SelectRow(int row)
    {
        list()->selectionModel()->setCurrentIndex(
            rows().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // Drops the tree's selected folder on `target`, as a drag in the tree does.
    void DropFolderOn(ReplayFolder* target)
    {
        QMimeData data;
        data.setData(QString::fromLatin1(kFolderMimeType), {});
        tree().dropMimeData(&data, Qt::MoveAction, -1, -1, tree().indexOf(target));
    }
    QString Text(int row, int column)
    {
        return rows().data(rows().index(row, column), Qt::DisplayRole).toString();
    }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

// Empty when the model shows exactly the document's tree below `parent`.
std::string Mirror(const FolderTreeModel& model, const QModelIndex& parent,
                   const std::vector<std::unique_ptr<ReplayFolder>>& folders)
{
    if (model.rowCount(parent) != static_cast<int>(folders.size()))
        return "row count " + std::to_string(model.rowCount(parent)) + " for " +
               std::to_string(folders.size()) + " folders";
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const QModelIndex index = model.index(static_cast<int>(i), 0, parent);
        if (model.folderAt(index) != folders[i].get()) return "wrong folder at row " + std::to_string(i);
        if (model.parent(index) != parent) return "wrong parent of " + folders[i]->name;
        if (model.data(index, Qt::DisplayRole).toString().toStdString() !=
            Cp932ToUtf8Lossy(folders[i]->name))
            return "stale name " + folders[i]->name;
        if (std::string below = Mirror(model, index, folders[i]->children); !below.empty())
            return folders[i]->name + "/" + below;
    }
    return {};
}

TEST_F(BrowseCommandsTest, TreeModelStaysConsistentThroughEveryFolderCommand)
{
    test::Responders responders;
    TesterReports reports;
    TesterReports::messages().clear();
    QAbstractItemModelTester tester(&tree(), QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy resets(&tree(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&tree(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&tree(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&tree(), &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&tree(), &QAbstractItemModel::dataChanged);
    const auto mirrors = [&] { return Mirror(tree(), {}, doc().topLevel); };

    // Create: New_0, New_1 below the root, New_0 below New_1, and a list
    // folder with an entry inside New_0/New_0.
    FolderTreeCommands& commands = form->treeCommands();
    form->SelectFolder(root(), true);
    ReplayFolder* a = commands.CreateSubFolder(root());
    ReplayFolder* b = commands.CreateSubFolder(root());
    ASSERT_TRUE(a && b);
    ReplayFolder* ba = commands.CreateSubFolder(b);
    ReplayFolder* bax = commands.CreateSubFolder(ba);
    ReplayFolder* aSub = commands.CreateSubFolder(a);
    ASSERT_TRUE(ba && bax && aSub);
    form->ui().TreeView->expandAll();
    EXPECT_EQ(inserted.count(), 5);
    EXPECT_EQ(mirrors(), "");

    // Rename through the in-place edit: a becomes "A", b "B", b's child "A",
    // a's child the same name as b's grandchild so that the merge meets it.
    EXPECT_TRUE(tree().setData(tree().indexOf(a), QStringLiteral("A"), Qt::EditRole));
    EXPECT_TRUE(tree().setData(tree().indexOf(b), QStringLiteral("B"), Qt::EditRole));
    EXPECT_TRUE(tree().setData(tree().indexOf(ba), QStringLiteral("A"), Qt::EditRole));
    EXPECT_TRUE(tree().setData(tree().indexOf(bax), QStringLiteral("サブ"), Qt::EditRole));
    EXPECT_TRUE(tree().setData(tree().indexOf(aSub), QStringLiteral("サブ"), Qt::EditRole));
    EXPECT_FALSE(tree().setData(tree().indexOf(b), QStringLiteral("A"), Qt::EditRole));   // taken
    EXPECT_EQ(changed.count(), 5);
    EXPECT_EQ(a->name, "A");
    EXPECT_EQ(mirrors(), "");
    test::AddEntry(doc(), *bax, "/r/", "OLD.RPD");
    test::AddEntry(doc(), *aSub, "/r/", "NEW.RPD");

    // Reorder the root's children from the list (folder rows).
    form->ShowFolderContents(root());
    SelectRow(1);
    form->MoveUp();
    ASSERT_EQ(root()->children[0].get(), b);
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(mirrors(), "");

    // Move A onto B, which holds an A: asked, then merged (A/サブ into A/サブ).
    SelectTreeFolder(a);
    responders.messages.clear();
    responders.messageAnswers = {kAnswerOk};
    DropFolderOn(b);
    ASSERT_EQ(responders.messages.size(), 1u);
    ASSERT_EQ(root()->children.size(), 1u);
    ASSERT_EQ(b->children.size(), 1u);
    EXPECT_EQ(b->children[0].get(), ba);
    ASSERT_EQ(ba->children.size(), 1u);
    EXPECT_EQ(ba->children[0].get(), bax);
    EXPECT_EQ(test::CountEntries(*bax, doc().pool), 2);
    EXPECT_EQ(mirrors(), "");

    // A plain move (no merge): a new folder of the root into B/A.
    ReplayFolder* c = commands.CreateSubFolder(root());
    ASSERT_NE(c, nullptr);
    SelectTreeFolder(c);
    DropFolderOn(ba);
    EXPECT_EQ(root()->children.size(), 1u);
    ASSERT_EQ(ba->children.size(), 2u);
    EXPECT_EQ(mirrors(), "");

    // A folder row dragged onto a folder row of the list.
    form->SelectFolder(ba, false);
    form->ShowFolderContents(ba);
    SelectRow(1);   // the moved New_0 (rows: サブ, New_0)
    QMimeData rowsData;
    rowsData.setData(QString::fromLatin1(kReplayRowsMimeType), {});
    rows().dropMimeData(&rowsData, Qt::MoveAction, -1, -1, rows().index(0, 0));
    EXPECT_EQ(ba->children.size(), 1u);
    EXPECT_EQ(bax->children.size(), 1u);
    EXPECT_EQ(mirrors(), "");

    // Delete: from the tree popup, then a folder row from the list.
    SelectTreeFolder(bax->children[0].get());
    responders.messageAnswers = {kAnswerOk};
    form->ui().PMTree_Del->trigger();
    EXPECT_TRUE(bax->children.empty());
    EXPECT_EQ(mirrors(), "");
    form->SelectFolder(b, false);
    form->ShowFolderContents(b);
    SelectRow(0);
    responders.messageAnswers = {kAnswerOk};
    form->DeleteRows();
    EXPECT_TRUE(b->children.empty());
    EXPECT_EQ(doc().pool.size(), 0);
    EXPECT_EQ(mirrors(), "");

    // Every change went through inserts, removals, moves and changes.
    EXPECT_EQ(resets.count(), 0);
    EXPECT_GE(removed.count(), 4);
    EXPECT_TRUE(TesterReports::messages().isEmpty())
        << TesterReports::messages().join(QLatin1Char('\n')).toStdString();
}

// A file as the add command registers it: info read from the file, its age.
ReplayEntry* Register(ReplayDocument& doc, ReplayFolder& folder, const test::TempDir& dir,
                      const std::string& name)
{
    ReplayEntry* e = test::AddEntry(doc, folder, dir.path().string() + "/", name,
                                    FileAgeOf(dir.file(name)));
    if (!e) return nullptr;
    e->info.emplace();
    if (AnalyseReplay(dir.file(name), *e->info) <= 0) return nullptr;
    return e;
}

test::ReplayDescription Described(test::ReplayDescription d, const char* p1, const char* p2)
{
    d.p1.name = p1;
    d.p2.name = p2;
    return d;
}

TEST_F(BrowseCommandsTest, RefreshReadsChangedFilesAgainAndKeepsInfoOfGoneFiles)
{
    test::Responders responders;
    const test::BuiltReplay first =
        test::BuildReplay(Described(test::NetMatchDescription(), "alice", "bob"));
    ASSERT_EQ(first.problem, "");
    dir.write("A.RPD", first.bytes);
    dir.write("GONE.RPD", first.bytes);
    dir.write("SAME.RPD", first.bytes);
    ReplayEntry* changedEntry = Register(doc(), *root(), dir, "A.RPD");
    ReplayEntry* gone = Register(doc(), *root(), dir, "GONE.RPD");
    ReplayEntry* same = Register(doc(), *root(), dir, "SAME.RPD");
    ASSERT_TRUE(changedEntry && gone && same);
    ASSERT_EQ(MatchKind(*changedEntry->info), kMatchNet);
    const std::int32_t oldAge = changedEntry->fileAge;

    // On disk: A.RPD becomes another match (other names, score and rule)
    // written an hour later; GONE.RPD is deleted.
    test::ReplayDescription other = Described(test::NetMatchDescription(), "carol", "dave");
    other.score1 = 1;
    other.score2 = 2;
    other.marker = test::RuleMarker::Other_80_64;
    const test::BuiltReplay second = test::BuildReplay(other);
    ASSERT_EQ(second.problem, "");
    dir.write("A.RPD", second.bytes);
    fs::last_write_time(dir.file("A.RPD"), fs::last_write_time(dir.file("SAME.RPD")) + std::chrono::hours(1));
    ASSERT_NE(FileAgeOf(dir.file("A.RPD")), oldAge);
    fs::remove(dir.file("GONE.RPD"));
    ReplayInfo expected;
    ASSERT_GT(AnalyseReplay(dir.file("A.RPD"), expected), 0);
    ASSERT_NE(expected, *changedEntry->info);
    ASSERT_NE(InfoSummary(&expected), InfoSummary(changedEntry->infoPtr()));

    form->SelectFolder(root(), true);
    form->ShowFolderContents(root());
    form->SetModified(false);
    ASSERT_EQ(rows().rowCount(), 3);
    EXPECT_EQ(rows().row(0)->icon, 3 * kMatchNet + kStateChanged);
    EXPECT_EQ(rows().row(1)->icon, 3 * kMatchNet + kStateMissing);
    EXPECT_EQ(rows().row(2)->icon, 3 * kMatchNet + kStateUnchanged);
    const ReplayInfo goneInfo = *gone->info;
    const QString goneInfoText = Text(1, kColInfo);
    const QString gone1P = Text(1, kCol1P);

    // The gone file and the unchanged one: the menu item is off for them,
    // and the operation itself reads nothing and changes nothing.
    SelectRow(1);
    list()->selectionModel()->select(rows().index(2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form->listCommands().RunEnabling();
    EXPECT_FALSE(form->listMenuItems().refresh->isEnabled());
    const std::int32_t goneAge = gone->fileAge;
    form->RefreshInfo();
    EXPECT_EQ(gone->fileAge, goneAge);
    EXPECT_FALSE(form->document().Modified);
    ASSERT_TRUE(gone->info.has_value());
    EXPECT_EQ(*gone->info, goneInfo);
    EXPECT_EQ(*same->info, goneInfo);
    EXPECT_EQ(rows().row(1)->icon, 3 * kMatchNet + kStateMissing);
    EXPECT_EQ(Text(1, kColInfo), goneInfoText);
    EXPECT_EQ(Text(1, kCol1P), gone1P);

    // The changed file: read again, its row follows.
    SelectRow(0);
    form->listCommands().RunEnabling();
    ASSERT_TRUE(form->listMenuItems().refresh->isEnabled());
    form->listMenuItems().refresh->trigger();
    EXPECT_TRUE(form->document().Modified);
    ASSERT_TRUE(changedEntry->info.has_value());
    EXPECT_EQ(changedEntry->info->p1.nameText(), "carol");
    EXPECT_EQ(*changedEntry->info, expected);
    EXPECT_EQ(MatchKind(*changedEntry->info), kMatchNet);
    EXPECT_EQ(changedEntry->fileAge, FileAgeOf(dir.file("A.RPD")));
    EXPECT_EQ(rows().row(0)->icon, 3 * kMatchNet + kStateUnchanged);
    EXPECT_EQ(rows().row(0)->poolIndex, changedEntry->poolIndex);
    EXPECT_EQ(Text(0, kColInfo), QString::fromStdString(Cp932ToUtf8Lossy(InfoSummary(&expected))));
    EXPECT_EQ(Text(0, kCol1P), QString::fromStdString(Cp932ToUtf8Lossy(PlayerSummary(&expected, 1))));
    EXPECT_EQ(Text(0, kCol2P), QString::fromStdString(Cp932ToUtf8Lossy(PlayerSummary(&expected, 2))));
    EXPECT_TRUE(Text(0, kCol1P).contains(QStringLiteral("carol")));
    EXPECT_EQ(Text(0, kColFile), QStringLiteral("A.RPD"));
    // Now unchanged: the command is off for it again.
    form->listCommands().RunEnabling();
    EXPECT_FALSE(form->listMenuItems().refresh->isEnabled());
    // Rows made again from the entries show the same.
    form->ShowFolderContents(root());
    EXPECT_EQ(rows().row(0)->icon, 3 * kMatchNet + kStateUnchanged);
    EXPECT_EQ(rows().row(1)->icon, 3 * kMatchNet + kStateMissing);
}

}  // namespace
}  // namespace replidex
