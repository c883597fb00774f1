// The window 対戦成績 over the 65,536 entries of bench_stats: from the click
// (the window made, the statistics counted, the player box filled) to the
// window shown and painted whole, table and chart; then a change of tab and
// of player. Run under Xvfb (scripts/bench-stats-window) or offscreen.
#include <QApplication>
#include <QComboBox>
#include <QTabBar>

#include <cstdio>
#include <memory>

#include "bench/BenchUtil.h"
#include "bench/StatsBenchList.h"
#include "core/stats/PlayerStats.h"
#include "gui/stats/StatsWindow.h"

using namespace replidex;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto doc = std::make_unique<ReplayDocument>();
    bench::FillStatsBenchList(*doc);
    const char* ini = "/tmp/bench_statswindow.ini";
    std::FILE* f = std::fopen(ini, "wb");
    if (f) {
        std::fputs("[Stats]\r\nMyName0=me\r\n", f);
        std::fclose(f);
    }

    double tabMs = 0, playerMs = 0;
    const double openMs = bench::MedianMs(7, [&] {
        StatsWindow window(doc->pool, ini);
        window.SetScope(FolderScopeSlots(doc->pool, doc->root), QStringLiteral("Root"));
        window.show();
        QApplication::processEvents();
        window.repaint();
        window.hide();
    });
    StatsWindow window(doc->pool, ini);
    window.SetScope(FolderScopeSlots(doc->pool, doc->root), QStringLiteral("Root"));
    window.show();
    QApplication::processEvents();
    tabMs = bench::MedianMs(7, [&] {
        window.Tabs()->setCurrentIndex((window.Tabs()->currentIndex() + 1) % 4);
        window.repaint();
    });
    playerMs = bench::MedianMs(7, [&] {
        window.PlayerBox()->setCurrentIndex(window.PlayerBox()->currentIndex() == 0 ? 1 : 0);
        window.repaint();
    });
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("click to painted window (65,536 entries): %.1f ms\n", openMs);
    std::printf("change of tab .. painted: %.1f ms\n", tabMs);
    std::printf("change of player .. painted: %.1f ms\n", playerMs);
    return 0;
}
