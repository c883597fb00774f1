// The column layout shared by both replay list views: which of the six
// columns are shown, in which display order, and how wide. The model is filled
// from the "Column" section of the settings file, from a list view's header
// (order array and widths) or from the settings dialog's column list, and
// answers what to set on a list view, on the dialog's list and in the file.
//
// A list view always has one column per shown slot, in id order; the display
// order is a separate array of those column indices (QHeaderView's logical
// index of each visual place). Column 0 ("File") is the row caption; the
// other shown columns are the row's sub-items, in id order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace replidex {

struct ColumnSlot {
    bool shown = true;
    std::string name;   // caption and settings key
    int id = -1;        // 0..5, the slot's place in the model
    int position = -1;  // display place: shown slots 0..n-1, hidden ones after
    int width = 0;      // pixels

    bool operator==(const ColumnSlot&) const = default;
};

// A column of a list view: caption and width, in the view's column order.
struct ListViewColumn {
    std::string caption;
    int width = 0;

    bool operator==(const ListViewColumn&) const = default;
};

// A row of the settings dialog's column list.
struct ColumnConfigRow {
    std::string caption;
    bool checked = false;

    bool operator==(const ColumnConfigRow&) const = default;
};

// What a list view is built from: its columns (the shown slots in id order),
// the slot id behind each, and the display order as column indices.
struct ListViewLayout {
    std::vector<ListViewColumn> columns;
    std::vector<int> ids;
    std::vector<int> order;
};

// Key/value lines of a settings-file section, in file order.
using IniSection = std::vector<std::pair<std::string, std::string>>;

// The first column whose caption equals `caption` exactly, or -1.
int FindColumnByCaption(const std::vector<ListViewColumn>& columns, std::string_view caption);

class ColumnModel {
public:
    static constexpr int kSlotCount = 6;
    static constexpr int kMinWidth = 10;
    static constexpr int kMaxWidth = 1000;
    enum ColumnId : int { kFile = 0, kPath = 1, kInfo = 2, kPlayer1 = 3, kPlayer2 = 4, kMemo = 5 };
    static constexpr std::string_view kSection = "Column";
    static constexpr std::array<std::string_view, kSlotCount> kNames = {"File", "Path", "Info",
                                                                         "1P",   "2P",   "Memo"};
    static constexpr std::array<int, kSlotCount> kDefaultWidths = {110, 200, 130, 200, 200, 100};

    // Every slot shown, in id order, with its default width.
    ColumnModel();

    const std::array<ColumnSlot, kSlotCount>& Slots() const { return slots_; }
    // The slot with this id, or nullptr.
    const ColumnSlot* Slot(int id) const;

    int ShownCount() const;
    // Hidden slots with an id below `id`.
    int HiddenBefore(int id) const;
    // Id of the n-th shown slot in id order (n from 0), or -1.
    int NthShown(int n) const;
    // Id of the slot named `name` (exact), or -1.
    int FindByName(std::string_view name) const;
    // Id of the first slot (in id order) at display place `position`, or -1.
    int SlotAtPosition(int position) const;
    // The list view's column index of slot `id`, or -1 when it is hidden.
    int ColumnIndex(int id) const;
    // The sub-item index of column `id` (1..5) in a row, or -1 when that
    // column is hidden (or is the caption column, or no column).
    int SubItemIndex(int id) const;

    // Apply order: the column indices of the shown slots in display order.
    std::vector<int> OrderArray() const;
    // The slot ids in display order.
    std::vector<int> CreateOrder() const;

    // Reads the "Column" section: the listed columns are shown in the listed
    // order with their widths (10..1000); "File" is always shown, after them
    // when it is not listed; an empty section shows all six in id order.
    void UpdateByIniFile(const IniSection& section);
    // Takes the display order (column indices, as the header reports them)
    // and the widths of a list view built from this model.
    void UpdateByListView(const std::vector<int>& order, const std::vector<ListViewColumn>& columns);
    // Takes shown flags and order from the settings dialog's list: checked
    // rows first in row order, then the unchecked ones. "File" stays shown.
    void UpdateByConfig(const std::vector<ColumnConfigRow>& rows);

    // The settings dialog's rows: every slot in display order.
    std::vector<ColumnConfigRow> UpdateConfigByGColumns() const;
    // The columns, widths and order array to set on a list view.
    ListViewLayout UpdateListViewByGColumns() const;
    // The lines of the "Column" section (after erasing it) from a list view
    // built from this model: its display order and its columns. One line per
    // shown column in display order, value = width in decimal.
    IniSection SaveInifile_Column(const std::vector<int>& order,
                                  const std::vector<ListViewColumn>& columns) const;

    bool operator==(const ColumnModel&) const = default;

private:
    // Sets the positions from a rank per slot: shown slots first, by rank then
    // id, then hidden ones likewise; so positions are always 0..5, each once,
    // and shown slots hold 0..n-1. "File" is made shown first.
    void Arrange(const std::array<int, kSlotCount>& rank);

    std::array<ColumnSlot, kSlotCount> slots_;
};

}  // namespace replidex
