// The editing rules of the settings dialog's column list and the changes the
// dialog's OK compares.
#include "core/settings/ColumnListRules.h"

#include <gtest/gtest.h>

#include "core/settings/SettingsChanges.h"

namespace replidex {
namespace {

using Rows = std::vector<ColumnConfigRow>;

TEST(ColumnListRules, FileIsTickedAgain)
{
    struct Case {
        const char* what;
        Rows rows;
        int row;
    } const cases[] = {
        {"File unticked first", {{"File", false}, {"Path", true}}, 0},
        {"File unticked further down", {{"Memo", true}, {"Path", false}, {"File", false}}, 2},
        {"File ticked", {{"File", true}, {"Path", false}}, -1},
        {"only other rows unticked", {{"Path", false}, {"File", true}}, -1},
        {"caption compared exactly", {{"file", false}, {"FILE", false}}, -1},
        {"no rows", {}, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(FileRowToTick(c.rows), c.row) << c.what;
}

TEST(ColumnListRules, UpAndDownButtons)
{
    struct Case {
        int selected;
        int count;
        MoveButtons buttons;
    } const cases[] = {
        {-1, 6, {false, false}},  // nothing selected
        {0, 6, {false, true}},    // first row
        {5, 6, {true, false}},    // last row
        {2, 6, {true, true}},     // in between
        {0, 1, {false, true}},    // the only row counts as the first
        {6, 6, {false, false}},   // no such row
        {0, 0, {false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveButtonsFor(c.selected, c.count), c.buttons) << c.selected << " of " << c.count;
}

TEST(ColumnListRules, ExchangeTarget)
{
    struct Case {
        int row;
        int step;
        int count;
        int target;
    } const cases[] = {
        {3, -1, 6, 2}, {3, 1, 6, 4}, {0, -1, 6, -1}, {5, 1, 6, -1},
        {-1, 1, 6, -1}, {0, 1, 1, -1}, {2, 2, 6, -1}, {6, -1, 6, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExchangeTarget(c.row, c.step, c.count), c.target) << c.row << " by " << c.step;
}

TEST(SettingsChanges, WhatCountsAsAChange)
{
    const DialogSettings shown{"/games/PuyoF", 2, true, false};
    struct Case {
        const char* what;
        DialogSettings chosen;
        SettingsChanges changes;
    } const cases[] = {
        {"nothing", shown, {}},
        {"folder", {"/games/PuyoF/", 2, true, false}, {true, false, false, false}},
        {"folder in another case", {"/games/puyof", 2, true, false}, {true, false, false, false}},
        {"page", {"/games/PuyoF", 9, true, false}, {false, true, false, false}},
        {"page unselected", {"/games/PuyoF", -1, true, false}, {false, true, false, false}},
        {"skip missing", {"/games/PuyoF", 2, false, false}, {false, false, true, false}},
        {"association", {"/games/PuyoF", 2, true, true}, {false, false, false, true}},
    };
    for (const Case& c : cases) {
        const SettingsChanges changes = CompareSettings(shown, c.chosen);
        EXPECT_EQ(changes, c.changes) << c.what;
        EXPECT_EQ(changes.any(), !(c.changes == SettingsChanges{})) << c.what;
    }
}

}  // namespace
}  // namespace replidex
