// The rows of a replay list view (the main window's list and the search
// results): plain structs, one per row, shown through a table model whose
// columns are the shown columns of the six, in id order. A row's icon and
// texts are made when the row is first read (by the view when the row comes
// on screen, or by a command), so showing a folder costs what is on screen.
#pragma once

#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/replay/ReplayRecords.h"
#include "gui/browse/RowDrag.h"

namespace replidex {

// The six columns, in their fixed id order.
enum ColumnId : int { kColFile, kColPath, kColInfo, kCol1P, kCol2P, kColMemo, kColumnCount };
const char* ColumnName(int id);
int DefaultColumnWidth(int id);

// Image indexes of the shared image list.
inline constexpr int kIconFailed = 9;
inline constexpr int kIconFolder = 10;
inline constexpr int kIconFolderSelected = 11;
inline constexpr int kIconNone = -1;   // an entry row without replay info

enum class RowKind : std::uint8_t { Folder, Entry };

// The six texts of a row by column id. They are held apart from the row, so
// that a row whose texts are not made yet takes no room for them; a text not
// made reads as empty.
class RowTexts {
public:
    using Array = std::array<SjisString, kColumnCount>;

    RowTexts() = default;
    RowTexts(const RowTexts& other);
    RowTexts& operator=(const RowTexts& other);
    RowTexts(RowTexts&&) noexcept = default;
    RowTexts& operator=(RowTexts&&) noexcept = default;
    RowTexts& operator=(Array texts);

    const SjisString& operator[](std::size_t id) const;
    SjisString& operator[](std::size_t id);

private:
    std::unique_ptr<Array> texts_;
};

struct ReplayRow {
    RowKind kind = RowKind::Entry;
    // False for a row that so far only knows what it stands for: its icon
    // (with the file state) and texts are made when they are first asked for.
    bool made = true;
    ReplayFolder* folder = nullptr;   // folder rows: the child folder
    std::int32_t poolIndex = -1;      // entry rows: the entry's document-pool index
    int icon = kIconNone;
    RowTexts texts;                   // by column id

    bool isFolder() const { return kind == RowKind::Folder; }
};

// Row state class from the row's icon: 5 no row, 3 analysis failed, 4 folder,
// otherwise the entry state (0 unchanged, 1 missing, 2 changed); -1 for an
// entry row without an icon.
inline constexpr int kRowStateNoRow = 5;
inline constexpr int kRowStateFailed = 3;
inline constexpr int kRowStateFolder = 4;
int RowStateOfIcon(const ReplayRow* row);

class ReplayRowModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReplayRowModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // Replaces all rows. Rows not made yet are made by `makeRow` when first
    // asked for, and then kept until the rows are replaced or rewritten.
    void setRows(std::vector<ReplayRow> rows);
    void clear();
    // The row, made; nullptr outside the rows.
    const ReplayRow* row(int index) const;
    // Every row, made (which makes all that are not yet).
    const std::vector<ReplayRow>& rows() const;
    // Whether the row stands for a folder; made or not (false outside the rows).
    bool isFolderRow(int index) const;
    // Whether the row's icon and texts are made (false outside the rows).
    bool isMadeRow(int index) const;
    // Rows made so far.
    int madeRowCount() const;
    // Swaps the contents of two rows in place (the rows stay where they are).
    void exchangeRows(int a, int b);
    // Rewrites one row.
    void replaceRow(int index, ReplayRow row);
    // The first row whose caption ("File" text) equals `text`, or -1.
    int findRowByText(const SjisString& text) const;

    // Makes the icon and texts of a row that only knows its folder or entry.
    std::function<void(ReplayRow& row)> makeRow;
    // Names the window whose drags of rows this model's data carries.
    void setDragOrigin(const RowDragOrigin& origin) { dragOrigin_ = origin; }

    // What the window does when a folder row is renamed in place (answers
    // whether the new name was taken) and when dragged rows are dropped on a
    // folder row. The model itself changes no data of the list.
    std::function<bool(int row, const QString& name)> onRenameFolderRow;
    std::function<void(int row)> onDropOnFolderRow;

    // Which columns exist (slot 0, "File", always does).
    void setShownColumns(const std::array<bool, kColumnCount>& shown);
    // Column id of a model column, or -1.
    int columnId(int column) const;
    // Model column of a column id, or -1 when that column is hidden.
    int columnOf(int id) const;

private:
    // The row as it is held, made or not.
    const ReplayRow* stored(int index) const;
    ReplayRow& made(std::size_t index) const;

    // Rows are made when they are read, also through const access.
    mutable std::vector<ReplayRow> rows_;
    std::vector<int> columns_;   // shown column ids in id order
    RowDragOrigin dragOrigin_;
};

}  // namespace replidex
