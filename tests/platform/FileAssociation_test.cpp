// The file association on a Linux desktop, against temporary XDG folders:
// the desktop entry and MIME type of the class, the user's default with its
// backup, what the desktop's own tools answer afterwards, and that nothing is
// written anywhere else.
#include "platform/FileAssociation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/DesktopIdentity.h"
#include "platform/XdgDefaults.h"
#include "platform/XdgEntries.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

const std::string kType(kListMimeType);
const std::string kOurs(kDesktopFileName);

// Answers what a command prints on its standard output, without the final
// line break.
std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        ::pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

bool Installed(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Every XDG variable (and HOME) points into a temporary folder for one test;
// the desktop is a generic one, as in a session without a desktop.
class Association : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        for (const char* sub : {"home", "data", "config", "share", "etc"})
            fs::create_directories(dir.path() / sub);
        ::setenv("HOME", dir.file("home").c_str(), 1);
        ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", dir.file("share").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", dir.file("etc").c_str(), 1);
        ::setenv("XDG_CURRENT_DESKTOP", "X-Generic", 1);
        ::unsetenv("XDG_MENU_PREFIX");
        program = MakeProgram("bin/replidex");
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < std::size(kVariables); ++i) {
            if (saved_[i]) ::setenv(kVariables[i], saved_[i]->c_str(), 1);
            else ::unsetenv(kVariables[i]);
        }
    }

    std::string MakeProgram(const std::string& name) const
    {
        const std::string path = dir.write(name, "#!/bin/sh\nexit 0\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    // Another application that opens list files, installed for the user.
    void InstallOther(const std::string& desktopName, bool runnable = true)
    {
        const std::string exec = runnable ? MakeProgram("bin/" + desktopName + "-bin")
                                          : dir.file("bin/missing-program");
        dir.write("data/applications/" + desktopName,
                  "[Desktop Entry]\nType=Application\nName=Other\nExec=" + exec +
                      " %f\nMimeType=" + kType + ";\n");
    }
    std::string MimeApps() const { return test::ReadWholeFile(dir.file("config/mimeapps.list")); }
    std::string Entry() const { return dir.file("data/applications/" + kOurs); }
    std::string Package() const { return dir.file("data/mime/packages/" + std::string(kMimePackageFileName)); }
    bool Associate() const
    {
        return RegisterFileClass(kListFileClass, program, true) == 1 &&
               AssociateExtension(kListFileExtension, kListFileClass) == 1;
    }
    bool Unassociate() const
    {
        return UnassociateExtension(kListFileExtension, kListFileClass) == 1 &&
               UnregisterFileClass(kListFileClass) == 1;
    }

    test::TempDir dir;
    std::string program;

private:
    static constexpr const char* kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                                 "XDG_DATA_DIRS", "XDG_CONFIG_DIRS",
                                                 "XDG_CURRENT_DESKTOP", "XDG_MENU_PREFIX"};
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(Association, RegisteringWritesTheDesktopEntryAndTheListFileType)
{
    ASSERT_EQ(RegisterFileClass(kListFileClass, program, true), 1);
    const std::string entry = test::ReadWholeFile(Entry());
    EXPECT_NE(entry.find("\nExec=" + program + " %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=application/x-replidex-list;\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=io.github.replidex.Replidex\n"), std::string::npos);
    const std::string package = test::ReadWholeFile(Package());
    EXPECT_NE(package.find("<glob pattern=\"*.rdx\"/>"), std::string::npos);
    EXPECT_NE(package.find("<match type=\"little32\" value=\"1000\" offset=\"0\"/>"), std::string::npos);

    // An existing class keeps its command, even for a program that moved.
    const std::string moved = MakeProgram("elsewhere/replidex");
    EXPECT_EQ(RegisterFileClass(kListFileClass, moved, true), 1);
    EXPECT_EQ(test::ReadWholeFile(Entry()), entry);

    if (Installed("update-mime-database")) {
        EXPECT_NE(test::ReadWholeFile(dir.file("data/mime/globs2")).find(kType + ":*.rdx"),
                  std::string::npos);
    }
    if (Installed("update-desktop-database")) {
        EXPECT_NE(test::ReadWholeFile(dir.file("data/applications/mimeinfo.cache")).find(kType + "=" + kOurs),
                  std::string::npos);
    }
}

TEST_F(Association, TheIconIsTheFileBesideTheProgramWhenThereIsOne)
{
    dir.write("bin/replidex.svg", "<svg/>");
    ASSERT_EQ(RegisterFileClass(kListFileClass, program, true), 1);
    EXPECT_NE(test::ReadWholeFile(Entry()).find("\nIcon=" + dir.file("bin/replidex.svg") + "\n"),
              std::string::npos);
    ASSERT_EQ(UnregisterFileClass(kListFileClass), 1);
    ASSERT_EQ(RegisterFileClass(kListFileClass, program, false), 1);
    EXPECT_EQ(test::ReadWholeFile(Entry()).find("Icon="), std::string::npos);
}

TEST_F(Association, UndoingGivesTheUsersDefaultBack)
{
    struct Case {
        const char* what;
        std::optional<std::string> mimeApps;   // the user's file before; none: no file
        std::optional<std::string> previous;   // the backup kept
        std::optional<std::string> after;      // the user's entry after undoing
    } const cases[] = {
        {"over another default", "[Default Applications]\n" + kType + "=other.desktop\ntext/plain=ed.desktop\n",
         "other.desktop", "other.desktop"},
        {"over a list of defaults", "# mine\n[Default Applications]\n" + kType + "=other.desktop;third.desktop;\n",
         "other.desktop;third.desktop;", "other.desktop;third.desktop;"},
        {"no default before", "[Added Associations]\ntext/plain=ed.desktop;\n", "", std::nullopt},
        {"no mimeapps.list before", std::nullopt, "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(dir.file("config/mimeapps.list"));
        if (c.mimeApps) dir.write("config/mimeapps.list", *c.mimeApps);

        ASSERT_TRUE(Associate());
        EXPECT_EQ(UserDefaultEntry(kType), kOurs);
        EXPECT_EQ(PreviousDefault(kType), c.previous);
        EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 1);

        ASSERT_TRUE(Unassociate());
        EXPECT_EQ(UserDefaultEntry(kType), c.after);
        EXPECT_EQ(PreviousDefault(kType), std::nullopt);
        EXPECT_FALSE(fs::exists(dir.file("config/replidex/mimeapps-backup.list")));
        EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 0);
        if (c.after) {
            EXPECT_EQ(MimeApps(), *c.mimeApps);   // byte for byte as before
        }
    }
}

TEST_F(Association, AssociatingTwiceKeepsTheFirstBackup)
{
    dir.write("config/mimeapps.list", "[Default Applications]\n" + kType + "=other.desktop\n");
    ASSERT_TRUE(Associate());
    ASSERT_TRUE(Associate());
    EXPECT_EQ(PreviousDefault(kType), "other.desktop");
    ASSERT_TRUE(Unassociate());
    EXPECT_EQ(UserDefaultEntry(kType), "other.desktop");
}

TEST_F(Association, ADefaultTheUserChoseSinceStays)
{
    ASSERT_TRUE(Associate());
    ASSERT_TRUE(SetUserDefaultEntry(kType, "third.desktop"));
    ASSERT_TRUE(Unassociate());
    EXPECT_EQ(UserDefaultEntry(kType), "third.desktop");
    EXPECT_EQ(PreviousDefault(kType), std::nullopt);
}

TEST_F(Association, IsExtensionAssociatedAnswersWhatTheDesktopUses)
{
    EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 0);
    ASSERT_TRUE(Associate());
    EXPECT_EQ(IsExtensionAssociated(".RDX", kListFileClass), 1);   // case of the extension
    EXPECT_EQ(IsExtensionAssociated(".rdy", kListFileClass), 0);
    EXPECT_EQ(IsExtensionAssociated(kListFileExtension, "Other_File"), 0);

    // A desktop-specific list of the current desktop comes first.
    InstallOther("other.desktop");
    dir.write("config/x-generic-mimeapps.list", "[Default Applications]\n" + kType + "=other.desktop\n");
    EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 0);
    // ... unless the application it names is not installed.
    InstallOther("other.desktop", false);
    EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 1);
}

TEST_F(Association, NamesOtherThanTheProgramsOwnAreRefused)
{
    EXPECT_EQ(RegisterFileClass("Other_File", program, true), 0);
    EXPECT_EQ(AssociateExtension(".txt", kListFileClass), 0);
    EXPECT_EQ(AssociateExtension(kListFileExtension, "Other_File"), 0);
    EXPECT_EQ(UnassociateExtension(".txt", kListFileClass), 0);
    EXPECT_EQ(UnregisterFileClass("Other_File"), 0);
    EXPECT_FALSE(fs::exists(dir.file("config/mimeapps.list")));
}

TEST_F(Association, UnregisteringRemovesTheFilesAndMayBeRepeated)
{
    ASSERT_EQ(RegisterFileClass(kListFileClass, program, true), 1);
    EXPECT_EQ(UnregisterFileClass(kListFileClass), 1);
    EXPECT_FALSE(fs::exists(Entry()));
    EXPECT_FALSE(fs::exists(Package()));
    EXPECT_EQ(UnregisterFileClass(kListFileClass), 1);
    EXPECT_EQ(UnassociateExtension(kListFileExtension, kListFileClass), 1);   // nothing to undo
}

TEST_F(Association, NothingIsWrittenOutsideTheUsersXdgFolders)
{
    dir.write("config/mimeapps.list", "[Default Applications]\n" + kType + "=other.desktop\n");
    ASSERT_TRUE(Associate());
    std::vector<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        if (entry.is_regular_file()) written.push_back(fs::relative(entry.path(), dir.path()).string());
    for (const std::string& file : written) {
        const bool inXdg = file.rfind("data/", 0) == 0 || file.rfind("config/", 0) == 0;
        EXPECT_TRUE(inXdg || file.rfind("bin/", 0) == 0) << file;
    }
    EXPECT_TRUE(fs::is_empty(dir.file("home")));
    EXPECT_TRUE(fs::is_empty(dir.file("share")));
    EXPECT_TRUE(fs::is_empty(dir.file("etc")));
}

TEST_F(Association, TheDesktopToolsNameTheProgramAfterAssociating)
{
    if (!Installed("xdg-mime")) GTEST_SKIP() << "xdg-mime is not installed";
    ASSERT_TRUE(Associate());
    EXPECT_EQ(Output("xdg-mime query default " + kType), kOurs);
    // xdg-mime asks the perl "mimetype" (File::MimeInfo) for a file's type
    // outside a known desktop; "file" alone does not read the MIME database.
    if (!Installed("mimetype") || !Installed("update-mime-database"))
        GTEST_SKIP() << "mimetype or update-mime-database is not installed";
    const std::string list = dir.write("x.rdx", "");
    EXPECT_EQ(Output("xdg-mime query filetype " + list), kType);
    const std::string unnamed = dir.write("unnamed", std::string("\xE8\x03\x00\x00\x01", 5));
    EXPECT_EQ(Output("xdg-mime query filetype " + unnamed), kType);   // by its version bytes
}

TEST_F(Association, QueryDefaultAgreesWithXdgMime)
{
    if (!Installed("xdg-mime")) GTEST_SKIP() << "xdg-mime is not installed";
    const auto check = [&](const char* what) {
        EXPECT_EQ(QueryDefaultApplication(kType), Output("xdg-mime query default " + kType)) << what;
    };
    check("nothing known");
    ASSERT_EQ(RegisterFileClass(kListFileClass, program, true), 1);
    check("registered, no default");
    InstallOther("other.desktop");
    dir.write("config/mimeapps.list", "[Default Applications]\n" + kType + "=other.desktop\n");
    check("another application is the default");
    InstallOther("other.desktop", false);
    check("the default cannot be run");
    ASSERT_EQ(AssociateExtension(kListFileExtension, kListFileClass), 1);
    check("associated");
    dir.write("share/applications/defaults.list", "[Default Applications]\n" + kType + "=sys.desktop\n");
    ASSERT_EQ(UnassociateExtension(kListFileExtension, kListFileClass), 1);
    check("a system default");
}

TEST(DesktopEntry, ExecArguments)
{
    struct Case {
        const char* path;
        const char* argument;
    } const cases[] = {
        {"/usr/bin/replidex", "/usr/bin/replidex"},
        {"/opt/my games/replidex", "\"/opt/my games/replidex\""},
        {"/opt/a\"b$c`d\\e/replidex", "\"/opt/a\\\"b\\$c\\`d\\\\e/replidex\""},
        {"/opt/100%/replidex", "/opt/100%%/replidex"},
        {"/opt/50% off/replidex", "\"/opt/50%% off/replidex\""},
        {"/opt/a&b/replidex", "\"/opt/a&b/replidex\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopExecArgument(c.path), c.argument) << c.path;
        // Written as a value and read back, the program is the path again.
        EXPECT_EQ(ExecProgram(DesktopStringValue(DesktopExecArgument(c.path) + " %f")), c.path) << c.path;
    }
    EXPECT_EQ(DesktopStringValue("a\\b\nc\td"), "a\\\\b\\nc\\td");
    EXPECT_EQ(ExecProgram("  env %f"), "env");
    EXPECT_EQ(ExecProgram(""), "");
}

}  // namespace
}  // namespace replidex
