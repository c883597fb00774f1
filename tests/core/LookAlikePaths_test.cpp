// Paths with look-alike characters: the pairs checked against the system's
// CP932 converter, and real files named with either form found again from
// their Shift-JIS path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/text/LookAlikePaths.h"
#include "core/text/SjisCodec.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

struct LookAlikePair {
    const char* code;      // CP932
    const char* decoded;   // what the decoder gives for it
    const char* other;     // the other form the encoder takes
};

const LookAlikePair kPairs[] = {
    {"\x81\x60", "～", "〜"}, {"\x81\x61", "∥", "‖"}, {"\x81\x5C", "―", "—"},
    {"\x81\x7C", "－", "−"}, {"\x81\x91", "￠", "¢"}, {"\x81\x92", "￡", "£"},
    {"\x81\xCA", "￢", "¬"},
};

TEST(LookAlikes, BothFormsShareOneCodeAndFoldToTheDecodedOne)
{
    for (const LookAlikePair& pair : kPairs) {
        SCOPED_TRACE(pair.other);
        std::string text;
        ASSERT_TRUE(Utf8ToCp932(pair.decoded, text));
        EXPECT_EQ(text, pair.code);
        ASSERT_TRUE(Utf8ToCp932(pair.other, text));
        EXPECT_EQ(text, pair.code);
        ASSERT_TRUE(Cp932ToUtf8(pair.code, text));
        EXPECT_EQ(text, pair.decoded);
        EXPECT_EQ(FoldLookAlikes(std::string("a") + pair.other + "b" + pair.decoded),
                  std::string("a") + pair.decoded + "b" + pair.decoded);
        EXPECT_TRUE(HasLookAlikes(pair.other));
        EXPECT_TRUE(HasLookAlikes(pair.decoded));
    }
    EXPECT_FALSE(HasLookAlikes("/tmp/日本/a.RPD"));
}

TEST(LookAlikePaths, APathIsTakenWhenItsShiftJisFormLeadsBackToIt)
{
    struct Case {
        std::vector<std::string> onDisk;   // a trailing "/" makes a folder
        std::string asked;
        std::string back;   // NativePathFromSjis of its Shift-JIS form; empty: refused
    };
    const Case cases[] = {
        {{"set〜/r〜.RPD"}, "set〜/r〜.RPD", "set〜/r〜.RPD"},
        {{"set〜/"}, "set〜/", "set〜/"},
        {{"set〜/"}, "set〜/new〜.rdx", "set〜/new～.rdx"},   // a new name in the decoded form
        {{"w～/", "w〜/"}, "w～", "w～"},
        {{"w～/", "w〜/"}, "w〜", ""},                        // would name the other one
        {{"〜～/", "～〜/"}, "〜～", ""},                      // no form is the one meant
        {{"〜～/", "～〜/"}, "～〜", ""},
        {{"n～.rdx"}, "n〜.rdx", ""},                         // would overwrite another file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        const test::TempDir dir;
        for (const std::string& name : c.onDisk) {
            if (name.back() == '/') fs::create_directories(dir.path() / name);
            else dir.write(name, "x");
        }
        std::string sjis;
        EXPECT_EQ(SjisFromNativePath(dir.file(c.asked), sjis), !c.back.empty());
        if (!c.back.empty()) {
            EXPECT_EQ(NativePathFromSjis(sjis), dir.file(c.back));
        }
    }
}

}  // namespace
}  // namespace replidex
