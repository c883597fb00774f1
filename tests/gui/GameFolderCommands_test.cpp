// The game folder commands driven through the main window: the transfers, the
// ascending rename, deleting all replays and deleting the files of rows, with
// their questions, messages, the warning dialog and the rows' new states.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "GuiTestSupport.h"
#include "core/list/FolderOps.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/replay/ReplaySlots.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/DeleteQuestionDialog.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

const QString kTransferDone = QStringLiteral("転送完了！");
const QString kRenameDone = QStringLiteral("リネーム完了！");
const QString kAskAdditional = QStringLiteral("追加転送します。よろしいですか？");
const QString kAskNormal = QStringLiteral("通常転送します。よろしいですか？\n※既存ファイルは上書きされます。");
const QString kAskRename = QStringLiteral("PuyoFフォルダ内の*.rpdファイルを昇順にリネームします。\nよろしいですか？");
const QString kAllTaken =
    QStringLiteral("00～99までの全てのインデックスが使用されています。\n追加転送は実行できません。");
const QString kNothingToCopy = QStringLiteral("コピーするファイルが１つもありません。");
const QString kNoRpd = QStringLiteral("PuyoFフォルダ内に*.rpdファイルが存在しません。");

QString Question(const QString& name)
{
    return QStringLiteral("'%1' ファイルを削除しますか？").arg(name);
}

// Answers the warning dialog each time it shows: sets its option box and
// presses a button (none: closes the dialog), noting each question.
class WarnDialogDriver final : public QObject {
public:
    struct Step {
        QPushButton* DeleteQuestionDialog::*button;   // nullptr: the close box
        bool option;
    };

    explicit WarnDialogDriver(DeleteQuestionDialog* dialog) : dialog_(dialog) { dialog->installEventFilter(this); }
    ~WarnDialogDriver() override { dialog_->removeEventFilter(this); }

    std::deque<Step> steps;
    QStringList questions;
    QStringList details;   // the question's tooltip (the whole path)
    QStringList options;   // the option box's caption at each question

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) QTimer::singleShot(0, this, [this] { Act(); });
        return false;
    }

private:
    void Act()
    {
        questions << dialog_->Label->text();
        details << dialog_->Label->toolTip();
        options << dialog_->CB_Option->text() + (dialog_->CB_Option->isChecked() ? "[x]" : "[ ]");
        if (steps.empty()) {
            dialog_->close();
            return;
        }
        const Step step = steps.front();
        steps.pop_front();
        dialog_->CB_Option->setChecked(step.option);
        if (step.button) QTest::mouseClick(dialog_->*step.button, Qt::LeftButton);
        else dialog_->close();
    }

    DeleteQuestionDialog* dialog_;
};

class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* value = std::getenv("XDG_DATA_HOME")) savedDataHome_ = value;
        ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        windows = test::MakeWindowsWithGameFolder(dir);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        game = dir.file("PuyoF");
    }
    void TearDown() override
    {
        form->SetModified(false);
        windows.reset();
        if (savedDataHome_) ::setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1);
        else ::unsetenv("XDG_DATA_HOME");
    }

    // Replay bytes whose first player is `name`, so that copies can be told apart.
    static std::string ReplayBytes(const std::string& name)
    {
        test::ReplayDescription d = test::NetMatchDescription();
        d.p1.name = name;
        return test::BuildReplay(d).bytes;
    }
    std::string InGame(const std::string& name) { return dir.write("PuyoF/" + name, ReplayBytes(name)); }
    std::string Collected(const std::string& name) { return dir.write("collection/" + name, ReplayBytes(name)); }

    // Adds the files to the list's root through "ファイルを追加(&R)".
    void AddToList(test::Responders& responders, const std::vector<std::string>& paths)
    {
        QStringList picked;
        for (const std::string& path : paths) picked << QString::fromStdString(path);
        responders.dialogAnswers.push_back(picked);
        form->ui().SpdBtnAddFile->trigger();
        form->ShowFolderContents(form->document().RootNode());
        responders.messages.clear();
    }
    void Select(const std::vector<int>& rows)
    {
        QItemSelectionModel* selection = form->ui().List->selectionModel();
        selection->clearSelection();
        for (const int row : rows)
            selection->select(form->rowModel().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        form->listCommands().RunEnabling();
    }
    // Name -> first player's name (or the bytes when no replay) of the game folder.
    std::map<std::string, std::string> GameFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::directory_iterator(game)) {
            const std::string path = item.path().string();
            if (item.is_directory()) {
                files[item.path().filename().string()] = "<folder>";
                continue;
            }
            ReplayInfo info;
            files[item.path().filename().string()] = AnalyseReplayAtNativePath(path, info) == kAnalyseOk
                                                         ? std::string(info.p1.nameText())
                                                         : test::ReadWholeFile(path);
        }
        return files;
    }
    bool InTrash(const std::string& name) const { return fs::exists(dir.path() / "data/Trash/files" / name); }
    int Icon(int row) { return form->rowModel().row(row)->icon; }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    std::string game;

private:
    std::optional<std::string> savedDataHome_;
};

TEST_F(GameFolderTest, AdditionalTransferFillsTheGapsAndTheRenameClosesThemInOrder)
{
    test::Responders responders;
    for (const char* name : {"REPLAY00.RPD", "REPLAY02.RPD", "REPLAY05.RPD"}) InGame(name);
    const std::string a = Collected("a.rpd");
    const std::string b = Collected("b.rpd");
    AddToList(responders, {a, b});
    Select({0, 1});
    ASSERT_TRUE(form->ui().SpdBtnSend2->isEnabled());

    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("SpdBtnSend2")), Qt::LeftButton);
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text, kAskAdditional);
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(responders.messages[0].kind, kMsgWarning);
    EXPECT_EQ(responders.messages[1].text, kTransferDone);
    EXPECT_EQ(responders.messages[1].kind, -1);   // the plain notice
    EXPECT_EQ(responders.messages[1].details,
              QStringLiteral("REPLAY01.RPD <- %1\nREPLAY03.RPD <- %2").arg(QString::fromStdString(a),
                                                                          QString::fromStdString(b)));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY00.RPD", "REPLAY00.RPD"},
                                                               {"REPLAY01.RPD", "a.rpd"},
                                                               {"REPLAY02.RPD", "REPLAY02.RPD"},
                                                               {"REPLAY03.RPD", "b.rpd"},
                                                               {"REPLAY05.RPD", "REPLAY05.RPD"}}));

    responders.messages.clear();
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->ui().MMRPDRename->trigger();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text, kAskRename);
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(responders.messages[1].text, kRenameDone);
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY00.RPD", "REPLAY00.RPD"},
                                                               {"REPLAY01.RPD", "a.rpd"},
                                                               {"REPLAY02.RPD", "REPLAY02.RPD"},
                                                               {"REPLAY03.RPD", "b.rpd"},
                                                               {"REPLAY04.RPD", "REPLAY05.RPD"}}));
}

TEST_F(GameFolderTest, AllSlotsTakenShowsOnlyTheInformationBox)
{
    test::Responders responders;
    for (int n = 0; n < kSlotCount; ++n) dir.write("PuyoF/" + SlotFileName(n), "taken");
    AddToList(responders, {Collected("a.rpd")});
    Select({0});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->ui().MMFileCopyRename->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, kAllTaken);
    EXPECT_EQ(responders.messages[0].kind, kMsgInformation);
    EXPECT_EQ(responders.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(GameFiles().size(), 100u);

    // Cancelling the question of a folder with room copies nothing either.
    fs::remove(game + "/REPLAY42.RPD");
    responders.messages.clear();
    responders.messageAnswers = {kAnswerCancel};
    form->listMenuItems().sendRenamed->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, kAskAdditional);
    EXPECT_EQ(GameFiles().count("REPLAY42.RPD"), 0u);
}

TEST_F(GameFolderTest, NormalTransferTakesGameNamesInAnyCaseOnly)
{
    test::Responders responders;
    InGame("REPLAY07.RPD");
    const std::string lower = Collected("replay07.rpd");
    AddToList(responders, {lower, Collected("match.rpd"), Collected("REPLAY08.RPD")});
    struct Case {
        std::vector<int> rows;
        bool sendAsIs;
    };
    for (const Case& c : {Case{{0}, true}, Case{{1}, false}, Case{{1, 2}, true}, Case{{0, 1, 2}, true}}) {
        Select(c.rows);
        EXPECT_EQ(form->ui().MMFileCopy->isEnabled(), c.sendAsIs) << c.rows.size();
        EXPECT_EQ(form->ui().SpdBtnSend1->isEnabled(), c.sendAsIs) << c.rows.size();
        EXPECT_EQ(form->listMenuItems().sendAsIs->isEnabled(), c.sendAsIs) << c.rows.size();
        EXPECT_TRUE(form->ui().MMFileCopyRename->isEnabled());
    }

    Select({0, 1});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->ui().MMFileCopy->trigger();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text, kAskNormal);
    EXPECT_EQ(responders.messages[1].text, kTransferDone);
    EXPECT_EQ(responders.messages[1].details, QStringLiteral("REPLAY07.RPD <- ") + QString::fromStdString(lower));
    // The slot's file was replaced under its own name: no second file.
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY07.RPD", "replay07.rpd"}}));

    // Nothing with a game name selected: said after the question, no completion.
    Select({1});
    responders.messages.clear();
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendAsIs();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text, kAskNormal);
    EXPECT_EQ(responders.messages[1].text, kNothingToCopy);
}

TEST_F(GameFolderTest, MissingChangedAndFailedRowsAreNotTransferred)
{
    test::Responders responders;
    const std::string ok = Collected("REPLAY01.RPD");
    const std::string missing = Collected("REPLAY02.RPD");
    const std::string changed = Collected("REPLAY03.RPD");
    const std::string broken = dir.write("collection/REPLAY04.RPD", "not a replay");
    AddToList(responders, {ok, missing, changed, broken});
    ASSERT_EQ(form->rowModel().rowCount(), 4);
    fs::remove(missing);
    fs::last_write_time(changed, fs::last_write_time(changed) - std::chrono::hours(24));
    form->ShowFolderContents(form->document().RootNode());
    EXPECT_EQ(Icon(0) % 3, kStateUnchanged);
    EXPECT_EQ(Icon(1) % 3, kStateMissing);
    EXPECT_EQ(Icon(2) % 3, kStateChanged);
    EXPECT_EQ(Icon(3), kIconFailed);

    for (int row = 0; row < 4; ++row) {
        Select({row});
        EXPECT_EQ(form->ui().SpdBtnSend1->isEnabled(), row == 0) << row;
        EXPECT_EQ(form->ui().SpdBtnSend2->isEnabled(), row == 0) << row;
        EXPECT_TRUE(form->listMenuItems().deleteFiles->isEnabled()) << row;
    }
    Select({1, 2, 3});
    EXPECT_FALSE(form->ui().SpdBtnSend2->isEnabled());

    Select({0, 1, 2, 3});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->ui().MMFileCopy->trigger();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[1].details, QStringLiteral("REPLAY01.RPD <- ") + QString::fromStdString(ok));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY01.RPD", "REPLAY01.RPD"}}));
}

TEST_F(GameFolderTest, TransferOverAListedFileShowsItsNewState)
{
    // The list holds a file of the game folder itself; copying over it
    // changes it, and the row says so at once.
    test::Responders responders;
    const std::string inGame = InGame("REPLAY00.RPD");
    fs::last_write_time(inGame, fs::last_write_time(inGame) - std::chrono::hours(24));
    AddToList(responders, {inGame, Collected("REPLAY00.RPD")});
    EXPECT_EQ(Icon(0) % 3, kStateUnchanged);
    Select({1});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendAsIs();
    EXPECT_EQ(Icon(0) % 3, kStateChanged);
    EXPECT_EQ(form->listCommands().SelectedRows(), std::vector<int>{1});
}

TEST_F(GameFolderTest, CopyFailingMidWayIsReportedAndKeepsTheOldFile)
{
    test::Responders responders;
    const std::string old = InGame("REPLAY01.RPD");
    const std::string before = test::ReadWholeFile(old);
    AddToList(responders, {Collected("REPLAY01.RPD")});
    Select({0});

    // Writes beyond 4 KiB fail: the copy breaks off in the middle.
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit saved = limit;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendAsIs();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);

    ASSERT_EQ(responders.messages.size(), 2u);
    const QString& said = responders.messages[1].text;
    EXPECT_TRUE(said.startsWith(QStringLiteral("0個のファイルを転送しました。\n1個のファイルは転送できませんでした。")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("REPLAY01.RPD: 書き込みに失敗しました ("))) << said.toStdString();
    EXPECT_TRUE(responders.messages[1].details.isEmpty());
    EXPECT_EQ(test::ReadWholeFile(old), before);
    EXPECT_EQ(GameFiles().size(), 1u);   // no temporary file left behind
}

TEST_F(GameFolderTest, RenameKeepsAFileThatAppearedWhileAsking)
{
    test::Responders responders;
    InGame("REPLAY00.RPD");
    InGame("replay02.rpd");
    // The file appears while the question is on the screen.
    const MessageResponder queued = SetMessageResponder([&](const MessageRequest& request) {
        responders.messages.push_back(request);
        if (request.text == kAskRename) dir.write("PuyoF/REPLAY01.RPD", ReplayBytes("newcomer"));
        return static_cast<int>(kAnswerOk);
    });
    form->ui().MMRPDRename->trigger();
    SetMessageResponder(queued);
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[1].text, kRenameDone);
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY00.RPD", "REPLAY00.RPD"},
                                                               {"REPLAY01.RPD", "newcomer"},
                                                               {"replay02.rpd", "replay02.rpd"}}));

    // An empty folder: told so, nothing asked.
    for (const auto& item : fs::directory_iterator(game)) fs::remove(item.path());
    responders.messages.clear();
    form->ui().MMRPDRename->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, kNoRpd);
}

TEST_F(GameFolderTest, DeleteAllAsksEachFileUntilYesToAll)
{
    test::Responders responders;
    for (const char* name : {"REPLAY00.RPD", "replay01.rpd", "REPLAY02.RPD", "x.rpd"}) InGame(name);
    dir.write("PuyoF/notes.txt", "keep");
    fs::create_directory(game + "/folder.RPD");
    WarnDialogDriver driver(windows->warnDlg);
    driver.steps = {{&DeleteQuestionDialog::BtnNo, true}, {&DeleteQuestionDialog::BtnAllYes, true}};
    form->ui().MMRpdFileAllDelete->trigger();

    EXPECT_EQ(driver.questions, (QStringList{Question("REPLAY00.RPD"), Question("replay01.rpd")}));
    EXPECT_EQ(driver.options.first(), QStringLiteral("ごみ箱に移動する。[x]"));
    EXPECT_TRUE(responders.messages.empty());   // no message follows
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{
                               {"REPLAY00.RPD", "REPLAY00.RPD"}, {"folder.RPD", "<folder>"}, {"notes.txt", "keep"}}));
    for (const char* name : {"replay01.rpd", "REPLAY02.RPD", "x.rpd"}) EXPECT_TRUE(InTrash(name)) << name;
}

TEST_F(GameFolderTest, UntickingTheOptionDeletesAtOnce)
{
    test::Responders responders;
    for (const char* name : {"REPLAY00.RPD", "REPLAY01.RPD", "REPLAY02.RPD"}) InGame(name);
    WarnDialogDriver driver(windows->warnDlg);
    driver.steps = {{&DeleteQuestionDialog::BtnYes, true}, {&DeleteQuestionDialog::BtnAllYes, false}};
    form->ui().MMRpdFileAllDelete->trigger();
    EXPECT_TRUE(GameFiles().empty());
    EXPECT_TRUE(InTrash("REPLAY00.RPD"));
    EXPECT_FALSE(InTrash("REPLAY01.RPD"));
    EXPECT_FALSE(InTrash("REPLAY02.RPD"));

    // The next run starts ticked again; closing the dialog keeps everything.
    InGame("REPLAY05.RPD");
    InGame("REPLAY06.RPD");
    driver.questions.clear();
    driver.options.clear();
    driver.steps = {{nullptr, true}};
    form->ui().MMRpdFileAllDelete->trigger();
    EXPECT_EQ(driver.questions.size(), 1);
    EXPECT_EQ(driver.options.first(), QStringLiteral("ごみ箱に移動する。[x]"));
    EXPECT_EQ(GameFiles().size(), 2u);

    for (const auto& item : fs::directory_iterator(game)) fs::remove(item.path());
    form->ui().MMRpdFileAllDelete->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, kNoRpd);
}

TEST_F(GameFolderTest, DeleteFilesOfRowsNamesFilesOutsideTheGameFolderByPath)
{
    test::Responders responders;
    const std::string first = Collected("a.rpd");
    const std::string second = Collected("b.rpd");
    AddToList(responders, {first, second});
    // A crafted entry: listed in the game folder, named to point out of it.
    const std::string victim = dir.write("victim.RPD", ReplayBytes("victim"));
    ReplayEntry* crafted =
        test::AddEntry(form->document().list, *form->document().RootNode(), game + "/", "../victim.RPD",
                       FileAgeOf(victim));
    ASSERT_NE(crafted, nullptr);
    crafted->info.emplace();
    ASSERT_EQ(AnalyseReplay(victim, *crafted->info), kAnalyseOk);
    form->ShowFolderContents(form->document().RootNode());
    ASSERT_EQ(form->rowModel().rowCount(), 3);

    WarnDialogDriver driver(windows->warnDlg);
    Select({2});
    driver.steps = {{&DeleteQuestionDialog::BtnNo, true}};
    form->listMenuItems().deleteFiles->trigger();
    // The question names the file; the whole path it points at is in the
    // tooltip and the accessible description.
    EXPECT_EQ(driver.questions, QStringList{Question("victim.RPD")});
    EXPECT_EQ(driver.details, QStringList{QString::fromStdString(game + "/../victim.RPD")});
    EXPECT_EQ(windows->warnDlg->accessibleDescription(), driver.details.front());
    EXPECT_TRUE(fs::exists(victim));
    EXPECT_EQ(form->rowModel().rowCount(), 3);

    // Yes to all at the first question: both go at once, without the trash.
    Select({0, 1});
    driver.questions.clear();
    driver.steps = {{&DeleteQuestionDialog::BtnAllYes, false}};
    form->listMenuItems().deleteFiles->trigger();
    EXPECT_EQ(driver.questions, QStringList{Question("a.rpd")});
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
    EXPECT_FALSE(InTrash("a.rpd"));
    EXPECT_EQ(form->rowModel().rowCount(), 1);
    EXPECT_TRUE(form->document().Modified);
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(GameFolderTest, DeleteFilesSkipsFolderRowsAndReportsWhatFailed)
{
    test::Responders responders;
    const std::string file = Collected("a.rpd");
    AddToList(responders, {file});
    auto events = form->treeModel().events();
    events.beforeInsert(form->document().RootNode(), 0);
    form->document().RootNode()->addChild(Sjis("sub"));
    events.afterInsert(form->document().RootNode(), 0);
    form->ShowFolderContents(form->document().RootNode());
    // The file was replaced by a folder: it is not a file to delete.
    fs::remove(file);
    fs::create_directory(file);

    WarnDialogDriver driver(windows->warnDlg);
    Select({0, 1});
    driver.steps = {{&DeleteQuestionDialog::BtnYes, false}};
    form->listMenuItems().deleteFiles->trigger();
    EXPECT_EQ(driver.questions, QStringList{Question("a.rpd")});
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(form->rowModel().rowCount(), 1);   // the entry left the list; the folder row stays
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(GameFolderTest, CaseVariantsHoldTheirSlots)
{
    test::Responders responders;
    InGame("replay00.rpd");
    InGame("Replay01.Rpd");
    AddToList(responders, {Collected("a.rpd"), Collected("REPLAY01.RPD")});
    Select({0});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendRenamed();
    Select({1});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendAsIs();
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"replay00.rpd", "replay00.rpd"},
                                                               {"Replay01.Rpd", "REPLAY01.RPD"},
                                                               {"REPLAY02.RPD", "a.rpd"}}));
}

TEST_F(GameFolderTest, MenuItemsAreEnabledByTheSelection)
{
    test::Responders responders;
    AddToList(responders, {Collected("REPLAY01.RPD")});
    // Folder-wide commands need no selection.
    Select({});
    for (QAction* action : {form->ui().MMRPDRename, form->ui().MMRpdFileAllDelete}) EXPECT_TRUE(action->isEnabled());
    for (QAction* action : {form->ui().MMFileCopy, form->ui().MMFileCopyRename, form->ui().SpdBtnSend1,
                            form->ui().SpdBtnSend2, form->listMenuItems().sendAsIs, form->listMenuItems().sendRenamed,
                            form->listMenuItems().deleteFiles})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    Select({0});
    for (QAction* action : {form->ui().MMFileCopy, form->ui().MMFileCopyRename, form->ui().SpdBtnSend1,
                            form->ui().SpdBtnSend2, form->listMenuItems().sendAsIs, form->listMenuItems().sendRenamed,
                            form->listMenuItems().deleteFiles})
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    // Closing the list takes the selection away.
    form->EnableDocument(false);
    EXPECT_FALSE(form->ui().MMFileCopy->isEnabled());
    EXPECT_TRUE(form->ui().MMRpdFileAllDelete->isEnabled());
}

TEST(DeleteQuestionDialogLayout, AsTheWindowIsMade)
{
    DeleteQuestionDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("警告"));
    EXPECT_EQ(dialog.size(), QSize(367, 110));
    EXPECT_EQ(dialog.Image->geometry(), QRect(12, 16, 32, 32));
    EXPECT_FALSE(dialog.Image->pixmap().isNull());
    EXPECT_EQ(dialog.Label->geometry(), QRect(60, 16, 293, 41));
    EXPECT_TRUE(dialog.Label->wordWrap());
    EXPECT_EQ(dialog.CB_Option->geometry(), QRect(56, 56, 145, 17));
    EXPECT_TRUE(dialog.CB_Option->isChecked());
    const std::vector<std::tuple<QPushButton*, const char*, int>> buttons = {
        {dialog.BtnYes, "はい(&Y)", 10},
        {dialog.BtnAllYes, "すべてはい(&A)", 96},
        {dialog.BtnNo, "いいえ(&N)", 184},
        {dialog.BtnAllNo, "キャンセル", 272},
    };
    for (const auto& [button, caption, x] : buttons) {
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        EXPECT_EQ(button->geometry(), QRect(x, 80, 81, 22)) << caption;
    }
    // Tab order: BtnYes, CB_Option, BtnNo, BtnAllNo, BtnAllYes, and round.
    std::vector<QWidget*> chain;
    QWidget* at = dialog.BtnYes;
    for (int i = 0; i < 5; ++i, at = at->nextInFocusChain()) {
        while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
        chain.push_back(at);
    }
    EXPECT_EQ(chain, (std::vector<QWidget*>{dialog.BtnYes, dialog.CB_Option, dialog.BtnNo, dialog.BtnAllNo,
                                            dialog.BtnAllYes}));
}

TEST(DeleteQuestionDialogLayout, EachButtonAndTheCloseBoxGiveTheirAnswer)
{
    DeleteQuestionDialog dialog;
    WarnDialogDriver driver(&dialog);
    driver.steps = {{&DeleteQuestionDialog::BtnYes, true},   {&DeleteQuestionDialog::BtnAllYes, true},
                    {&DeleteQuestionDialog::BtnNo, true},    {&DeleteQuestionDialog::BtnAllNo, true},
                    {nullptr, false}};
    EXPECT_EQ(dialog.Ask(QStringLiteral("q1")).answer, DeleteAnswer::Yes);
    EXPECT_EQ(dialog.Ask(QStringLiteral("q2")).answer, DeleteAnswer::YesToAll);
    EXPECT_EQ(dialog.Ask(QStringLiteral("q3")).answer, DeleteAnswer::No);
    EXPECT_EQ(dialog.Ask(QStringLiteral("q4")).answer, DeleteAnswer::NoToAll);
    const DeleteReply closed = dialog.Ask(QStringLiteral("q5"));
    EXPECT_EQ(closed.answer, DeleteAnswer::Cancel);
    EXPECT_FALSE(closed.optionTicked);
    EXPECT_EQ(driver.questions, (QStringList{"q1", "q2", "q3", "q4", "q5"}));

    // Esc is the close box.
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    driver.steps.clear();
    dialog.removeEventFilter(&driver);
    EXPECT_EQ(dialog.Ask(QStringLiteral("q6")).answer, DeleteAnswer::Cancel);
}

}  // namespace
}  // namespace replidex
