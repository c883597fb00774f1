// Moving files to the freedesktop trash, against a temporary XDG_DATA_HOME.
#include "platform/Trash.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* value = std::getenv("XDG_DATA_HOME")) saved_ = value;
        dataHome = (dir.path() / "data").string();
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    }
    void TearDown() override
    {
        if (saved_) ::setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else ::unsetenv("XDG_DATA_HOME");
    }

    test::TempDir dir;
    std::string dataHome;

private:
    std::optional<std::string> saved_;
};

TEST(TrashInfo, PathsAreUrlEncoded)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/g/PuyoF/REPLAY00.RPD", "/g/PuyoF/REPLAY00.RPD"},
        {"/a b/c%d.RPD", "/a%20b/c%25d.RPD"},
        {"/\xE3\x81\xB7/x~_-.rpd", "/%E3%81%B7/x~_-.rpd"},
        {"rel/a#b?.rpd", "rel/a%23b%3F.rpd"},
    };
    for (const auto& [path, encoded] : cases) EXPECT_EQ(TrashInfoPath(path), encoded) << path;

    const std::string text = TrashInfoText("/a%20b", 0);
    EXPECT_TRUE(std::regex_match(
        text, std::regex("\\[Trash Info\\]\nPath=/a%20b\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << text;
}

TEST_F(TrashTest, HomeTrashFollowsXdgDataHome)
{
    EXPECT_EQ(HomeTrashFolder(), dataHome + "/Trash");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(HomeTrashFolder(), std::string(home ? home : "") + "/.local/share/Trash");
}

TEST_F(TrashTest, FilesGoToTheHomeTrashWithUniqueNames)
{
    const std::string first = dir.write("game/REPLAY00.RPD", "first");
    std::error_code error;
    ASSERT_EQ(MoveToTrash(first, error), TrashResult::Trashed) << error.message();
    EXPECT_FALSE(fs::exists(first));
    const fs::path trash = fs::path(dataHome) / "Trash";
    EXPECT_EQ(test::ReadWholeFile((trash / "files/REPLAY00.RPD").string()), "first");
    const std::string info = test::ReadWholeFile((trash / "info/REPLAY00.RPD.trashinfo").string());
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + TrashInfoPath(first) + "\nDeletionDate=", 0), 0u) << info;
    EXPECT_EQ(fs::status(trash).permissions() & fs::perms::all, fs::perms::owner_all);

    // A second file of the same name, and one with a space and Japanese.
    const std::string second = dir.write("game/REPLAY00.RPD", "second");
    ASSERT_EQ(MoveToTrash(second, error), TrashResult::Trashed);
    EXPECT_EQ(test::ReadWholeFile((trash / "files/REPLAY00.RPD.2").string()), "second");
    EXPECT_TRUE(fs::exists(trash / "info/REPLAY00.RPD.2.trashinfo"));
    const std::string odd = dir.write("game/\xE3\x81\xB7 1.rpd", "odd");
    ASSERT_EQ(MoveToTrash(odd, error), TrashResult::Trashed);
    EXPECT_NE(test::ReadWholeFile((trash / "info/\xE3\x81\xB7 1.rpd.trashinfo").string()).find("%E3%81%B7%201.rpd"),
              std::string::npos);

    // A name whose file is in files/ without its info is not replaced.
    dir.write("data/Trash/files/x.rpd", "stray");
    const std::string x = dir.write("game/x.rpd", "x");
    ASSERT_EQ(MoveToTrash(x, error), TrashResult::Trashed);
    EXPECT_EQ(test::ReadWholeFile((trash / "files/x.rpd").string()), "stray");
    EXPECT_EQ(test::ReadWholeFile((trash / "files/x.rpd.2").string()), "x");
    EXPECT_FALSE(fs::exists(trash / "info/x.rpd.trashinfo"));

    EXPECT_EQ(MoveToTrash(dir.file("game/missing.rpd"), error), TrashResult::Failed);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

TEST_F(TrashTest, LinksGoThemselves)
{
    const std::string target = dir.write("keep.rpd", "keep");
    const std::string link = dir.file("game/link.rpd");
    fs::create_directories(dir.path() / "game");
    fs::create_symlink(target, link);
    std::error_code error;
    ASSERT_EQ(MoveToTrash(link, error), TrashResult::Trashed);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(fs::path(dataHome) / "Trash/files/link.rpd")));
    EXPECT_EQ(test::ReadWholeFile(target), "keep");
}

// A file on another device goes to that device's own trash, with a path
// relative to its top folder. Runs where /dev/shm is a device of its own.
TEST_F(TrashTest, FileOnAnotherDeviceGoesToItsTopFolderTrash)
{
    struct stat shm {}, data {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(dir.path().c_str(), &data) != 0 || shm.st_dev == data.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no writable /dev/shm on a device of its own";
    const std::string top = "/dev/shm";
    const std::string own = top + "/.Trash-" + std::to_string(::getuid());
    const bool hadTrash = fs::exists(own);
    char name[] = "/dev/shm/replidex-trash-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const std::string file = std::string(name) + "/REPLAY01.RPD";
    { std::FILE* f = std::fopen(file.c_str(), "w"); ASSERT_NE(f, nullptr); std::fclose(f); }

    std::error_code error;
    const TrashResult result = MoveToTrash(file, error);
    const std::string leaf = fs::path(name).filename().string();
    const std::string info = test::ReadWholeFile(own + "/info/REPLAY01.RPD.trashinfo");
    const bool inTrash = fs::exists(own + "/files/REPLAY01.RPD");
    // Leave /dev/shm as it was.
    fs::remove(own + "/files/REPLAY01.RPD", error);
    fs::remove(own + "/info/REPLAY01.RPD.trashinfo", error);
    if (!hadTrash) fs::remove_all(own, error);
    fs::remove_all(name, error);

    EXPECT_EQ(result, TrashResult::Trashed);
    EXPECT_TRUE(inTrash);
    EXPECT_NE(info.find("\nPath=" + leaf + "/REPLAY01.RPD\n"), std::string::npos) << info;
}

}  // namespace
}  // namespace replidex
