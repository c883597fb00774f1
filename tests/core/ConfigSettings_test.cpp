#include "core/settings/ConfigSettings.h"

#include <string>

#include <gtest/gtest.h>

#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

TEST(ConfigSettings, EmptyFileGivesTheFirstStartDefaults)
{
    const ConfigSettings s = LoadConfigSettings(ProfileFile::FromBytes(""));
    EXPECT_EQ(s.puyoFPath, "");
    EXPECT_EQ(s.searchPage, 0);
    EXPECT_TRUE(s.skipMissing);
    EXPECT_EQ(SearchPageSize(s.searchPage), 100);
}

TEST(ConfigSettings, SearchValuesAreBroughtIntoRange)
{
    struct Case { const char* lines; int page; bool skipMissing; };
    const Case cases[] = {
        {"Page=5\nExist=0\n", 5, false},
        {"Page=25\nExist=1\n", 9, true},   // 1000 per page
        {"Page=-3\nExist=7\n", 0, true},   // 100 per page; any non-zero is 1
        {"Page=-1\nExist=-1\n", 0, true},  // written when nothing was chosen
        {"Page=\nExist=\n", 0, true},      // empty values read as missing
        {"Page=x\nExist=no\n", 0, true},   // no number reads as the default
        {"Page=7x\nExist=0abc\n", 7, false},  // digits first: the number counts
        {"Page=+\nExist=abc\n", 0, true},
        {"Page=3\nExist\n", 3, true},    // a line without "=" is no key
        {"page=9\nEXIST=0\n", 9, false},
    };
    for (const Case& c : cases) {
        const ConfigSettings s =
            LoadConfigSettings(ProfileFile::FromBytes(std::string("[Search]\n") + c.lines));
        EXPECT_EQ(s.searchPage, c.page) << c.lines;
        EXPECT_EQ(s.skipMissing, c.skipMissing) << c.lines;
    }
    EXPECT_EQ(SearchPageSize(25), 1000);
    EXPECT_EQ(SearchPageSize(-1), 100);
}

TEST(ConfigSettings, SaveRewritesOnlyItsSectionsAndLoadsBack)
{
    test::TempDir dir;
    const std::string path = dir.write(
        "replidex.ini",
        "[Column]\nFile=100\n[Config]\nPuyoFPath=old\nStray=1\n[Search]\nPage=2\n"
        "[RecentFolder]\n0=C:\\x\\\n");
    ConfigSettings s;
    s.puyoFPath = Sjis(" /home/ぷよ/Wine フォルダ ");  // blanks at both ends survive
    s.searchPage = -1;
    s.skipMissing = false;
    {
        ProfileFile file(path);
        SaveConfigSettings(file, s);
        ASSERT_TRUE(file.save());
    }
    const ProfileFile file(path);
    EXPECT_EQ(file.keyNames("Config"), (std::vector<std::string>{"PuyoFPath"}));
    EXPECT_EQ(file.readString("Search", "Page", ""), "-1");
    EXPECT_EQ(file.readString("Search", "Exist", ""), "0");
    EXPECT_EQ(file.readString("Column", "File", ""), "100");
    EXPECT_EQ(file.readString("RecentFolder", "0", ""), "C:\\x\\");
    const ConfigSettings back = LoadConfigSettings(file);
    EXPECT_EQ(back.puyoFPath, s.puyoFPath);
    EXPECT_EQ(back.searchPage, 0);
    EXPECT_FALSE(back.skipMissing);
}

}  // namespace
}  // namespace replidex
