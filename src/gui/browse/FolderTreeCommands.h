// The folder operations of the main window's tree: creating, renaming and
// deleting folders, moving (and merging) folders and list rows by drag and
// drop, the tree popup and its enabling, right-click selection. The rules
// live in FolderOps; this object shows their messages and keeps the tree
// model and the list in step.
#pragma once

#include <QString>

#include "core/list/FolderOps.h"
#include "core/replay/ReplayRecords.h"

namespace replidex {

class MainWindow;

class FolderTreeCommands {
public:
    explicit FolderTreeCommands(MainWindow& form) : form_(form) {}

    // Hooks the tree model, the tree view and the tree popup up.
    void Connect();

    // Appends a "New_n" child to `parent`; the new folder, or nullptr.
    ReplayFolder* CreateSubFolder(ReplayFolder* parent);
    // Deletes the child `name` of `parent` with its entries and sub-folders.
    void DeleteSubFolder(ReplayFolder* parent, const SjisString& name);
    // Renames a folder as an in-place edit does; false when refused.
    bool RenameFolder(ReplayFolder* folder, const QString& name);
    // A folder (`fromTree`) or the list's selected rows dropped on `target`.
    void DropOnFolder(ReplayFolder* target, bool fromTree);
    // Moves list rows into `target` by the given rule, then shows where they
    // went.
    void MoveRows(ReplayFolder* target, FolderRowRule rule);

    // The tree popup: "削除(&E)" asks and deletes the selected folder.
    void PMTree_DelClick();
    void UpdateTreePopup();

    // The message boxes of a folder move check.
    static bool AskFolderMove(const FolderMoveCheck& check);

private:
    ReplayFolder* SelectedFolder() const;
    // Selects `folder` in the tree and shows it in the list.
    void ShowSelected(ReplayFolder* folder);

    MainWindow& form_;
};

}  // namespace replidex
