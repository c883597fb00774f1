#include "platform/GameFolder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "platform/SettingsLocation.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

// Points HOME, USER, WINEPREFIX and XDG_CONFIG_HOME at a temporary folder for
// one test and restores them afterwards.
class UserDirs : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : names_) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        home_ = (dir_.path() / "home").string();
        fs::create_directories(home_);
        ::setenv("HOME", home_.c_str(), 1);
        ::setenv("USER", "player", 1);
        ::unsetenv("WINEPREFIX");
        ::unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (saved_[i]) ::setenv(names_[i], saved_[i]->c_str(), 1);
            else ::unsetenv(names_[i]);
        }
    }
    std::string gameFolder(const std::string& prefix, const std::string& user, const char* layout)
    {
        return (fs::path(prefix) / "drive_c/users" / user / layout / "Sega/PuyoF").string();
    }

    test::TempDir dir_;
    std::string home_;
    const std::vector<const char*> names_ = {"HOME", "USER", "WINEPREFIX", "XDG_CONFIG_HOME"};
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(UserDirs, DefaultGameFolderLiesInTheWinePrefix)
{
    const std::string wine = home_ + "/.wine";
    // Nothing there yet: the current layout, which the start-up check rejects.
    EXPECT_EQ(DefaultGameFolder(), gameFolder(wine, "player", "AppData/Roaming"));
    EXPECT_FALSE(IsUsableGameFolder(DefaultGameFolder()));

    // Only the older layout exists: that one.
    fs::create_directories(gameFolder(wine, "player", "Application Data"));
    EXPECT_EQ(DefaultGameFolder(), gameFolder(wine, "player", "Application Data"));
    EXPECT_TRUE(IsUsableGameFolder(DefaultGameFolder()));

    // Both exist: the current layout wins.
    fs::create_directories(gameFolder(wine, "player", "AppData/Roaming"));
    EXPECT_EQ(DefaultGameFolder(), gameFolder(wine, "player", "AppData/Roaming"));

    // WINEPREFIX and a user name that is not ASCII (answered in Shift-JIS).
    const std::string prefix = (dir_.path() / "prefix").string();
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    ::setenv("USER", "ぷよ", 1);
    const std::string native = gameFolder(prefix, "ぷよ", "AppData/Roaming");
    EXPECT_EQ(DefaultGameFolder(), Sjis(native));
    fs::create_directories(native);
    EXPECT_TRUE(IsUsableGameFolder(DefaultGameFolder()));

    // No USER: the login name of the process.
    ::unsetenv("USER");
    const passwd* pw = ::getpwuid(::getuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(DefaultGameFolder(), gameFolder(prefix, pw->pw_name, "AppData/Roaming"));
}

TEST_F(UserDirs, OnlyExistingFoldersAreUsable)
{
    const std::string file = dir_.write("file", "x");
    EXPECT_FALSE(IsUsableGameFolder(""));
    EXPECT_FALSE(IsUsableGameFolder(file));
    EXPECT_FALSE(IsUsableGameFolder(home_ + "/missing"));
    EXPECT_TRUE(IsUsableGameFolder(home_));
    EXPECT_TRUE(IsUsableGameFolder(home_ + "/"));
    EXPECT_FALSE(IsUsableGameFolder("\x81"));  // not Shift-JIS
}

TEST_F(UserDirs, SettingsFileNextToProgramOrInConfigFolder)
{
    const std::string program = (dir_.path() / "program").string();
    fs::create_directories(program);
    // A writable program folder: portable use.
    EXPECT_EQ(SettingsFilePath(program), program + "/replidex.ini");
    EXPECT_EQ(SettingsFilePath(program + "/"), program + "/replidex.ini");

    // A program folder that cannot take the file: the configuration folder.
    const std::string missing = (dir_.path() / "nowhere").string();
    EXPECT_EQ(SettingsFilePath(missing), home_ + "/.config/replidex/replidex.ini");
    const std::string xdg = (dir_.path() / "xdg").string();
    ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    EXPECT_EQ(SettingsFilePath(missing), xdg + "/replidex/replidex.ini");
    ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // ignored
    EXPECT_EQ(SettingsFilePath(missing), home_ + "/.config/replidex/replidex.ini");

    // Saving there creates the folder.
    ProfileFile file(SettingsFilePath(missing));
    ASSERT_TRUE(file.writeString("Config", "PuyoFPath", "x"));
    ASSERT_TRUE(file.save());
    EXPECT_TRUE(fs::is_regular_file(home_ + "/.config/replidex/replidex.ini"));

    if (::geteuid() != 0) {  // root may write anywhere
        const std::string locked = (dir_.path() / "locked").string();
        fs::create_directories(locked);
        ::chmod(locked.c_str(), 0555);
        EXPECT_EQ(SettingsFilePath(locked), home_ + "/.config/replidex/replidex.ini");
        ::chmod(locked.c_str(), 0755);
        dir_.write("locked/replidex.ini", "");
        ::chmod(locked.c_str(), 0555);
        EXPECT_EQ(SettingsFilePath(locked), locked + "/replidex.ini");  // it exists there
        ::chmod(locked.c_str(), 0755);
    }
}

}  // namespace
}  // namespace replidex
