// The shortcut keys pressed as a user presses them: each runs its command
// while the command is enabled and does nothing otherwise; a window's keys
// are its own, distinct, and leave the views and edits their keys; F2 renames
// a folder in the tree and in the list.
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
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
#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
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
    void Start()
    {
        // Searches find entries whose files are missing.
        windows = test::MakeWindowsWithGameFolder(dir, "[Search]\nExist=0\n");
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        search = windows->search;
    }
    void TearDown() override
    {
        if (search) search->hide();
        if (form) form->document().Modified = false;
    }

    void Activate(QWidget* window)
    {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    // Presses `key` on `focus`; answers how often `action` ran.
    int Press(const QKeySequence& key, QWidget* focus, QAction* action)
    {
        QSignalSpy ran(action, &QAction::triggered);
        // A closed modal window leaves the offscreen platform without an
        // active window; a window manager would activate the one below.
        Activate(focus->window());
        focus->setFocus();
        QTest::keySequence(focus, key);
        return static_cast<int>(ran.count());
    }

    ReplayFolder* root() { return form->document().RootNode(); }
    // The in-place editor open in `view`, if any.
    static QLineEdit* OpenEditor(const QTreeView* view)
    {
        for (QLineEdit* editor : view->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible()) return editor;
        return nullptr;
    }
    QTreeView* list() { return form->ui().List; }
    void Select(QTreeView* view, int row, int column = 0)
    {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, column),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // A new list whose root holds folders A and B and entries E0 (file
    // missing), E1 (file changed since it was added) and E2, shown.
    void FreshRows()
    {
        form->SetModified(false);
        form->NewList({}, Sjis("無題.rdx"));
        for (const char* name : {"A", "B"}) {
            auto events = form->treeModel().events();
            const int at = static_cast<int>(root()->children.size());
            events.beforeInsert(root(), at);
            root()->addChild(Sjis(name));
            events.afterInsert(root(), at);
        }
        for (const char* name : {"E0.RPD", "E1.RPD", "E2.RPD"}) {
            ReplayEntry* e = test::AddEntry(form->document().list, *root(), dir.path().string() + "/r/", name);
            e->info.emplace();
        }
        dir.write("r/E1.RPD", "x");   // newer than the time the entries hold
        form->ShowFolderContents(root());
    }
    // Closes the search window as soon as it shows modally.
    void CloseSearchWhenShown()
    {
        QTimer::singleShot(0, search, [this] {
            test::WaitUntil([this] { return search->isVisible(); }, 2000);
            search->ui().BtnClose->click();
        });
    }

    test::TempDir dir;
    test::Responders responders;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    SearchWindow* search = nullptr;
};

struct KeyCase {
    const char* what;
    QKeySequence key;
    std::function<QAction*()> action;
    std::function<QWidget*()> focus;
    std::function<void()> enable;
    std::function<void()> disable;   // none: the command is always enabled
};

TEST_F(CommandKeysTest, MainWindowKeysActOnlyWhileTheirCommandIsEnabled)
{
    Start();
    Activate(form);
    const MainWindowUi& ui = form->ui();
    const auto& items = form->listMenuItems();
    const auto openList = [this] {
        form->SetModified(false);
        if (!root()) form->NewList({}, Sjis("無題.rdx"));
    };
    const auto noList = [this] {
        form->SetModified(false);
        form->commands().Close();
    };
    const auto onList = [this] { return list(); };
    const auto onTree = [this] { return form->ui().TreeView; };
    const auto selected = [this](int row) {
        return [this, row] {
            FreshRows();
            Select(list(), row);
        };
    };
    const std::vector<KeyCase> cases = {
        {"new", QKeySequence(Qt::CTRL | Qt::Key_N), [&] { return ui.MMNewFileList; }, onTree, openList, {}},
        {"open", QKeySequence(Qt::CTRL | Qt::Key_O), [&] { return ui.MMOpenFileList; }, onTree, openList, {}},
        {"save", QKeySequence(Qt::CTRL | Qt::Key_S), [&] { return ui.MMSaveFileList; }, onList, openList, noList},
        {"save as", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [&] { return ui.MMSaveAsFileList; }, onTree,
         openList, noList},
        {"close", QKeySequence(Qt::CTRL | Qt::Key_W), [&] { return ui.MMCloseFileList; }, onTree, openList, noList},
        {"find", QKeySequence(Qt::CTRL | Qt::Key_F), [&] { return ui.MMSearch; }, onList,
         [&] {
             openList();
             CloseSearchWhenShown();
         },
         noList},
        {"refresh a changed file", QKeySequence(Qt::Key_F5), [&] { return items.refresh; }, onList, selected(3),
         selected(2)},
        {"move to the top", QKeySequence(Qt::ALT | Qt::Key_Home), [&] { return items.moveTop; }, onList,
         selected(3), selected(2)},
        {"move up", QKeySequence(Qt::ALT | Qt::Key_Up), [&] { return items.moveUp; }, onList, selected(3),
         selected(2)},
        {"move down", QKeySequence(Qt::ALT | Qt::Key_Down), [&] { return items.moveDown; }, onList, selected(3),
         selected(4)},
        {"move to the bottom", QKeySequence(Qt::ALT | Qt::Key_End), [&] { return items.moveBottom; }, onList,
         selected(3), selected(4)},
        // Last: it ends the window.
        {"quit", QKeySequence(Qt::CTRL | Qt::Key_Q), [&] { return ui.MMExit; }, onTree, openList, {}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        QAction* action = c.action();
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), c.key) << "the key shown in the menu";
        if (c.disable) {
            c.disable();
            ASSERT_FALSE(action->isEnabled());
            const QModelIndex current = list()->currentIndex();
            const QModelIndexList rows = list()->selectionModel()->selectedRows();
            EXPECT_EQ(Press(c.key, c.focus(), action), 0);
            // Nor does the view take the key for its own navigation.
            EXPECT_EQ(list()->currentIndex(), current);
            EXPECT_EQ(list()->selectionModel()->selectedRows(), rows);
        }
        c.enable();
        ASSERT_TRUE(action->isEnabled());
        EXPECT_EQ(Press(c.key, c.focus(), action), 1);
    }
    EXPECT_FALSE(form->isVisible());
}

TEST_F(CommandKeysTest, KeysMoveTheRowsTheyNameAndCtrlSSavesTheList)
{
    Start();
    Activate(form);
    FreshRows();   // A, B, E0, E1, E2
    const auto names = [this] {
        std::vector<std::string> out;
        for (const auto index : *root()->entries) out.push_back(form->document().list.pool.lookup(index)->fileName);
        return out;
    };
    Select(list(), 2);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_End, Qt::AltModifier);
    EXPECT_EQ(names(), (std::vector<std::string>{"E1.RPD", "E2.RPD", "E0.RPD"}));
    QTest::keyClick(list(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(names(), (std::vector<std::string>{"E1.RPD", "E0.RPD", "E2.RPD"}));
    EXPECT_EQ(list()->currentIndex().row(), 3);

    const std::string path = dir.path().string() + "/saved.rdx";
    responders.dialogAnswers = {{QString::fromStdString(path)}};
    QTest::keyClick(list(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->IsModified());
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(CommandKeysTest, SearchWindowMovesResultRowsAndLeavesTheMainKeysAlone)
{
    Start();
    for (int i = 0; i < 3; ++i) {
        ReplayEntry* e = test::AddEntry(form->document().list, *root(), dir.path().string() + "/r/",
                                        "R" + std::to_string(i) + ".RPD");
        e->info.emplace();
        e->info->infoFlags = kInfoNetMatch;
    }
    search->SetScope(root());
    search->show();
    search->ui().Panel->BtnSearch->click();
    QTreeView* results = search->ListViewOf();
    ASSERT_EQ(results->model()->rowCount(), 3);
    Activate(search);
    const auto& items = search->listMenuItems();
    struct Case {
        QKeySequence key;
        QAction* action;
        int enabledAt;
        int disabledAt;
    };
    for (const Case& c : {Case{QKeySequence(Qt::ALT | Qt::Key_Home), items.moveTop, 1, 0},
                          Case{QKeySequence(Qt::ALT | Qt::Key_Up), items.moveUp, 1, 0},
                          Case{QKeySequence(Qt::ALT | Qt::Key_Down), items.moveDown, 1, 2},
                          Case{QKeySequence(Qt::ALT | Qt::Key_End), items.moveBottom, 1, 2}}) {
        SCOPED_TRACE(c.key.toString().toStdString());
        EXPECT_EQ(c.action->shortcut(), c.key);
        Select(results, c.disabledAt);
        EXPECT_EQ(Press(c.key, results, c.action), 0);
        EXPECT_EQ(results->currentIndex().row(), c.disabledAt);
        Select(results, c.enabledAt);
        EXPECT_EQ(Press(c.key, results, c.action), 1);
        EXPECT_NE(results->currentIndex().row(), c.enabledAt) << "the row moved and stays selected";
    }
    // The main window's keys do not reach through, and a criteria combo box
    // keeps Alt+Down for its list.
    EXPECT_EQ(Press(QKeySequence(Qt::CTRL | Qt::Key_S), results, form->ui().MMSaveFileList), 0);
    QComboBox* rank = search->ui().Panel->ComboBox_Rank;
    Select(results, 1);
    EXPECT_EQ(Press(QKeySequence(Qt::ALT | Qt::Key_Down), rank, items.moveDown), 0);
    EXPECT_TRUE(test::WaitUntil([rank] { return rank->view()->isVisible(); }, 2000));
    rank->hidePopup();
}

// Keys a view or an edit needs, and the menus' access keys.
std::set<QKeySequence> KeysOfViewsAndEdits()
{
    std::set<QKeySequence> keys;
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End,
                              Qt::Key_PageUp, Qt::Key_PageDown})
        for (const Qt::KeyboardModifiers held :
             {Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{Qt::ShiftModifier},
              Qt::KeyboardModifiers{Qt::ControlModifier}, Qt::ControlModifier | Qt::ShiftModifier})
            keys.insert(QKeySequence(QKeyCombination(held, key)));
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y})
        keys.insert(QKeySequence(Qt::CTRL | key));
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                              Qt::Key_Tab, Qt::Key_Space, Qt::Key_F2})
        keys.insert(QKeySequence(key));
    for (int letter = Qt::Key_A; letter <= Qt::Key_Z; ++letter)
        keys.insert(QKeySequence(Qt::ALT | static_cast<Qt::Key>(letter)));
    return keys;
}

TEST_F(CommandKeysTest, EachWindowsKeysAreDistinctAndLeaveViewsAndEditsTheirOwn)
{
    Start();
    const std::set<QKeySequence> reserved = KeysOfViewsAndEdits();
    // A combo box opens its list with Alt+Down: only keys bound to a list
    // view's own focus may take it.
    const std::set<QKeySequence> comboKeys = {QKeySequence(Qt::ALT | Qt::Key_Down), QKeySequence(Qt::ALT | Qt::Key_Up)};
    const QList<QAction*> searchActions = search->findChildren<QAction*>();
    QList<QAction*> mainActions;
    for (QAction* action : form->findChildren<QAction*>())
        if (!searchActions.contains(action)) mainActions.append(action);
    for (const auto& [window, actions] : {std::pair{"main", mainActions}, std::pair{"search", searchActions}}) {
        SCOPED_TRACE(window);
        std::map<QKeySequence, QString> owner;
        int keyed = 0;
        for (QAction* action : actions) {
            for (const QKeySequence& key : action->shortcuts()) {
                ++keyed;
                const auto [at, fresh] = owner.emplace(key, action->text());
                EXPECT_TRUE(fresh) << key.toString().toStdString() << " twice: " << at->second.toStdString()
                                   << " and " << action->text().toStdString();
                EXPECT_EQ(reserved.count(key), 0u) << key.toString().toStdString();
                if (action->shortcutContext() != Qt::WidgetShortcut) {
                    EXPECT_EQ(comboKeys.count(key), 0u) << key.toString().toStdString();
                }
            }
        }
        EXPECT_GE(keyed, std::string(window) == "main" ? 12 : 4);
    }

    // Assistive tools read the captions unchanged and the key beside them.
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(form->ui().MMFileList);
    ASSERT_NE(menu, nullptr);
    QStringList names, keys;
    for (int i = 0; i < menu->childCount(); ++i) {
        names << menu->child(i)->text(QAccessible::Name);
        keys << menu->child(i)->text(QAccessible::Accelerator);
    }
    EXPECT_EQ(names, (QStringList{"新規作成(N)", "開く(O)", "最近使ったファイル(L)", "保存(S)", "名前を付けて保存(A)",
                                  "閉じる(C)", "", "終了(X)"}));
    EXPECT_EQ(keys.mid(0, 2), (QStringList{"Ctrl+N", "Ctrl+O"}));
    EXPECT_EQ(keys.mid(3, 3), (QStringList{"Ctrl+S", "Ctrl+Shift+S", "Ctrl+W"}));
    EXPECT_EQ(keys.back(), QStringLiteral("Ctrl+Q"));
}

TEST_F(CommandKeysTest, F2RenamesTheSelectedFolderInTheTreeAndInTheList)
{
    Start();
    Activate(form);
    FreshRows();   // A, B, E0, E1, E2
    QTreeView* tree = form->ui().TreeView;
    struct Case {
        const char* what;
        QTreeView* view;
        std::function<void()> select;
        QString editing;   // empty: nothing is renamed
    };
    const Case cases[] = {
        {"tree: the root", tree, [&] { Select(tree, 0); }, QStringLiteral("Root")},
        {"list: a folder row, focus on a later cell", list(), [&] { Select(list(), 1, 3); }, QStringLiteral("B")},
        {"list: the selected folder row, focus on an entry", list(),
         [&] {
             Select(list(), 0);
             list()->selectionModel()->setCurrentIndex(list()->model()->index(2, 0), QItemSelectionModel::NoUpdate);
         },
         QStringLiteral("A")},
        {"list: an entry row", list(), [&] { Select(list(), 3); }, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.select();
        c.view->setFocus();
        QTest::keyClick(c.view, Qt::Key_F2);
        QLineEdit* editor = OpenEditor(c.view);
        EXPECT_EQ(editor ? editor->text() : QString(), c.editing);
        if (editor) QTest::keyClick(editor, Qt::Key_Escape);
        EXPECT_TRUE(test::WaitUntil([&] { return !OpenEditor(c.view); }));
    }
}

}  // namespace
}  // namespace replidex
