#include "platform/Launcher.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

// The program folder of a build tree (build/bin) and of an install
// (PREFIX/bin), each with the help page where the build puts it.
class HelpPage : public testing::Test {
protected:
    std::string programFolder() const { return (dir_.path() / "prefix" / "bin").string(); }
    std::string besideProgram() const { return dir_.file("prefix/bin/help/index.html"); }
    std::string installed() const { return dir_.file("prefix/share/replidex/help/index.html"); }
    void SetUp() override { fs::create_directories(programFolder()); }

    test::TempDir dir_;
};

TEST_F(HelpPage, BuildTreeFindsThePageBesideTheProgram)
{
    dir_.write("prefix/bin/help/index.html", "<html></html>");
    EXPECT_EQ(HelpPagePath(programFolder()), fs::canonical(besideProgram()).string());
    EXPECT_EQ(HelpPagePath(programFolder() + "/"), fs::canonical(besideProgram()).string());
}

TEST_F(HelpPage, InstalledProgramFindsThePageInTheDataFolder)
{
    dir_.write("prefix/share/replidex/help/index.html", "<html></html>");
    // Found through bin/../share, given as a path without "..".
    EXPECT_EQ(HelpPagePath(programFolder()), fs::canonical(installed()).string());
    EXPECT_EQ(HelpPagePath(programFolder()).find(".."), std::string::npos);
}

TEST_F(HelpPage, PageBesideTheProgramComesFirst)
{
    dir_.write("prefix/bin/help/index.html", "<html></html>");
    dir_.write("prefix/share/replidex/help/index.html", "<html></html>");
    EXPECT_EQ(HelpPagePath(programFolder()), fs::canonical(besideProgram()).string());
}

TEST_F(HelpPage, NoPageAnswersEmptyAndOpenHelpFails)
{
    // A folder named like the page is no page.
    fs::create_directories(besideProgram());
    EXPECT_EQ(HelpPagePath(programFolder()), "");
    EXPECT_EQ(HelpPagePath(""), "");
    EXPECT_FALSE(OpenHelp(programFolder()));
}

}  // namespace
}  // namespace replidex
