// The row commands of the main window's replay list: which commands the
// selection allows, exchanging rows, the four moves, new folder, in-place
// renaming of folder rows (also with F2), double-click (or Enter) into a
// folder, deleting rows (also with the Delete key), dragging rows out and
// dropping rows on a folder row.
#pragma once

#include <QString>

#include <vector>

#include "core/list/FolderOps.h"

class QModelIndex;
class QPoint;

namespace replidex {

class MainWindow;

// Which row commands the selection allows.
struct ListEnabling {
    bool deleteRows = false;
    bool deleteFiles = false;
    bool memo = false;
    bool refresh = false;
    bool sendAsIs = false;
    bool sendRenamed = false;
    bool moveUp = false;     // and move to top
    bool moveDown = false;   // and move to bottom
};

class ReplayListCommands {
public:
    explicit ReplayListCommands(MainWindow& form) : form_(form) {}

    // Hooks the row model and the list view up.
    void Connect();

    // The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    // The selected rows as the folder operations take them.
    std::vector<MovedRow> SelectedMovedRows() const;

    ListEnabling Enabling() const;
    // Makes the first selected row current and enables the commands.
    void RunEnabling();

    // Exchanges rows i and j of the list showing `folder` and the folders or
    // entries behind them; false when the rows cannot be exchanged.
    bool ExchangeRows(ReplayFolder* folder, int i, int j);
    void MoveUp();
    void MoveDown();
    void MoveTop();
    void MoveBottom();

    void NewFolder();
    void DeleteRows();
    void OpenRow(const QModelIndex& index);   // double click
    // Enter: opens the focused row as a double click does, when it is selected.
    void OpenCurrentRow();
    // F2: starts renaming the selected folder row in place.
    void RenameSelectedFolderRow();
    bool RenameFolderRow(int row, const QString& name);
    void DropOnFolderRow(int row);

    // ListMouseDown and ListStartDrag: the drag image maker takes the press
    // point; a drag of the selected rows runs with their picture.
    void ListMouseDown(const QPoint& pos);
    void ListStartDrag();

private:
    // Exchanges the row one step at a time towards `limit` (up when limit < row).
    void MoveTo(int row, int limit);
    // The row a move acts on: the one selected row, when the enabling allows
    // the move (`up` or down); -1 otherwise.
    int RowToMove(bool up) const;
    void SelectOnly(int row);
    // Rows of folders in the list (they come first).
    int FolderRowCount() const;
    int EntryCount() const;

    MainWindow& form_;
};

}  // namespace replidex
