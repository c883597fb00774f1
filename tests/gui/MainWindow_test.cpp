// The main window driven as a user would: start-up, the document commands,
// the ask-to-save prompt, captions, the save button and shut-down.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "GuiTestSupport.h"
#include "core/list/ListFile.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/search/SearchWindow.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

const QString kPrompt = QStringLiteral("ファイルは変更されています。\n保存しますか？");

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        programFolder = dir.path().string() + "/program/";
        fs::create_directories(programFolder);
        gameFolder = dir.path().string() + "/PuyoF";
        fs::create_directories(gameFolder);
        iniPath = programFolder + "replidex.ini";
        // The default game folder must not exist unless a test makes it.
        setenv("WINEPREFIX", (dir.path() / "wine").c_str(), 1);
        setenv("USER", "tester", 1);
    }

    void WriteIni(const std::string& puyoF)
    {
        dir.write("program/replidex.ini", "[Config]\nPuyoFPath=" + puyoF + "\n");
    }

    // Starts the program with `arguments` and runs its start-up sequence.
    void Start(QStringList arguments = {})
    {
        StartupOptions options;
        options.arguments = std::move(arguments);
        options.programFolder = programFolder;
        options.iniPath = iniPath;
        windows = std::make_unique<ApplicationWindows>(options);
        form = windows->mainWindow();
        form->show();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }

    // A list file with a root holding `entries` entries and one sub-folder.
    std::string WriteList(const std::string& name, int entries = 3)
    {
        ReplayDocument doc;
        doc.root = doc.addTopLevel("Root");
        doc.root->addChild(Sjis("フォルダ"));
        for (int i = 0; i < entries; ++i)
            test::AddEntry(doc, *doc.root, dir.path().string() + "/r/", "REPLAY0" + std::to_string(i) + ".RPD");
        const std::string path = dir.path().string() + "/" + name;
        EXPECT_TRUE(SaveListFileNative(path, doc));
        return path;
    }

    QString Caption() const { return form->windowTitle(); }
    bool SaveButtonEnabled() const { return form->ui().SpdBtnSaveRdx->isEnabled(); }
    std::string IniValue(const char* section, const char* key) const
    {
        return ProfileFile(iniPath).readString(section, key, "<none>");
    }

    test::TempDir dir;
    std::string programFolder;
    std::string gameFolder;
    std::string iniPath;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(MainWindowTest, StartWithoutArgumentOpensAnUntitledList)
{
    WriteIni(gameFolder);
    test::Responders responders;
    Start();
    EXPECT_EQ(Caption(), QStringLiteral("無題.rdx"));
    EXPECT_EQ(form->document().FileName, Sjis("無題.rdx"));
    EXPECT_TRUE(form->document().FileFolder.empty());
    ASSERT_NE(form->document().RootNode(), nullptr);
    EXPECT_EQ(form->document().RootNode()->name, "Root");
    EXPECT_EQ(form->treeModel().rowCount(), 1);
    EXPECT_EQ(form->treeModel().folderAt(form->ui().TreeView->currentIndex()), form->document().RootNode());
    EXPECT_TRUE(SaveButtonEnabled());
    EXPECT_TRUE(form->ui().MMSaveFileList->isEnabled());
    EXPECT_TRUE(form->ui().TreeView->isEnabled());
    EXPECT_FALSE(form->document().Modified);
    EXPECT_EQ(form->ui().StatusText->text(), QStringLiteral("フォルダ:0個 ファイル:0個"));
    EXPECT_TRUE(responders.messages.empty());
    EXPECT_TRUE(responders.dialogs.empty());
    // The windows are made once; only the main window is shown.
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(windows->version->isVisible());
    EXPECT_FALSE(windows->search->isVisible());
}

TEST_F(MainWindowTest, WindowGeometryAndPanes)
{
    WriteIni(gameFolder);
    Start();
    EXPECT_EQ(form->size(), QSize(911, 557));
    EXPECT_EQ(form->ui().TreeView->width(), 175);
    EXPECT_EQ(form->ui().Splitter->handleWidth(), 4);
    EXPECT_EQ(form->ui().ToolBar->height(), 30);
    const QHeaderView* header = form->ui().List->header();
    EXPECT_TRUE(header->sectionsMovable());
    EXPECT_EQ(header->sectionSize(0), 110);
    EXPECT_EQ(header->sectionSize(1), 200);
}

TEST_F(MainWindowTest, OnlyTheFirstOfTwoArgumentsIsOpened)
{
    WriteIni(gameFolder);
    const std::string first = WriteList("first.rdx", 2);
    const std::string second = WriteList("second.rdx", 5);
    Start({QString::fromStdString(first), QString::fromStdString(second)});
    EXPECT_EQ(Caption(), QString::fromStdString(first));
    EXPECT_EQ(form->document().FileName, "first.rdx");
    EXPECT_EQ(form->document().FileFolder, dir.path().string() + "/");
    EXPECT_EQ(form->document().list.pool.size(), 2);
    // Opening shows the root: its folder row, then its entries.
    EXPECT_EQ(form->rowModel().rowCount(), 3);
    EXPECT_EQ(form->RowState(0), 4);
    EXPECT_EQ(form->RowState(99), 5);
    EXPECT_FALSE(SaveButtonEnabled());
    EXPECT_TRUE(form->ui().MMSaveFileList->isEnabled());
    EXPECT_TRUE(form->ui().TreeView->isExpanded(form->treeModel().index(0, 0)));
}

TEST_F(MainWindowTest, UnreadableFirstArgumentLeavesNoListOpen)
{
    WriteIni(gameFolder);
    test::Responders responders;
    Start({QString::fromStdString(dir.path().string() + "/missing.rdx")});
    EXPECT_EQ(Caption(), QStringLiteral("Replidex"));
    EXPECT_FALSE(form->document().isOpen());
    EXPECT_EQ(form->document().RootNode(), nullptr);
    EXPECT_EQ(form->treeModel().rowCount(), 0);
    EXPECT_FALSE(form->ui().TreeView->isEnabled());
    EXPECT_FALSE(form->ui().MMSaveFileList->isEnabled());
    EXPECT_FALSE(form->ui().MMCloseFileList->isEnabled());
    EXPECT_FALSE(SaveButtonEnabled());
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(MainWindowTest, FirstArgumentWithLookAlikesOpensOrIsTold)
{
    WriteIni(gameFolder);
    struct Case {
        std::string name;
        bool opens;
    };
    for (const Case& c : {Case{"list〜.rdx", true}, Case{"\xF0\x9F\x98\x80.rdx", false}}) {
        SCOPED_TRACE(c.name);
        const std::string list = WriteList(c.name, 1);
        test::Responders responders;
        responders.messageAnswers.push_back(kAnswerOk);
        windows.reset();
        Start({QString::fromStdString(list)});
        EXPECT_EQ(form->document().isOpen(), c.opens);
        EXPECT_EQ(responders.messages.size(), c.opens ? 0u : 1u);
        if (c.opens) EXPECT_EQ(form->document().FileName, Sjis(c.name));
        else EXPECT_TRUE(responders.messages[0].text.contains(QStringLiteral("Shift-JIS")));
    }
}

TEST_F(MainWindowTest, ListOfAnotherVersionIsReportedAndNothingStaysOpen)
{
    WriteIni(gameFolder);
    const std::string bad = dir.write("old.rdx", std::string("\x01\x02", 2));
    test::Responders responders;
    Start({QString::fromStdString(bad)});
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("Versionが異なります。\n最新版のReplidexを使用下さい。"));
    EXPECT_EQ(responders.messages[0].kind, -1);
    EXPECT_EQ(Caption(), QStringLiteral("Replidex"));
    EXPECT_FALSE(form->ui().MMSaveFileList->isEnabled());
}

TEST_F(MainWindowTest, FirstStartWithoutGameFolderEndsWhenTheChooserIsCancelled)
{
    test::Responders responders;   // the chooser is cancelled
    Start();
    ASSERT_EQ(responders.dialogs.size(), 1u);
    EXPECT_EQ(responders.dialogs[0].kind, FileDialogKind::Folder);
    EXPECT_EQ(responders.dialogs[0].title, QStringLiteral("フォルダを選択してください"));
    EXPECT_TRUE(responders.dialogs[0].startFolder.isEmpty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(responders.messages.empty());
    EXPECT_TRUE(form->program().config.puyoFPath.empty());
}

TEST_F(MainWindowTest, FirstStartStoresTheChosenGameFolderAtOnce)
{
    test::Responders responders;
    responders.dialogAnswers = {{QString::fromStdString(gameFolder)}};
    Start();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->program().config.puyoFPath, gameFolder);
    EXPECT_EQ(IniValue("Config", "PuyoFPath"), gameFolder);
}

TEST_F(MainWindowTest, FirstStartTakesTheDefaultGameFolderWhenItExists)
{
    const fs::path wineFolder = dir.path() / "wine/drive_c/users/tester/AppData/Roaming/Sega/PuyoF";
    fs::create_directories(wineFolder);
    WriteIni(dir.path().string() + "/gone");
    test::Responders responders;
    Start();
    EXPECT_TRUE(responders.dialogs.empty());
    EXPECT_EQ(IniValue("Config", "PuyoFPath"), wineFolder.string());
}

TEST_F(MainWindowTest, AChosenFolderThatDoesNotExistCountsAsNone)
{
    test::Responders responders;
    responders.dialogAnswers = {{QString::fromStdString(dir.path().string() + "/nowhere")}};
    Start();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, YesThenCancelledSaveDialogStillGoesOn)
{
    WriteIni(gameFolder);
    Start();
    test::Responders responders;
    form->SetModified(true);
    EXPECT_EQ(Caption(), QStringLiteral("(変更)無題.rdx"));
    responders.messageAnswers = {kAnswerYes};   // then the save dialog is cancelled
    form->ui().MMNewFileList->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, kPrompt);
    EXPECT_EQ(responders.messages[0].title, QStringLiteral("警告"));
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::YesNoCancel);
    ASSERT_EQ(responders.dialogs.size(), 1u);
    EXPECT_EQ(responders.dialogs[0].kind, FileDialogKind::SaveList);
    EXPECT_EQ(responders.dialogs[0].filter, QStringLiteral("リプレイリストファイル (*.rdx)"));
    EXPECT_FALSE(form->document().Modified);
    EXPECT_EQ(Caption(), QStringLiteral("無題.rdx"));
}

TEST_F(MainWindowTest, CancelStopsTheCommand)
{
    WriteIni(gameFolder);
    const std::string list = WriteList("a.rdx");
    Start({QString::fromStdString(list)});
    test::Responders responders;
    form->SetModified(true);
    for (QAction* command : {form->ui().MMNewFileList, form->ui().MMOpenFileList,
                             form->ui().MMCloseFileList}) {
        responders.messageAnswers = {kAnswerCancel};
        command->trigger();
        EXPECT_TRUE(form->document().Modified) << command->objectName().toStdString();
        EXPECT_EQ(Caption(), QStringLiteral("(変更)") + QString::fromStdString(list));
    }
    EXPECT_TRUE(responders.dialogs.empty());
}

TEST_F(MainWindowTest, NoDiscardsTheChanges)
{
    WriteIni(gameFolder);
    const std::string a = WriteList("a.rdx", 1);
    const std::string b = WriteList("b.rdx", 4);
    Start({QString::fromStdString(a)});
    test::Responders responders;
    form->SetModified(true);
    responders.messageAnswers = {kAnswerNo};
    responders.dialogAnswers = {{QString::fromStdString(b)}};
    form->ui().SpdBtnOpenRdx->trigger();
    ASSERT_EQ(responders.dialogs.size(), 1u);
    EXPECT_EQ(responders.dialogs[0].kind, FileDialogKind::OpenList);
    EXPECT_EQ(responders.dialogs[0].startFolder.toStdString(), dir.path().string() + "/");
    EXPECT_EQ(Caption(), QString::fromStdString(b));
    EXPECT_FALSE(form->document().Modified);
    // The old list's entries went back to the pool.
    EXPECT_EQ(form->document().list.pool.size(), 4);
}

TEST_F(MainWindowTest, NoThenCancelledOpenDialogKeepsTheOldListUnmarked)
{
    WriteIni(gameFolder);
    const std::string a = WriteList("a.rdx", 2);
    Start({QString::fromStdString(a)});
    test::Responders responders;
    form->SetModified(true);
    responders.messageAnswers = {kAnswerNo};
    form->ui().MMOpenFileList->trigger();
    EXPECT_EQ(Caption(), QString::fromStdString(a));
    EXPECT_FALSE(form->document().Modified);
    EXPECT_EQ(form->document().list.pool.size(), 2);
}

TEST_F(MainWindowTest, CaptionAndSaveButtonFollowOpenChangeAndSave)
{
    WriteIni(gameFolder);
    const std::string a = WriteList("a.rdx", 2);
    Start({QString::fromStdString(a)});
    test::Responders responders;
    EXPECT_EQ(Caption(), QString::fromStdString(a));
    EXPECT_FALSE(SaveButtonEnabled());

    form->SetModified(true);
    EXPECT_EQ(Caption(), QStringLiteral("(変更)") + QString::fromStdString(a));
    EXPECT_TRUE(SaveButtonEnabled());

    fs::remove(a);
    form->ui().SpdBtnSaveRdx->trigger();   // a saved list is written without asking
    EXPECT_TRUE(responders.dialogs.empty());
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(Caption(), QString::fromStdString(a));
    EXPECT_FALSE(SaveButtonEnabled());
    EXPECT_TRUE(form->ui().MMSaveFileList->isEnabled());

    // Save as: the new path becomes the list's name.
    const std::string copy = dir.path().string() + "/copy.rdx";
    responders.dialogAnswers = {{QString::fromStdString(copy)}};
    form->ui().MMSaveAsFileList->trigger();
    EXPECT_EQ(Caption(), QString::fromStdString(copy));
    ReplayDocument reread;
    ASSERT_EQ(OpenListFileNative(copy, reread), ListOpenResult::Opened);
    EXPECT_EQ(test::DiffFolderTrees(*reread.root, reread.pool, *form->document().RootNode(),
                                    form->document().list.pool),
              "");
}

TEST_F(MainWindowTest, SavingAnUntitledListAsksForAPath)
{
    WriteIni(gameFolder);
    Start();
    test::Responders responders;
    form->SetModified(true);
    form->ui().MMSaveFileList->trigger();   // cancelled: nothing changes
    ASSERT_EQ(responders.dialogs.size(), 1u);
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(Caption(), QStringLiteral("(変更)無題.rdx"));

    const std::string path = dir.path().string() + "/new.rdx";
    responders.dialogAnswers = {{QString::fromStdString(path)}};
    form->ui().MMSaveFileList->trigger();
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(form->document().Modified);
    EXPECT_EQ(Caption(), QString::fromStdString(path));
    EXPECT_EQ(form->document().FileName, "new.rdx");
}

TEST_F(MainWindowTest, AFailedSaveIsShownAndTheCommandDoesNotGoOn)
{
    WriteIni(gameFolder);
    const std::string a = WriteList("a.rdx", 2);
    Start({QString::fromStdString(a)});
    test::Responders responders;
    form->SetModified(true);
    // The list's folder disappears: the file cannot be written.
    form->document().FileFolder = dir.path().string() + "/gone/";
    const QString caption = Caption();
    for (QAction* command : {form->ui().MMNewFileList, form->ui().MMCloseFileList}) {
        responders.messages.clear();
        responders.messageAnswers = {kAnswerYes, kAnswerOk};
        command->trigger();
        ASSERT_EQ(responders.messages.size(), 2u) << command->objectName().toStdString();
        EXPECT_EQ(responders.messages[1].kind, kMsgError);
        EXPECT_TRUE(responders.messages[1].text.contains(QStringLiteral("保存できませんでした")));
        EXPECT_TRUE(form->document().Modified);
        EXPECT_EQ(Caption(), caption);
        EXPECT_EQ(form->document().list.pool.size(), 2);
    }
    // Exit is refused the same way.
    responders.messageAnswers = {kAnswerYes, kAnswerOk};
    form->close();
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, CloseEmptiesTheWindow)
{
    WriteIni(gameFolder);
    const std::string a = WriteList("a.rdx", 3);
    Start({QString::fromStdString(a)});
    form->ui().MMCloseFileList->trigger();
    EXPECT_EQ(Caption(), QStringLiteral("Replidex"));
    EXPECT_FALSE(form->document().isOpen());
    EXPECT_EQ(form->document().FileFolder, dir.path().string() + "/");
    EXPECT_EQ(form->document().list.pool.size(), 0);
    EXPECT_EQ(form->rowModel().rowCount(), 0);
    EXPECT_TRUE(form->ui().StatusText->text().isEmpty());
    EXPECT_FALSE(form->ui().List->isEnabled());
    EXPECT_FALSE(form->ui().MMReplay->menuAction()->isEnabled());
    EXPECT_TRUE(form->ui().MMNewFileList->isEnabled());
}

TEST_F(MainWindowTest, CancellingTheClosePromptKeepsTheWindowButRewritesTheSettings)
{
    WriteIni(gameFolder);
    Start();
    test::Responders responders;
    form->SetModified(true);
    fs::remove(iniPath);
    responders.messageAnswers = {kAnswerCancel};
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(IniValue("Config", "PuyoFPath"), gameFolder);

    responders.messageAnswers = {kAnswerNo};
    form->ui().MMExit->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, SettingsOfOtherSectionsSurviveTheRewrite)
{
    dir.write("program/replidex.ini",
              "; mine\n[Column]\nFile=120\n[Config]\nPuyoFPath=" + gameFolder + "\n[Search]\nPage=3\nExist=0\n");
    Start();
    form->close();
    const ProfileFile ini(iniPath);
    EXPECT_EQ(ini.readInt("Column", "File", 0), 120);
    EXPECT_EQ(ini.readInt("Search", "Page", 0), 3);
    EXPECT_EQ(ini.readInt("Search", "Exist", 1), 0);
    EXPECT_NE(ini.bytes().find("; mine"), std::string::npos);
}

TEST_F(MainWindowTest, HelpAndFileManagerFailuresAreTold)
{
    WriteIni(gameFolder);
    Start();
    test::Responders responders;
    form->ui().MMHTMLHelp->trigger();   // no help page in the program folder
    form->program().config.puyoFPath = dir.path().string() + "/vanished";
    form->ui().MMExplorer->trigger();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("外部ツールの起動に失敗しました"));
    EXPECT_EQ(responders.messages[0].kind, -1);
    EXPECT_EQ(responders.messages[1].text, QStringLiteral("Explorerの起動に失敗しました。"));
}

TEST_F(MainWindowTest, AFullPoolOpensWhatFitsAsANewList)
{
    WriteIni(gameFolder);
    // A list with one entry more than the pool holds.
    std::string bytes("\xE8\x03\x00\x00\x01\x04Root", 10);
    const std::string entryHead("\x03\x01", 2);
    for (int i = 0; i <= EntryPool::kSlotCount; ++i) {
        bytes += entryHead;
        bytes += i == 0 ? std::string("\x03\x00/r/", 5) : std::string("\x00\x00", 2);
        bytes += std::string("\x05" "A.RPD", 6);
        bytes += std::string("\x00\x00\x00\x00", 4) + std::string("\x00\x00", 2) + std::string("\x00", 1);
    }
    const std::string big = dir.write("big.rdx", bytes);
    test::Responders responders;
    Start({QString::fromStdString(big)});
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("登録できる数(65536)を超えています。"));
    EXPECT_EQ(Caption(), QStringLiteral("無題.rdx"));
    EXPECT_TRUE(form->document().FileFolder.empty());
    EXPECT_EQ(form->document().list.pool.size(), EntryPool::kSlotCount);
    EXPECT_EQ(form->rowModel().rowCount(), EntryPool::kSlotCount);
}

struct CaptionCase {
    const char* name;
    const char* caption;
    bool available;
};

bool InSearchWindow(const QObject* object)
{
    for (; object; object = object->parent())
        if (qobject_cast<const SearchWindow*>(object)) return true;
    return false;
}

TEST_F(MainWindowTest, MainMenuCaptionsAndWhatCanBeUsed)
{
    WriteIni(gameFolder);
    Start();
    const std::vector<CaptionCase> cases = {
        {"MMFileList", "ファイル(&F)", true},
        {"MMNewFileList", "新規作成(&N)", true},
        {"MMOpenFileList", "開く(&O)", true},
        {"MMRecentFileList", "最近使ったファイル(&L)", true},
        {"MMSaveFileList", "保存(&S)", true},
        {"MMSaveAsFileList", "名前を付けて保存(&A)", true},
        {"MMCloseFileList", "閉じる(&C)", true},
        {"MMExit", "終了(&X)", true},
        {"MMReplay", "リプレイ追加(&A)", true},
        {"MMAddFile", "ファイルを追加(&R)", true},
        {"MMAddFolder", "フォルダを追加(&F)", true},
        {"MMRecentFolder", "最近使ったフォルダ(&L)", true},
        {"MMPuyoF", "PuyoFフォルダ(&P)", true},
        {"MMFileCopy", "通常転送(ファイル名そのまま)(&C)", false},
        {"MMFileCopyRename", "追加転送（上書きしないようにファイル名を変更）(&R)", false},
        {"MMExplorer", "PuyoFフォルダをExplorerで開く(&E)", true},
        {"MMRPDRename", "PuyoFフォルダ内の*.rpdファイルを昇順リネーム(&S)", true},
        {"MMRpdFileAllDelete", "PuyoFフォルダ内の*.rpdファイルを削除(&D)", true},
        {"MMSearch", "検索(&S)", true},
        {"MMTools", "ツール(&T)", true},
        {"MMConfig", "設定(&C)", true},
        {"MMHelp", "ヘルプ(&H)", true},
        {"MMHTMLHelp", "ヘルプ(&H)", true},
        {"MMVersion", "バージョン情報(&A)", true},
        {"PMTree_Del", "削除(&E)", true},   // enabled by the popup as it opens
        {"PMTree_Search", "検索(&S)", true},   // likewise
    };
    for (const CaptionCase& c : cases) {
        // The main window's own item, not the search window's of the same name.
        QAction* action = nullptr;
        for (QAction* candidate : form->findChildren<QAction*>(QString::fromLatin1(c.name)))
            if (!InSearchWindow(candidate)) action = candidate;
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(action->isEnabled(), c.available) << c.name;
    }
    // Menu bar order.
    QStringList top;
    for (QAction* action : form->menuBar()->actions()) top << action->text();
    EXPECT_EQ(top, (QStringList{"ファイル(&F)", "リプレイ追加(&A)", "PuyoFフォルダ(&P)", "検索(&S)",
                                "ツール(&T)", "設定(&C)", "ヘルプ(&H)"}));
    // Unavailable commands stay disabled when a list opens; the search
    // commands follow the document.
    form->EnableDocument(false);
    EXPECT_FALSE(form->ui().MMSearch->isEnabled());
    EXPECT_FALSE(form->ui().SpdBtnFind->isEnabled());
    form->EnableDocument(true);
    EXPECT_TRUE(form->ui().MMSearch->isEnabled());
    EXPECT_TRUE(form->ui().SpdBtnFind->isEnabled());
    EXPECT_TRUE(form->ui().MMConfig->isEnabled());
    EXPECT_FALSE(form->ui().MMFileCopyRename->isEnabled());   // no replay selected
}

TEST_F(MainWindowTest, ToolBarButtonsHintsAndSeparators)
{
    WriteIni(gameFolder);
    Start();
    const std::vector<std::pair<const char*, const char*>> buttons = {
        {"SpdBtnOpenRdx", "開く"},
        {"SpdBtnSaveRdx", "保存"},
        {"SpdBtnDiv1", nullptr},
        {"SpdBtnAddFile", "ファイルを追加"},
        {"SpdBtnAddFolder", "フォルダを追加"},
        {"SpdBtnDiv2", nullptr},
        {"SpdBtnFind", "検索"},
        {"SpdBtnDiv3", nullptr},
        {"SpdBtnSend1", "通常転送（ファイル名そのまま）"},
        {"SpdBtnSend2", "追加転送(上書きしないようにファイル名を変更)"},
        {"SpdBtnDiv4", nullptr},
        {"SpdBtnTop", "一番上に移動"},
        {"SpdBtnUp", "１つ上に移動"},
        {"SpdBtnDown", "１つ下に移動"},
        {"SpdBtnLast", "一番下に移動"},
    };
    QList<QWidget*> widgets;
    for (QAction* action : form->ui().ToolBar->actions())
        widgets << form->ui().ToolBar->widgetForAction(action);
    ASSERT_EQ(widgets.size(), static_cast<qsizetype>(buttons.size()));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QWidget* widget = widgets[static_cast<qsizetype>(i)];
        EXPECT_EQ(widget->objectName(), QString::fromLatin1(buttons[i].first));
        if (!buttons[i].second) {
            EXPECT_FALSE(widget->isEnabled());
            EXPECT_EQ(widget->width(), i == 10 ? 17 : 9) << buttons[i].first;
            continue;
        }
        auto* tool = qobject_cast<QToolButton*>(widget);
        ASSERT_NE(tool, nullptr) << buttons[i].first;
        EXPECT_EQ(tool->toolTip(), QString::fromUtf8(buttons[i].second));
        EXPECT_EQ(tool->size(), QSize(25, 25));
        EXPECT_FALSE(tool->icon().isNull()) << buttons[i].first;
    }
}

TEST_F(MainWindowTest, AboutBox)
{
    WriteIni(gameFolder);
    Start();
    AboutDialog* about = windows->version;
    EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(about->Label1->text(), QStringLiteral("Replidex"));
    EXPECT_EQ(about->Label2->text(), QStringLiteral("Version 1.20"));
    EXPECT_EQ(about->Label3->text(), QStringLiteral("(Windows版ぷよぷよフィーバー"));
    EXPECT_EQ(about->Label4->text(), QStringLiteral("リプレイ一覧表示＆検索ツール)"));
    EXPECT_EQ(about->BtnOK->text(), QStringLiteral("OK"));
    EXPECT_FALSE(about->Image->pixmap().isNull());
    EXPECT_GE(about->width(), 298);
    EXPECT_EQ(about->height(), 114);

    // Shown modally from the menu; OK closes it.
    bool sawIt = false;
    QTimer::singleShot(50, [&] {
        sawIt = QApplication::activeModalWidget() == about;
        about->BtnOK->click();
    });
    form->ui().MMVersion->trigger();
    EXPECT_TRUE(sawIt);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(about->result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, AListNamedByARelativePathShowsItsFullPath)
{
    WriteIni(gameFolder);
    WriteList("rel.rdx", 1);
    fs::create_directories(dir.path() / "sub");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const std::string full = (fs::current_path() / "rel.rdx").string();
    Start({QStringLiteral("./sub/../rel.rdx")});
    fs::current_path(before);
    EXPECT_EQ(Caption(), QString::fromStdString(full));
    EXPECT_EQ(form->document().FileFolder + form->document().FileName, full);
}

TEST_F(MainWindowTest, AFailedOpenThatLeavesNoListEmptiesTheStatusBar)
{
    WriteIni(gameFolder);
    const std::string good = WriteList("good.rdx", 2);
    const std::string old = dir.write("old.rdx", std::string("\x01\x02", 2));
    test::Responders responders;
    Start({QString::fromStdString(good)});
    ASSERT_FALSE(form->ui().StatusText->text().isEmpty());
    form->OpenList(old, false);
    EXPECT_EQ(responders.messages.size(), 1u);   // the other version is told
    EXPECT_FALSE(form->document().isOpen());
    EXPECT_TRUE(form->ui().StatusText->text().isEmpty());
}

}  // namespace
}  // namespace replidex
