// Searching a list of 65,536 entries that all hit, in the search window with
// 1000 hits a page: the time from a click on "検索" until the first page of
// results has been laid out and painted, next to the hit run of the core
// alone in the same run; and its parts: marking the scope (each entry's file
// looked at once), changing to another page, one paint. Runs headless
// (QT_QPA_PLATFORM=offscreen unless set).
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchData.h"
#include "bench/BenchUtil.h"
#include "bench/BenchWindows.h"
#include "core/replay/FileTime.h"
#include "core/search/SearchRun.h"
#include "core/search/query/QueryCriteria.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/QueryRow.h"
#include "gui/search/SearchWindow.h"
#include "support/ListGenerator.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

constexpr int kEntries = EntryPool::kSlotCount;   // the whole pool
constexpr int kDiskFolders = 64;
constexpr int kListFolders = 256;
constexpr int kRuns = 7;

double Ms(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double Min(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

}  // namespace

int main(int argc, char** argv)
{
    const fs::path dir = bench::PrepareWindowBench("replidex-bench-search");

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(replidex);
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setQuitOnLastWindowClosed(false);

    std::printf("making %d files in %d folders...\n", kEntries, kDiskFolders);
    const std::vector<std::string> paths = bench::MakeFiles(dir / "replays", kEntries, kDiskFolders);

    // Page item 9: 1000 hits a page. Missing or changed files are left out
    // of the search, so marking the scope looks at every file.
    auto windows = bench::StartMainWindow(dir, "[Search]\nPage=9\nExist=1\n");
    if (!windows) return 1;
    MainWindow* form = windows->mainWindow();

    // 256 list folders below the root, each entry in the folder of its
    // number modulo 256, every one a net match with info and its file's own
    // age: every entry is in scope, and every one hits the initial criteria
    // (rank "１０きゅう" or higher).
    ReplayDocument& doc = form->document().list;
    ReplayFolder* root = form->document().RootNode();
    FolderTreeEvents events = form->treeModel().events();
    std::vector<ReplayFolder*> folders;
    for (int f = 0; f < kListFolders; ++f) {
        events.beforeInsert(root, f);
        folders.push_back(root->addChild("F" + std::to_string(f)));
        events.afterInsert(root, f);
    }
    for (int i = 0; i < kEntries; ++i) {
        const fs::path file(paths[static_cast<std::size_t>(i)]);
        ReplayEntry* e = test::AddEntry(doc, *folders[static_cast<std::size_t>(i % kListFolders)],
                                        file.parent_path().string() + "/", file.filename().string(),
                                        FileAgeOf(file.string()));
        if (!e) break;
        e->info.emplace();
        bench::FillInfo(*e->info, i);
        if (i % 8 == 0) e->memo = Sjis("いい試合\r\n連鎖がきれい");
    }

    SearchWindow* search = windows->search;
    search->SetScope(root);
    search->resize(956, 584);
    search->show();   // marks the scope, as every showing does
    QTreeView* list = search->ui().List;
    QPushButton* button = search->ui().Panel->BtnSearch;
    bench::PaintList(list);

    // The first search is cold (icons, fonts, the row texts' layouts).
    QElapsedTimer timer;
    timer.start();
    button->click();
    bench::PaintList(list);
    const double coldMs = Ms(timer);
    if (search->HitCount() != kEntries || search->RowModelOf()->rowCount() != 1000) {
        std::fprintf(stderr, "hits %d, rows %d\n", search->HitCount(), search->RowModelOf()->rowCount());
        return 1;
    }

    // CLICKS=n: only n more clicks, nothing else (for profiling).
    if (const char* clicks = std::getenv("CLICKS")) {
        for (int i = std::atoi(clicks); i > 0; --i) {
            button->click();
            bench::PaintList(list);
        }
        search->hide();
        form->document().Modified = false;
        windows.reset();
        fs::remove_all(dir);
        return 0;
    }

    std::vector<double> clickMs, runMs, pageMs, tabMs, paintMs, markMs;
    const SearchCriteria criteria = search->ui().Panel->Criteria();
    for (int run = 0; run < kRuns; ++run) {
        // Click on 検索 .. the first page painted.
        timer.restart();
        button->click();
        bench::PaintList(list);
        clickMs.push_back(Ms(timer));
        // The core's hit run alone, over the same marks.
        timer.restart();
        const SearchRunResult result = RunHitSearch(doc.pool, criteria);
        runMs.push_back(Ms(timer));
        if (result.hitCount != kEntries) return 1;
        // Another page: its rows (each file looked at for its state) and
        // its paint.
        timer.restart();
        search->ui().TC->setCurrentIndex(run % 2 == 0 ? 30 : 31);
        bench::PaintList(list);
        tabMs.push_back(Ms(timer));
        timer.restart();
        search->TCChange(0);
        pageMs.push_back(Ms(timer));
        timer.restart();
        (void)list->grab();
        paintMs.push_back(Ms(timer));
        // Marking the whole list as the scope, each file looked at once.
        timer.restart();
        search->MarkScope(root);
        markMs.push_back(Ms(timer));
    }

    // The same criteria typed as a query: the click and the query's hit run
    // alone (QueryMatcher through RunHitSearchWith), each run next to the
    // core matcher's over the same marks, so that both see the same load.
    std::vector<double> queryClickMs, queryRunMs, pairedRunMs;
    const std::string line = ToQuery(criteria);
    search->ui().Query->Edit_Query->setText(QString::fromStdString(line));
    const QueryMatcher matcher(ParseQuery(line).query, {criteria.caseSensitive, criteria.widthSensitive});
    for (int run = 0; run < kRuns; ++run) {
        timer.restart();
        button->click();
        bench::PaintList(list);
        queryClickMs.push_back(Ms(timer));
        if (search->HitCount() != kEntries) return 1;
        timer.restart();
        const SearchRunResult byCriteria = RunHitSearch(doc.pool, criteria);
        pairedRunMs.push_back(Ms(timer));
        timer.restart();
        const SearchRunResult byQuery = RunHitSearchWith(
            doc.pool, [&matcher](const ReplayEntry& e) { return matcher.MatchEntry(e); });
        queryRunMs.push_back(Ms(timer));
        if (byCriteria.hitCount != kEntries || byQuery.hitCount != kEntries) return 1;
    }
    search->ui().Query->Edit_Query->clear();

    std::printf("%d entries, all hitting; %d hits a page, %d tabs; list %dx%d\n", search->HitCount(),
                search->PageSize(), search->ui().TC->count(), list->viewport()->width(),
                list->viewport()->height());
    std::printf("%-52s %10s %10s\n", "operation", "median ms", "min ms");
    std::printf("%-52s %10.1f %10.1f\n", "click on 検索 .. first page painted", bench::Median(clickMs),
                Min(clickMs));
    std::printf("%-52s %10.2f %10.2f\n", "  the core's hit run alone (RunHitSearch)", bench::Median(runMs),
                Min(runMs));
    std::printf("%-52s %10.1f\n", "  making a page's 1000 rows (states looked up)", bench::Median(pageMs));
    std::printf("%-52s %10.1f\n", "  one paint of the list", bench::Median(paintMs));
    std::printf("%-52s %10.1f\n", "change to another page .. painted", bench::Median(tabMs));
    std::printf("%-52s %10.1f\n", "first search (cold) .. painted", coldMs);
    std::printf("%-52s %10.1f\n", "mark the scope (whole list, file states)", bench::Median(markMs));
    std::printf("query %s:\n", line.c_str());
    std::printf("%-52s %10.1f %10.1f\n", "click on 検索 with the query .. first page painted",
                bench::Median(queryClickMs), Min(queryClickMs));
    std::printf("%-52s %10.2f %10.2f\n", "  the query's hit run alone (QueryMatcher)", bench::Median(queryRunMs),
                Min(queryRunMs));
    std::printf("%-52s %10.2f %10.2f\n", "  the core matcher's run beside it (RunHitSearch)",
                bench::Median(pairedRunMs), Min(pairedRunMs));
    std::printf("%-52s %10.2f %10.2f\n", "  query / core matcher", bench::Median(queryRunMs) / bench::Median(pairedRunMs),
                Min(queryRunMs) / Min(pairedRunMs));
    std::printf("memory: process %.1f MiB, peak %.1f MiB\n", bench::CurrentRssMiB(), bench::PeakRssMiB());

    search->hide();
    form->document().Modified = false;   // no question on closing
    windows.reset();
    if (!std::getenv("KEEP")) fs::remove_all(dir);
    return 0;
}
