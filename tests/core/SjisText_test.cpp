// The Shift-JIS-aware splitter and the CP932 <-> UTF-8 codec.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/ShortenText.h"
#include "core/text/SjisCodec.h"
#include "core/text/SplitText.h"

namespace replidex {
namespace {

TEST(SplitText, Pieces)
{
    struct Row {
        const char* what;
        std::string text;
        char separator;
        std::vector<std::string> pieces;
    };
    const Row rows[] = {
        {"plain", "a,b,c", ',', {"a", "b", "c"}},
        {"leading, doubled and trailing separators", "\\a\\\\b\\", '\\', {"a", "b"}},
        {"empty text", "", ',', {}},
        {"only separators", ",,,", ',', {}},
        {"no separator", "abc", ',', {"abc"}},
        {"so (0x83 0x5C) stays whole", "\x83\x5C\\x", '\\', {"\x83\x5C", "x"}},
        {"trail bytes 0x5C in a row", "\x95\x5C\x83\x5C\\\x94\x5C", '\\', {"\x95\x5C\x83\x5C", "\x94\x5C"}},
        {"a lead byte takes the separator as its trail byte", "\x83,b,c", ',', {"\x83,b", "c"}},
        {"a lone lead byte at the end stays", "ab\x83", ',', {"ab\x83"}},
        {"half-width katakana are single bytes", "\xB1,\xB2", ',', {"\xB1", "\xB2"}},
        {"a path", "C:\\Documents and Settings\\\x83\x5C\x83\x74\x83\x67\\PuyoF\\", '\\',
         {"C:", "Documents and Settings", "\x83\x5C\x83\x74\x83\x67", "PuyoF"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::string> list = {"left over"};
        EXPECT_EQ(SplitText(&list, row.text, row.separator), static_cast<int>(row.pieces.size()));
        EXPECT_EQ(list, row.pieces);
    }
}

TEST(SplitText, NoListAnswersZero)
{
    EXPECT_EQ(SplitText(nullptr, "a,b", ','), 0);
}

TEST(ShortenToWidth, CutsBetweenCharactersAndEndsInDots)
{
    // Every byte is 10 pixels wide, so a two-byte character is 20.
    const auto widthOf = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
    struct Row {
        const char* what;
        std::string text;
        int width;
        std::string shown;
    };
    const std::string so = "\x83\x5C";   // ソ, whose trail byte is a backslash
    const Row rows[] = {
        {"fits", "ABCDE", 50, "ABCDE"},
        {"empty", "", 0, ""},
        {"one byte too wide", "ABCDEF", 50, "AB..."},
        {"a long head", "ABCDEFGHIJ", 90, "ABCDEF..."},
        // Cut byte by byte, these two would end in a lead byte before the dots.
        {"never half a character", so + so + so + so, 65, so + "..."},
        {"the head ends where a character ends", "A" + so + so + "BCD", 75, "A" + so + "..."},
        {"not even one character with dots: that character alone", so + so, 30, so},
        {"a single character that does not fit stays whole", so, 10, so},
        {"a lone lead byte at the end counts as a character", "ABCDEFG\x83", 70, "ABCD..."},
        {"half-width katakana are one byte each", "\xD8\xCC\xDF\xDA\xB2", 40, "\xD8..."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ShortenToWidth(row.text, row.width, widthOf), row.shown);
    }
}

TEST(SjisCodec, LeadBytes)
{
    const std::pair<int, bool> rows[] = {{0x00, false}, {0x5C, false}, {0x80, false}, {0x81, true},
                                         {0x9F, true},  {0xA0, false}, {0xB1, false}, {0xDF, false},
                                         {0xE0, true},  {0xFC, true},  {0xFD, false}, {0xFF, false}};
    for (auto [byte, lead] : rows) EXPECT_EQ(IsCp932LeadByte(static_cast<unsigned char>(byte)), lead) << byte;
}

TEST(SjisCodec, KnownBytes)
{
    EXPECT_EQ(Sjis("ソ"), "\x83\x5C");
    EXPECT_EQ(Sjis("ﾘﾌﾟﾚｲ"), "\xD8\xCC\xDF\xDA\xB2");
    EXPECT_EQ(Sjis("ぷよ"), "\x82\xD5\x82\xE6");
    EXPECT_EQ(Sjis("～"), "\x81\x60");   // U+FF5E, the CP932 mapping
    EXPECT_EQ(Sjis("①"), "\x87\x40");   // NEC special character
    EXPECT_EQ(Sjis("ASCII\\"), "ASCII\\");
    EXPECT_EQ(Sjis(""), "");
}

TEST(SjisCodec, RoundTrip)
{
    const char* texts[] = {"ぷよぷよフィーバー", "ﾘﾌﾟﾚｲ", "ソ表能", "①Ⅱ㈱", "～∥－", "abc\\def", "漢字テスト",
                           "さかな王子 (COM)", ""};
    for (const char* utf8 : texts) {
        SCOPED_TRACE(utf8);
        std::string sjis, back;
        ASSERT_TRUE(Utf8ToCp932(utf8, sjis));
        ASSERT_TRUE(Cp932ToUtf8(sjis, back));
        EXPECT_EQ(back, utf8);
        EXPECT_EQ(Cp932ToUtf8Lossy(sjis), utf8);
    }
}

TEST(SjisCodec, InvalidInputFails)
{
    std::string out;
    EXPECT_FALSE(Cp932ToUtf8("\x82", out));          // lead byte without trail byte
    EXPECT_FALSE(Cp932ToUtf8("a\x82\x20", out));     // 0x20 is no trail byte
    EXPECT_FALSE(Utf8ToCp932("\xC3\x28", out));      // not UTF-8
    EXPECT_FALSE(Utf8ToCp932("\xE2\x82\xAC", out));  // euro sign: not in CP932
    EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80", out));
}

// Both systems refuse the same texts: bytes CP932 leaves undefined, and
// characters it lacks even where a look-alike exists (a path would name
// another file).
TEST(SjisCodec, UndefinedBytesAndLookAlikesAreRefused)
{
    std::string out;
    for (const char* cp932 : {"\x80", "a\xA0", "\xFD", "\xFE", "\xFF"})
        EXPECT_FALSE(Cp932ToUtf8(cp932, out));
    for (const char* utf8 : {"caf\xC3\xA9", "\xC3\x85", "\xC5\x8D"})   // é Å ō
        EXPECT_FALSE(Utf8ToCp932(utf8, out)) << utf8;
}

TEST(SjisCodec, LossyReplacesBadBytes)
{
    EXPECT_EQ(Cp932ToUtf8Lossy("a\x82"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8Lossy("\x82\x20" "b"), "\xEF\xBF\xBD b");
    EXPECT_EQ(Cp932ToUtf8Lossy("\x82\xD5" "\x80" "\x82\xE6"), "ぷ\xEF\xBF\xBDよ");
}

TEST(SjisCodec, Paths)
{
#ifndef _WIN32
    EXPECT_EQ(NativePathFromSjis("/tmp/" + Sjis("リプレイ") + "/a.RPD"), "/tmp/リプレイ/a.RPD");
    EXPECT_EQ(NativePathFromSjis("/tmp/\x82"), "");
    std::string sjis;
    ASSERT_TRUE(SjisFromNativePath("/tmp/ソ", sjis));
    EXPECT_EQ(sjis, "/tmp/\x83\x5C");
    EXPECT_FALSE(SjisFromNativePath("/tmp/\xF0\x9F\x98\x80", sjis));
#endif
}

}  // namespace
}  // namespace replidex
