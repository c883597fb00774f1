// The Windows side of the operating-system services: the recycle bin, the
// game's default folder and where the settings file lives. Run under Wine
// by `make test-windows`.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "core/file/NativeFiles.h"
#include "core/text/SjisCodec.h"
#include "platform/GameFolder.h"
#include "platform/SettingsLocation.h"
#include "platform/Trash.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(RecycleBin, AFileWithAJapaneseNameGoesThereAndOthersStay)
{
    TempDir dir;
    const std::string doomed = dir.write("削除する.RPD", "x");
    const std::string kept = dir.write("残す.RPD", "y");
    std::error_code error;
    EXPECT_EQ(MoveToTrash(doomed, error), TrashResult::Trashed) << error.message();
    EXPECT_FALSE(fs::exists(FsPath(doomed)));
    EXPECT_TRUE(fs::exists(FsPath(kept)));
    // A file that is not there: a failure, nothing else happens.
    EXPECT_EQ(MoveToTrash(dir.file("無い.RPD"), error), TrashResult::Failed);
    EXPECT_TRUE(fs::exists(FsPath(kept)));
}

std::string UserName()
{
    wchar_t user[256] = {};
    DWORD size = 256;
    EXPECT_TRUE(GetUserNameW(user, &size));
    return NativePathOf(fs::path(user));
}

std::string RoamingFolder()
{
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData ? NativePathOf(fs::path(appData)) : std::string();
}

TEST(DefaultGameFolder, TheProfilesCurrentFolderUnlessOnlyTheOlderOneExists)
{
    const std::string roaming = RoamingFolder();
    ASSERT_FALSE(roaming.empty());
    const fs::path current = FsPath(roaming) / "Sega" / "PuyoF";
    const fs::path older = FsPath("C:\\Documents and Settings\\" + UserName() + "\\Application Data\\Sega\\PuyoF");
    std::error_code ec;
    if (fs::exists(current, ec) || fs::exists(older, ec)) GTEST_SKIP() << "the game's folder exists here";

    EXPECT_EQ(NativePathFromSjis(DefaultGameFolder()), NativePathOf(current));
    fs::create_directories(older, ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_EQ(NativePathFromSjis(DefaultGameFolder()), NativePathOf(older));
    EXPECT_TRUE(IsUsableGameFolder(DefaultGameFolder()));
    fs::create_directories(current, ec);
    EXPECT_EQ(NativePathFromSjis(DefaultGameFolder()), NativePathOf(current));

    fs::remove_all(FsPath("C:\\Documents and Settings"), ec);
    fs::remove(current, ec);
    fs::remove(current.parent_path(), ec);
}

TEST(SettingsLocation, NextToTheProgramInAWritableFolder)
{
    TempDir dir;
    const std::string folder = NativePathOf(dir.path() / "プログラム");
    fs::create_directories(FsPath(folder));
    EXPECT_EQ(SettingsFilePath(folder), NativePathOf(FsPath(folder) / "replidex.ini"));
    EXPECT_EQ(SettingsFilePath(folder + "\\"), NativePathOf(FsPath(folder + "\\") / "replidex.ini"));
    EXPECT_EQ(UserConfigFolder(), RoamingFolder());
}

}  // namespace
}  // namespace replidex
