// The shared text table hands out one block per distinct text, however many
// texts it holds and in whatever order they are asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/text/SharedText.h"

namespace replidex {
namespace {

TEST(SharedTextTable, EqualTextsShareAndOthersDoNot)
{
    // Paths that differ only in the middle or in length, past several growths.
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back("/home/p/" + std::to_string(i % 1500) + std::string(i / 1500, 'x') + "/rep/");
    std::vector<std::string> asked = texts;
    asked.insert(asked.end(), texts.begin(), texts.end());
    std::shuffle(asked.begin(), asked.end(), std::mt19937(7));

    SharedTextTable table;
    std::vector<SharedText> first(texts.size());
    for (const std::string& text : asked) {
        const SharedText got = table.get(text);
        ASSERT_EQ(got.view(), text);
        const auto at = static_cast<std::size_t>(std::find(texts.begin(), texts.end(), text) - texts.begin());
        if (first[at].empty()) first[at] = got;
        EXPECT_TRUE(got.sharesWith(first[at])) << text;
    }
    for (std::size_t i = 1; i < first.size(); ++i) EXPECT_FALSE(first[i].sharesWith(first[i - 1]));
    EXPECT_TRUE(table.get("").empty());
    table.clear();
    EXPECT_FALSE(table.get(texts[0]).sharesWith(first[0]));
}

}  // namespace
}  // namespace replidex
