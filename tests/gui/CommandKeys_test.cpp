// Shortcut keys pressed as a user presses them: each runs its command while
// the command is enabled and nothing at all otherwise; a window's keys are
// distinct and leave the views, edits and menus theirs; F2 renames folders.
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "GuiTestSupport.h"
#include "core/text/SjisCodec.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/main/MainWindow.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/SearchWindow.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

class CommandKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        windows = test::MakeWindowsWithGameFolder(dir, "[Search]\nExist=0\n");   // missing files are found
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        search = windows->search;
    }
    void TearDown() override { search->hide(); }

    ReplayFolder* root() { return form->document().RootNode(); }
    // A new list: folders New_0 and New_1, then net matches E0 (file
    // missing), E1 (file changed since it was added) and E2 (missing).
    void FreshRows()
    {
        form->SetModified(false);
        form->NewList({}, Sjis("無題.rdx"));
        form->treeCommands().CreateSubFolder(root());
        form->treeCommands().CreateSubFolder(root());
        for (const char* name : {"E0.RPD", "E1.RPD", "E2.RPD"})
            test::AddEntry(form->document().list, *root(), dir.path().string() + "/r/", name)->info.emplace().infoFlags =
                kInfoNetMatch;
        dir.write("r/E1.RPD", "x");
        form->ShowFolderContents(root());
        form->SetModified(false);
    }
    static void Select(QTreeView* view, int row, int column = 0)
    {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, column),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    static void Focus(QWidget* widget)
    {
        // A closed modal window leaves the offscreen platform without an
        // active window, where a window manager would activate the one below.
        QApplication::setActiveWindow(widget->window());
        widget->setFocus();
    }
    // Presses `key` on `focus`; how often `action` ran.
    static int Press(const QKeySequence& key, QWidget* focus, QAction* action)
    {
        Focus(focus);
        QSignalSpy ran(action, &QAction::triggered);
        QTest::keySequence(focus, key);
        return static_cast<int>(ran.count());
    }

    test::TempDir dir;
    test::Responders responders;   // dialogs are cancelled, questions answered Cancel
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    SearchWindow* search = nullptr;
};

TEST_F(CommandKeysTest, EachKeyRunsItsCommandOnlyWhileTheCommandIsEnabled)
{
    const MainWindowUi& ui = form->ui();
    const auto& rows = form->listMenuItems();
    const auto& results = search->listMenuItems();
    QTreeView* const list = ui.List;
    QTreeView* const resultList = search->ListViewOf();
    const auto listOpen = [this] {
        form->SetModified(false);
        if (!root()) FreshRows();
    };
    const auto noList = [this] { form->commands().Close(); };
    const auto row = [&](int at) { return [&, at] { FreshRows(); Select(list, at); }; };
    const auto result = [&](int at) {
        return [&, at] {
            if (!search->isVisible()) {
                search->SetScope(root());   // as the search command does
                search->show();
                search->ui().Panel->BtnSearch->click();
            }
            Select(resultList, at);
        };
    };
    const auto searchClosesAtOnce = [&] {
        listOpen();
        QTimer::singleShot(0, search, [&] { search->ui().BtnClose->click(); });
    };
    struct Case {
        const char* what;
        QKeySequence key;
        QAction* action;
        QWidget* focus;
        std::function<void()> enable, disable;   // no disable: always enabled
    };
    const Case cases[] = {
        {"new", Qt::CTRL | Qt::Key_N, ui.MMNewFileList, ui.TreeView, listOpen, {}},
        {"open", Qt::CTRL | Qt::Key_O, ui.MMOpenFileList, list, listOpen, {}},
        {"save", Qt::CTRL | Qt::Key_S, ui.MMSaveFileList, list, listOpen, noList},
        {"save as", Qt::CTRL | Qt::SHIFT | Qt::Key_S, ui.MMSaveAsFileList, ui.TreeView, listOpen, noList},
        {"close", Qt::CTRL | Qt::Key_W, ui.MMCloseFileList, list, listOpen, noList},
        {"find", Qt::CTRL | Qt::Key_F, ui.MMSearch, ui.TreeView, searchClosesAtOnce, noList},
        {"refresh", QKeySequence(Qt::Key_F5), rows.refresh, list, row(3), row(2)},
        {"row to the top", Qt::ALT | Qt::Key_Home, rows.moveTop, list, row(3), row(2)},
        {"row up", Qt::ALT | Qt::Key_Up, rows.moveUp, list, row(3), row(2)},
        {"row down", Qt::ALT | Qt::Key_Down, rows.moveDown, list, row(3), row(4)},
        {"row to the bottom", Qt::ALT | Qt::Key_End, rows.moveBottom, list, row(3), row(4)},
        {"result to the top", Qt::ALT | Qt::Key_Home, results.moveTop, resultList, result(1), result(0)},
        {"result up", Qt::ALT | Qt::Key_Up, results.moveUp, resultList, result(1), result(0)},
        {"result down", Qt::ALT | Qt::Key_Down, results.moveDown, resultList, result(1), result(2)},
        {"result to the bottom", Qt::ALT | Qt::Key_End, results.moveBottom, resultList, result(1), result(2)},
        {"quit", Qt::CTRL | Qt::Key_Q, ui.MMExit, ui.TreeView, listOpen, {}},   // last: it ends the window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.action->shortcut(), c.key) << "the key the menu shows";
        auto* view = qobject_cast<QTreeView*>(c.focus);
        if (c.disable) {
            c.disable();
            ASSERT_FALSE(c.action->isEnabled());
            const QModelIndex current = view ? view->currentIndex() : QModelIndex();
            EXPECT_EQ(Press(c.key, c.focus, c.action), 0);
            if (view) {
                EXPECT_EQ(view->currentIndex(), current) << "nor does the view move for it";
            }
        }
        c.enable();
        ASSERT_TRUE(c.action->isEnabled());
        EXPECT_EQ(Press(c.key, c.focus, c.action), 1);
        // The main window's keys are its own.
        if (c.focus == resultList) {
            EXPECT_EQ(Press(Qt::CTRL | Qt::Key_S, resultList, ui.MMSaveFileList), 0);
        }
    }
    EXPECT_FALSE(form->isVisible());
}

// Keys a view or an edit needs, and the access keys of the menus.
std::set<QKeySequence> KeysOfViewsAndEdits()
{
    std::set<QKeySequence> keys;
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End,
                              Qt::Key_PageUp, Qt::Key_PageDown})
        for (const Qt::KeyboardModifier held : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier})
            keys.insert(QKeySequence(QKeyCombination(held, key)));
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y})
        keys.insert(QKeySequence(Qt::CTRL | key));
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                              Qt::Key_Tab, Qt::Key_Space, Qt::Key_F2})
        keys.insert(QKeySequence(key));
    for (int letter = Qt::Key_A; letter <= Qt::Key_Z; ++letter) keys.insert(QKeySequence(Qt::ALT | Qt::Key(letter)));
    return keys;
}

TEST_F(CommandKeysTest, AWindowsKeysAreDistinctAndLeaveViewsAndEditsTheirOwn)
{
    const std::set<QKeySequence> reserved = KeysOfViewsAndEdits();
    // A combo box of the criteria opens its list with Alt+Up/Down: only keys
    // bound to a list view's own focus may use them.
    const std::set<QKeySequence> comboKeys = {Qt::ALT | Qt::Key_Down, Qt::ALT | Qt::Key_Up};
    const QList<QAction*> searchActions = search->findChildren<QAction*>();
    QList<QAction*> mainActions = form->findChildren<QAction*>();
    mainActions.removeIf([&](QAction* action) { return searchActions.contains(action); });
    for (const auto& [window, actions] : {std::pair{"main", mainActions}, std::pair{"search", searchActions}}) {
        std::map<QKeySequence, QString> owners;
        for (const QAction* action : actions)
            for (const QKeySequence& key : action->shortcuts()) {
                const std::string name = std::string(window) + " " + key.toString().toStdString();
                EXPECT_TRUE(owners.emplace(key, action->text()).second) << name << " twice";
                EXPECT_FALSE(reserved.count(key)) << name;
                EXPECT_FALSE(action->shortcutContext() != Qt::WidgetShortcut && comboKeys.count(key)) << name;
            }
        EXPECT_GE(owners.size(), std::string(window) == "main" ? 12u : 4u) << window;
    }
}

TEST_F(CommandKeysTest, F2RenamesTheSelectedFolderInTheTreeAndInTheList)
{
    FreshRows();   // New_0, New_1, E0, E1, E2
    QTreeView* tree = form->ui().TreeView;
    QTreeView* list = form->ui().List;
    const auto openEditor = [](QTreeView* view) -> QLineEdit* {
        for (QLineEdit* editor : view->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible()) return editor;
        return nullptr;
    };
    const auto focusOnRow2 = [&] {
        Select(list, 0);
        list->selectionModel()->setCurrentIndex(list->model()->index(2, 0), QItemSelectionModel::NoUpdate);
    };
    const std::tuple<const char*, QTreeView*, std::function<void()>, QString> cases[] = {
        {"tree: the root", tree, [&] { Select(tree, 0); }, QStringLiteral("Root")},
        {"list: a folder row, focus on a later cell", list, [&] { Select(list, 1, 3); }, QStringLiteral("New_1")},
        {"list: the selected folder row, focus on an entry", list, focusOnRow2, QStringLiteral("New_0")},
        {"list: an entry row", list, [&] { Select(list, 3); }, QString()},
    };
    for (const auto& [what, view, select, editing] : cases) {
        SCOPED_TRACE(what);
        select();
        Focus(view);
        QTest::keyClick(view, Qt::Key_F2);
        QLineEdit* editor = openEditor(view);
        EXPECT_EQ(editor ? editor->text() : QString(), editing);
        if (editor) QTest::keyClick(editor, Qt::Key_Escape);
        QTreeView* const target = view;   // clang 14 cannot capture a structured binding
        EXPECT_TRUE(test::WaitUntil([&] { return !openEditor(target); }));
    }
}

}  // namespace
}  // namespace replidex
