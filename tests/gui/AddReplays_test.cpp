// Adding replays through the main window: the two commands and drops, the
// progress window from 30 files on, cancelling it, merging into what the list
// already holds, the pool limit and the messages about what was skipped.
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/list/FolderOps.h"
#include "core/list/ListFile.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/ProgressDialog.h"
#include "gui/main/AddReplaysCommand.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/settings/AppSettings.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

const QString kPoolFull = QStringLiteral("登録できる数(65536)を超えています。");
const QString kPrompt = QStringLiteral("ファイルは変更されています。\n保存しますか？");

// Counts how often a widget was shown.
class ShowCounter final : public QObject {
public:
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) ++shown;
        return QObject::eventFilter(watched, event);
    }
};

class AddReplaysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        programFolder = dir.path().string() + "/program/";
        fs::create_directories(programFolder);
        const std::string gameFolder = dir.path().string() + "/PuyoF";
        fs::create_directories(gameFolder);
        iniPath = programFolder + "replidex.ini";
        dir.write("program/replidex.ini", "[Config]\nPuyoFPath=" + gameFolder + "\n");
        setenv("WINEPREFIX", (dir.path() / "wine").c_str(), 1);

        StartupOptions options;
        options.programFolder = programFolder;
        options.iniPath = iniPath;
        windows = std::make_unique<ApplicationWindows>(options);
        form = windows->mainWindow();
        form->show();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        adder = form->findChild<AddReplaysCommand*>();
        ASSERT_NE(adder, nullptr);
        progress = windows->progress;
        progress->installEventFilter(&progressShows);
    }

    // A replay file at `relative` whose first player is named `name`.
    std::string WriteReplay(const std::string& relative, const std::string& name = "P")
    {
        test::ReplayDescription d = test::NetMatchDescription();
        d.p1.name = name;
        return dir.write(relative, test::BuildReplay(d).bytes);
    }
    // `count` replay files "R000.RPD"... in the folder `relative`.
    std::string WriteReplays(const std::string& relative, int count)
    {
        for (int i = 0; i < count; ++i) {
            char name[24];
            std::snprintf(name, sizeof name, "R%03d.RPD", i);
            WriteReplay(relative + "/" + name, "P" + std::to_string(i));
        }
        return dir.file(relative);
    }

    ReplayFolder* Root() const { return form->document().RootNode(); }
    EntryPool& Pool() const { return form->document().list.pool; }
    int EntryCount(const ReplayFolder* folder) const
    {
        return folder && folder->entries ? static_cast<int>(folder->entries->size()) : 0;
    }
    ReplayEntry* EntryAt(const ReplayFolder* folder, int i) const
    {
        return Pool().lookup((*folder->entries)[static_cast<std::size_t>(i)]);
    }
    std::string P1Name(const ReplayEntry* entry) const
    {
        return entry && entry->info ? std::string(entry->info->p1.nameText()) : std::string("<none>");
    }
    int Count(const test::Responders& responders, const QString& text) const
    {
        int n = 0;
        for (const MessageRequest& m : responders.messages) n += m.text == text ? 1 : 0;
        return n;
    }
    std::vector<std::string> RecentFolders() const { return form->program().recent.folders.items(); }

    // Adds the folder `path` through "フォルダを追加(&F)".
    void AddFolderByMenu(test::Responders& responders, const std::string& path)
    {
        responders.dialogAnswers.push_back({QString::fromStdString(path)});
        form->ui().MMAddFolder->trigger();
    }

    void SendDrop(QWidget* target, const QStringList& paths)
    {
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        dragAccepted = enter.isAccepted();
        if (!dragAccepted) return;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    test::TempDir dir;
    std::string programFolder;
    std::string iniPath;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    AddReplaysCommand* adder = nullptr;
    ProgressDialog* progress = nullptr;
    ShowCounter progressShows;
    bool dragAccepted = false;
};

TEST_F(AddReplaysTest, ProgressWindowFromThirtyFilesOn)
{
    struct Case {
        int files;
        bool window;
    };
    for (const Case c : {Case{1, false}, Case{29, false}, Case{30, true}}) {
        SCOPED_TRACE(c.files);
        form->commands().NewList({}, Sjis("無題.rdx"));
        const std::string folder = WriteReplays("many" + std::to_string(c.files), c.files);
        progressShows.shown = 0;
        test::Responders responders;
        QStringList picked;
        for (int i = 0; i < c.files; ++i) {
            char name[24];
            std::snprintf(name, sizeof name, "/R%03d.RPD", i);
            picked << QString::fromStdString(folder + name);
        }
        responders.dialogAnswers.push_back(picked);
        form->ui().SpdBtnAddFile->trigger();

        EXPECT_EQ(progressShows.shown, c.window ? 1 : 0);
        EXPECT_EQ(adder->lastAdd().progressShown, c.window);
        EXPECT_FALSE(progress->isVisible());
        ASSERT_EQ(EntryCount(Root()), c.files);
        for (int i = 0; i < c.files; ++i) {
            const ReplayEntry* entry = EntryAt(Root(), i);
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(P1Name(entry), "P" + std::to_string(i));   // analysed, in the picked order
            EXPECT_EQ(entry->folderPath, folder + "/");
        }
        EXPECT_EQ(form->rowModel().rowCount(), c.files);
        EXPECT_TRUE(form->document().Modified);
        EXPECT_EQ(form->document().importPool.size(), 0);
        ASSERT_FALSE(RecentFolders().empty());
        EXPECT_EQ(RecentFolders().front(), folder + "/");
        ASSERT_EQ(responders.dialogs.size(), 1u);
        EXPECT_EQ(responders.dialogs[0].kind, FileDialogKind::ReplayFiles);
        EXPECT_TRUE(responders.dialogs[0].filter.startsWith(QStringLiteral("リプレイファイル(*.rpd,*.dat)")));
        EXPECT_TRUE(responders.messages.empty());
        form->SetModified(false);
    }
    // The progress window as it was left: the label counts the last file.
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("解析中"));
    EXPECT_EQ(progress->Label->text(), QStringLiteral("30/30ファイルを解析 (100％)"));
    EXPECT_EQ(progress->ProgressBar->value(), 30);
    EXPECT_EQ(progress->Button->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(progress->Timer->interval(), 100);
}

TEST_F(AddReplaysTest, CancelledFileDialogDoesNothing)
{
    test::Responders responders;
    form->ui().MMAddFile->trigger();   // no answer queued: cancelled
    EXPECT_EQ(responders.dialogs.size(), 1u);
    EXPECT_EQ(EntryCount(Root()), 0);
    EXPECT_FALSE(form->document().Modified);
    EXPECT_TRUE(RecentFolders().empty());

    form->ui().SpdBtnAddFolder->trigger();   // folder chooser cancelled
    EXPECT_EQ(responders.dialogs.size(), 2u);
    EXPECT_EQ(responders.dialogs[1].kind, FileDialogKind::Folder);
    EXPECT_TRUE(Root()->children.empty());
    EXPECT_FALSE(form->document().Modified);
    EXPECT_FALSE(adder->AddFolderReplays(Sjis("/no/such/folder")));
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(AddReplaysTest, AddingAFolderTwiceMergesIntoTheSameFolder)
{
    WriteReplay("set/a.RPD", "A");
    const std::string changed = WriteReplay("set/b.rpd", "B");
    WriteReplay("set/sub/c.DAT", "C");
    dir.write("set/notes.txt", "not a replay");
    fs::create_directories(dir.path() / "set" / "empty");
    const std::string folder = dir.file("set");

    test::Responders responders;
    AddFolderByMenu(responders, folder);
    ReplayFolder* set = FindChildFolder(Root(), "set");
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(EntryCount(set), 2);
    ASSERT_NE(FindChildFolder(set, "sub"), nullptr);
    ASSERT_NE(FindChildFolder(set, "empty"), nullptr);   // kept without replays
    EXPECT_EQ(EntryCount(FindChildFolder(set, "sub")), 1);
    EXPECT_EQ(RecentFolders(), std::vector<std::string>{folder + "/"});
    // The list shows the selected folder (the root) with its new folder row,
    // and the tree shows the new folder.
    EXPECT_EQ(form->rowModel().rowCount(), 1);
    EXPECT_EQ(form->treeModel().rowCount(form->treeModel().indexOf(Root())), 1);

    int bIndex = -1;
    for (int i = 0; i < 2; ++i)
        if (EntryAt(set, i)->fileName == "b.rpd") bIndex = i;
    ASSERT_GE(bIndex, 0);
    EntryAt(set, 1 - bIndex)->memo = Sjis("メモ1");
    EntryAt(set, bIndex)->memo = Sjis("メモ2");
    const std::int32_t poolIndexOfB = (*set->entries)[static_cast<std::size_t>(bIndex)];
    form->SetModified(false);

    // b changes on disk (other content, another time).
    WriteReplay("set/b.rpd", "B2");
    fs::last_write_time(changed, fs::last_write_time(changed) - std::chrono::hours(2));
    AddFolderByMenu(responders, folder);

    EXPECT_EQ(Root()->children.size(), 1u);
    EXPECT_EQ(FindChildFolder(Root(), "set"), set);
    EXPECT_EQ(set->children.size(), 2u);
    ASSERT_EQ(EntryCount(set), 2);
    EXPECT_EQ(EntryCount(FindChildFolder(set, "sub")), 1);
    EXPECT_EQ(EntryAt(set, 1 - bIndex)->memo, Sjis("メモ1"));
    // Re-read in place: same position, memo kept, new content.
    EXPECT_EQ((*set->entries)[static_cast<std::size_t>(bIndex)], poolIndexOfB);
    EXPECT_EQ(EntryAt(set, bIndex)->memo, Sjis("メモ2"));
    EXPECT_EQ(P1Name(EntryAt(set, bIndex)), "B2");
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(adder->lastAdd().merge.refreshed, 1);
    EXPECT_EQ(adder->lastAdd().merge.unchanged, 2);
    EXPECT_EQ(RecentFolders().size(), 1u);   // the same folder is listed once
    EXPECT_TRUE(responders.messages.empty());

    // A third time with nothing changed changes nothing.
    form->SetModified(false);
    AddFolderByMenu(responders, folder);
    EXPECT_FALSE(form->document().Modified);
    EXPECT_EQ(EntryCount(set), 2);
}

TEST_F(AddReplaysTest, SamePathInAnotherLetterCaseIsASecondEntry)
{
    const std::string lower = WriteReplay("rep/x.rpd", "L");
    const std::string upper = WriteReplay("Rep/x.rpd", "U");
    test::Responders responders;
    responders.dialogAnswers.push_back({QString::fromStdString(lower)});
    responders.dialogAnswers.push_back({QString::fromStdString(upper)});
    responders.dialogAnswers.push_back({QString::fromStdString(lower)});
    form->ui().MMAddFile->trigger();
    form->ui().MMAddFile->trigger();
    form->ui().MMAddFile->trigger();   // exactly the same path again: no new entry
    ASSERT_EQ(EntryCount(Root()), 2);
    EXPECT_EQ(EntryAt(Root(), 0)->fullPath(), lower);
    EXPECT_EQ(EntryAt(Root(), 1)->fullPath(), upper);
    EXPECT_EQ(RecentFolders(), (std::vector<std::string>{dir.file("rep") + "/", dir.file("Rep") + "/"}));
}

TEST_F(AddReplaysTest, DropOnTheListAddsFilesAndFolders)
{
    const std::string file = WriteReplay("drop/one.RPD", "D1");
    WriteReplay("drop/tree/two.DAT", "D2");
    const std::string other = WriteReplay("drop/readme.txt", "x");
    QWidget* viewport = form->ui().List->viewport();
    SendDrop(viewport, {QString::fromStdString(file), QString::fromStdString(dir.file("drop/tree") + "/"),
                        QString::fromStdString(other)});
    EXPECT_TRUE(dragAccepted);
    ASSERT_TRUE(test::WaitUntil([this] { return EntryCount(Root()) == 1; }));
    EXPECT_EQ(P1Name(EntryAt(Root(), 0)), "D1");
    ReplayFolder* tree = FindChildFolder(Root(), "tree");
    ASSERT_NE(tree, nullptr);   // a trailing delimiter still names the folder
    EXPECT_EQ(EntryCount(tree), 1);
    EXPECT_EQ(form->rowModel().rowCount(), 2);
    EXPECT_EQ(RecentFolders(), std::vector<std::string>{dir.file("drop") + "/"});
    EXPECT_TRUE(form->document().Modified);
}

TEST_F(AddReplaysTest, DropAwayFromTheListAddsNothing)
{
    const std::string file = WriteReplay("drop/one.RPD");
    // The tree view and the rest of the window do not take replay files.
    SendDrop(form, {QString::fromStdString(file)});
    EXPECT_FALSE(dragAccepted);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    adder->DropItems({QString::fromStdString(file)}, false);
    EXPECT_EQ(EntryCount(Root()), 0);
    EXPECT_FALSE(form->document().Modified);
    EXPECT_TRUE(RecentFolders().empty());
    // Nor does the list while no list is open.
    form->commands().Close();
    SendDrop(form->ui().List->viewport(), {QString::fromStdString(file)});
    EXPECT_FALSE(form->document().isOpen());
}

TEST_F(AddReplaysTest, DroppedListFileIsOpenedAndNothingAdded)
{
    // A list file with two entries of its own.
    ReplayDocument doc;
    doc.root = doc.addTopLevel("Root");
    test::AddEntry(doc, *doc.root, dir.path().string() + "/r/", "A.RPD");
    test::AddEntry(doc, *doc.root, dir.path().string() + "/r/", "B.RPD");
    const std::string list = dir.file("Saved.RDX");
    ASSERT_TRUE(SaveListFileNative(list, doc));

    const std::string replay = WriteReplay("in/one.RPD");
    test::Responders responders;
    responders.dialogAnswers.push_back({QString::fromStdString(replay)});
    form->ui().MMAddFile->trigger();   // the untitled list is modified now
    ASSERT_TRUE(form->document().Modified);
    const auto recentBefore = RecentFolders();

    responders.messageAnswers.push_back(kAnswerNo);   // do not save the untitled list
    SendDrop(form->ui().List->viewport(),
             {QString::fromStdString(replay), QString::fromStdString(list), QString::fromStdString(dir.file("in"))});
    ASSERT_TRUE(test::WaitUntil([this] { return form->document().FileName == "Saved.RDX"; }));
    EXPECT_EQ(Count(responders, kPrompt), 1);
    EXPECT_EQ(EntryCount(Root()), 2);
    EXPECT_TRUE(Root()->children.empty());
    EXPECT_FALSE(form->document().Modified);
    EXPECT_EQ(RecentFolders(), recentBefore);

    // Dropped anywhere on the window, even with no list open, it is opened.
    form->commands().Close();
    ASSERT_FALSE(form->document().isOpen());
    SendDrop(form, {QString::fromStdString(list)});
    EXPECT_TRUE(dragAccepted);
    ASSERT_TRUE(test::WaitUntil([this] { return form->document().isOpen(); }));
    EXPECT_EQ(EntryCount(Root()), 2);
}

TEST_F(AddReplaysTest, CancelAfterTheFirstFileKeepsWhatWasAnalysed)
{
    const std::string folder = WriteReplays("hundred", 100);
    // Presses キャンセル as soon as the bar shows the first file.
    QTimer clicker;
    clicker.setInterval(0);
    bool clicked = false;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (clicked || !progress->isVisible() || progress->ProgressBar->value() < 1) return;
        clicked = true;
        // REPLIDEX_SHOW_PROGRESS_MS keeps the window up for a look at it.
        if (const int ms = qEnvironmentVariableIntValue("REPLIDEX_SHOW_PROGRESS_MS"); ms > 0) {
            QEventLoop wait;
            QTimer::singleShot(ms, &wait, &QEventLoop::quit);
            wait.exec();
        }
        progress->Button->click();
    });
    clicker.start();
    test::Responders responders;
    AddFolderByMenu(responders, folder);
    clicker.stop();

    EXPECT_TRUE(clicked);
    EXPECT_EQ(progressShows.shown, 1);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(adder->lastAdd().analysis.cancelled);
    EXPECT_EQ(adder->lastAdd().analysis.analysed, 1);
    ReplayFolder* hundred = FindChildFolder(Root(), "hundred");
    ASSERT_NE(hundred, nullptr);
    ASSERT_EQ(EntryCount(hundred), 1);
    EXPECT_TRUE(EntryAt(hundred, 0)->info.has_value());
    EXPECT_EQ(Pool().size(), 1);
    EXPECT_EQ(form->document().importPool.size(), 0);
    EXPECT_TRUE(form->document().Modified);
    EXPECT_EQ(progress->Label->text(), QStringLiteral("1/100ファイルを解析 (  1％)"));
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(AddReplaysTest, FullDocumentPoolStopsTheMergeWithOneMessage)
{
    // Two slots left in the document pool.
    for (int i = 0; i < EntryPool::kSlotCount - 2; ++i) ASSERT_NE(Pool().allocate(), nullptr);
    const std::string folder = WriteReplays("three", 3);
    test::Responders responders;
    responders.messageAnswers.push_back(kAnswerOk);
    QStringList picked;
    for (const char* name : {"/R000.RPD", "/R001.RPD", "/R002.RPD"})
        picked << QString::fromStdString(folder + name);
    responders.dialogAnswers.push_back(picked);
    form->ui().MMAddFile->trigger();

    EXPECT_EQ(adder->lastAdd().mergeResult, kMergePoolFull);
    EXPECT_EQ(Count(responders, kPoolFull), 1);
    EXPECT_EQ(responders.messages.size(), 1u);
    ASSERT_EQ(EntryCount(Root()), 2);   // what was merged before stays
    EXPECT_EQ(P1Name(EntryAt(Root(), 0)), "P0");
    EXPECT_EQ(P1Name(EntryAt(Root(), 1)), "P1");
    EXPECT_EQ(form->rowModel().rowCount(), 2);
    EXPECT_EQ(form->document().importPool.size(), 0);
    EXPECT_TRUE(form->document().Modified);
}

TEST_F(AddReplaysTest, SkippedFilesAreToldOnceAtTheEnd)
{
    WriteReplay("odd/good.RPD", "G");
    WriteReplay("odd/\xF0\x9F\x98\x80.RPD");        // no Shift-JIS form
    WriteReplay("odd/deep/caf\xC3\xA9.rpd");          // nor this one
    fs::create_directory_symlink(dir.path() / "odd", dir.path() / "odd" / "deep" / "loop");
    test::Responders responders;
    responders.messageAnswers.push_back(kAnswerOk);
    AddFolderByMenu(responders, dir.file("odd"));

    ReplayFolder* odd = FindChildFolder(Root(), "odd");
    ASSERT_NE(odd, nullptr);
    ASSERT_EQ(EntryCount(odd), 1);
    EXPECT_EQ(P1Name(EntryAt(odd, 0)), "G");
    EXPECT_EQ(adder->lastAdd().skips.unrepresentableFiles, 2);
    EXPECT_EQ(adder->lastAdd().skips.linkedAgainFolders, 1);
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text.toStdString(),
              Cp932ToUtf8Lossy(SkipMessage(adder->lastAdd().skips)));
    EXPECT_TRUE(responders.messages[0].text.contains(QStringLiteral("2個のファイル")));
}

TEST_F(AddReplaysTest, LookAlikeNamesInEitherFormAreAddedByEveryRoute)
{
    // Each look-alike character in the form the converter gives back, then in
    // the other one.
    const char* const characters[] = {"～", "〜", "∥", "‖", "―", "—", "－", "−",
                                      "￠", "¢", "￡", "£", "￢", "¬"};
    int n = 0;
    for (const char* c : characters) {
        SCOPED_TRACE(c);
        const std::string name = std::string("set") + c;
        const std::string where = "look" + std::to_string(n++) + "/" + name;
        const std::string file = WriteReplay(where + "/r" + c + ".RPD", "N");
        const QString folder = QString::fromStdString(dir.file(where));
        const auto startAgain = [this] {
            form->SetModified(false);
            form->commands().NewList({}, Sjis("無題.rdx"));
        };
        const auto expectOneFound = [this](const ReplayFolder* folder) {
            ASSERT_EQ(EntryCount(folder), 1);
            EXPECT_EQ(P1Name(EntryAt(folder, 0)), "N");
            EXPECT_EQ(EntryState(*EntryAt(folder, 0)), kStateUnchanged);
        };
        test::Responders responders;

        startAgain();   // "フォルダを追加(&F)"
        AddFolderByMenu(responders, folder.toStdString());
        expectOneFound(FindChildFolder(Root(), Sjis(name)));
        ASSERT_FALSE(RecentFolders().empty());
        EXPECT_EQ(RecentFolders().front(), Sjis(dir.file(where) + "/"));

        startAgain();   // "ファイルを追加(&R)"
        responders.dialogAnswers.push_back({QString::fromStdString(file)});
        form->ui().MMAddFile->trigger();
        expectOneFound(Root());

        startAgain();   // the file and its folder dropped on the list
        SendDrop(form->ui().List->viewport(), {QString::fromStdString(file), folder});
        ASSERT_TRUE(test::WaitUntil([this] { return EntryCount(Root()) == 1; }));
        expectOneFound(Root());
        expectOneFound(FindChildFolder(Root(), Sjis(name)));
        EXPECT_TRUE(responders.messages.empty());
    }
}

TEST_F(AddReplaysTest, ListFileNamedWithAWaveDashOpensAndSavesInPlace)
{
    WriteReplay("Wave〜Dash/第1〜3回.RPD", "W");
    const std::string list = dir.file("list〜.rdx");
    {
        ReplayDocument made;
        made.root = made.addTopLevel("Root");
        ASSERT_TRUE(SaveListFileNative(list, made));
    }
    test::Responders responders;
    form->SetModified(true);
    responders.messageAnswers.push_back(kAnswerNo);   // do not save the untitled list
    SendDrop(form->ui().List->viewport(), {QString::fromStdString(list)});
    ASSERT_TRUE(test::WaitUntil([this] { return form->document().FileName == Sjis("list〜.rdx"); }));
    EXPECT_EQ(responders.messages.size(), 1u);   // the question about the untitled list

    AddFolderByMenu(responders, dir.file("Wave〜Dash"));
    ASSERT_EQ(form->commands().Save(), SaveOutcome::Saved);
    EXPECT_FALSE(fs::exists(dir.file("list～.rdx")));
    ReplayDocument saved;
    ASSERT_EQ(OpenListFileNative(list, saved), ListOpenResult::Opened);
    EXPECT_NE(FindChildFolder(saved.root, Sjis("Wave〜Dash")), nullptr);

    // Opened again, the entry's file shows as unchanged.
    form->OpenList(form->document().FileFolder + form->document().FileName, false);
    ReplayFolder* wave = FindChildFolder(Root(), Sjis("Wave〜Dash"));
    ASSERT_EQ(EntryCount(wave), 1);
    form->ShowFolderContents(wave);
    EXPECT_EQ(form->RowState(0), kStateUnchanged);
    EXPECT_EQ(responders.messages.size(), 1u);
}

TEST_F(AddReplaysTest, RecentFoldersAreSavedAndLoaded)
{
    const std::string a = WriteReplays("a", 1);
    const std::string b = WriteReplays("b", 1);
    test::Responders responders;
    AddFolderByMenu(responders, a);
    AddFolderByMenu(responders, b);
    ASSERT_TRUE(SaveSettings(form->program()));
    const ProfileFile ini(iniPath);
    EXPECT_EQ(ini.readString("RecentFolder", "0", ""), b + "/");
    EXPECT_EQ(ini.readString("RecentFolder", "1", ""), a + "/");
    EXPECT_FALSE(ini.readString("Config", "PuyoFPath", "").empty());   // other sections kept

    ProgramState loaded;
    loaded.iniPath = iniPath;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.recent.folders.items(), (std::vector<std::string>{b + "/", a + "/"}));
}

}  // namespace
}  // namespace replidex
