// Which commands the selection of the search results allows.
#include "core/search/ResultCommands.h"

#include <gtest/gtest.h>

#include <vector>

namespace replidex {
namespace {

using Rows = std::vector<ResultRowFacts>;

TEST(EnableResultCommands, FollowsTheSelection)
{
    // Icons: 0 net unchanged, 1 net missing, 5 vs computer changed,
    // 6 two players unchanged, 9 analysis failed.
    struct Case {
        const char* what;
        Rows selected;
        int rowCount;
        ResultEnabling expected;   // memo, sendRenamed, moveUp, moveDown
    };
    const std::vector<Case> cases = {
        {"nothing selected", {}, 5, {}},
        {"one unchanged row in the middle", {{2, 0, 7}}, 5, {true, true, true, true}},
        {"the first row", {{0, 6, 7}}, 5, {true, true, false, true}},
        {"the last row", {{4, 3, 7}}, 5, {true, true, true, false}},
        {"the only row", {{0, 0, 7}}, 1, {true, true, false, false}},
        {"a missing file", {{1, 1, 7}}, 5, {true, false, true, true}},
        {"a changed file", {{1, 5, 7}}, 5, {true, false, true, true}},
        {"no pool index", {{1, 0, -1}}, 5, {true, false, true, true}},
        {"failed analysis is never sent", {{1, 9, 7}}, 5, {true, false, true, true}},
        {"no image", {{1, -1, 7}}, 5, {true, false, true, true}},
        {"two rows, one sendable", {{1, 1, 7}, {2, 6, 8}}, 5, {false, true, false, false}},
        {"two rows, none sendable", {{1, 1, 7}, {2, 2, 8}}, 5, {}},
    };
    for (const Case& c : cases) {
        const ResultEnabling on = EnableResultCommands(c.selected, c.rowCount);
        EXPECT_EQ(on.memo, c.expected.memo) << c.what;
        EXPECT_EQ(on.sendRenamed, c.expected.sendRenamed) << c.what;
        EXPECT_EQ(on.moveUp, c.expected.moveUp) << c.what;
        EXPECT_EQ(on.moveDown, c.expected.moveDown) << c.what;
    }
}

}  // namespace
}  // namespace replidex
