#include <gtest/gtest.h>

#include "core/list/TextLimits.h"
#include "core/text/SjisCodec.h"

namespace replidex {
namespace {

TEST(TextLimits, FitsCutsOnCharacterBoundariesAndRefusesForeignCharacters)
{
    struct Case {
        std::string utf8;
        std::size_t limit;
        TextFit fit;
        std::string sjis;
    };
    const Case cases[] = {
        {"abc", 3, TextFit::Fits, "abc"},
        {"abcd", 3, TextFit::Cut, "abc"},
        {"", 0, TextFit::Fits, ""},
        // A two-byte character that would straddle the limit goes whole.
        {"aあ", 2, TextFit::Cut, "a"},
        {"aあ", 3, TextFit::Fits, Sjis("aあ")},
        {"ｱｲ", 1, TextFit::Cut, Sjis("ｱ")},
        // An emoji has no Shift-JIS form: refused, never altered.
        {"ab\xF0\x9F\x98\x80", 100, TextFit::NotSjis, ""},
        {"\xC3\xA9", 100, TextFit::NotSjis, ""},
        // Not UTF-8 at all.
        {"\xFF", 100, TextFit::NotSjis, ""},
    };
    for (const Case& c : cases) {
        std::string out = "junk";
        EXPECT_EQ(FitSjisText(c.utf8, c.limit, out), c.fit) << c.utf8;
        EXPECT_EQ(out, c.sjis) << c.utf8;
    }
}

TEST(TextLimits, MemoLimitCountsShiftJisBytes)
{
    std::string utf8;
    for (int i = 0; i < 600; ++i) utf8 += "あ";   // 1200 bytes in Shift-JIS
    std::string out;
    EXPECT_EQ(FitSjisText(utf8, kMemoMaxBytes, out), TextFit::Cut);
    EXPECT_EQ(out.size(), 1022u);   // 511 whole characters
    EXPECT_FALSE(MemoFitMessage(TextFit::Cut).empty());
    EXPECT_TRUE(MemoFitMessage(TextFit::Fits).empty());
    EXPECT_FALSE(FolderNameFitMessage(TextFit::NotSjis).empty());
}

TEST(TextLimits, MemoLineBreaksRoundTripThroughTheEditor)
{
    EXPECT_EQ(MemoFromEditor("abc\ndef"), "abc\r\ndef");
    EXPECT_EQ(MemoFromEditor("abc\r\ndef\n"), "abc\r\ndef\r\n");
    EXPECT_EQ(MemoFromEditor("\n"), "\r\n");
    EXPECT_EQ(MemoForEditor("abc\r\ndef"), "abc\ndef");
    EXPECT_EQ(MemoForEditor("a\rb"), "a\rb");
    EXPECT_EQ(MemoForEditor(MemoFromEditor("x\ny\n\nz")), "x\ny\n\nz");
}

}  // namespace
}  // namespace replidex
