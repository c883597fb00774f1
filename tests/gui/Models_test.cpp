// The item models over the list's data, checked by QAbstractItemModelTester,
// and the rows made from a folder.
#include <QAbstractItemModelTester>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/list/ReplayDocument.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

// Collects the tester's complaints (it reports them as warnings).
class TesterFailures {
public:
    TesterFailures() { previous_ = qInstallMessageHandler(&TesterFailures::Handle); }
    ~TesterFailures() { qInstallMessageHandler(previous_); }
    static QStringList& messages()
    {
        static QStringList list;
        return list;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg) messages() << message;
    }
    QtMessageHandler previous_ = nullptr;
};

TEST(FolderTreeModel, PassesTheModelTesterOnGeneratedTrees)
{
    TesterFailures failures;
    TesterFailures::messages().clear();
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        ReplayDocument doc;
        test::ListGenOptions options;
        options.extraTopLevel = static_cast<int>(seed % 3);
        test::GenerateList(seed, options, doc);
        FolderTreeModel model(doc);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);

        // Every folder is reachable and maps back to its own index.
        std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
            for (int row = 0; row < model.rowCount(parent); ++row) {
                const QModelIndex index = model.index(row, 0, parent);
                ReplayFolder* folder = model.folderAt(index);
                ASSERT_NE(folder, nullptr);
                EXPECT_EQ(model.indexOf(folder), index);
                EXPECT_EQ(model.data(index, Qt::DisplayRole).toString().toStdString(),
                          Cp932ToUtf8Lossy(folder->name));
                walk(index);
            }
        };
        walk({});
        EXPECT_EQ(model.rowCount(), static_cast<int>(doc.topLevel.size()));

        // Replacing the whole tree goes through a reset.
        model.beginReplaceTree();
        doc.clear();
        doc.root = doc.addTopLevel("Root");
        model.endReplaceTree();
        EXPECT_EQ(model.rowCount(), 1);
        EXPECT_EQ(model.folderAt(model.index(0, 0)), doc.root);
    }
    EXPECT_TRUE(TesterFailures::messages().isEmpty())
        << TesterFailures::messages().join(QLatin1Char('\n')).toStdString();
}

TEST(FolderTreeModel, IndexesOutsideTheTreeAreInvalid)
{
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    doc.root->addChild("a");
    FolderTreeModel model(doc);
    EXPECT_FALSE(model.index(1, 0).isValid());
    EXPECT_FALSE(model.index(0, 1).isValid());
    EXPECT_FALSE(model.index(-1, 0).isValid());
    EXPECT_EQ(model.folderAt({}), nullptr);
    EXPECT_FALSE(model.indexOf(nullptr).isValid());
    ReplayFolder stranger("x");
    EXPECT_FALSE(model.indexOf(&stranger).isValid());
    EXPECT_FALSE(model.parent(model.index(0, 0)).isValid());
    const QModelIndex child = model.index(0, 0, model.index(0, 0));
    EXPECT_EQ(model.parent(child), model.index(0, 0));
}

ReplayRow FolderRow(const char* name)
{
    ReplayRow row;
    row.kind = RowKind::Folder;
    row.icon = kIconFolder;
    row.texts[kColFile] = name;
    return row;
}

TEST(ReplayRowModel, PassesTheModelTesterThroughChanges)
{
    TesterFailures failures;
    TesterFailures::messages().clear();
    ReplayRowModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);

    std::vector<ReplayRow> rows = {FolderRow("a"), FolderRow("b")};
    ReplayRow entry;
    entry.poolIndex = 7;
    entry.icon = 4;
    entry.texts = {"REPLAY00.RPD", "/r/", Sjis("情報"), "p1", "p2", "memo"};
    rows.push_back(entry);
    model.setRows(rows);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), kColumnCount);
    EXPECT_EQ(model.data(model.index(2, kColInfo), Qt::DisplayRole).toString(), QStringLiteral("情報"));
    EXPECT_FALSE(model.data(model.index(2, 0), Qt::DecorationRole).isNull());
    EXPECT_TRUE(model.data(model.index(2, 1), Qt::DecorationRole).isNull());

    // Hiding columns keeps the File column and the id order.
    model.setShownColumns({false, false, true, false, false, true});
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("File"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Info"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Memo"));
    EXPECT_EQ(model.columnOf(kColPath), -1);
    EXPECT_EQ(model.columnOf(kColMemo), 2);
    EXPECT_EQ(model.data(model.index(2, 2), Qt::DisplayRole).toString(), QStringLiteral("memo"));

    model.setShownColumns({true, true, true, true, true, true});
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.row(0), nullptr);
    EXPECT_TRUE(TesterFailures::messages().isEmpty())
        << TesterFailures::messages().join(QLatin1Char('\n')).toStdString();
}

TEST(ReplayRowModel, RowStateComesFromTheIcon)
{
    EXPECT_EQ(RowStateOfIcon(nullptr), 5);
    const std::vector<std::pair<int, int>> cases = {
        {0, 0}, {1, 1}, {2, 2}, {3, 0}, {4, 1}, {5, 2}, {6, 0}, {7, 1}, {8, 2},
        {9, 3}, {10, 4}, {11, 4}, {kIconNone, -1},
    };
    for (const auto& [icon, state] : cases) {
        ReplayRow row;
        row.icon = icon;
        EXPECT_EQ(RowStateOfIcon(&row), state) << "icon " << icon;
    }
}

TEST(FolderRows, MemoFirstLine)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"abc\ndef", "abc"}, {"abc\r\ndef", "abc"}, {"abc", "abc"},
        {"\nx", ""},        {"abc\r", "abc\r"},    {"", ""},
    };
    for (const auto& [memo, line] : cases) EXPECT_EQ(MemoFirstLine(memo), line) << memo;
}

ReplayInfo NetInfo()
{
    ReplayInfo info;
    info.infoFlags = kInfoNetMatch;
    info.p1.setName("alice");
    info.p2.setName("bob");
    return info;
}

TEST(FolderRows, FoldersFirstThenEntriesWithIconsAndTexts)
{
    test::TempDir dir;
    const std::string folderPath = dir.path().string() + "/";
    const std::string present = dir.write("A.RPD", "x");
    const std::int32_t age = FileAgeOf(present);
    dir.write("B.RPD", "y");

    ReplayDocument doc;
    ReplayFolder* root = doc.addTopLevel("Root");
    doc.root = root;
    root->addChild("sub1");
    root->addChild(Sjis("サブ"));

    auto add = [&](const char* name, std::int32_t fileAge, std::optional<ReplayInfo> info,
                   const char* memo = "") {
        ReplayEntry* e = test::AddEntry(doc, *root, folderPath, name, fileAge);
        if (info) e->info.emplace(*info);
        e->memo = memo;
        return e;
    };
    ReplayInfo vsCom = NetInfo();
    vsCom.infoFlags = kInfoOfflineMatch;
    vsCom.p2.isCom = 1;
    ReplayInfo failed;
    failed.infoFlags = kInfoFailed;
    failed.p1.wins = kErrSignature;

    add("A.RPD", age, NetInfo(), "first\r\nsecond");   // unchanged net match
    add("B.RPD", age == 0 ? 1 : age - 2, vsCom);       // changed, against the computer
    add("C.RPD", age, NetInfo());                      // missing
    add("A.RPD", age, failed);                         // failed analysis
    ReplayEntry* bare = add("D.RPD", age, std::nullopt, "m");   // no info yet
    root->entryList().push_back(4000);                 // an empty slot gives no row

    const std::vector<ReplayRow> rows = FolderRows(root, doc.pool);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_TRUE(rows[0].isFolder());
    EXPECT_EQ(rows[0].folder, root->children[0].get());
    EXPECT_EQ(rows[0].icon, kIconFolder);
    EXPECT_EQ(rows[1].texts[kColFile], Sjis("サブ"));

    EXPECT_EQ(rows[2].icon, 0);
    EXPECT_EQ(rows[2].texts[kColMemo], "first");
    EXPECT_EQ(rows[2].texts[kColPath], folderPath);
    EXPECT_FALSE(rows[2].texts[kCol1P].empty());
    EXPECT_EQ(rows[3].icon, 3 * kMatchVsCom + kStateChanged);
    EXPECT_EQ(rows[4].icon, kStateMissing);
    EXPECT_EQ(rows[5].icon, kIconFailed);
    EXPECT_FALSE(rows[5].texts[kColInfo].empty());
    EXPECT_TRUE(rows[5].texts[kCol1P].empty());
    EXPECT_TRUE(rows[5].texts[kCol2P].empty());
    // An entry without info keeps its identity but no icon and no info texts.
    EXPECT_EQ(rows[6].poolIndex, bare->poolIndex);
    EXPECT_EQ(rows[6].icon, kIconNone);
    EXPECT_EQ(rows[6].texts[kColFile], "D.RPD");
    EXPECT_TRUE(rows[6].texts[kColInfo].empty());

    EXPECT_TRUE(FolderRows(nullptr, doc.pool).empty());
}

}  // namespace
}  // namespace replidex
