// The common base of the two windows that show replay rows (the main window
// and the search window): the list menu of their replay list view, the
// references to its items that the window's menu-opening handler enables,
// and the row operations the menu and the tool bar run. Editing a memo and
// refreshing changed entries are done here once for both windows.
//
// A mixin beside the window's Qt class, so that the main window can be a
// QMainWindow and the search window a QDialog.
#pragma once

#include <vector>

#include "core/replay/ReplayRecords.h"

class QMenu;
class QAction;
class QTreeView;
class QWidget;

namespace replidex {

class EntryPool;
class ReplayRowModel;
class MemoDialog;

class ListWindowBase {
public:
    virtual ~ListWindowBase() = default;
    ListWindowBase(const ListWindowBase&) = delete;
    ListWindowBase& operator=(const ListWindowBase&) = delete;

    // Row operations of the list menu and the tool bar. A window that does
    // not offer one leaves it doing nothing.
    virtual void MoveUp() {}
    virtual void MoveDown() {}
    virtual void MoveTop() {}
    virtual void MoveBottom() {}
    virtual void SendAsIs() {}
    // Copies the selected replays of ListViewOf() into the next free slots
    // of the game folder.
    virtual void SendRenamed();
    virtual void NewFolder() {}
    virtual void DeleteRows() {}
    // Deletes the files of the selected rows (the main window's list menu).
    virtual void DeleteFiles() {}
    // Edits the memo of the first selected row's entry in the memo window.
    virtual void EditMemo();
    // Reads again the replay files of the selected rows that changed on disk.
    virtual void RefreshInfo();

    // The replay list view the list menu belongs to.
    virtual QTreeView* ListViewOf() = 0;
    // The rows of that list and the pool their entries live in.
    virtual ReplayRowModel* RowModelOf() { return nullptr; }
    virtual EntryPool* PoolOf() { return nullptr; }
    virtual bool IsModified() const { return false; }
    virtual void SetModified(bool) {}
    // The game's replay folder (Shift-JIS).
    virtual SjisString GameFolderPath() const { return {}; }
    // Called when rows got new icons because their files changed on disk.
    virtual void RowStatesChanged() {}

    // The selected rows of ListViewOf(), top to bottom.
    std::vector<int> SelectedRowsOf();

    QMenu* listMenu() const { return listMenu_; }
    void setMemoDialog(MemoDialog* memo) { memo_ = memo; }

    // References to the list menu's items; none until the menu is built, and
    // none for items the window does not get.
    struct ListMenuItems {
        QAction* moveUp = nullptr;
        QAction* moveDown = nullptr;
        QAction* moveTop = nullptr;
        QAction* moveBottom = nullptr;
        QAction* sendAsIs = nullptr;
        QAction* sendRenamed = nullptr;
        QAction* newFolder = nullptr;
        QAction* deleteRows = nullptr;
        QAction* memo = nullptr;
        QAction* refresh = nullptr;
        QAction* deleteFiles = nullptr;
    };
    const ListMenuItems& listMenuItems() const { return listMenuItems_; }

protected:
    // `form` is the window that owns the list menu; `isMainWindow` says which
    // of the two windows this is (the main window's menu has more items).
    ListWindowBase(QWidget* form, bool isMainWindow);

    // Creation step: makes the (still empty) list menu owned by the form.
    void BaseFormCreate();
    // Show step (once): builds the menu's items, attaches the menu to
    // ListViewOf() and gives its row commands their keys there.
    void BaseFormShow();
    // Runs each time the list menu opens: enables its items.
    virtual void ListMenuOpening() {}

    QWidget* form_ = nullptr;
    bool isMainWindow_ = false;
    QMenu* listMenu_ = nullptr;
    ListMenuItems listMenuItems_;
    MemoDialog* memo_ = nullptr;

private:
    void BuildListMenu();
};

}  // namespace replidex
