// The settings dialog driven as a user would: what it shows at first start
// and from the settings file, the column page and its rules, OK and Cancel
// with what each applies and writes, the game folder button, the
// association box, and a failing write of the settings file.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "GuiTestSupport.h"
#include "core/settings/ProfileFile.h"
#include "gui/browse/ColumnLayout.h"
#include "gui/browse/ReplayListView.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/settings/ColumnListModel.h"
#include "gui/settings/SettingsDialog.h"
#include "platform/FileAssociation.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

namespace fs = std::filesystem;

QStringList Captions(const ColumnListModel& model)
{
    QStringList captions;
    for (const ColumnConfigRow& row : model.rows()) captions << QString::fromStdString(row.caption);
    return captions;
}

QStringList HeaderCaptions(const QTreeView* view)
{
    QStringList captions;
    for (const int logical : HeaderOrder(view->header()))
        captions << view->model()->headerData(logical, Qt::Horizontal).toString();
    return captions;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("USER", "tester", 1); }

    void Start(const std::string& extraIni = {})
    {
        windows = test::MakeWindowsWithGameFolder(dir, extraIni);
        Started();
    }
    void Started()
    {
        form = windows->mainWindow();
        dialog = windows->config;
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
    }
    std::string IniPath() const { return dir.path().string() + "/program/replidex.ini"; }
    std::string Ini() const { return test::ReadWholeFile(IniPath()); }

    // Opens the dialog from the main window and runs `whileShown` while it is
    // up; the dialog is cancelled afterwards unless `whileShown` closed it.
    void WhileShown(const std::function<void()>& whileShown, QTreeView* columnSource = nullptr)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = QApplication::activeModalWidget() == dialog;
            whileShown();
            if (dialog->isVisible()) dialog->ui().BtnCancel->click();
        });
        form->MMConfigClick(columnSource);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(dialog->isVisible());
    }
    void SelectRow(int row)
    {
        dialog->ui().List->selectionModel()->setCurrentIndex(
            dialog->columnList().index(row), QItemSelectionModel::ClearAndSelect);
    }
    int RowOf(const char* caption) const { return static_cast<int>(Captions(dialog->columnList()).indexOf(caption)); }
    // Clicks the check box of a row of the column list.
    void ClickCheckBox(int row)
    {
        QTreeView* list = dialog->ui().List;
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualRect(dialog->columnList().index(row));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    }
    bool Checked(const char* caption) const
    {
        return dialog->columnList().rows()[static_cast<std::size_t>(RowOf(caption))].checked;
    }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
    SettingsDialog* dialog = nullptr;
};

TEST_F(SettingsDialogTest, FirstStartWithoutASettingsFile)
{
    // No settings file; the game folder is found in the Wine prefix.
    const fs::path game = dir.path() / "wine/drive_c/users/tester/AppData/Roaming/Sega/PuyoF";
    fs::create_directories(game);
    fs::create_directories(dir.path() / "program");
    setenv("WINEPREFIX", (dir.path() / "wine").c_str(), 1);
    StartupOptions options;
    options.programFolder = dir.path().string() + "/program/";
    options.iniPath = IniPath();
    test::Responders responders;
    windows = std::make_unique<ApplicationWindows>(options);
    windows->mainWindow()->show();
    Started();

    EXPECT_TRUE(form->ui().MMRecentFileList->actions().isEmpty());
    EXPECT_TRUE(form->ui().MMRecentFolder->actions().isEmpty());
    WhileShown([&] {
        const SettingsDialogUi& ui = dialog->ui();
        EXPECT_EQ(ui.PC->currentWidget(), ui.TS_Column);
        EXPECT_EQ(ui.CB_SearchPage->currentText(), QStringLiteral("100"));
        EXPECT_TRUE(ui.CB_NoExist->isChecked());
        EXPECT_FALSE(ui.CB_Extention->isChecked());
        EXPECT_EQ(ui.Edit_Path->text(), QString::fromStdString(game.string()));
        EXPECT_EQ(Captions(dialog->columnList()),
                  (QStringList{"File", "Path", "Info", "1P", "2P", "Memo"}));
        for (const ColumnConfigRow& row : dialog->columnList().rows()) EXPECT_TRUE(row.checked);
    });
    EXPECT_TRUE(responders.messages.empty());
}

TEST_F(SettingsDialogTest, ControlsAndCaptions)
{
    Start();
    SettingsDialogUi& ui = dialog->ui();
    EXPECT_EQ(dialog->size(), QSize(284, 249));
    const std::vector<std::pair<QString, const char*>> texts = {
        {dialog->windowTitle(), "設定"}, {ui.PC->tabText(0), "列の表示"}, {ui.PC->tabText(1), "検索"},
        {ui.PC->tabText(2), "その他"}, {ui.List->model()->headerData(0, Qt::Horizontal).toString(), "項目"},
        {ui.SpdBtnUp->toolTip(), "上へ"}, {ui.SpdBtnDown->toolTip(), "下へ"},
        {ui.CB_SearchPage->itemText(9), "1000"}, {ui.Label1->text(), "件毎に表示"},
        {ui.CB_NoExist->text(), "存在しない／差分のあるファイルは検索対象外"},
        {ui.GB_PuyoFPath->title(), "PuyoFフォルダ"}, {ui.Btn_Path->text(), "設定"},
        {ui.GB_Extention->title(), "関連付け"}, {ui.CB_Extention->text(), ".rdx拡張子を本ツールに関連付ける"},
        {ui.BtnOK->text(), "OK"}, {ui.BtnCancel->text(), "キャンセル"}};
    for (const auto& [actual, expected] : texts) EXPECT_EQ(actual, QString::fromUtf8(expected));
    EXPECT_EQ(ui.CB_SearchPage->count(), 10);
    EXPECT_EQ(ui.List->header()->sectionSize(0), 100);
}

TEST_F(SettingsDialogTest, SearchOptionsFromTheFileAreBroughtIntoRange)
{
    struct Case {
        const char* lines;
        const char* pageSize;
        bool skipMissing;
    } const cases[] = {
        {"Page=25\nExist=1\n", "1000", true},
        {"Page=-3\nExist=0\n", "100", false},
        {"Page=4\nExist=7\n", "500", true},
        {"Page=x\n", "100", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        Start(std::string("[Search]\n") + c.lines);
        WhileShown([&] {
            EXPECT_EQ(dialog->ui().CB_SearchPage->currentText(), QString::fromLatin1(c.pageSize));
            EXPECT_EQ(dialog->ui().CB_NoExist->isChecked(), c.skipMissing);
        });
        windows.reset();
    }
}

TEST_F(SettingsDialogTest, AColumnOnlyChangeIsAppliedAtOnceAndWrittenAtClose)
{
    Start();
    const std::string before = Ini();
    WhileShown([&] {
        SelectRow(RowOf("Memo"));
        for (int i = 0; i < 5; ++i) dialog->ui().SpdBtnUp->click();
        ClickCheckBox(RowOf("Path"));
        EXPECT_EQ(Captions(dialog->columnList()), (QStringList{"Memo", "File", "Path", "Info", "1P", "2P"}));
        EXPECT_FALSE(Checked("Path"));
        dialog->ui().BtnOK->click();
    });
    EXPECT_EQ(HeaderCaptions(form->ui().List), (QStringList{"Memo", "File", "Info", "1P", "2P"}));
    EXPECT_EQ(Ini(), before);   // nothing written yet

    form->close();
    const ProfileFile ini(IniPath());
    EXPECT_EQ(ini.keyNames("Column"), (std::vector<std::string>{"Memo", "File", "Info", "1P", "2P"}));
}

TEST_F(SettingsDialogTest, UntickingFileTicksItAgain)
{
    Start();
    WhileShown([&] {
        ClickCheckBox(RowOf("File"));
        EXPECT_TRUE(Checked("File"));
        ClickCheckBox(RowOf("Info"));   // other columns can be hidden
        EXPECT_FALSE(Checked("Info"));
        SelectRow(RowOf("File"));
        QTest::keyClick(dialog->ui().List, Qt::Key_Space);
        EXPECT_TRUE(Checked("File"));
    });
}

TEST_F(SettingsDialogTest, UpAndDownFollowTheSelection)
{
    Start();
    WhileShown([&] {
        const SettingsDialogUi& ui = dialog->ui();
        struct Case {
            int row;
            bool up;
            bool down;
        } const cases[] = {{0, false, true}, {5, true, false}, {2, true, true}, {-1, false, false}};
        for (const Case& c : cases) {
            if (c.row < 0) ui.List->clearSelection();
            else SelectRow(c.row);
            EXPECT_EQ(ui.SpdBtnUp->isEnabled(), c.up) << c.row;
            EXPECT_EQ(ui.SpdBtnDown->isEnabled(), c.down) << c.row;
        }
        SelectRow(RowOf("Info"));
        ClickCheckBox(RowOf("Info"));
        ui.SpdBtnDown->click();   // the check mark moves with the row
        EXPECT_EQ(Captions(dialog->columnList()), (QStringList{"File", "Path", "1P", "Info", "2P", "Memo"}));
        EXPECT_FALSE(Checked("Info"));
        EXPECT_EQ(ui.List->currentIndex().row(), 3);
        EXPECT_TRUE(ui.List->selectionModel()->isRowSelected(3, {}));
        EXPECT_FALSE(ui.List->selectionModel()->isRowSelected(2, {}));
    });
}

TEST_F(SettingsDialogTest, CancelKeepsTheSearchPageChoicesAndAppliesNothingElse)
{
    Start();
    const std::string before = Ini();
    const std::string folder = form->program().config.puyoFPath;
    QSignalSpy applied(dialog, &SettingsDialog::searchOptionsApplied);
    QSignalSpy columns(dialog, &SettingsDialog::columnsApplied);
    const ColumnModel layout = form->program().columnModel;
    WhileShown([&] {
        dialog->ui().CB_SearchPage->setCurrentIndex(4);
        dialog->ui().CB_NoExist->setChecked(false);
        dialog->ui().Edit_Path->setText(QStringLiteral("/elsewhere"));
        SelectRow(1);
        dialog->ui().SpdBtnUp->click();
        dialog->ui().BtnCancel->click();
    });
    EXPECT_EQ(form->program().config.searchPage, 4);   // in force for searching
    EXPECT_FALSE(form->program().config.skipMissing);
    EXPECT_EQ(form->program().config.puyoFPath, folder);
    EXPECT_EQ(form->program().columnModel, layout);
    EXPECT_EQ(Ini(), before);
    ASSERT_EQ(applied.count(), 1);
    EXPECT_TRUE(applied.at(0).at(0).toBool());
    EXPECT_EQ(columns.count(), 0);

    // Shown again: the search page as left, the folder as it is.
    WhileShown([&] {
        EXPECT_EQ(dialog->ui().CB_SearchPage->currentText(), QStringLiteral("500"));
        EXPECT_FALSE(dialog->ui().CB_NoExist->isChecked());
        EXPECT_EQ(dialog->ui().Edit_Path->text(), QString::fromStdString(folder));
        QTest::keyClick(dialog, Qt::Key_Escape);   // Esc is Cancel
    });
    EXPECT_EQ(Ini(), before);
    form->close();   // written with the next save
    EXPECT_EQ(ProfileFile(IniPath()).readString("Search", "Page", ""), "4");
    EXPECT_EQ(ProfileFile(IniPath()).readString("Search", "Exist", ""), "0");
}

TEST_F(SettingsDialogTest, OkWritesAChangedSettingAtOnce)
{
    Start();
    const std::string other = dir.path().string() + "/Other";
    fs::create_directories(other);
    struct Case {
        const char* what;
        std::function<void(SettingsDialogUi&)> change;
        const char* section;
        const char* key;
        std::string value;
        bool missingChanged;
    } const cases[] = {
        {"folder", [&](SettingsDialogUi& ui) { ui.Edit_Path->setText(QString::fromStdString(other)); },
         "Config", "PuyoFPath", other, false},
        {"page", [](SettingsDialogUi& ui) { ui.CB_SearchPage->setCurrentIndex(9); }, "Search", "Page", "9", false},
        {"skip missing", [](SettingsDialogUi& ui) { ui.CB_NoExist->setChecked(false); }, "Search", "Exist", "0",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QSignalSpy applied(dialog, &SettingsDialog::searchOptionsApplied);
        WhileShown([&] {
            c.change(dialog->ui());
            dialog->ui().BtnOK->click();
        });
        EXPECT_EQ(ProfileFile(IniPath()).readString(c.section, c.key, "<none>"), c.value);
        ASSERT_EQ(applied.count(), 1);
        EXPECT_EQ(applied.at(0).at(0).toBool(), c.missingChanged);
    }
    EXPECT_EQ(form->program().config.puyoFPath, other);
}

TEST_F(SettingsDialogTest, OpenedFromTheSearchWindowShowsItsColumnOrder)
{
    Start();
    // A stand-in for the search window's result list, connected as the
    // search window is.
    ReplayRowModel searchRows;
    QTreeView searchList;
    SetUpReplayListView(&searchList, &searchRows);
    ApplyColumnModel(form->program().columnModel, &searchList, &searchRows);
    QObject::connect(dialog, &SettingsDialog::columnsApplied, &searchList,
                     [&] { ApplyColumnModel(form->program().columnModel, &searchList, &searchRows); });
    searchList.header()->moveSection(5, 0);   // Memo leftmost in the search window only

    WhileShown(
        [&] {
            EXPECT_EQ(Captions(dialog->columnList()), (QStringList{"Memo", "File", "Path", "Info", "1P", "2P"}));
            ClickCheckBox(RowOf("2P"));
            dialog->ui().BtnOK->click();
        },
        &searchList);
    const QStringList expected = {"Memo", "File", "Path", "Info", "1P"};
    EXPECT_EQ(HeaderCaptions(&searchList), expected);
    EXPECT_EQ(HeaderCaptions(form->ui().List), expected);   // both at once
}

TEST_F(SettingsDialogTest, TheFolderButtonTakesOnlyAnExistingFolder)
{
    Start();
    const std::string other = dir.path().string() + "/Other";
    fs::create_directories(other);
    const QString start = QString::fromStdString(form->program().config.puyoFPath);
    struct Case {
        const char* what;
        QStringList answer;
        QString shown;
    } const cases[] = {
        {"cancelled", {}, start},
        {"missing folder", {QString::fromStdString(dir.path().string() + "/gone")}, start},
        {"existing folder", {QString::fromStdString(other)}, QString::fromStdString(other)},
    };
    for (const Case& c : cases) {
        test::Responders responders;
        responders.dialogAnswers = {c.answer};
        WhileShown([&] {
            dialog->ui().Btn_Path->click();
            EXPECT_EQ(dialog->ui().Edit_Path->text(), c.shown) << c.what;
        });
        ASSERT_EQ(responders.dialogs.size(), 1u);
        EXPECT_EQ(responders.dialogs[0].kind, FileDialogKind::Folder);
        EXPECT_EQ(responders.dialogs[0].startFolder, start) << c.what;
    }
}

TEST_F(SettingsDialogTest, TheAssociationBoxAssociatesAndUndoes)
{
    Start();
    ASSERT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 0);
    WhileShown([&] {
        dialog->ui().CB_Extention->setChecked(true);
        dialog->ui().BtnOK->click();
    });
    EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 1);
    WhileShown([&] {
        EXPECT_TRUE(dialog->ui().CB_Extention->isChecked());
        dialog->ui().CB_Extention->setChecked(false);
        dialog->ui().BtnOK->click();
    });
    EXPECT_EQ(IsExtensionAssociated(kListFileExtension, kListFileClass), 0);
    WhileShown([&] { EXPECT_FALSE(dialog->ui().CB_Extention->isChecked()); });
}

TEST_F(SettingsDialogTest, AFailedSettingsWriteIsToldOncePerRun)
{
    // The settings file would lie below a plain file: it can never be written.
    const std::string blocker = dir.write("program/blocker", "x");
    const fs::path game = dir.path() / "wine/drive_c/users/tester/AppData/Roaming/Sega/PuyoF";
    fs::create_directories(game);
    setenv("WINEPREFIX", (dir.path() / "wine").c_str(), 1);
    StartupOptions options;
    options.programFolder = dir.path().string() + "/program/";
    options.iniPath = blocker + "/replidex.ini";
    test::Responders responders;
    responders.messageAnswers = {kAnswerOk};
    windows = std::make_unique<ApplicationWindows>(options);
    windows->mainWindow()->show();
    Started();   // the folder found is saved at once, which fails
    ASSERT_EQ(responders.messages.size(), 1u);
    EXPECT_EQ(responders.messages[0].kind, kMsgError);
    // The text, then the system's reason on a line of its own.
    const QString told = QString::fromStdString(options.iniPath) +
                         QStringLiteral("\n設定ファイルを保存できませんでした。\n保存先のフォルダと空き容量を確かめてください。\n");
    EXPECT_TRUE(responders.messages[0].text.startsWith(told)) << responders.messages[0].text.toStdString();
    EXPECT_GT(responders.messages[0].text.size(), told.size());

    WhileShown([&] {
        dialog->ui().CB_SearchPage->setCurrentIndex(3);
        dialog->ui().BtnOK->click();
    });
    form->close();
    EXPECT_EQ(responders.messages.size(), 1u);
}

TEST_F(SettingsDialogTest, SettingsAreAlwaysAvailableAndTheColumnListOnlyWithAList)
{
    Start();
    form->commands().Close();
    EXPECT_TRUE(form->ui().MMConfig->isEnabled());
    EXPECT_FALSE(dialog->ui().List->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget() == dialog;
        dialog->ui().BtnOK->click();
    });
    form->ui().MMConfig->trigger();
    EXPECT_TRUE(shown);
    form->NewList({}, "x.rdx");
    EXPECT_TRUE(dialog->ui().List->isEnabled());
}

TEST(ColumnListModel, PassesTheModelTester)
{
    ColumnListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setRows(ColumnModel().UpdateConfigByGColumns());
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_TRUE(model.setData(model.index(2), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(model.rows()[2].checked);
    EXPECT_FALSE(model.setData(model.index(2), QStringLiteral("x"), Qt::EditRole));
    model.exchangeRows(2, 3);
    EXPECT_EQ(model.rows()[3].caption, "Info");
    EXPECT_FALSE(model.rows()[3].checked);
    EXPECT_EQ(model.data(model.index(3), Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

}  // namespace
}  // namespace replidex
