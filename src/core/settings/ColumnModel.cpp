#include "core/settings/ColumnModel.h"

#include <algorithm>
#include <numeric>

#include "core/settings/ProfileFile.h"

namespace replidex {

namespace {

// Ranks for slots an update did not place: behind every placed one, keeping
// their previous order (shown ones) or id order (hidden ones).
constexpr int kUnplacedRank = 1000;
constexpr int kHiddenRank = 2000;

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Key names of the settings file match without regard to ASCII case.
bool KeyEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

}  // namespace

int FindColumnByCaption(const std::vector<ListViewColumn>& columns, std::string_view caption)
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].caption == caption) return static_cast<int>(i);
    return -1;
}

ColumnModel::ColumnModel()
{
    for (int id = 0; id < kSlotCount; ++id) {
        ColumnSlot& slot = slots_[id];
        slot.shown = true;
        slot.name = std::string(kNames[id]);
        slot.id = id;
        slot.position = id;
        slot.width = kDefaultWidths[id];
    }
}

const ColumnSlot* ColumnModel::Slot(int id) const
{
    return id >= 0 && id < kSlotCount ? &slots_[id] : nullptr;
}

int ColumnModel::ShownCount() const
{
    return static_cast<int>(
        std::count_if(slots_.begin(), slots_.end(), [](const ColumnSlot& s) { return s.shown; }));
}

int ColumnModel::HiddenBefore(int id) const
{
    int hidden = 0;
    for (int k = 0; k < std::min(id, kSlotCount); ++k)
        if (!slots_[k].shown) ++hidden;
    return hidden;
}

int ColumnModel::NthShown(int n) const
{
    if (n < 0) return -1;
    for (int id = 0; id < kSlotCount; ++id)
        if (slots_[id].shown && n-- == 0) return id;
    return -1;
}

int ColumnModel::FindByName(std::string_view name) const
{
    for (int id = 0; id < kSlotCount; ++id)
        if (slots_[id].name == name) return id;
    return -1;
}

int ColumnModel::SlotAtPosition(int position) const
{
    for (int id = 0; id < kSlotCount; ++id)
        if (slots_[id].position == position) return id;
    return -1;
}

int ColumnModel::ColumnIndex(int id) const
{
    if (id < 0 || id >= kSlotCount || !slots_[id].shown) return -1;
    return id - HiddenBefore(id);
}

int ColumnModel::SubItemIndex(int id) const
{
    if (id < 1 || id >= kSlotCount || !slots_[id].shown) return -1;
    int index = 0;
    for (int k = 1; k < id; ++k)
        if (slots_[k].shown) ++index;
    return index;
}

std::vector<int> ColumnModel::OrderArray() const
{
    std::vector<int> order;
    for (int position = 0; position < kSlotCount; ++position) {
        const int id = SlotAtPosition(position);
        if (id >= 0 && slots_[id].shown) order.push_back(ColumnIndex(id));
    }
    return order;
}

std::vector<int> ColumnModel::CreateOrder() const
{
    std::array<bool, kSlotCount> taken{};
    std::vector<int> ids;
    for (int position = 0; position < kSlotCount; ++position) {
        for (int id = 0; id < kSlotCount; ++id) {
            if (taken[id] || slots_[id].position != position) continue;
            taken[id] = true;
            ids.push_back(id);
            break;
        }
    }
    return ids;
}

void ColumnModel::Arrange(const std::array<int, kSlotCount>& rank)
{
    slots_[kFile].shown = true;
    std::array<int, kSlotCount> ids{};
    std::iota(ids.begin(), ids.end(), 0);
    std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
        if (slots_[a].shown != slots_[b].shown) return slots_[a].shown;
        return rank[a] < rank[b];
    });
    for (int place = 0; place < kSlotCount; ++place) slots_[ids[place]].position = place;
}

void ColumnModel::UpdateByIniFile(const IniSection& section)
{
    for (int id = 0; id < kSlotCount; ++id) {
        slots_[id].id = id;
        slots_[id].shown = id == kFile;
    }
    if (section.empty()) {
        for (ColumnSlot& slot : slots_) {
            slot.shown = true;
            slot.position = slot.id;
        }
        return;
    }

    // Places come from the first key naming each slot (case ignored); keys
    // that name no slot, and repeated keys, only leave gaps, which Arrange
    // closes up.
    std::array<int, kSlotCount> rank{};
    for (int id = 0; id < kSlotCount; ++id) {
        rank[id] = kHiddenRank + id;
        for (std::size_t place = 0; place < section.size(); ++place) {
            if (!KeyEquals(section[place].first, slots_[id].name)) continue;
            rank[id] = static_cast<int>(place);
            slots_[id].shown = true;
            break;
        }
        if (id == kFile && rank[id] >= kHiddenRank) rank[id] = kUnplacedRank;
    }

    // Widths from the keys spelled exactly like the slot; the first one wins.
    std::array<bool, kSlotCount> sized{};
    for (const auto& [key, value] : section) {
        const int id = FindByName(key);
        if (id < 0 || sized[id]) continue;
        sized[id] = true;
        ColumnSlot& slot = slots_[id];
        slot.shown = true;
        slot.width = std::clamp(ParseProfileNumber(value, slot.width), kMinWidth, kMaxWidth);
    }
    Arrange(rank);
}

void ColumnModel::UpdateByListView(const std::vector<int>& order,
                                     const std::vector<ListViewColumn>& columns)
{
    std::array<int, kSlotCount> rank{};
    rank.fill(-1);
    for (std::size_t place = 0; place < order.size(); ++place) {
        const int id = NthShown(order[place]);
        if (id < 0) break;
        if (rank[id] < 0) rank[id] = static_cast<int>(place);
    }
    for (int id = 0; id < kSlotCount; ++id) {
        if (rank[id] >= 0) continue;
        rank[id] = slots_[id].shown ? kUnplacedRank + slots_[id].position : kHiddenRank + id;
    }
    for (ColumnSlot& slot : slots_) {
        if (!slot.shown) continue;
        const int column = FindColumnByCaption(columns, slot.name);
        if (column >= 0) slot.width = columns[column].width;
    }
    Arrange(rank);
}

void ColumnModel::UpdateByConfig(const std::vector<ColumnConfigRow>& rows)
{
    std::array<int, kSlotCount> rank{};
    rank.fill(-1);
    int n = 0;
    for (const bool checkedPass : {true, false}) {
        for (const ColumnConfigRow& row : rows) {
            if (row.checked != checkedPass) continue;
            const int id = FindByName(row.caption);
            if (id < 0 || rank[id] >= 0) continue;
            slots_[id].shown = row.checked;
            rank[id] = n++;
        }
    }
    for (int id = 0; id < kSlotCount; ++id)
        if (rank[id] < 0) rank[id] = kUnplacedRank + slots_[id].position;
    Arrange(rank);
}

std::vector<ColumnConfigRow> ColumnModel::UpdateConfigByGColumns() const
{
    std::vector<ColumnConfigRow> rows;
    for (const int id : CreateOrder()) rows.push_back({slots_[id].name, slots_[id].shown});
    return rows;
}

ListViewLayout ColumnModel::UpdateListViewByGColumns() const
{
    ListViewLayout layout;
    for (const ColumnSlot& slot : slots_) {
        if (!slot.shown) continue;
        layout.columns.push_back({slot.name, slot.width});
        layout.ids.push_back(slot.id);
    }
    layout.order = OrderArray();
    return layout;
}

IniSection ColumnModel::SaveInifile_Column(const std::vector<int>& order,
                                             const std::vector<ListViewColumn>& columns) const
{
    IniSection lines;
    std::array<bool, kSlotCount> written{};
    for (std::size_t place = 0; place < order.size() && place < columns.size(); ++place) {
        const int c = order[place];
        if (c < 0 || c >= kSlotCount) continue;
        const int id = NthShown(c);
        if (id < 0) break;
        const int column = FindColumnByCaption(columns, slots_[id].name);
        if (column < 0) break;
        if (written[id]) continue;   // a repeated place would write the key twice
        written[id] = true;
        lines.emplace_back(slots_[id].name, std::to_string(columns[column].width));
    }
    return lines;
}

}  // namespace replidex
