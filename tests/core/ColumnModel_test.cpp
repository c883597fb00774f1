// The column layout model: reading the "Column" section, taking a list view's
// order and widths or the settings dialog's list, and answering what to set
// on list views, the dialog and the settings file.
#include "core/settings/ColumnModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace replidex {
namespace {

using Ids = std::vector<int>;
constexpr int F = ColumnModel::kFile, P = ColumnModel::kPath, I = ColumnModel::kInfo,
              P1 = ColumnModel::kPlayer1, P2 = ColumnModel::kPlayer2,
              M = ColumnModel::kMemo;

// Positions are 0..5 each once, shown slots hold 0..n-1, "File" is shown, and
// the order array and the dialog's list name every shown column.
void ExpectWellFormed(const ColumnModel& model)
{
    std::vector<int> positions;
    for (const ColumnSlot& s : model.Slots()) {
        positions.push_back(s.position);
        if (s.shown) {
            EXPECT_LT(s.position, model.ShownCount()) << s.name;
        }
    }
    std::sort(positions.begin(), positions.end());
    EXPECT_EQ(positions, (Ids{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(model.Slot(F)->shown);
    EXPECT_EQ(model.CreateOrder().size(), 6u);
    Ids order = model.OrderArray();
    std::sort(order.begin(), order.end());
    Ids expected(model.ShownCount());
    for (int i = 0; i < model.ShownCount(); ++i) expected[i] = i;
    EXPECT_EQ(order, expected);
}

Ids ShownInDisplayOrder(const ColumnModel& model)
{
    Ids ids;
    for (int id : model.CreateOrder())
        if (model.Slot(id)->shown) ids.push_back(id);
    return ids;
}

std::vector<int> Widths(const ColumnModel& model)
{
    std::vector<int> widths;
    for (const ColumnSlot& s : model.Slots()) widths.push_back(s.width);
    return widths;
}

TEST(ColumnModel, NewModelShowsAllInIdOrder)
{
    const ColumnModel model;
    ExpectWellFormed(model);
    EXPECT_EQ(model.CreateOrder(), (Ids{F, P, I, P1, P2, M}));
    EXPECT_EQ(model.OrderArray(), (Ids{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Widths(model), (std::vector<int>{110, 200, 130, 200, 200, 100}));
    EXPECT_EQ(model.Slot(6), nullptr);
    EXPECT_EQ(model.Slot(-1), nullptr);
}

struct IniCase {
    const char* what;
    IniSection section;
    Ids shownOrder;             // shown slots in display order
    std::vector<int> widths;    // all six slots
};

TEST(ColumnModel, UpdateByIniFile)
{
    const std::vector<int> d = {110, 200, 130, 200, 200, 100};
    const std::vector<IniCase> cases = {
        {"no section", {}, {F, P, I, P1, P2, M}, d},
        {"Memo then File", {{"Memo", "80"}, {"File", "150"}}, {M, F}, {150, 200, 130, 200, 200, 80}},
        {"File missing comes after the listed ones", {{"Path", "300"}, {"Info", "abc"}},
         {P, I, F}, {110, 300, 130, 200, 200, 100}},
        {"widths clamped and parsed like integers",
         {{"File", "5"}, {"Path", "5000"}, {"Info", "-3"}, {"1P", " 250px"}, {"2P", ""}},
         {F, P, I, P1, P2}, {10, 1000, 10, 250, 200, 100}},
        {"unknown keys leave no gaps", {{"Foo", "1"}, {"Memo", "80"}, {"Bar", "2"}, {"1P", "90"}},
         {M, P1, F}, {110, 200, 130, 90, 200, 80}},
        {"unknown keys in front of all six",
         {{"a", "1"}, {"b", "1"}, {"c", "1"}, {"d", "1"}, {"e", "1"}, {"f", "1"}, {"2P", "50"},
          {"File", "60"}, {"Memo", "70"}, {"Path", "71"}, {"Info", "72"}, {"1P", "73"}},
         {P2, F, M, P, I, P1}, {60, 71, 72, 73, 50, 70}},
        {"a repeated key counts once, first value wins",
         {{"Memo", "80"}, {"File", "100"}, {"Memo", "300"}, {"File", "400"}},
         {M, F}, {100, 200, 130, 200, 200, 80}},
        {"key names ignore case for order; width needs the exact name",
         {{"memo", "80"}, {"FILE", "90"}}, {M, F}, d},
        {"only unknown keys: File alone", {{"Width", "9"}}, {F}, d},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.what);
        ColumnModel model;
        model.UpdateByIniFile(c.section);
        ExpectWellFormed(model);
        EXPECT_EQ(ShownInDisplayOrder(model), c.shownOrder);
        EXPECT_EQ(Widths(model), c.widths);
    }
}

TEST(ColumnModel, MemoLeftmostLayout)
{
    ColumnModel model;
    model.UpdateByIniFile({{"Memo", "80"}, {"File", "150"}});
    const ListViewLayout layout = model.UpdateListViewByGColumns();
    EXPECT_EQ(layout.columns,
              (std::vector<ListViewColumn>{{"File", 150}, {"Memo", 80}}));
    EXPECT_EQ(layout.ids, (Ids{F, M}));
    EXPECT_EQ(layout.order, (Ids{1, 0}));
    // Hidden slots follow the shown ones in id order.
    EXPECT_EQ(model.CreateOrder(), (Ids{M, F, P, I, P1, P2}));
}

TEST(ColumnModel, HidingPathShiftsLaterCells)
{
    ColumnModel model;
    EXPECT_EQ(model.SubItemIndex(P), 0);
    EXPECT_EQ(model.SubItemIndex(M), 4);
    model.UpdateByConfig({{"File", true}, {"Path", false}, {"Info", true}, {"1P", true},
                          {"2P", true}, {"Memo", true}});
    ExpectWellFormed(model);
    EXPECT_EQ(model.SubItemIndex(F), -1);   // the caption, not a sub-item
    EXPECT_EQ(model.SubItemIndex(P), -1);
    EXPECT_EQ(model.SubItemIndex(I), 0);
    EXPECT_EQ(model.SubItemIndex(P1), 1);
    EXPECT_EQ(model.SubItemIndex(P2), 2);
    EXPECT_EQ(model.SubItemIndex(M), 3);
    EXPECT_EQ(model.SubItemIndex(6), -1);
    EXPECT_EQ(model.ColumnIndex(M), 4);
    EXPECT_EQ(model.ColumnIndex(P), -1);
    EXPECT_EQ(model.HiddenBefore(M), 1);
    EXPECT_EQ(model.NthShown(1), I);
    EXPECT_EQ(model.NthShown(5), -1);
    EXPECT_EQ(model.UpdateListViewByGColumns().columns.size(), 5u);
}

TEST(ColumnModel, UpdateByConfig)
{
    ColumnModel model;
    // Checked rows first in row order, then the unchecked ones.
    model.UpdateByConfig({{"Memo", true}, {"File", true}, {"Path", false}, {"Info", true},
                          {"1P", false}, {"2P", true}});
    ExpectWellFormed(model);
    EXPECT_EQ(model.CreateOrder(), (Ids{M, F, I, P2, P, P1}));
    EXPECT_EQ(model.UpdateConfigByGColumns(),
              (std::vector<ColumnConfigRow>{{"Memo", true}, {"File", true}, {"Info", true},
                                            {"2P", true}, {"Path", false}, {"1P", false}}));

    // "File" cannot be hidden; unknown and repeated rows change nothing; slots
    // without a row keep their flag and follow in their old order.
    model.UpdateByConfig({{"Info", true}, {"File", false}, {"Bogus", true}, {"Info", false},
                          {"1P", true}});
    ExpectWellFormed(model);
    EXPECT_EQ(ShownInDisplayOrder(model), (Ids{I, P1, F, M, P2}));
    EXPECT_FALSE(model.Slot(P)->shown);
}

TEST(ColumnModel, UpdateByListView)
{
    ColumnModel model;
    model.UpdateByConfig({{"File", true}, {"Path", false}, {"Info", true}, {"1P", true},
                          {"2P", true}, {"Memo", true}});
    // Memo dragged to the left and File widened, as the header reports it.
    std::vector<ListViewColumn> columns = model.UpdateListViewByGColumns().columns;
    columns[0].width = 321;
    model.UpdateByListView({4, 0, 1, 2, 3}, columns);
    ExpectWellFormed(model);
    EXPECT_EQ(ShownInDisplayOrder(model), (Ids{M, F, I, P1, P2}));
    EXPECT_EQ(model.Slot(F)->width, 321);
    EXPECT_EQ(model.UpdateListViewByGColumns().order, (Ids{4, 0, 1, 2, 3}));

    // A short or faulty order keeps the rest in their old order.
    model.UpdateByListView({2, 2, 9, 0}, columns);
    ExpectWellFormed(model);
    EXPECT_EQ(ShownInDisplayOrder(model), (Ids{P1, M, F, I, P2}));
    model.UpdateByListView({}, {});
    ExpectWellFormed(model);
    EXPECT_EQ(ShownInDisplayOrder(model), (Ids{P1, M, F, I, P2}));
}

TEST(ColumnModel, SectionRoundTrips)
{
    const std::vector<IniSection> sections = {
        {{"File", "110"}, {"Path", "200"}, {"Info", "130"}, {"1P", "200"}, {"2P", "200"},
         {"Memo", "100"}},
        {{"Memo", "80"}, {"File", "150"}},
        {{"2P", "11"}, {"Info", "999"}, {"File", "10"}, {"1P", "1000"}},
        {{"Path", "300"}},   // File missing: written back after Path
    };
    for (const IniSection& section : sections) {
        SCOPED_TRACE(section.front().first);
        ColumnModel model;
        model.UpdateByIniFile(section);
        const ListViewLayout view = model.UpdateListViewByGColumns();
        const IniSection written = model.SaveInifile_Column(view.order, view.columns);
        ColumnModel back;
        back.UpdateByIniFile(written);
        EXPECT_EQ(back, model);
        if (section.front().first != "Path") {
            EXPECT_EQ(written, section);
        }
    }
}

TEST(ColumnModel, LayoutCarriesBetweenListViews)
{
    // What the user leaves in the search list shows up in the main list.
    ColumnModel model;
    model.UpdateByIniFile({{"Info", "140"}, {"File", "100"}, {"Memo", "90"}});
    ListViewLayout search = model.UpdateListViewByGColumns();
    search.columns[2].width = 55;   // Memo
    model.UpdateByListView({2, 1, 0}, search.columns);
    const ListViewLayout main = model.UpdateListViewByGColumns();
    EXPECT_EQ(main.order, (Ids{2, 1, 0}));
    EXPECT_EQ(main.columns[2], (ListViewColumn{"Memo", 55}));
    EXPECT_EQ(model.SaveInifile_Column(main.order, main.columns),
              (IniSection{{"Memo", "55"}, {"Info", "140"}, {"File", "100"}}));
}

TEST(ColumnModel, SaveFromFaultyListView)
{
    ColumnModel model;
    const ListViewLayout view = model.UpdateListViewByGColumns();
    // Repeated places write a key once, out-of-range places are skipped.
    EXPECT_EQ(model.SaveInifile_Column({5, 5, -1, 0}, view.columns),
              (IniSection{{"Memo", "100"}, {"File", "110"}}));
    // A column the list does not have ends the section there.
    std::vector<ListViewColumn> renamed = view.columns;
    renamed[1].caption = "Other";
    EXPECT_EQ(model.SaveInifile_Column({0, 1, 2}, renamed), (IniSection{{"File", "110"}}));
    EXPECT_TRUE(model.SaveInifile_Column({}, view.columns).empty());
    EXPECT_EQ(FindColumnByCaption(view.columns, "2P"), 4);
    EXPECT_EQ(FindColumnByCaption(view.columns, "2p"), -1);
}

}  // namespace
}  // namespace replidex
