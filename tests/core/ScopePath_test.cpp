// Index paths between the folder tree and a copy of it.
#include "core/search/ScopePath.h"

#include <gtest/gtest.h>

#include <vector>

namespace replidex {
namespace {

// Root
//   A
//     A0
//       A00
//   B
//     B0
//     B1
class ScopePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = root.addChild("A");
        a0 = a->addChild("A0");
        a00 = a0->addChild("A00");
        b = root.addChild("B");
        b->addChild("B0");
        b1 = b->addChild("B1");
    }

    ReplayFolder root{"Root"};
    ReplayFolder other{"Other"};
    ReplayFolder *a = nullptr, *a0 = nullptr, *a00 = nullptr, *b = nullptr, *b1 = nullptr;
};

TEST_F(ScopePathTest, PathsAndBack)
{
    struct Case {
        const char* what;
        ReplayFolder* folder;
        IndexPath path;
    };
    const std::vector<Case> cases = {
        {"top", &root, {}},
        {"first child", a, {0}},
        {"three levels deep", a00, {0, 0, 0}},
        {"second child's second child", b1, {1, 1}},
    };
    for (const Case& c : cases) {
        IndexPath path{99};
        ASSERT_TRUE(FolderIndexPath(&root, c.folder, path)) << c.what;
        EXPECT_EQ(path, c.path) << c.what;
        EXPECT_EQ(FolderAtIndexPath(&root, path), c.folder) << c.what;
    }
}

TEST_F(ScopePathTest, FoldersOutsideAndPathsPastTheChildren)
{
    IndexPath path{7};
    EXPECT_FALSE(FolderIndexPath(&root, other.addChild("x"), path));
    EXPECT_TRUE(path.empty());
    EXPECT_FALSE(FolderIndexPath(a, b1, path));
    EXPECT_FALSE(FolderIndexPath(nullptr, a, path));
    EXPECT_FALSE(FolderIndexPath(&root, nullptr, path));

    // A copy that differs from the tree: the path runs past its children.
    EXPECT_EQ(FolderAtIndexPath(&root, {2}), nullptr);
    EXPECT_EQ(FolderAtIndexPath(&root, {1, 2}), nullptr);
    EXPECT_EQ(FolderAtIndexPath(&root, {0, 0, 0, 0}), nullptr);
    EXPECT_EQ(FolderAtIndexPath(&root, {-1}), nullptr);
    EXPECT_EQ(FolderAtIndexPath(nullptr, {}), nullptr);
}

}  // namespace
}  // namespace replidex
