// Rows dragged out of the list: the picture of the dragged rows, the drag it
// dresses, and drops of rows or folders that come from another window.
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/browse/RowDrag.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

// What a drag started with the mouse left behind.
struct StartedDrag {
    QPixmap pixmap;
    QPoint hotSpot;
    QPixmap moveCursor;
    QPixmap refusedCursor;
    QMimeData data;
};

class RowDragTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        windows = test::MakeWindowsWithGameFolder(dir);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }

    ReplayDocument& doc() { return form->document().list; }
    ReplayFolder* root() { return form->document().RootNode(); }
    ReplayRowModel& rows() { return form->rowModel(); }
    QTreeView* list() { return form->ui().List; }
    QTreeView* tree() { return form->ui().TreeView; }

    ReplayFolder* AddFolder(ReplayFolder* parent, const std::string& name)
    {
        auto events = form->treeModel().events();
        const int row = static_cast<int>(parent->children.size());
        events.beforeInsert(parent, row);
        ReplayFolder* folder = parent->addChild(name);
        events.afterInsert(parent, row);
        return folder;
    }
    // Entries of net matches whose files are missing (icon 1).
    void AddEntries(ReplayFolder* folder, const std::vector<std::string>& names)
    {
        for (const std::string& name : names) {
            ReplayEntry* e = test::AddEntry(doc(), *folder, dir.path().string() + "/r/", name);
            ASSERT_NE(e, nullptr);
            e->info.emplace();
            e->info->infoFlags = kInfoNetMatch;
        }
    }
    std::vector<std::string> EntryNames(const ReplayFolder* folder)
    {
        std::vector<std::string> names;
        if (folder->entries)
            for (auto index : *folder->entries) names.push_back(doc().pool.lookup(index)->fileName);
        return names;
    }
    void Show(ReplayFolder* folder)
    {
        tree()->expandAll();
        form->SelectFolder(folder, false);
        form->ShowFolderContents(folder);
        form->SetModified(false);
        QApplication::processEvents();
    }
    void SelectRows(const std::vector<int>& selected)
    {
        list()->clearSelection();
        for (const int row : selected)
            list()->selectionModel()->select(rows().index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QRect FileCell(int row) { return list()->visualRect(rows().index(row, 0)); }

    // Presses on `row` of the list and moves the mouse until the list starts
    // its drag; the headless platform ends the drag at once, without a drop.
    bool StartDrag(int row, StartedDrag& started)
    {
        QWindow* window = form->windowHandle();
        const QPoint pos = FileCell(row).center();
        const QPoint global = list()->viewport()->mapToGlobal(pos);
        const QList<QDrag*> before = list()->findChildren<QDrag*>(Qt::FindDirectChildrenOnly);
        QCursor::setPos(global);
        QTest::mousePress(window, Qt::LeftButton, {}, window->mapFromGlobal(global));
        QTest::mouseMove(list()->viewport(), pos + QPoint(0, 2));
        QTest::mouseMove(list()->viewport(), pos + QPoint(0, QApplication::startDragDistance() + 4));
        QDrag* drag = nullptr;
        for (QDrag* d : list()->findChildren<QDrag*>(Qt::FindDirectChildrenOnly))
            if (!before.contains(d)) drag = d;
        if (drag) {
            started.pixmap = drag->pixmap();
            started.hotSpot = drag->hotSpot();
            started.moveCursor = drag->dragCursor(Qt::MoveAction);
            started.refusedCursor = drag->dragCursor(Qt::IgnoreAction);
            for (const QString& format : drag->mimeData()->formats())
                started.data.setData(format, drag->mimeData()->data(format));
        }
        QTest::mouseRelease(window, Qt::LeftButton, {}, window->mapFromGlobal(global));
        QApplication::processEvents();
        return drag != nullptr;
    }

    // Plays what a window passes on while a drag of `data` enters `viewport`
    // at `pos` and is let go there; answers whether the drop was taken.
    static bool DropAt(QWidget* viewport, QPoint pos, const QMimeData& data)
    {
        QDragEnterEvent enter(pos, Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(pos, Qt::MoveAction, &data, Qt::LeftButton, {});
        move.setAccepted(enter.isAccepted());
        QApplication::sendEvent(viewport, &move);
        if (!enter.isAccepted() || !move.isAccepted()) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(viewport, &leave);
            return false;
        }
        QDropEvent drop(pos, Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        QApplication::processEvents();
        return true;
    }
    QPoint TreeSpot(const ReplayFolder* folder)
    {
        return tree()->visualRect(form->treeModel().indexOf(folder)).center();
    }

    test::TempDir dir;
    test::Responders responders;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(RowDragTest, ThreeAdjacentRowsMakeOnePictureWithTheIconsLeftOfTheBands)
{
    AddEntries(root(), {"E0.RPD", "E1.RPD", "E2.RPD", "E3.RPD", "E4.RPD"});
    Show(root());
    SelectRows({1, 2, 3});
    RowDragImage& maker = *form->dragImages();
    const QPoint press = FileCell(2).center() + QPoint(9, 1);
    maker.RememberPress(press);
    const RowDragPicture& picture = maker.Build(*list(), rows());

    const int height = FileCell(1).height();
    const QImage image = picture.image.toImage();
    EXPECT_EQ(picture.rows, (std::vector<int>{1, 2, 3}));
    ASSERT_EQ(image.size(), QSize(list()->header()->sectionSize(0), 3 * height));
    // The picture keeps its place under the cursor.
    EXPECT_EQ(picture.hotSpot, press - FileCell(1).topLeft());

    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const QRect icon(0, k * height + (height - RowDragImage::kIconSize) / 2, 16, 16);
        int iconPixels = 0;
        for (int y = k * height; y < (k + 1) * height; ++y) {
            for (int x = 0; x < RowDragImage::kBandLeft; ++x) {
                const bool opaque = qAlpha(image.pixel(x, y)) != 0;
                if (icon.contains(x, y)) iconPixels += opaque;
                else ASSERT_FALSE(opaque) << x << "," << y;
            }
            // The band starts at pixel 17, opaque in the highlight colour.
            EXPECT_EQ(qAlpha(image.pixel(RowDragImage::kBandLeft, y)), 255) << y;
        }
        EXPECT_GT(iconPixels, 30);
    }
}

TEST_F(RowDragTest, ALongCaptionEndsInDotsCutBetweenCharacters)
{
    const std::string longName = Sjis("ぷよぷよフィーバー大会の決勝戦リプレイ第一試合.RPD");
    AddEntries(root(), {"A.RPD", longName});
    Show(root());
    SelectRows({0, 1});
    const RowDragPicture& picture = form->dragImages()->Build(*list(), rows());
    ASSERT_EQ(picture.captions.size(), 2u);
    EXPECT_EQ(picture.captions[0], "A.RPD");

    const std::string& cut = picture.captions[1];
    ASSERT_GT(cut.size(), 3u);
    ASSERT_EQ(cut.substr(cut.size() - 3), "...");
    const std::string head = cut.substr(0, cut.size() - 3);
    std::string utf8;
    EXPECT_TRUE(Cp932ToUtf8(head, utf8)) << "a character was cut in half";
    EXPECT_EQ(longName.compare(0, head.size(), head), 0);
    // It fits the "File" column less 22 pixels, and one more character would not.
    const QFontMetrics metrics(list()->font());
    const int room = list()->header()->sectionSize(0) - RowDragImage::kCaptionMargin;
    const QString shown = QString::fromStdString(utf8);
    const QString fullText = QString::fromStdString(Cp932ToUtf8Lossy(longName));
    EXPECT_LE(metrics.horizontalAdvance(shown + QStringLiteral("...")), room);
    EXPECT_GT(metrics.horizontalAdvance(fullText.left(shown.size() + 1) + QStringLiteral("...")), room);
}

TEST_F(RowDragTest, TheDragCarriesThePictureTheWindowsNameAndOneCursor)
{
    AddEntries(root(), {"E0.RPD", "E1.RPD", "E2.RPD"});
    Show(root());
    SelectRows({0, 1});
    StartedDrag started;
    ASSERT_TRUE(StartDrag(1, started));
    EXPECT_EQ(started.pixmap.size(), QSize(list()->header()->sectionSize(0), 2 * FileCell(0).height()));
    EXPECT_EQ(started.hotSpot, FileCell(1).center() - FileCell(0).topLeft());
    EXPECT_TRUE(form->dragOrigin().Owns(&started.data));
    // The same cursor whether the place under it takes the drop or not.
    EXPECT_FALSE(started.moveCursor.isNull());
    EXPECT_EQ(started.refusedCursor.cacheKey(), started.moveCursor.cacheKey());
    // The maker forgets the picture when the drag is over.
    EXPECT_TRUE(form->dragImages()->picture().image.isNull());
}

TEST_F(RowDragTest, ASelectedRowOffScreenIsNotDrawnButStillMoves)
{
    ReplayFolder* target = AddFolder(root(), "A");
    std::vector<std::string> names;
    for (int i = 0; i < 80; ++i) names.push_back("E" + std::to_string(100 + i) + ".RPD");
    AddEntries(root(), names);
    Show(root());
    const int last = rows().rowCount() - 1;
    SelectRows({1, last - 1, last});
    list()->scrollToBottom();
    QApplication::processEvents();
    ASSERT_FALSE(list()->visualRect(rows().index(1, 0)).intersects(list()->viewport()->rect()));

    StartedDrag started;
    ASSERT_TRUE(StartDrag(last, started));
    EXPECT_EQ(started.pixmap.height(), 2 * FileCell(last).height());
    ASSERT_TRUE(DropAt(tree()->viewport(), TreeSpot(target), started.data));
    EXPECT_EQ(EntryNames(target), (std::vector<std::string>{"E100.RPD", "E178.RPD", "E179.RPD"}));
    EXPECT_EQ(EntryNames(root()).size(), 77u);
    EXPECT_TRUE(form->document().Modified);
}

TEST_F(RowDragTest, DropsFromAnotherWindowChangeNothing)
{
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* b = AddFolder(root(), "B");
    AddEntries(root(), {"E0.RPD", "E1.RPD"});
    AddEntries(a, {"A0.RPD"});
    Show(root());
    SelectRows({2});
    tree()->setCurrentIndex(form->treeModel().indexOf(root()));

    const RowDragOrigin elsewhere = RowDragOrigin::NewWindow();
    struct Case {
        const char* what;
        RowDragOrigin origin;
        const char* type;
    };
    const Case cases[] = {
        {"rows of another window", elsewhere, kReplayRowsMimeType},
        {"a folder of another window", elsewhere, kFolderMimeType},
        {"rows naming no window", RowDragOrigin(), kReplayRowsMimeType},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<QMimeData> data(c.origin.Payload(c.type));
        EXPECT_FALSE(DropAt(tree()->viewport(), TreeSpot(b), *data));
        EXPECT_FALSE(DropAt(list()->viewport(), FileCell(1).center(), *data));   // folder row B
        EXPECT_EQ(EntryNames(root()), (std::vector<std::string>{"E0.RPD", "E1.RPD"}));
        EXPECT_TRUE(EntryNames(b).empty());
        EXPECT_EQ(EntryNames(a), std::vector<std::string>{"A0.RPD"});
        EXPECT_EQ(root()->children.size(), 2u);
        EXPECT_FALSE(form->document().Modified);
    }

    // The same drop with this window's own rows moves the selected entry.
    std::unique_ptr<QMimeData> own(form->dragOrigin().Payload(kReplayRowsMimeType));
    EXPECT_TRUE(DropAt(tree()->viewport(), TreeSpot(b), *own));
    EXPECT_EQ(EntryNames(b), std::vector<std::string>{"E0.RPD"});
    EXPECT_TRUE(form->document().Modified);
}

}  // namespace
}  // namespace replidex
