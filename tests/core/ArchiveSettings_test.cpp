// The "Archive" section of the settings file: defaults, values read back,
// bad values, and the list folder path.
#include <gtest/gtest.h>

#include "core/settings/ArchiveSettings.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"

namespace replidex {
namespace {

TEST(ArchiveSettings, DefaultsRoundTripAndBadValues)
{
    const ArchiveSettings none = LoadArchiveSettings(ProfileFile::FromBytes(""));
    EXPECT_EQ(none.folder, "");
    EXPECT_EQ(none.nameTemplate, "%date%_%1p%_vs_%2p%.RPD");
    EXPECT_EQ(none.folderTemplate, "%yyyy%-%mm%");
    EXPECT_EQ(none.listFolder, "");
    EXPECT_FALSE(none.removeFromGame);
    EXPECT_FALSE(none.watch);

    ArchiveSettings s;
    s.folder = Sjis("/home/u/リプレイ");
    s.nameTemplate = "%slot%.RPD";
    s.folderTemplate = "";
    s.listFolder = Sjis("大会/春");
    s.removeFromGame = true;
    s.watch = true;
    ProfileFile file = ProfileFile::FromBytes("[Config]\nPuyoFPath=x\n[Archive]\nOld=1\n");
    SaveArchiveSettings(file, s);
    const ArchiveSettings back = LoadArchiveSettings(file);
    EXPECT_EQ(back.folder, s.folder);
    EXPECT_EQ(back.nameTemplate, s.nameTemplate);
    EXPECT_EQ(back.folderTemplate, "");   // no sub-folders is a choice of its own
    EXPECT_EQ(back.listFolder, s.listFolder);
    EXPECT_TRUE(back.removeFromGame);
    EXPECT_TRUE(back.watch);
    EXPECT_EQ(file.readString("Archive", "Old", "gone"), "gone");
    EXPECT_EQ(file.readString("Config", "PuyoFPath", ""), "x");

    const ArchiveSettings bad =
        LoadArchiveSettings(ProfileFile::FromBytes("[Archive]\nNameTemplate=\nRemoveFromGame=x\nWatch=7\n"));
    EXPECT_EQ(bad.nameTemplate, "%date%_%1p%_vs_%2p%.RPD");
    EXPECT_FALSE(bad.removeFromGame);
    EXPECT_TRUE(bad.watch);
}

TEST(ArchiveSettings, ListFolderNames)
{
    const struct {
        std::string path;
        std::vector<std::string> names;
    } cases[] = {
        {"", {Sjis("取り込み")}},
        {"/", {Sjis("取り込み")}},
        {"a", {"a"}},
        {"a//b/", {"a", "b"}},
        {Sjis("大会/春"), {Sjis("大会"), Sjis("春")}},
    };
    for (const auto& c : cases) EXPECT_EQ(ListFolderNames(c.path), c.names) << c.path;
}

}  // namespace
}  // namespace replidex
