// Recording what listed files hold, headless: nothing while
// 「ファイルの内容を記録する」 is off, the files of an add on the recording
// thread (hashed while the add analyses them, recorded only when listed), listed files without a record when the window
// is idle, and the settings page of the option.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "core/file/ContentHash.h"
#include "core/file/NativeFiles.h"
#include "core/replay/FileTime.h"
#include "core/settings/ProfileFile.h"
#include "core/text/SjisCodec.h"
#include "gui/main/AddReplaysCommand.h"
#include "gui/main/MainWindow.h"
#include "gui/settings/ContentIndexSettingsPage.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/tools/ContentIndexFile.h"
#include "gui/tools/ContentRecorder.h"
#include "platform/ContentIndexLocation.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"
#include "GuiTestSupport.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

class ContentRecordingTest : public ::testing::Test {
protected:
    void Start(const std::string& ini = {})
    {
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        windows = test::MakeWindowsWithGameFolder(dir, ini);
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        form->contentRecorder().setIdleDelay(10);
    }
    // `count` different replay files in the folder `relative`; their paths.
    std::vector<std::string> WriteReplays(const std::string& relative, int count)
    {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            test::ReplayDescription d = test::NetMatchDescription();
            d.paddingSeed = static_cast<std::uint64_t>(i) + 1;
            paths.push_back(dir.write(relative + "/R" + std::to_string(i) + ".RPD", test::BuildReplay(d).bytes));
        }
        return paths;
    }
    bool Idle() const { return !form->contentRecorder().busy(); }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(ContentRecordingTest, NothingIsRecordedWhileTheOptionIsOff)
{
    Start("[ContentIndex]\nRecord=0\n");
    WriteReplays("in", 3);
    ASSERT_TRUE(form->addReplays().AddFolderReplays(Sjis(dir.file("in"))));
    ASSERT_EQ(form->addReplays().lastAdd().analysis.analysed, 3);
    QTest::qWait(200);   // many idle ticks
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(fs::exists(FsPath(ContentIndexPath())));
}

TEST_F(ContentRecordingTest, AnAddRecordsItsFilesOnTheRecordingThread)
{
    Start();
    form->contentRecorder().setIdleDelay(60 * 1000);   // only the add's own pass
    const std::vector<std::string> files = WriteReplays("in", 4);
    ASSERT_TRUE(form->addReplays().AddFolderReplays(Sjis(dir.file("in"))));
    ASSERT_TRUE(test::WaitUntil([&] { return Idle() && LoadContentIndex().size() == files.size(); }));
    const ContentIndex index = LoadContentIndex();
    for (const std::string& file : files) {
        const ContentRecord* record = index.findCurrent(Sjis(file), FileAgeOf(Sjis(file)));
        ASSERT_NE(record, nullptr) << file;
        EXPECT_EQ(record->size, fs::file_size(FsPath(file)));
        EXPECT_EQ(record->hash, FileContentHash128(file));
    }
}

TEST_F(ContentRecordingTest, FilesHashedWhileAnalysedAreRecordedOnlyWhenListed)
{
    Start();
    form->contentRecorder().setIdleDelay(60 * 1000);
    const std::vector<std::string> files = WriteReplays("in", 3);
    // Collected and hashed with the others, but its analysis fails: not listed.
    const std::string broken = dir.write("in/BROKEN.RPD", std::string(3000, 'x'));
    std::vector<std::size_t> collected;
    QObject::connect(&form->addReplays(), &AddReplaysCommand::collected,
                     [&](const std::vector<IndexJob>& jobs) { collected.push_back(jobs.size()); });
    ASSERT_TRUE(form->addReplays().AddFolderReplays(Sjis(dir.file("in"))));
    EXPECT_EQ(collected, std::vector<std::size_t>{4});
    ASSERT_TRUE(test::WaitUntil([&] { return Idle() && LoadContentIndex().size() >= files.size(); }));
    const ContentIndex index = LoadContentIndex();
    EXPECT_EQ(index.size(), files.size());
    EXPECT_EQ(index.find(Sjis(broken)), nullptr);
    for (const std::string& file : files)
        EXPECT_NE(index.findCurrent(Sjis(file), FileAgeOf(Sjis(file))), nullptr) << file;
}

TEST_F(ContentRecordingTest, AnIdleWindowRecordsListedFilesWithoutRecordOnce)
{
    Start();
    const std::vector<std::string> files = WriteReplays("old", 2);
    ReplayDocument& doc = form->document().list;
    for (const std::string& file : files) {
        const std::string sjis = Sjis(file);
        const std::string name = FsPath(file).filename().string();
        test::AddEntry(doc, *doc.root, sjis.substr(0, sjis.size() - name.size()), name, FileAgeOf(sjis));
    }
    test::AddEntry(doc, *doc.root, Sjis(dir.file("gone/")), "x.RPD", FileAgeOf(Sjis(files[0])));
    int passes = 0;
    QObject::connect(&form->contentRecorder(), &ContentRecorder::passFinished, [&](int) { ++passes; });
    ASSERT_TRUE(test::WaitUntil([&] { return passes >= 1 && LoadContentIndex().size() == 2; }));
    QTest::qWait(150);
    EXPECT_EQ(passes, 1);   // the list is unchanged: looked at once, the missing file too
    EXPECT_NE(LoadContentIndex().findCurrent(Sjis(files[1]), FileAgeOf(Sjis(files[1]))), nullptr);
}

TEST_F(ContentRecordingTest, SettingsPageTurnsRecordingOffAndShowsTheIndex)
{
    Start();
    EditContentIndex([](ContentIndex& index) { index.put({"a.RPD", 1, 2, {3, 4}}); });
    SettingsDialog* dialog = windows->config;
    ASSERT_NE(dialog, nullptr);
    ContentIndexSettingsPage& page = dialog->contentIndexPage();
    QTabWidget* pages = dialog->ui().PC;
    ASSERT_GE(pages->indexOf(&page), 0);
    EXPECT_EQ(pages->tabText(pages->indexOf(&page)), QStringLiteral("内容の記録"));
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_TRUE(page.CB_Record->isChecked());
        EXPECT_EQ(page.CB_Record->text(), QStringLiteral("ファイルの内容を記録する"));
        EXPECT_TRUE(page.Place->text().endsWith(QString::fromStdString(ContentIndexPath())));
        EXPECT_EQ(page.Holds->text(), QStringLiteral("記録: 1件"));
        page.CB_Record->setChecked(false);
        dialog->ui().BtnOK->click();
    });
    form->MMConfigClick();
    EXPECT_FALSE(form->program().contentIndex.record);
    EXPECT_EQ(ProfileFile(dir.file("program/replidex.ini")).readInt("ContentIndex", "Record", -1), 0);
}

}  // namespace
}  // namespace replidex
