// Drops of rows or folders that come from another window.
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
