// The window 対戦成績: its table model under QAbstractItemModelTester, the
// totals against the core's, sorting, the chart, the player box, the CSV
// export, the drill-down into the search window from the tools menu and from
// the search window's 結果の成績 button, and the settings page 成績.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/StatsSettings.h"
#include "core/stats/CsvWriter.h"
#include "core/stats/StatsTableText.h"
#include "core/text/SjisCodec.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/settings/SettingsDialogUi.h"
#include "gui/settings/StatsSettingsPage.h"
#include "gui/stats/StatsBarChart.h"
#include "gui/stats/StatsTableModel.h"
#include "gui/stats/StatsWindow.h"
#include "support/ListGenerator.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

// Runs `act` on the next modal window that comes up.
void OnModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

// A net entry "me" against `opponent` (me on `side`), `mine`-`theirs`.
void AddMatch(ReplayDocument& doc, ReplayFolder& folder, const std::string& opponent, int side, int mine,
              int theirs, std::int16_t character = 0x31)
{
    ReplayEntry* e = test::AddEntry(doc, folder, "/nowhere/", "R" + std::to_string(doc.pool.size()) + ".RPD");
    ReplayInfo& info = e->info.emplace();
    info.infoFlags = kInfoNetMatch;
    info.player(side).setName("me");
    info.player(3 - side).setName(opponent);
    info.player(side).score = static_cast<std::int16_t>(mine);
    info.player(3 - side).score = static_cast<std::int16_t>(theirs);
    info.player(side).character = character;
}

class StatsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        iniPath = dir.path().string() + "/stats.ini";
        dir.write("stats.ini", "[Stats]\nMyName0=me\n");
        doc.root = doc.addTopLevel("Root");
        // a: 2 wins 1 loss; b: 1 unknown; c: 1 loss (me on 2P); an offline entry.
        AddMatch(doc, *doc.root, "a", 1, 2, 1);
        AddMatch(doc, *doc.root, "a", 2, 3, 0, 0x35);
        AddMatch(doc, *doc.root, "b", 1, 1, 1);
        AddMatch(doc, *doc.root, "a", 1, 0, 2);
        AddMatch(doc, *doc.root, "c", 2, 1, 2);
        ReplayEntry* offline = test::AddEntry(doc, *doc.root, "/nowhere/", "OFF.RPD");
        offline->info.emplace().infoFlags = kInfoOfflineMatch;
    }

    test::TempDir dir;
    std::string iniPath;
    ReplayDocument doc;
};

TEST_F(StatsWindowTest, TablesAgreeWithTheCoreUnderTheModelTester)
{
    StatsWindow window(doc.pool, iniPath);
    window.SetScope(FolderScopeSlots(doc.pool, doc.root), QStringLiteral("Root"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("対戦成績"));
    ASSERT_GE(window.PlayerBox()->count(), 1);
    EXPECT_EQ(window.PlayerBox()->itemText(0), QStringLiteral("me"));   // my names first, not repeated
    EXPECT_EQ(window.PlayerBox()->findText(QStringLiteral("me")), 0);
    EXPECT_EQ(window.PlayerBox()->findText(QStringLiteral("a")), 1);   // then the commonest
    EXPECT_EQ(window.Stats().matches.size(), 5u);
    EXPECT_EQ(window.TotalsLabel()->text(), QStringLiteral("5戦 2勝 2敗 不明 1  対象外 0"));

    QAbstractItemModelTester tester(window.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QStringList titles{QStringLiteral("相手別"), QStringLiteral("自分のキャラ別"),
                             QStringLiteral("相手のキャラ別"), QStringLiteral("月別")};
    ASSERT_EQ(window.Tabs()->count(), 4);
    for (int tab = 0; tab < 4; ++tab) {
        SCOPED_TRACE(tab);
        EXPECT_EQ(window.Tabs()->tabText(tab), titles[tab]);
        window.Tabs()->setCurrentIndex(tab);
        StatsTableModel& model = *window.Model();
        const std::vector<StatsRow>& core = window.Stats().table(static_cast<StatsTable>(tab));
        ASSERT_EQ(model.rowCount(), static_cast<int>(core.size()));
        int matches = 0, wins = 0;
        for (int r = 0; r < model.rowCount(); ++r) {
            matches += model.index(r, kColumnMatches).data().toInt();
            wins += model.index(r, kColumnWins).data().toInt();
        }
        EXPECT_EQ(matches, 5);
        EXPECT_EQ(wins, 2);
        EXPECT_EQ(model.headerData(kColumnMatches, Qt::Horizontal).toString(), QStringLiteral("対戦数"));
        window.Table()->sortByColumn(kColumnWins, Qt::DescendingOrder);
        for (int r = 1; r < model.rowCount(); ++r)
            EXPECT_GE(model.rowAt(r - 1)->wins, model.rowAt(r)->wins);
        window.Table()->sortByColumn(kColumnKey, Qt::AscendingOrder);
        for (int r = 1; r < model.rowCount(); ++r) EXPECT_LT(model.rowAt(r - 1)->key, model.rowAt(r)->key);
    }
    window.Tabs()->setCurrentIndex(0);
    EXPECT_EQ(window.Model()->index(0, kColumnKey).data().toString(), QStringLiteral("a"));
    EXPECT_EQ(window.Model()->index(0, kColumnRatio).data().toString(), QStringLiteral("66.7%"));

    // Another player, typed: c's one match is a win of theirs.
    window.PlayerBox()->setEditText(QStringLiteral("c"));
    EXPECT_EQ(window.TotalsLabel()->text(), QStringLiteral("1戦 1勝 0敗 不明 0  対象外 0"));
    window.PlayerBox()->setEditText(QStringLiteral("nobody"));
    EXPECT_EQ(window.Model()->rowCount(), 0);
}

TEST_F(StatsWindowTest, ChartPaintsTheTopRowsStacked)
{
    for (int i = 0; i < 30; ++i) AddMatch(doc, *doc.root, "x" + std::to_string(i), 1, i % 3, 1);
    StatsWindow window(doc.pool, iniPath);
    window.SetScope(FolderScopeSlots(doc.pool, doc.root), QStringLiteral("Root"));
    auto* chart = window.findChild<StatsBarChart*>(QStringLiteral("Chart"));
    ASSERT_NE(chart, nullptr);
    chart->resize(300, 420);
    const QImage image = chart->grab().toImage();
    // Win blue, loss red and unknown grey all drawn.
    bool blue = false, red = false, grey = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue |= c == QColor(0x3A, 0x7B, 0xD5);
            red |= c == QColor(0xD5, 0x4B, 0x3A);
            grey |= c == QColor(0xA0, 0xA0, 0xA0);
        }
    EXPECT_TRUE(blue && red && grey);
}

TEST_F(StatsWindowTest, DrillDownHandsOverExactlyTheRowsEntries)
{
    StatsWindow window(doc.pool, iniPath);
    window.SetScope(FolderScopeSlots(doc.pool, doc.root), QStringLiteral("Root"));
    std::vector<std::int32_t> given;
    window.SetDrillDown([&given](const std::vector<std::int32_t>& hits) { given = hits; });
    const struct { int tab; const char* key; std::vector<std::int32_t> expected; } cases[] = {
        {0, "a", {0, 1, 3}},
        {0, "c", {4}},
        {0, "b", {2}},
    };
    for (const auto& c : cases) {
        window.Tabs()->setCurrentIndex(c.tab);
        window.Table()->sortByColumn(kColumnKey, Qt::AscendingOrder);
        int row = 0;
        while (row < window.Model()->rowCount() &&
               window.Model()->index(row, kColumnKey).data().toString() != QString::fromUtf8(c.key))
            ++row;
        ASSERT_LT(row, window.Model()->rowCount()) << c.key;
        given.clear();
        window.DrillDownRow(row);
        EXPECT_EQ(given, c.expected) << c.key;
    }
    // Every character row of the opponents hands over what it counted, the
    // offline entry included, and together they cover the scope.
    window.Tabs()->setCurrentIndex(2);
    std::vector<std::int32_t> all;
    for (int row = 0; row < window.Model()->rowCount(); ++row) {
        given.clear();
        window.DrillDownRow(row);
        EXPECT_EQ(given, window.Model()->rowAt(row)->countedSlots);
        all.insert(all.end(), given.begin(), given.end());
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, FolderScopeSlots(doc.pool, doc.root));
}

TEST_F(StatsWindowTest, OptionsAreKeptAndTheCsvIsWritten)
{
    test::Responders responders;
    const std::string csvPath = dir.path().string() + "/out.csv";
    {
        StatsWindow window(doc.pool, iniPath);
        window.SetScope(FolderScopeSlots(doc.pool, doc.root), QStringLiteral("Root"));
        EXPECT_TRUE(window.SameMatchOnceBox()->isChecked());
        EXPECT_EQ(window.ExcludeMissingBox()->text(), QStringLiteral("見つからない・変更されたファイルを除く"));
        responders.dialogAnswers.push_back({QString::fromStdString(csvPath)});
        window.findChild<QPushButton*>(QStringLiteral("BtnCsv"))->click();
        EXPECT_EQ(window.findChild<QPushButton*>(QStringLiteral("BtnCsv"))->text(), QStringLiteral("CSVに保存(&E)..."));
        EXPECT_EQ(test::ReadWholeFile(csvPath), CsvText(StatsTableRows(window.Stats(), StatsTable::Opponent),
                                                        CsvEncoding::Utf8WithBom));
        // The files are nowhere: excluding them leaves nothing.
        window.ExcludeMissingBox()->setChecked(true);
        EXPECT_EQ(window.Stats().matches.size(), 0u);
        window.reject();
    }
    const StatsSettings kept = LoadStatsSettings(ProfileFile(iniPath));
    EXPECT_TRUE(kept.excludeMissing);
    EXPECT_EQ(kept.myNames, std::vector<std::string>{"me"});
}

// The main window's tools menu and the search window's button start the
// window; a double-click opens the search window on the row's entries.
class StatsCommandsTest : public ::testing::Test {
protected:
    void Start()
    {
        windows = test::MakeWindowsWithGameFolder(dir, "[Search]\nPage=0\nExist=0\n[Stats]\nMyName0=me\n");
        form = windows->mainWindow();
        ASSERT_TRUE(test::WaitUntil([this] { return form->started(); }));
        ReplayDocument& doc = form->document().list;
        ReplayFolder* root = form->document().RootNode();
        AddMatch(doc, *root, "a", 1, 2, 1);
        AddMatch(doc, *root, "b", 1, 0, 2);
        AddMatch(doc, *root, "a", 2, 1, 0);
        form->SelectFolder(root, false);
    }
    void TearDown() override
    {
        if (form) form->document().Modified = false;
        windows.reset();
    }
    QAction* StatsItem() const
    {
        for (QAction* action : form->ui().MMTools->actions())
            if (action->objectName() == QStringLiteral("MMStats")) return action;
        return nullptr;
    }

    test::TempDir dir;
    std::unique_ptr<ApplicationWindows> windows;
    MainWindow* form = nullptr;
};

TEST_F(StatsCommandsTest, ToolsMenuItemDrillsDownIntoTheSearchWindow)
{
    Start();
    QAction* item = StatsItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("対戦成績(&T)..."));
    int hits = -1;
    std::vector<std::int32_t> shown;
    bool statsShown = false;
    OnModal([&](QWidget* modal) {
        auto* stats = qobject_cast<StatsWindow*>(modal);
        statsShown = stats != nullptr;
        if (!stats) return;
        EXPECT_EQ(stats->Model()->index(0, kColumnKey).data().toString(), QStringLiteral("a"));
        OnModal([&](QWidget* next) {
            SearchWindow* search = windows->search;
            if (next == search) {
                hits = search->HitCount();
                shown = search->HitSlots();
            }
            next->close();
        });
        stats->DrillDownRow(0);
    });
    item->trigger();
    EXPECT_TRUE(statsShown);
    EXPECT_EQ(hits, 2);
    EXPECT_EQ(shown, (std::vector<std::int32_t>{0, 2}));
}

TEST_F(StatsCommandsTest, ResultButtonCountsTheHitsAndShowsARowsEntries)
{
    Start();
    SearchWindow* search = windows->search;
    QPushButton* button = search->ui().BtnStats;
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("結果の成績(&T)"));
    search->SetScope(form->document().RootNode());
    search->show();
    ASSERT_TRUE(test::WaitUntil([search] { return search->isVisible(); }));
    search->ShowGivenHits({0, 1});   // as if a search had found the first two
    std::size_t counted = 0;
    OnModal([&](QWidget* modal) {
        auto* stats = qobject_cast<StatsWindow*>(modal);
        if (!stats) {
            modal->close();
            return;
        }
        counted = stats->Stats().matches.size();
        stats->Tabs()->setCurrentIndex(0);
        stats->Table()->sortByColumn(kColumnKey, Qt::AscendingOrder);
        stats->DrillDownRow(1);   // b
    });
    button->click();
    EXPECT_EQ(counted, 2u);
    EXPECT_EQ(search->HitSlots(), std::vector<std::int32_t>{1});
    EXPECT_EQ(search->HitCount(), 1);
    search->hide();
}

TEST_F(StatsCommandsTest, SettingsPageWritesMyNames)
{
    Start();
    SettingsDialog* dialog = windows->config;
    QTabWidget* pages = dialog->ui().PC;
    auto* page = pages->findChild<StatsSettingsPage*>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(pages->tabText(pages->indexOf(page)), QStringLiteral("成績"));
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(page->NamesEdit()->toPlainText(), QStringLiteral("me"));
        page->NamesEdit()->setPlainText(QStringLiteral("me\n\nぷよ太郎\nme\n"));
        dialog->ui().BtnOK->click();
    });
    form->MMConfigClick();
    const std::string ini = dir.path().string() + "/program/replidex.ini";
    EXPECT_EQ(LoadStatsSettings(ProfileFile(ini)).myNames, (std::vector<std::string>{"me", Sjis("ぷよ太郎")}));
}

}  // namespace
}  // namespace replidex
