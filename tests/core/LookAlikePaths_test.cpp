// Paths with look-alike characters: the pairs checked against the system's
// CP932 converter, and real files named with either form found again from
// their Shift-JIS path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

TEST(LookAlikePaths, EitherFormOnDiskIsFoundFromShiftJis)
{
    for (const LookAlikePair& pair : kPairs) {
        for (const char* form : {pair.decoded, pair.other}) {
            SCOPED_TRACE(form);
            const test::TempDir dir;
            const std::string folder = dir.file(std::string("set") + form);
            const std::string file = dir.write(std::string("set") + form + "/r" + form + ".RPD", "x");

            std::string sjis;
            ASSERT_TRUE(SjisFromNativePath(file, sjis));
            EXPECT_NE(sjis.find(pair.code), std::string::npos);
            EXPECT_EQ(NativePathFromSjis(sjis), file);
            ASSERT_TRUE(SjisFromNativePath(folder + "/", sjis));
            EXPECT_EQ(NativePathFromSjis(sjis), folder + "/");

            // A new file in that folder: the folder is found, the new name
            // takes the decoded form.
            ASSERT_TRUE(SjisFromNativePath(folder + "/new" + form + ".rdx", sjis));
            EXPECT_EQ(NativePathFromSjis(sjis), folder + "/new" + pair.decoded + ".rdx");
        }
    }
}

TEST(LookAlikePaths, APathThatWouldNameAnotherFileIsRefused)
{
    const test::TempDir dir;
    const auto path = [&](const char* name) { return dir.file(name); };
    std::string sjis;

    // Both forms side by side: the Shift-JIS path finds the decoded one.
    fs::create_directories(path("w～"));
    fs::create_directories(path("w〜"));
    EXPECT_TRUE(SjisFromNativePath(path("w～"), sjis));
    EXPECT_FALSE(SjisFromNativePath(path("w〜"), sjis));

    // Two names that fold alike, neither in the decoded form: neither is meant.
    fs::create_directories(path("〜～"));
    fs::create_directories(path("～〜"));
    EXPECT_FALSE(SjisFromNativePath(path("〜～"), sjis));
    EXPECT_FALSE(SjisFromNativePath(path("～〜"), sjis));

    // A new name whose decoded form exists would overwrite that file.
    dir.write("n～.rdx", "list");
    EXPECT_FALSE(SjisFromNativePath(path("n〜.rdx"), sjis));
}

}  // namespace
}  // namespace replidex
