// The recent list files and folders: adding, reordering, loading and saving,
// and the checks made when an item is chosen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/settings/ProfileFile.h"
#include "core/settings/RecentLists.h"
#include "core/text/SjisCodec.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using Items = std::vector<std::string>;

TEST(RecentList, AddPutsOnTopAndKeepsTen)
{
    RecentList list;
    for (int i = 0; i < 11; ++i) list.add("/lists/" + std::to_string(i) + ".rdx");
    ASSERT_EQ(list.size(), 10);
    EXPECT_EQ(list.items().front(), "/lists/10.rdx");
    EXPECT_EQ(list.items().back(), "/lists/1.rdx");   // the first one is gone

    list.add("/lists/5.rdx");   // listed: moves to the top, no second item
    EXPECT_EQ(list.size(), 10);
    EXPECT_EQ(list.items()[0], "/lists/5.rdx");
    EXPECT_EQ(list.items()[1], "/lists/10.rdx");
    EXPECT_EQ(std::count(list.items().begin(), list.items().end(), "/lists/5.rdx"), 1);

    list.add("/LISTS/5.rdx");   // compared exactly
    EXPECT_EQ(list.items()[0], "/LISTS/5.rdx");
    EXPECT_EQ(list.items()[1], "/lists/5.rdx");
    EXPECT_EQ(list.size(), 10);
}

TEST(RecentList, MoveToTop)
{
    RecentList list;
    for (const char* p : {"c", "b", "a"}) list.add(p);
    EXPECT_TRUE(list.moveToTop(2));
    EXPECT_EQ(list.items(), (Items{"c", "a", "b"}));
    EXPECT_TRUE(list.moveToTop(0));
    EXPECT_EQ(list.items(), (Items{"c", "a", "b"}));
    EXPECT_FALSE(list.moveToTop(3));
    EXPECT_FALSE(list.moveToTop(-1));
}

TEST(RecentList, LoadFromPairs)
{
    struct Case {
        const char* what;
        ProfilePairs section;
        Items items;
    } const cases[] = {
        {"gaps in the keys", {{"0", "/a"}, {"2", "/b"}, {"5", "/c"}}, {"/a", "/b", "/c"}},
        {"file order, not key order", {{"3", "/x"}, {"1", "/y"}}, {"/x", "/y"}},
        {"empty values skipped", {{"0", ""}, {"1", "/b"}}, {"/b"}},
        {"duplicate values kept", {{"0", "/a"}, {"1", "/a"}}, {"/a", "/a"}},
        {"a key twice reads its first line",
         {{"0", "/first"}, {"0", "/second"}, {"1", "/b"}},
         {"/first", "/b"}},
        {"key names ignore ASCII case", {{"k", "/a"}, {"K", "/b"}}, {"/a"}},
        {"only the first ten keys",
         {{"0", "0"}, {"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}, {"5", "5"},
          {"6", "6"}, {"7", "7"}, {"8", "8"}, {"9", "9"}, {"10", "10"}},
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"empty section", {}, {}},
    };
    for (const Case& c : cases) {
        RecentList list;
        list.add("/old");
        list.load(c.section);
        EXPECT_EQ(list.items(), c.items) << c.what;
    }
}

TEST(RecentList, SavedWritesKeysFromZero)
{
    RecentList list;
    list.load({{"0", "/a"}, {"2", "/b"}, {"5", "/c"}});
    EXPECT_EQ(list.saved(), (ProfilePairs{{"0", "/a"}, {"1", "/b"}, {"2", "/c"}}));
    EXPECT_TRUE(RecentList().saved().empty());
}

TEST(RecentLists, ThroughTheSettingsFile)
{
    const std::string folder = Sjis("C:\\リプレイ\\");
    ProfileFile profile = ProfileFile::FromBytes(
        "[Config]\r\nx=1\r\n"
        "[RecentRdxFile]\r\n0=/a.rdx\r\n2=/b.rdx\r\n5=/c.rdx\r\n"
        "[RecentFolder]\r\n0=" + folder + "\r\n1=\r\n");
    RecentLists lists;
    LoadRecentFiles(lists, profile);
    LoadRecentFolders(lists, profile);
    EXPECT_EQ(lists.files.items(), (Items{"/a.rdx", "/b.rdx", "/c.rdx"}));
    EXPECT_EQ(lists.folders.items(), (Items{folder}));

    AddRecentFile(lists, "/d.rdx");
    AddRecentFolder(lists, "/e/");
    SaveRecentFiles(lists, profile);
    SaveRecentFolders(lists, profile);
    const ProfileFile reread = ProfileFile::FromBytes(profile.bytes());
    EXPECT_EQ(reread.keyNames("RecentRdxFile"), (Items{"0", "1", "2", "3"}));
    EXPECT_EQ(reread.readString("RecentRdxFile", "0", ""), "/d.rdx");
    EXPECT_EQ(reread.readString("RecentRdxFile", "3", ""), "/c.rdx");
    EXPECT_EQ(reread.readString("RecentFolder", "0", ""), "/e/");
    EXPECT_EQ(reread.readString("RecentFolder", "1", ""), folder);
    EXPECT_EQ(reread.readString("Config", "x", ""), "1");   // other sections untouched

    RecentLists again;
    LoadRecentFiles(again, reread);
    LoadRecentFolders(again, reread);
    EXPECT_EQ(again.files.items(), lists.files.items());
    EXPECT_EQ(again.folders.items(), lists.folders.items());
}

TEST(RecentChecks, FolderPartOf)
{
    EXPECT_EQ(FolderPartOf("/a/b/c.rdx"), "/a/b/");
    EXPECT_EQ(FolderPartOf("/a/b/"), "/a/b/");
    EXPECT_EQ(FolderPartOf("c.rdx"), "");
    EXPECT_EQ(FolderPartOf(""), "");
}

TEST(RecentChecks, ChoosingARecentFile)
{
    test::TempDir dir;
    const std::string list = dir.write("lists/a.rdx", "x");
    EXPECT_EQ(CheckRecentFile(list), kRecentFileOpen);
    EXPECT_EQ(CheckRecentFile(dir.file("lists/gone.rdx")), kRecentFileMissing);
    EXPECT_EQ(CheckRecentFile(dir.file("lists")), kRecentFileMissing);   // a folder is no file
    EXPECT_EQ(CheckRecentFile(dir.file("gone/a.rdx")), kRecentFileNoFolder);
    EXPECT_EQ(CheckRecentFile("a.rdx"), kRecentFileNoFolder);
    EXPECT_EQ(RecentFileMessage(kRecentFileNoFolder),
              Sjis("パスが存在しない為、ファイルを開けません。"));
    EXPECT_EQ(RecentFileMessage(kRecentFileMissing), Sjis("ファイルが存在しません。"));
    EXPECT_EQ(RecentFileMessage(kRecentFileOpen), "");
}

TEST(RecentChecks, RecentFolderStartsAtTheDeepestExistingFolder)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "a/b");
    const std::string base = dir.path().string();
    EXPECT_EQ(RecentFolderStart(base + "/a/b/"), base + "/a/b/");
    // The last two levels were deleted.
    EXPECT_EQ(RecentFolderStart(base + "/a/b/c/d/"), base + "/a/b/");
    EXPECT_EQ(RecentFolderStart(base + "/x/"), base + "/");

    // With a drive-like first part and a made-up file system.
    const auto exists = [](const std::string& p) { return p == "C:/" || p == "C:/one/"; };
    EXPECT_EQ(RecentFolderStart("C:/one/two/three/", exists), "C:/one/");
    EXPECT_EQ(RecentFolderStart("D:/one/", exists), "");
    EXPECT_EQ(RecentFolderStart("", exists), "");
}

}  // namespace
}  // namespace replidex
