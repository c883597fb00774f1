// The window's changes to the game folder through the shared journal: the
// plan as the question's details, the preview dialog, undo of the last
// operation, the history and the start-up recovery.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/journal/Journal.h"
#include "core/replay/ReplayFileReader.h"
#include "core/settings/ProfileFile.h"
#include "gui/dialogs/DeleteQuestionDialog.h"
#include "gui/main/MainWindow.h"
#include "gui/settings/JournalSettingsPage.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/settings/SettingsDialogUi.h"
#include "gui/journal/FolderChangeRun.h"
#include "gui/journal/JournalHistoryDialog.h"
#include "gui/journal/JournalHistoryModel.h"
#include "gui/journal/JournalMenu.h"
#include "gui/journal/PlanPreviewDialog.h"
#include "gui/journal/PlanTableModel.h"
#include "platform/JournalLocation.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

const QString kAskAdditional = QStringLiteral("追加転送します。よろしいですか？");
const QString kAskNormal = QStringLiteral("通常転送します。よろしいですか？\n※既存ファイルは上書きされます。");

// Answers the warning dialog each time it shows: sets its option box and
// presses the next button.
class WarnDialogAnswers final : public QObject {
public:
    struct Step {
        QPushButton* DeleteQuestionDialog::*button;
        bool option;
    };
    WarnDialogAnswers(DeleteQuestionDialog* dialog, std::deque<Step> steps) : dialog_(dialog), steps_(std::move(steps))
    {
        dialog->installEventFilter(this);
    }
    ~WarnDialogAnswers() override { dialog_->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) QTimer::singleShot(0, this, [this] { Act(); });
        return false;
    }

private:
    void Act()
    {
        if (steps_.empty()) {
            dialog_->close();
            return;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        dialog_->CB_Option->setChecked(step.option);
        QTest::mouseClick(dialog_->*step.button, Qt::LeftButton);
    }
    DeleteQuestionDialog* dialog_;
    std::deque<Step> steps_;
};

class JournalGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_STATE_HOME"}) {
            if (const char* value = std::getenv(name)) saved_[name] = value;
            ::setenv(name, dir.file(name).c_str(), 1);
        }
        game = dir.file("PuyoF");
        fs::create_directories(game);
    }
    void TearDown() override
    {
        if (windows) windows->mainWindow()->SetModified(false);
        windows.reset();
        SetPreviewBeforeFolderChanges(false);
        SetPlanPreviewResponder({});
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
    }
    void Start(const std::string& extraIni = {})
    {
        windows = test::MakeWindowsWithGameFolder(dir, extraIni);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }

    static std::string ReplayBytes(const std::string& name)
    {
        test::ReplayDescription d = test::NetMatchDescription();
        d.p1.name = name;
        return test::BuildReplay(d).bytes;
    }
    std::string InGame(const std::string& name) { return dir.write("PuyoF/" + name, ReplayBytes(name)); }
    std::string Collected(const std::string& name) { return dir.write("collection/" + name, ReplayBytes(name)); }
    void AddAndSelectAll(test::Responders& responders, const std::vector<std::string>& paths)
    {
        QStringList picked;
        for (const std::string& path : paths) picked << QString::fromStdString(path);
        responders.dialogAnswers.push_back(picked);
        form->ui().SpdBtnAddFile->trigger();
        form->ShowFolderContents(form->document().RootNode());
        responders.messages.clear();
        form->ui().List->selectAll();
        form->listCommands().RunEnabling();
    }
    // Name -> first player's name of each file of the game folder.
    std::map<std::string, std::string> GameFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::directory_iterator(game)) {
            ReplayInfo info;
            files[item.path().filename().string()] = AnalyseReplayAtNativePath(item.path().string(), info) == kAnalyseOk
                                                         ? std::string(info.p1.nameText())
                                                         : "?";
        }
        return files;
    }
    QAction* Undo() { return form->journalMenu().undo; }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    std::string game;

private:
    std::map<std::string, std::string> saved_;
};

TEST_F(JournalGuiTest, QuestionCarriesThePlanAndUndoRestoresTheFolder)
{
    test::Responders responders;
    Start();
    InGame("REPLAY00.RPD");
    InGame("REPLAY02.RPD");
    const auto before = GameFiles();
    const std::string a = Collected("a.rpd"), b = Collected("b.rpd");
    AddAndSelectAll(responders, {a, b});
    form->journalMenu().Refresh();
    EXPECT_FALSE(Undo()->isEnabled());
    EXPECT_EQ(Undo()->text(), QStringLiteral("元に戻す(&U)"));

    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendRenamed();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text, kAskAdditional);
    EXPECT_EQ(responders.messages[0].details,
              QStringLiteral("コピー: REPLAY01.RPD <- %1\nコピー: REPLAY03.RPD <- %2")
                  .arg(QString::fromStdString(a), QString::fromStdString(b)));
    EXPECT_EQ(GameFiles().size(), 4u);

    // The command line reads the same journal.
    const std::vector<JournalEntry> entries = JournalStore(JournalFolder()).entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].plan.kind, OperationKind::SendRenamed);
    EXPECT_TRUE(entries[0].complete);

    form->journalMenu().Refresh();
    EXPECT_TRUE(Undo()->isEnabled());
    EXPECT_EQ(Undo()->text(), QStringLiteral("元に戻す: 追加転送 (2ファイル)(&U)"));
    responders.messages.clear();
    Undo()->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].text, QStringLiteral("元に戻しました。"));
    EXPECT_EQ(GameFiles(), before);
    EXPECT_FALSE(Undo()->isEnabled());
}

TEST_F(JournalGuiTest, UndoOfAnOverwriteBringsTheOriginalBackAndLeavesWhatTheGameWrote)
{
    test::Responders responders;
    Start();
    InGame("REPLAY01.RPD");
    AddAndSelectAll(responders, {dir.write("collection/REPLAY01.RPD", ReplayBytes("newer")),
                                 dir.write("collection/REPLAY02.RPD", ReplayBytes("second"))});
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    form->SendAsIs();
    EXPECT_EQ(responders.messages[0].text, kAskNormal);
    EXPECT_TRUE(responders.messages[0].details.startsWith(QStringLiteral("上書き: REPLAY01.RPD <- ")));
    EXPECT_EQ(GameFiles().at("REPLAY01.RPD"), "newer");

    dir.write("PuyoF/REPLAY02.RPD", ReplayBytes("game"));   // the game reuses the slot
    responders.messages.clear();
    form->journalMenu().Refresh();
    Undo()->trigger();
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_TRUE(responders.messages[0].text.startsWith(QStringLiteral("1個の手順を元に戻しました。")));
    EXPECT_EQ(responders.messages[0].details, QStringLiteral("REPLAY02.RPD (コピー): その後に変更されています"));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{"REPLAY01.RPD", "REPLAY01.RPD"},
                                                               {"REPLAY02.RPD", "game"}}));
}

TEST_F(JournalGuiTest, PreviewDialogShowsThePlanInsteadOfTheQuestion)
{
    test::Responders responders;
    Start();
    InGame("REPLAY00.RPD");
    InGame("REPLAY01.RPD");
    form->journalMenu().preview->trigger();
    ASSERT_TRUE(PreviewBeforeFolderChanges());

    struct Seen {
        QString title, question, counts;
        bool permanent = false;
        int rows = 0;
        QStringList header, firstRow;
    };
    std::vector<Seen> seen;
    bool answer = false;
    SetPlanPreviewResponder([&](PlanPreviewDialog& dialog) {
        QAbstractItemModelTester tester(dialog.model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        Seen s{dialog.windowTitle(), dialog.Question->text(), dialog.Counts->text(), !dialog.Permanent->isHidden(),
               dialog.model->rowCount(), {}, {}};
        for (int c = 0; c < dialog.model->columnCount(); ++c) {
            s.header << dialog.model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            s.firstRow << dialog.model->index(0, c).data().toString();
        }
        EXPECT_EQ(dialog.BtnRun->text(), QStringLiteral("実行"));
        EXPECT_EQ(dialog.BtnCancel->text(), QStringLiteral("キャンセル"));
        seen.push_back(s);
        return answer;
    });

    // The rename: cancelled, nothing changes and no box is shown.
    InGame("REPLAY05.RPD");
    fs::remove(game + "/REPLAY01.RPD");
    form->ui().MMRPDRename->trigger();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(responders.messages.empty());
    EXPECT_EQ(seen[0].title, QStringLiteral("PuyoFフォルダ操作の確認"));
    EXPECT_EQ(seen[0].header, (QStringList{QStringLiteral("操作"), QStringLiteral("PuyoFフォルダ内の名前"),
                                           QStringLiteral("元のファイル"), QStringLiteral("備考")}));
    EXPECT_EQ(seen[0].firstRow.mid(0, 3),
              (QStringList{QStringLiteral("リネーム"), QStringLiteral("REPLAY01.RPD"), QStringLiteral("REPLAY05.RPD")}));
    EXPECT_EQ(seen[0].counts, QStringLiteral("リネーム 1"));
    EXPECT_FALSE(seen[0].permanent);
    EXPECT_TRUE(fs::exists(game + "/REPLAY05.RPD"));

    // Deleting all without the trash: the plan says it cannot be undone.
    answer = true;
    WarnDialogAnswers warn(windows->warnDlg, {{&DeleteQuestionDialog::BtnAllYes, false}});
    form->ui().MMRpdFileAllDelete->trigger();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[1].permanent);
    EXPECT_EQ(seen[1].counts, QStringLiteral("完全に削除 2"));
    EXPECT_EQ(seen[1].firstRow.at(3), QStringLiteral("元に戻せません"));
    EXPECT_TRUE(GameFiles().empty());
}

TEST_F(JournalGuiTest, PreviewOptionIsKeptInTheSettingsFile)
{
    Start("[Journal]\nPreviewBeforeChange=1\n");
    EXPECT_TRUE(form->journalMenu().preview->isChecked());
    form->journalMenu().preview->trigger();
    EXPECT_FALSE(PreviewBeforeFolderChanges());
    form->close();
    EXPECT_EQ(ProfileFile(dir.file("program/replidex.ini")).readInt("Journal", "PreviewBeforeChange", -1), 0);
}

TEST_F(JournalGuiTest, HistoryListsEachStepWithItsSourceAndOperation)
{
    test::Responders responders;
    Start();
    const std::string a = Collected("a.rpd");
    AddAndSelectAll(responders, {a});
    responders.messageAnswers = {kAnswerOk, kAnswerOk, kAnswerOk, kAnswerOk};
    form->SendRenamed();
    InGame("REPLAY03.RPD");
    form->ui().MMRPDRename->trigger();

    form->journalMenu().history->trigger();
    auto* dialog = form->findChild<JournalHistoryDialog*>(QStringLiteral("JournalHistoryDialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("PuyoFフォルダの操作履歴"));
    QAbstractItemModelTester tester(dialog->model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(dialog->model->rowCount(), 2);
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = JournalHistoryModel::ColumnOperation; c < JournalHistoryModel::ColumnCount; ++c)
            cells << dialog->model->index(r, c).data().toString();
        return cells;
    };
    // Newest first.
    EXPECT_EQ(row(0), (QStringList{QStringLiteral("昇順リネーム"), QStringLiteral("リネーム"),
                                   QStringLiteral("REPLAY01.RPD"), QStringLiteral("REPLAY03.RPD"),
                                   QStringLiteral("完了")}));
    EXPECT_EQ(row(1), (QStringList{QStringLiteral("追加転送"), QStringLiteral("コピー"), QStringLiteral("REPLAY00.RPD"),
                                   QString::fromStdString(a), QStringLiteral("完了")}));
    EXPECT_FALSE(dialog->model->index(0, JournalHistoryModel::ColumnTime).data().toString().isEmpty());
    dialog->close();
}

TEST_F(JournalGuiTest, StartUpOffersToUndoAnOperationThatEndedHalfWay)
{
    const std::string a = Collected("a.rpd"), b = Collected("b.rpd");
    {
        // A transfer whose process ended after its first copy.
        std::error_code error;
        const OperationPlan plan = PlanAdditionalTransfer(game, ListFolder(game, error), {{a, "a.rpd"}, {b, "b.rpd"}});
        JournalStore store(JournalFolder());
        ASSERT_TRUE(store.begin(plan, error));
        fs::copy_file(a, game + "/REPLAY00.RPD");
    }
    test::Responders responders;
    responders.messageAnswers = {kAnswerOk, kAnswerOk};
    Start();
    ASSERT_EQ(responders.messages.size(), 2u);
    EXPECT_EQ(responders.messages[0].text,
              QStringLiteral("前回のPuyoFフォルダ操作は途中で終了しました。\n終了した手順を元に戻しますか？"));
    EXPECT_EQ(responders.messages[0].details,
              QStringLiteral("追加転送 (%1)\n完了: コピー REPLAY00.RPD <- %2\n未実行: コピー REPLAY01.RPD <- %3")
                  .arg(QString::fromStdString(JournalStore(JournalFolder()).entries()[0].plan.folder),
                       QString::fromStdString(a), QString::fromStdString(b)));
    EXPECT_EQ(responders.messages[1].text, QStringLiteral("元に戻しました。"));
    EXPECT_TRUE(GameFiles().empty());

    // Told once only.
    windows.reset();
    responders.messages.clear();
    Start();
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(JournalGuiTest, DeletingFilesOfRowsJournalsOnlyTheGameFolderFiles)
{
    test::Responders responders;
    Start();
    const std::string inGame = InGame("REPLAY04.RPD");
    const std::string outside = Collected("a.rpd");
    AddAndSelectAll(responders, {inGame, outside});
    WarnDialogAnswers warn(windows->warnDlg, {{&DeleteQuestionDialog::BtnAllYes, true}});
    form->listMenuItems().deleteFiles->trigger();
    EXPECT_FALSE(fs::exists(inGame));
    EXPECT_FALSE(fs::exists(outside));
    const std::vector<JournalEntry> entries = JournalStore(JournalFolder()).entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].plan.kind, OperationKind::DeleteFiles);
    ASSERT_EQ(entries[0].plan.steps.size(), 1u);
    EXPECT_EQ(entries[0].plan.steps[0].name, "REPLAY04.RPD");

    form->journalMenu().Refresh();
    EXPECT_EQ(Undo()->text(), QStringLiteral("元に戻す: 実ファイルを削除 (1ファイル)(&U)"));
    responders.messages.clear();
    Undo()->trigger();
    EXPECT_TRUE(fs::exists(inGame));   // back from the trash
    EXPECT_FALSE(fs::exists(outside));
}

TEST_F(JournalGuiTest, SettingsPageTurnsThePreviewOnAndShowsWhatTheJournalKeeps)
{
    Start();
    SettingsDialog* dialog = windows->config;
    ASSERT_NE(dialog, nullptr);
    const SettingsDialogUi& ui = dialog->ui();
    const int page = ui.PC->indexOf(ui.TS_Journal);
    ASSERT_GE(page, 0);
    EXPECT_EQ(ui.PC->tabText(page), QStringLiteral("操作履歴"));
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_FALSE(ui.TS_Journal->CB_Preview->isChecked());
        EXPECT_EQ(ui.TS_Journal->Keeps->text(), QStringLiteral("保存する操作: 最新50件\n上書き前のファイル: 最大100 MB"));
        EXPECT_EQ(ui.TS_Journal->Holds->text(), QStringLiteral("現在: 0件、0.0 MB"));
        ui.TS_Journal->CB_Preview->setChecked(true);
        QTest::mouseClick(ui.BtnOK, Qt::LeftButton);
    });
    form->MMConfigClick();
    EXPECT_TRUE(PreviewBeforeFolderChanges());
    form->journalMenu().Refresh();
    EXPECT_TRUE(form->journalMenu().preview->isChecked());
    EXPECT_EQ(ProfileFile(dir.file("program/replidex.ini")).readInt("Journal", "PreviewBeforeChange", -1), 1);
}

}  // namespace
}  // namespace replidex
