// The recent list files and recent folders submenus: filled by opening and
// saving, by adding folders and from the settings file, written back on
// close, and what choosing an item does.
#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "GuiTestSupport.h"
#include "core/list/ListFile.h"
#include "core/settings/ProfileFile.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/main/RecentMenus.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

class RecentMenusTest : public ::testing::Test {
protected:
    void Start(const std::string& extraIni = {})
    {
        windows = test::MakeWindowsWithGameFolder(dir, extraIni);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }
    // Closes the program and starts it again over the same settings file.
    void Restart()
    {
        form->close();
        windows.reset();
        StartupOptions options;
        options.programFolder = dir.path().string() + "/program/";
        options.iniPath = IniPath();
        windows = std::make_unique<ApplicationWindows>(options);
        form = windows->mainWindow();
        form->show();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }
    std::string IniPath() const { return dir.path().string() + "/program/replidex.ini"; }
    std::string WriteList(const std::string& name)
    {
        ReplayDocument doc;
        doc.root = doc.addTopLevel("Root");
        const std::string path = dir.path().string() + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        EXPECT_TRUE(SaveListFileNative(path, doc));
        return path;
    }
    static QStringList Items(const QMenu* menu)
    {
        QStringList items;
        for (const QAction* action : menu->actions()) items << action->text();
        return items;
    }
    QStringList Files() const { return Items(form->ui().MMRecentFileList); }
    QStringList Folders() const { return Items(form->ui().MMRecentFolder); }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(RecentMenusTest, ElevenListsOpenedLeaveTheTenNewestNewestFirst)
{
    Start();
    QStringList opened;
    for (int i = 0; i < 11; ++i) {
        const std::string path = WriteList("list" + std::to_string(i) + ".rdx");
        form->OpenList(path, false);
        opened.prepend(QString::fromStdString(path));
    }
    opened.removeLast();   // the first one opened is gone
    EXPECT_EQ(Files(), opened);
}

TEST_F(RecentMenusTest, AListedFileMovesToTheTop)
{
    Start();
    const std::string a = WriteList("a.rdx");
    const std::string b = WriteList("b.rdx");
    const std::string c = WriteList("c.rdx");
    for (const std::string& path : {a, b, c, a}) form->OpenList(path, false);
    EXPECT_EQ(Files(), (QStringList{QString::fromStdString(a), QString::fromStdString(c),
                                    QString::fromStdString(b)}));
}

TEST_F(RecentMenusTest, SavingPutsTheFileOnTop)
{
    Start();
    const std::string a = WriteList("a.rdx");
    form->OpenList(a, false);
    const std::string copy = dir.path().string() + "/copy.rdx";
    ASSERT_EQ(form->commands().WriteList(copy), SaveOutcome::Saved);
    EXPECT_EQ(Files(), (QStringList{QString::fromStdString(copy), QString::fromStdString(a)}));
}

TEST_F(RecentMenusTest, KeysWithGapsLoadInOrderAndSaveFromZero)
{
    Start("[RecentRdxFile]\n0=/x/a.rdx\n2=/x/b.rdx\n5=/x/c.rdx\n"
          "[RecentFolder]\n3=/y/\n1=\n");
    EXPECT_EQ(Files(), (QStringList{"/x/a.rdx", "/x/b.rdx", "/x/c.rdx"}));
    EXPECT_EQ(Folders(), (QStringList{"/y/"}));
    form->close();
    const ProfileFile ini(IniPath());
    EXPECT_EQ(ini.keyNames("RecentRdxFile"), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(ini.readString("RecentRdxFile", "2", ""), "/x/c.rdx");
    EXPECT_EQ(ini.keyNames("RecentFolder"), (std::vector<std::string>{"0"}));
}

TEST_F(RecentMenusTest, TheMenusAreFilledAgainAfterARestart)
{
    Start();
    const std::string a = WriteList("a.rdx");
    const std::string b = WriteList("b.rdx");
    form->OpenList(a, false);
    form->OpenList(b, false);
    const std::string folder = dir.path().string() + "/replays";
    fs::create_directories(folder);
    test::Responders responders;
    responders.dialogAnswers = {{QString::fromStdString(folder)}};
    form->ui().MMAddFolder->trigger();
    const QStringList files = Files();
    EXPECT_EQ(Folders(), (QStringList{QString::fromStdString(folder + "/")}));
    Restart();
    EXPECT_EQ(Files(), files);
    EXPECT_EQ(Folders(), (QStringList{QString::fromStdString(folder + "/")}));
}

TEST_F(RecentMenusTest, AnAmpersandInAPathIsShownAsIs)
{
    Start();
    const std::string path = WriteList("R&D/a&b.rdx");
    form->OpenList(path, false);
    const QAction* item = form->ui().MMRecentFileList->actions().value(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QString::fromStdString(path).replace("&", "&&"));
    EXPECT_EQ(item->iconText(), QString::fromStdString(path));   // as the menu shows it
    EXPECT_EQ(MenuCaptionOf("&&"), QStringLiteral("&&&&"));
}

TEST_F(RecentMenusTest, ChoosingARecentFile)
{
    const std::string listed = WriteList("lists/a.rdx");
    const std::string gone = dir.path().string() + "/lists/gone.rdx";
    const std::string noFolder = dir.path().string() + "/nowhere/b.rdx";
    Start("[RecentRdxFile]\n0=" + listed + "\n1=" + gone + "\n2=" + noFolder + "\n");
    struct Case {
        std::string path;
        QString message;
        bool opened;
    } const cases[] = {
        {noFolder, QStringLiteral("パスが存在しない為、ファイルを開けません。"), false},
        {gone, QStringLiteral("ファイルが存在しません。"), false},
        {listed, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        form->commands().Close();
        test::Responders responders;
        responders.messageAnswers = {kAnswerOk};
        const int index = static_cast<int>(Files().indexOf(QString::fromStdString(c.path)));
        ASSERT_GE(index, 0);
        form->ui().MMRecentFileList->actions()[index]->trigger();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(responders.messages.empty());
        } else {
            ASSERT_EQ(responders.messages.size(), 1u);
            EXPECT_EQ(responders.messages[0].text, c.message);
            EXPECT_EQ(responders.messages[0].buttons, MessageButtons::Ok);
        }
        EXPECT_EQ(form->document().isOpen(), c.opened);
        // The item stays, at the top.
        EXPECT_EQ(Files().size(), 3);
        EXPECT_EQ(Files().value(0), QString::fromStdString(c.path));
    }
}

TEST_F(RecentMenusTest, ARecentFolderWhoseLastLevelsWereDeletedStartsTheChooserDeepest)
{
    const std::string base = dir.path().string() + "/a/b";
    fs::create_directories(base + "/c/d");
    fs::remove_all(base + "/c");
    Start("[RecentFolder]\n0=/somewhere/else/\n1=" + base + "/c/d/\n");
    test::Responders responders;   // the chooser is cancelled
    form->ui().MMRecentFolder->actions()[1]->trigger();
    ASSERT_EQ(responders.dialogs.size(), 1u);
    EXPECT_EQ(responders.dialogs[0].kind, FileDialogKind::Folder);
    EXPECT_EQ(responders.dialogs[0].startFolder, QString::fromStdString(base + "/"));
    EXPECT_EQ(Folders(), (QStringList{QString::fromStdString(base + "/c/d/"), "/somewhere/else/"}));

    // A folder chosen there is added and goes to the top.
    responders.dialogAnswers = {{QString::fromStdString(base)}};
    form->ui().MMRecentFolder->actions()[0]->trigger();
    EXPECT_EQ(Folders().value(0), QString::fromStdString(base + "/"));
    EXPECT_EQ(Folders().size(), 3);
}

}  // namespace
}  // namespace replidex
