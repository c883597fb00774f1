// Archiving from the window: the plan table (model tester), the dialog
// through the ツール menu with its result box and the list folder, the
// settings page's section, and the watch of the game folder.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "GuiTestSupport.h"
#include "core/list/FolderOps.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "gui/archive/ArchiveCommand.h"
#include "gui/archive/ArchiveDialog.h"
#include "gui/archive/ArchivePlanModel.h"
#include "gui/archive/ArchiveWatcher.h"
#include "gui/main/MainWindow.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

class ArchiveGui : public ::testing::Test {
protected:
    void Start(const std::string& archiveIni)
    {
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);
        for (const char* name : {"REPLAY01.RPD", "replay05.rpd"}) WriteSlot(name, name);
        windows = test::MakeWindowsWithGameFolder(
            dir, "[Archive]\nFolder=" + dir.file("archive") + "\nFolderTemplate=\n" + archiveIni);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        form->NewList({}, Sjis("無題.rdx"));
        form->SetModified(false);
    }
    void WriteSlot(const std::string& name, const std::string& player)
    {
        test::ReplayDescription d = test::NetMatchDescription();
        d.p1.name = player;
        dir.write("PuyoF/" + name, test::BuildReplay(d).bytes);
    }
    int ArchivedInList() const
    {
        const ReplayFolder* folder = FindChildFolder(form->document().RootNode(), Sjis("取り込み"));
        return folder && folder->entries ? static_cast<int>(folder->entries->size()) : 0;
    }
    int FilesIn(const std::string& relative) const
    {
        std::error_code ec;
        int n = 0;
        for (auto it = fs::directory_iterator(dir.path() / relative, ec); !ec && it != fs::directory_iterator(); ++it) ++n;
        return n;
    }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(ArchiveGui, ThePlanTableIsASoundModelWithItsColumns)
{
    Start("");
    ArchivePlanModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    dir.write("PuyoF/REPLAY09.RPD", "broken");
    model.setPlan(form->archive().Plan(dir.file("archive"), {}));
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 7);
    const auto cell = [&](int row, int column) { return model.index(row, column).data().toString(); };
    EXPECT_EQ(cell(0, ArchivePlanModel::Slot), QStringLiteral("REPLAY01.RPD"));
    EXPECT_EQ(cell(1, ArchivePlanModel::Player1), QStringLiteral("replay05.rpd"));
    EXPECT_TRUE(cell(0, ArchivePlanModel::Name).endsWith(QStringLiteral("_REPLAY01.RPD_vs_") + cell(0, ArchivePlanModel::Player2) + QStringLiteral(".RPD")));
    EXPECT_EQ(cell(0, ArchivePlanModel::State), QStringLiteral("取り込む"));
    EXPECT_TRUE(cell(2, ArchivePlanModel::Name).endsWith(QStringLiteral("_REPLAY09.RPD")));   // failed analysis: still archived
    EXPECT_EQ(model.headerData(ArchivePlanModel::Name, Qt::Horizontal).toString(), QStringLiteral("取り込み名"));
    model.setPlan({});
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(ArchiveGui, TheDialogArchivesIntoTheListFolderAndTellsTheCounts)
{
    Start("");
    test::Responders responders;
    QAction* action = form->archive().archiveAction();
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("PuyoFフォルダから取り込む(&I)..."));
    EXPECT_TRUE(form->ui().MMTools->actions().contains(action));
    QString preview;
    int rows = 0;
    QTimer::singleShot(0, [&] {
        ArchiveDialog* dialog = form->archive().dialog();
        ASSERT_NE(dialog, nullptr);
        rows = dialog->model().rowCount();
        dialog->Edit_NameTemplate->setText(QStringLiteral("%slot%_%1p%"));
        preview = dialog->Label_Preview->text();
        dialog->BtnArchive->click();
    });
    action->trigger();
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(preview, QStringLiteral("01_REPLAY01.RPD"));
    ASSERT_FALSE(responders.messages.empty());
    EXPECT_TRUE(responders.messages.back().text.startsWith(QStringLiteral("取り込み: 2件\n取り込み済み: 0件\n失敗: 0件")))
        << responders.messages.back().text.toStdString();
    EXPECT_EQ(FilesIn("archive"), 2);
    EXPECT_EQ(ArchivedInList(), 2);
    EXPECT_TRUE(form->IsModified());
    EXPECT_EQ(form->program().archive.nameTemplate, "%slot%_%1p%");
    EXPECT_EQ(ProfileFile(dir.file("program/replidex.ini")).readString("Archive", "NameTemplate", ""), "%slot%_%1p%");

    // Again: everything is already archived, nothing more in the list.
    QTimer::singleShot(0, [&] { form->archive().dialog()->BtnArchive->click(); });
    action->trigger();
    EXPECT_TRUE(responders.messages.back().text.startsWith(QStringLiteral("取り込み: 0件\n取り込み済み: 2件")));
    EXPECT_EQ(ArchivedInList(), 2);
    // Cancelled: nothing happens.
    WriteSlot("REPLAY02.RPD", "new");
    const std::size_t told = responders.messages.size();
    QTimer::singleShot(0, [&] { form->archive().dialog()->BtnCancel->click(); });
    action->trigger();
    EXPECT_EQ(responders.messages.size(), told);
    EXPECT_EQ(FilesIn("archive"), 2);
}

TEST_F(ArchiveGui, TheWatchArchivesSettledAndRewrittenSlotsOnly)
{
    Start("Watch=1\n");
    ArchiveWatcher& watcher = form->archive().watcher();
    ASSERT_TRUE(watcher.watching());
    QStatusBar* status = form->ui().StatusBar;
    // The look at start: both slot files once they are quiet.
    ASSERT_TRUE(test::WaitUntil([&] { return FilesIn("archive") == 2; }, 6000));
    EXPECT_EQ(ArchivedInList(), 2);
    EXPECT_TRUE(form->IsModified());

    WriteSlot("REPLAY07.RPD", "seven");
    ASSERT_TRUE(test::WaitUntil([&] { return status->currentMessage() == QStringLiteral("REPLAY07.RPD を取り込みました"); }, 6000))
        << status->currentMessage().toStdString();
    EXPECT_EQ(FilesIn("archive"), 3);
    WriteSlot("REPLAY07.RPD", "seven again");   // rewritten: archived again under a new name
    ASSERT_TRUE(test::WaitUntil([&] { return FilesIn("archive") == 4; }, 6000));
    EXPECT_EQ(ArchivedInList(), 4);

    // Switched off: nothing more.
    form->program().archive.watch = false;
    form->archive().applySettings();
    EXPECT_FALSE(watcher.watching());
    WriteSlot("REPLAY08.RPD", "eight");
    test::WaitUntil([] { return false; }, 2600);
    EXPECT_EQ(FilesIn("archive"), 4);
}

}  // namespace
}  // namespace replidex
