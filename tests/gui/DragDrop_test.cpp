// Drag and drop driven with the mouse through the real views: folders moved,
// merged and refused in the tree, list rows moved onto folder rows and tree
// folders, a collapsed folder opening under a resting drag.
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GuiTestSupport.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

// A place in a view: a point of its viewport.
struct Spot {
    QWidget* viewport = nullptr;
    QPoint pos;
};

// Where the cursor goes during a drag, and how it stays there: for `restMs`,
// or until `until` holds (at most `restMs`), still or moving by a pixel now
// and then (`jitter`), as a hand on a mouse does.
struct Stop {
    Spot spot;
    int restMs = 0;
    std::function<bool()> until;
    bool jitter = false;
};
Stop Pass(Spot spot) { return {spot, 0, {}, false}; }
Stop Rest(Spot spot, int ms) { return {spot, ms, {}, false}; }
Stop RestUntil(Spot spot, int ms, std::function<bool()> until, bool jitter = false)
{
    return {spot, ms, std::move(until), jitter};
}

// One drag with the left button. The press goes through the main window as
// the platform delivers it; the moves that follow go to the viewport, and the
// second, past the drag distance, makes the view start its own drag with its
// own data. The headless platform ends every drag at once, so the drag loop
// is played here: while the button is down, mouse events are eaten, the
// cursor goes to each stop in small steps, and the widget under it that takes
// drops gets the enter, move, leave and drop events a window passes on during
// a drag, carrying the view's drag data. Those events name no source (no drag
// runs), so whatever a view decides by the source is not reached this way.
class MouseDrag final : public QObject {
public:
    explicit MouseDrag(QWidget* window) : window_(window->windowHandle()) {}

    // True when the view started a drag and every step was played.
    bool run(Spot from, const std::vector<Stop>& stops)
    {
        if (!window_ || stops.empty() || !from.viewport->parentWidget()) return false;
        QWidget* view = from.viewport->parentWidget();
        const QList<QDrag*> before = view->findChildren<QDrag*>(Qt::FindDirectChildrenOnly);
        const QPoint start = global(from);
        QCursor::setPos(start);
        QTest::mousePress(window_, Qt::LeftButton, {}, window_->mapFromGlobal(start));
        // Sent straight to the viewport, so that the finished drag object is
        // still there to read afterwards.
        QTest::mouseMove(from.viewport, from.pos + QPoint(0, 2));
        QTest::mouseMove(from.viewport, from.pos + QPoint(0, QApplication::startDragDistance() + 4));
        QDrag* drag = nullptr;
        for (QDrag* d : view->findChildren<QDrag*>(Qt::FindDirectChildrenOnly))
            if (!before.contains(d)) drag = d;
        if (!drag || !drag->mimeData()) {
            QTest::mouseRelease(window_, Qt::LeftButton, {}, window_->mapFromGlobal(start));
            return false;
        }
        for (const QString& format : drag->mimeData()->formats())
            data_.setData(format, drag->mimeData()->data(format));
        actions_ = drag->supportedActions();

        qApp->installEventFilter(this);
        QPoint at = start;
        for (const Stop& stop : stops) {
            const QPoint to = global(stop.spot);
            // Steps of at most 6 pixels, so that every row on the way is passed.
            const int n = std::max(1, (to - at).manhattanLength() / 6);
            for (int i = 1; i <= n; ++i) moveTo(at + (to - at) * i / n);
            at = to;
            rest(stop, at);
        }
        if (target_ && accepted_) {
            QDropEvent drop(target_->mapFromGlobal(at), actions_, &data_, Qt::LeftButton, {});
            drop.setDropAction(action_);
            QApplication::sendEvent(target_, &drop);
        } else {
            leaveTarget();
        }
        qApp->removeEventFilter(this);
        QTest::mouseRelease(window_, Qt::LeftButton, {}, window_->mapFromGlobal(at));
        return true;
    }

    // How long each `until` took to hold, in stop order; -1 when it never did.
    std::vector<qint64> waited;

protected:
    // While the button is down the drag owns the mouse.
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            return false;
        }
    }

private:
    static QPoint global(const Spot& spot) { return spot.viewport->mapToGlobal(spot.pos); }

    // The widget under `global` that takes drops, as a window finds it.
    static QWidget* DropTargetAt(QPoint global)
    {
        QWidget* widget = QApplication::widgetAt(global);
        while (widget && !(widget->acceptDrops() && widget->isEnabled())) {
            if (widget->isWindow()) return nullptr;
            widget = widget->parentWidget();
        }
        return widget;
    }

    void leaveTarget()
    {
        if (!target_) return;
        QDragLeaveEvent leave;
        QApplication::sendEvent(target_, &leave);
        target_ = nullptr;
    }

    void moveTo(QPoint global)
    {
        // Views read the cursor position when their timers fire.
        QCursor::setPos(global);
        QApplication::processEvents();
        QWidget* under = DropTargetAt(global);
        if (under != target_) {
            leaveTarget();
            accepted_ = false;
            if (!under) return;
            QDragEnterEvent enter(under->mapFromGlobal(global), actions_, &data_, Qt::LeftButton, {});
            QApplication::sendEvent(under, &enter);
            target_ = under;
            // An enter is always followed by a move.
            accepted_ = enter.isAccepted();
            action_ = enter.dropAction();
        }
        QDragMoveEvent move(target_->mapFromGlobal(global), actions_, &data_, Qt::LeftButton, {});
        move.setDropAction(action_);
        move.setAccepted(accepted_);
        QApplication::sendEvent(target_, &move);
        accepted_ = move.isAccepted();
        action_ = move.dropAction();
    }

    void rest(const Stop& stop, QPoint at)
    {
        QElapsedTimer timer;
        timer.start();
        const std::function<bool()> until = stop.until ? stop.until : [] { return false; };
        bool held = false;
        for (int nudge = 1;; nudge = -nudge) {
            const qint64 left = stop.restMs - timer.elapsed();
            if (left <= 0) break;
            held = test::WaitUntil(until, stop.jitter ? std::min<qint64>(left, 100) : left);
            if (held) break;
            if (stop.jitter) moveTo(at + QPoint(0, nudge));
        }
        if (stop.until) waited.push_back(held ? timer.elapsed() : -1);
    }

    QWindow* window_;
    QMimeData data_;
    Qt::DropActions actions_;
    Qt::DropAction action_ = Qt::IgnoreAction;
    QPointer<QWidget> target_;
    bool accepted_ = false;
};

class DragDropTest : public ::testing::Test {
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
    FolderTreeModel& treeModel() { return form->treeModel(); }
    ReplayRowModel& rows() { return form->rowModel(); }
    QTreeView* tree() { return form->ui().TreeView; }
    QTreeView* list() { return form->ui().List; }

    ReplayFolder* AddFolder(ReplayFolder* parent, const char* name)
    {
        auto events = treeModel().events();
        const int row = static_cast<int>(parent->children.size());
        events.beforeInsert(parent, row);
        ReplayFolder* folder = parent->addChild(Sjis(name));
        events.afterInsert(parent, row);
        return folder;
    }
    void AddEntries(ReplayFolder* folder, const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            ASSERT_NE(test::AddEntry(doc(), *folder, dir.path().string() + "/r/", name), nullptr);
    }
    std::vector<std::string> EntryNames(const ReplayFolder* folder)
    {
        std::vector<std::string> names;
        if (folder->entries)
            for (auto index : *folder->entries) names.push_back(doc().pool.lookup(index)->fileName);
        return names;
    }
    std::vector<std::string> ChildNames(const ReplayFolder* folder)
    {
        std::vector<std::string> names;
        for (const auto& child : folder->children) names.push_back(child->name);
        return names;
    }
    std::vector<QString> RowTexts()
    {
        std::vector<QString> texts;
        for (int r = 0; r < rows().rowCount(); ++r) texts.push_back(rows().index(r, 0).data().toString());
        return texts;
    }
    // The tree's rows below `folder` as the view shows them.
    std::vector<QString> TreeChildTexts(const ReplayFolder* folder)
    {
        std::vector<QString> texts;
        const QModelIndex parent = treeModel().indexOf(folder);
        for (int r = 0; r < treeModel().rowCount(parent); ++r)
            texts.push_back(treeModel().index(r, 0, parent).data().toString());
        return texts;
    }

    // Opens the whole tree, selects and shows `shown`, unmodified.
    void ShowAll(ReplayFolder* shown)
    {
        tree()->expandAll();
        form->SelectFolder(shown, false);
        form->ShowFolderContents(shown);
        form->SetModified(false);
        QApplication::processEvents();
    }

    Spot TreeSpot(const ReplayFolder* folder)
    {
        const QModelIndex index = treeModel().indexOf(folder);
        tree()->scrollTo(index);
        return {tree()->viewport(), tree()->visualRect(index).center()};
    }
    Spot RowSpot(int row)
    {
        const QModelIndex index = rows().index(row, 0);
        list()->scrollTo(index);
        return {list()->viewport(), list()->visualRect(index).center()};
    }
    // Selects list rows as the user does: a click, then Ctrl+clicks.
    void ClickRows(const std::vector<int>& rowsToSelect)
    {
        Qt::KeyboardModifiers modifiers;
        for (const int row : rowsToSelect) {
            const Spot spot = RowSpot(row);
            QTest::mouseClick(spot.viewport, Qt::LeftButton, modifiers, spot.pos);
            modifiers = Qt::ControlModifier;
        }
    }

    bool Drag(Spot from, std::vector<Stop> stops)
    {
        MouseDrag drag(form);
        const bool ran = drag.run(from, stops);
        waited = drag.waited;
        // Let the deferred release and repaints settle.
        QApplication::processEvents();
        return ran;
    }

    test::TempDir dir;
    test::Responders responders;   // before the windows: it answers from the start
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    std::vector<qint64> waited;
};

TEST_F(DragDropTest, AFolderDraggedOntoAnotherMovesThereAndIsShown)
{
    ReplayFolder* a = AddFolder(root(), "A");
    AddFolder(a, "Sub");
    AddEntries(a, {"A1.RPD", "A2.RPD"});
    ReplayFolder* b = AddFolder(root(), "B");
    AddEntries(b, {"B1.RPD"});
    ShowAll(root());

    ASSERT_TRUE(Drag(TreeSpot(a), {Pass(TreeSpot(b))}));

    EXPECT_TRUE(responders.messages.empty());
    EXPECT_EQ(ChildNames(root()), std::vector<std::string>{"B"});
    ASSERT_EQ(ChildNames(b), std::vector<std::string>{"A"});
    ReplayFolder* moved = b->children[0].get();
    EXPECT_EQ(EntryNames(moved), (std::vector<std::string>{"A1.RPD", "A2.RPD"}));
    EXPECT_EQ(ChildNames(moved), std::vector<std::string>{"Sub"});
    EXPECT_EQ(EntryNames(b), std::vector<std::string>{"B1.RPD"});
    // The tree shows the new place, the moved folder is selected and the
    // list shows its contents.
    EXPECT_EQ(TreeChildTexts(root()), std::vector<QString>{"B"});
    EXPECT_EQ(TreeChildTexts(b), std::vector<QString>{"A"});
    EXPECT_EQ(treeModel().folderAt(tree()->currentIndex()), moved);
    EXPECT_EQ(form->document().ShownNode, moved);
    EXPECT_EQ(RowTexts(), (std::vector<QString>{"Sub", "A1.RPD", "A2.RPD"}));
    EXPECT_TRUE(form->document().Modified);
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("(変更)")));
}

TEST_F(DragDropTest, AFolderDroppedWhereItsNameIsTakenAsksBeforeMerging)
{
    ReplayFolder* a = AddFolder(root(), "A");
    AddFolder(a, "X");
    AddEntries(a, {"SAME.RPD", "NEW.RPD"});
    ReplayFolder* b = AddFolder(root(), "B");
    ReplayFolder* ba = AddFolder(b, "A");
    AddFolder(ba, "X");
    AddFolder(ba, "Y");
    AddEntries(ba, {"OLD.RPD", "SAME.RPD"});
    ShowAll(root());
    const QString question = QStringLiteral("BにはAフォルダが既に存在します。\n上書きしますか？");

    // Cancel: nothing changes.
    responders.messageAnswers = {kAnswerCancel};
    ASSERT_TRUE(Drag(TreeSpot(a), {Pass(TreeSpot(b))}));
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, question);
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ChildNames(root()), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(EntryNames(ba), (std::vector<std::string>{"OLD.RPD", "SAME.RPD"}));
    EXPECT_EQ(TreeChildTexts(root()), (std::vector<QString>{"A", "B"}));
    EXPECT_FALSE(form->document().Modified);

    // OK: the two A folders become one, X merging into X, the entries of the
    // dropped A after those of B/A but for the file B/A already holds.
    responders.messageAnswers = {kAnswerOk};
    ASSERT_TRUE(Drag(TreeSpot(a), {Pass(TreeSpot(b))}));
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[1].text, question);
    EXPECT_EQ(ChildNames(root()), std::vector<std::string>{"B"});
    ASSERT_EQ(ChildNames(b), std::vector<std::string>{"A"});
    EXPECT_EQ(b->children[0].get(), ba);
    EXPECT_EQ(ChildNames(ba), (std::vector<std::string>{"X", "Y"}));
    EXPECT_EQ(EntryNames(ba), (std::vector<std::string>{"OLD.RPD", "SAME.RPD", "NEW.RPD"}));
    EXPECT_EQ(TreeChildTexts(root()), std::vector<QString>{"B"});
    EXPECT_EQ(TreeChildTexts(ba), (std::vector<QString>{"X", "Y"}));
    EXPECT_EQ(treeModel().folderAt(tree()->currentIndex()), ba);
    EXPECT_EQ(RowTexts(), (std::vector<QString>{"X", "Y", "OLD.RPD", "SAME.RPD", "NEW.RPD"}));
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(test::CountDocumentEntries(doc()), 3);
}

TEST_F(DragDropTest, AFolderDroppedOnItsParentItselfOrBelowItselfStaysPut)
{
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* sub = AddFolder(a, "Sub");
    ReplayFolder* deeper = AddFolder(sub, "Deeper");
    AddEntries(a, {"A1.RPD"});
    AddFolder(root(), "B");
    ShowAll(root());

    struct Case {
        const char* what;
        ReplayFolder* target;
        std::vector<QString> messages;
    };
    const std::vector<Case> cases = {
        {"its parent", root(), {}},
        {"itself", a, {}},
        {"a child", sub, {QStringLiteral("SubはAのサブフォルダです。\nサブフォルダには移動できません。")}},
        {"a grandchild", deeper, {QStringLiteral("DeeperはAのサブフォルダです。\nサブフォルダには移動できません。")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        responders.messages.clear();
        ASSERT_TRUE(Drag(TreeSpot(a), {Pass(TreeSpot(c.target))}));
        std::vector<QString> shown;
        for (const auto& m : responders.messages) shown.push_back(m.text);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(a->parent, root());
        EXPECT_EQ(ChildNames(root()), (std::vector<std::string>{"A", "B"}));
        EXPECT_EQ(sub->parent, a);
        EXPECT_EQ(deeper->parent, sub);
        EXPECT_EQ(EntryNames(a), std::vector<std::string>{"A1.RPD"});
        EXPECT_EQ(TreeChildTexts(root()), (std::vector<QString>{"A", "B"}));
        EXPECT_FALSE(form->document().Modified);
    }
}

TEST_F(DragDropTest, EntryRowsDraggedOntoAFolderRowOrATreeFolderMoveInOrder)
{
    ReplayFolder* a = AddFolder(root(), "A");
    AddEntries(a, {"X.RPD"});
    ReplayFolder* b = AddFolder(root(), "B");
    AddEntries(root(), {"E0.RPD", "E1.RPD", "E2.RPD", "E3.RPD", "E4.RPD"});
    ShowAll(root());
    ASSERT_EQ(RowTexts().size(), 7u);

    // E3 and E0 (rows 5 and 2), picked in that order, dragged by E3 onto the
    // folder row B: they go in list order.
    ClickRows({5, 2});
    ASSERT_TRUE(Drag(RowSpot(5), {Pass(RowSpot(1))}));
    EXPECT_TRUE(responders.messages.empty());
    EXPECT_EQ(EntryNames(b), (std::vector<std::string>{"E0.RPD", "E3.RPD"}));
    EXPECT_EQ(EntryNames(root()), (std::vector<std::string>{"E1.RPD", "E2.RPD", "E4.RPD"}));
    EXPECT_EQ(form->document().ShownNode, root());
    EXPECT_EQ(RowTexts(), (std::vector<QString>{"A", "B", "E1.RPD", "E2.RPD", "E4.RPD"}));
    EXPECT_TRUE(form->document().Modified);

    // E4 and E1 onto the tree folder A, after what A holds.
    form->SetModified(false);
    ClickRows({4, 2});
    ASSERT_TRUE(Drag(RowSpot(2), {Pass(TreeSpot(a))}));
    EXPECT_TRUE(responders.messages.empty());
    EXPECT_EQ(EntryNames(a), (std::vector<std::string>{"X.RPD", "E1.RPD", "E4.RPD"}));
    EXPECT_EQ(EntryNames(root()), std::vector<std::string>{"E2.RPD"});
    EXPECT_EQ(EntryNames(b), (std::vector<std::string>{"E0.RPD", "E3.RPD"}));
    EXPECT_EQ(RowTexts(), (std::vector<QString>{"A", "B", "E2.RPD"}));
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(test::CountDocumentEntries(doc()), 6);

    // Released over an entry row or over the folder the rows are in: nothing.
    form->SetModified(false);
    ClickRows({2});
    ASSERT_TRUE(Drag(RowSpot(2), {Pass(RowSpot(2))}));
    ASSERT_TRUE(Drag(RowSpot(2), {Pass(TreeSpot(root()))}));
    EXPECT_EQ(EntryNames(root()), std::vector<std::string>{"E2.RPD"});
    EXPECT_FALSE(form->document().Modified);
}

TEST_F(DragDropTest, ACollapsedFolderOpensOnceTheDragHasStayedOnItForASecond)
{
    ReplayFolder* a = AddFolder(root(), "A");
    ReplayFolder* c = AddFolder(root(), "C");
    AddFolder(AddFolder(c, "C1"), "C2");
    ReplayFolder* d = AddFolder(root(), "D");
    ReplayFolder* e = AddFolder(root(), "E");
    AddFolder(e, "E1");
    ShowAll(root());
    const QModelIndex cIndex = treeModel().indexOf(c);
    const QModelIndex eIndex = treeModel().indexOf(e);
    const auto cOpen = [&] { return tree()->isExpanded(cIndex); };
    const auto closeC = [&] {
        tree()->collapse(treeModel().indexOf(c->children[0].get()));
        tree()->collapse(cIndex);
    };
    closeC();

    // Resting on C opens it while the drag goes on, not before the delay;
    // its own sub-folders stay closed.
    ASSERT_TRUE(Drag(TreeSpot(a), {RestUntil(TreeSpot(c), 5000, cOpen), Pass(TreeSpot(a))}));
    ASSERT_EQ(waited.size(), 1u);
    EXPECT_NE(waited[0], -1) << "C never opened";
    EXPECT_GE(waited[0], 900);
    EXPECT_FALSE(tree()->isExpanded(treeModel().indexOf(c->children[0].get())));

    // The hand need not be still: moving within C does not put the opening off.
    closeC();
    ASSERT_TRUE(Drag(TreeSpot(a), {RestUntil(TreeSpot(c), 5000, cOpen, true), Pass(TreeSpot(a))}));
    ASSERT_EQ(waited.size(), 1u);
    EXPECT_NE(waited[0], -1) << "C never opened";
    EXPECT_GE(waited[0], 900);

    // Passing on to D before the delay is up leaves C closed; resting on the
    // open folder E leaves it open.
    closeC();
    ASSERT_TRUE(tree()->isExpanded(eIndex));
    ASSERT_TRUE(Drag(TreeSpot(a), {Rest(TreeSpot(c), 400), Rest(TreeSpot(d), 1300),
                                   Rest(TreeSpot(e), 1300), Pass(TreeSpot(a))}));
    EXPECT_FALSE(cOpen());
    EXPECT_TRUE(tree()->isExpanded(eIndex));

    // None of these drops moved anything.
    EXPECT_EQ(ChildNames(root()), (std::vector<std::string>{"A", "C", "D", "E"}));
    EXPECT_TRUE(responders.messages.empty());
    EXPECT_FALSE(form->document().Modified);
}

}  // namespace
}  // namespace replidex
