// The main window's rules that need no window: the caption, path splitting
// and the start-up check of the game folder.
#include <gtest/gtest.h>

#include <set>

#include "core/text/SjisCodec.h"
#include "gui/main/DocumentState.h"
#include "gui/main/GameFolderCheck.h"

namespace replidex {
namespace {

TEST(WindowCaption, FollowsTheDocumentState)
{
    struct Case {
        const char* name;
        const char* folder;
        bool modified;
        const char* caption;
    };
    const std::vector<Case> cases = {
        {"", "", false, "Replidex"},
        {"", "/x/", true, "Replidex"},
        {"無題.rdx", "", false, "無題.rdx"},
        {"無題.rdx", "", true, "(変更)無題.rdx"},
        {"a.rdx", "/home/u/", false, "/home/u/a.rdx"},
        {"a.rdx", "/home/u/", true, "(変更)/home/u/a.rdx"},
    };
    for (const Case& c : cases) {
        DocumentState state;
        state.FileName = Sjis(c.name);
        state.FileFolder = c.folder;
        state.Modified = c.modified;
        EXPECT_EQ(WindowCaption(state), Sjis(c.caption)) << c.caption;
    }
}

TEST(SplitSjisPath, CutsAfterTheLastDelimiter)
{
    struct Case {
        std::string path;
        std::string folder;
        std::string name;
    };
    const std::string so = "\x83\x5C";   // a character whose second byte is a backslash
    const std::vector<Case> cases = {
        {"/a/b/list.rdx", "/a/b/", "list.rdx"},
        {"list.rdx", "", "list.rdx"},
        {"/list.rdx", "/", "list.rdx"},
        {"/a/b/", "/a/b/", ""},
        {"/a/" + so + "/" + so + ".rdx", "/a/" + so + "/", so + ".rdx"},
        {"", "", ""},
        {std::string("/a/\x81"), "/a/", "\x81"},   // a lead byte at the very end
    };
    for (const Case& c : cases) {
        std::string folder, name;
        SplitSjisPath(c.path, folder, name);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

struct FolderCase {
    const char* what;
    std::string stored;
    std::string defaultFolder;
    std::string chosen;
    GameFolderCheck result;
    std::string after;
    bool asked;
};

TEST(GameFolderCheck, LooksForAUsableFolderInOrder)
{
    const std::set<std::string> existing = {"/game", "/default", "/picked"};
    const std::vector<FolderCase> cases = {
        {"stored folder exists", "/game", "/default", "/picked", GameFolderCheck::AlreadyUsable, "/game", false},
        {"default exists", "/gone", "/default", "/picked", GameFolderCheck::Found, "/default", false},
        {"empty stored, default exists", "", "/default", "", GameFolderCheck::Found, "/default", false},
        {"chooser answers", "", "/nodefault", "/picked", GameFolderCheck::Found, "/picked", true},
        {"chooser cancelled", "", "/nodefault", "", GameFolderCheck::NoneFound, "", true},
        {"chosen folder missing", "/gone", "", "/nowhere", GameFolderCheck::NoneFound, "", true},
    };
    for (const FolderCase& c : cases) {
        bool asked = false;
        GameFolderProbe probe;
        probe.isUsable = [&](const std::string& f) { return existing.count(f) > 0; };
        probe.defaultFolder = [&] { return c.defaultFolder; };
        probe.chooseFolder = [&] {
            asked = true;
            return c.chosen;
        };
        std::string path = c.stored;
        EXPECT_EQ(CheckGameFolder(path, probe), c.result) << c.what;
        EXPECT_EQ(path, c.after) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
    }
}

}  // namespace
}  // namespace replidex
