// Showing a list folder of 65,536 entries in the main window: the time from
// selecting the folder in the tree until the list has laid out and painted
// once (one row listed per entry; the rows on screen made, each entry's file
// looked at for its state), next to the time to look at all the same files
// in a plain loop and to make every row at once; scrolling the list from top
// to bottom page by page (each page makes its rows); and the memory the
// shown rows take. Runs headless (QT_QPA_PLATFORM=offscreen unless set).
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStandardPaths>
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
#include "core/text/SjisCodec.h"
#include "gui/browse/CellTextDelegate.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ListGenerator.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

constexpr int kEntries = EntryPool::kSlotCount;   // the whole pool
constexpr int kDiskFolders = 64;
constexpr int kRuns = 5;
constexpr int kScrollRuns = 3;

}  // namespace

int main(int argc, char** argv)
{
    const fs::path dir = bench::PrepareWindowBench("replidex-bench-listview");

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(replidex);
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setQuitOnLastWindowClosed(false);

    std::printf("making %d files in %d folders...\n", kEntries, kDiskFolders);
    const std::vector<std::string> paths = bench::MakeFiles(dir / "replays", kEntries, kDiskFolders);

    // The plain look at every file, as the state check does it.
    std::vector<std::int32_t> ages(paths.size());
    const double statMs = bench::MedianMs(kRuns, [&] {
        for (std::size_t i = 0; i < paths.size(); ++i) ages[i] = FileAgeOf(paths[i]);
    });

    // The main window as at start-up, with an empty new list.
    auto windows = bench::StartMainWindow(dir);
    if (!windows) return 1;
    MainWindow* form = windows->mainWindow();
    form->resize(1024, 700);
    QTreeView* list = form->ui().List;

    // One list folder "Big" below the root holding every entry, with info
    // and the file's own age (so every row shows an unchanged file).
    ReplayDocument& doc = form->document().list;
    ReplayFolder* root = form->document().RootNode();
    FolderTreeEvents events = form->treeModel().events();
    events.beforeInsert(root, 0);
    ReplayFolder* big = root->addChild("Big");
    events.afterInsert(root, 0);
    for (int i = 0; i < kEntries; ++i) {
        const fs::path file(paths[static_cast<std::size_t>(i)]);
        ReplayEntry* e = test::AddEntry(doc, *big, file.parent_path().string() + "/",
                                        file.filename().string(), ages[static_cast<std::size_t>(i)]);
        if (!e) break;
        e->info.emplace();
        bench::FillInfo(*e->info, i);
        if (i % 8 == 0) e->memo = Sjis("いい試合\r\n連鎖がきれい");
    }
    const int shownEntries = big->entries ? static_cast<int>(big->entries->size()) : 0;
    form->SelectFolder(root, true);
    bench::PaintList(list);

    // (a) Select the folder in the tree: the window fills the list, then it
    // is laid out and painted. The first time is cold (icons, fonts).
    const double rssBefore = bench::CurrentRssMiB();
    QElapsedTimer timer;
    timer.start();
    form->SelectFolder(big, false);
    bench::PaintList(list);
    const double coldMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double rssAfter = bench::CurrentRssMiB();
    const int madeByShow = form->rowModel().madeRowCount();
    if (form->rowModel().rowCount() != shownEntries) {
        std::fprintf(stderr, "rows %d, expected %d\n", form->rowModel().rowCount(), shownEntries);
        return 1;
    }
    int unchanged = 0;
    for (const ReplayRow& row : form->rowModel().rows()) unchanged += row.icon == 0;

    std::vector<double> showMs, fillMs, paintMs;
    for (int run = 0; run < kRuns; ++run) {
        form->SelectFolder(root, false);
        bench::PaintList(list);
        timer.restart();
        form->SelectFolder(big, false);
        const qint64 filled = timer.nsecsElapsed();
        bench::PaintList(list);
        const qint64 painted = timer.nsecsElapsed();
        showMs.push_back(static_cast<double>(painted) / 1e6);
        fillMs.push_back(static_cast<double>(filled) / 1e6);
        paintMs.push_back(static_cast<double>(painted - filled) / 1e6);
    }
    // Listing the rows alone, and making every row at once (with the state
    // checks), as showing the folder once did.
    const double listMs = bench::MedianMs(kRuns, [&] { (void)ListFolderRows(big, doc.pool); });
    const double rowsMs = bench::MedianMs(kRuns, [&] { (void)FolderRows(big, doc.pool); });

    // (c) Page by page from the top to the bottom, each page painted into
    // the window as the screen would show it. PAGES=n stops after n pages
    // (for profiling).
    const int pageLimit = std::getenv("PAGES") ? std::atoi(std::getenv("PAGES")) : 0;
    QScrollBar* bar = list->verticalScrollBar();
    std::vector<double> scrollRuns, worstRuns;
    int pages = 0;
    for (int run = 0; run < kScrollRuns; ++run) {
        bar->setValue(0);
        bench::PaintList(list);
        pages = 0;
        double worst = 0;
        timer.restart();
        for (int value = bar->pageStep(); ; value += bar->pageStep()) {
            QElapsedTimer page;
            page.start();
            bar->setValue(std::min(value, bar->maximum()));
            QApplication::processEvents();
            worst = std::max(worst, static_cast<double>(page.nsecsElapsed()) / 1e6);
            ++pages;
            if (value >= bar->maximum() || pages == pageLimit) break;
        }
        scrollRuns.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        worstRuns.push_back(worst);
    }
    // One whole repaint of the list (header and a page of rows) on its own.
    const double grabMs = bench::MedianMs(kRuns * 4, [&] { (void)list->grab(); });
    // The same with no cell text laid out yet: at most what a page scrolled
    // into view for the first time costs.
    auto* cells = qobject_cast<CellTextDelegate*>(list->itemDelegate());
    const double freshGrabMs = bench::MedianMs(kRuns * 4, [&] {
        if (cells) cells->clearCache();
        (void)list->grab();
    });
    // The same list showing a small folder (the first 40 rows): the paint
    // should not depend on the number of rows.
    const std::vector<ReplayRow>& shown = form->rowModel().rows();
    form->rowModel().setRows(
        std::vector<ReplayRow>(shown.begin(), shown.begin() + std::min<std::size_t>(40, shown.size())));
    bench::PaintList(list);
    const double smallGrabMs = bench::MedianMs(kRuns * 4, [&] { (void)list->grab(); });
    const double scrollMs = bench::Median(scrollRuns);

    std::printf("folder of %d entries (%d shown unchanged), list %dx%d, %d rows a page\n",
                shownEntries, unchanged, list->viewport()->width(), list->viewport()->height(),
                bar->pageStep());
    std::printf("%-46s %10s\n", "operation", "median ms");
    std::printf("%-46s %10.1f\n", "show the folder (select .. painted once)", bench::Median(showMs));
    std::printf("%-46s %10.1f\n", "  of which filling the list (rows + reset)", bench::Median(fillMs));
    std::printf("%-46s %10.1f\n", "    of which listing the rows (timed alone)", listMs);
    std::printf("%-46s %10.1f\n", "  of which layout + first paint", bench::Median(paintMs));
    std::printf("%-46s %10.1f\n", "first show (cold)", coldMs);
    std::printf("%-46s %10.1f\n", "stat the same files (FileAgeOf loop)", statMs);
    std::printf("%-46s %10.1f\n", "make every row at once (state checks)", rowsMs);
    std::printf("%-46s %10.1f   (%d pages)\n", "scroll top to bottom, page by page", scrollMs, pages);
    std::printf("%-46s %10.2f\n", "  per page", scrollMs / std::max(pages, 1));
    std::printf("%-46s %10.2f\n", "  slowest page", bench::Median(worstRuns));
    std::printf("%-46s %10.2f\n", "repaint the whole list once (grab)", grabMs);
    std::printf("%-46s %10.2f\n", "  the same, no cell text laid out yet", freshGrabMs);
    std::printf("%-46s %10.2f\n", "repaint a list of 40 rows once (grab)", smallGrabMs);
    std::printf("rows made by showing the folder: %d of %d (%zu bytes a row, texts apart)\n",
                madeByShow, shownEntries, sizeof(ReplayRow));
    std::printf("shown rows: %.1f MiB resident (process %.1f MiB, peak %.1f MiB)\n",
                rssAfter - rssBefore, bench::CurrentRssMiB(), bench::PeakRssMiB());

    form->document().Modified = false;   // no question on closing
    windows.reset();
    if (!std::getenv("KEEP")) fs::remove_all(dir);
    return 0;
}
