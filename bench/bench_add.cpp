// Adding a folder of 20,000 replay files: the main window's add (progress
// window, analysis, merge, the list shown again) next to `replidex-cli add`
// of the same folder into a new list file, run in turn; the same files
// through a folder named with a wave dash; and キャンセル pressed after the
// first file. Runs headless (QT_QPA_PLATFORM=offscreen unless set; under
// xvfb-run with QT_QPA_PLATFORM=xcb it paints as on a screen).
#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "bench/BenchWindows.h"
#include "core/list/FolderOps.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/ProgressDialog.h"
#include "gui/main/AddReplaysCommand.h"
#include "gui/main/ApplicationWindows.h"
#include "support/ReplayFileBuilder.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 20000;
constexpr int kRuns = 5;

// `count` generated replay files REPLAYnnnnn.RPD in `folder`, a few kinds of
// match in turn, read once so that they sit in the page cache.
void MakeReplays(const fs::path& folder, int count)
{
    fs::create_directories(folder);
    const std::string kinds[] = {test::BuildReplay(test::NetMatchDescription()).bytes,
                                 test::BuildReplay(test::OfflineDescription(true)).bytes,
                                 test::BuildReplay(test::OfflineDescription(false)).bytes};
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "REPLAY%05d.RPD", i);
        std::ofstream(folder / name, std::ios::binary) << kinds[i % 3];
    }
}

double CliAddMs(const std::string& cli, const fs::path& list, const fs::path& folder)
{
    fs::remove(list);
    const std::string command = "'" + cli + "' add '" + list.string() + "' '" + folder.string() + "' > /dev/null";
    return bench::MedianMs(1, [&] {
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "replidex-cli add failed\n");
    });
}

}  // namespace

int main(int argc, char** argv)
{
    const fs::path dir = bench::PrepareWindowBench("replidex-bench-add");
    const std::string cli = REPLIDEX_CLI_PATH;

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(replidex);
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setQuitOnLastWindowClosed(false);

    std::printf("making %d replay files...\n", kFiles);
    const fs::path folder = dir / "replays";
    MakeReplays(folder, kFiles);
    CliAddMs(cli, dir / "warm.rdx", folder);   // reads every file once

    auto windows = bench::StartMainWindow(dir);
    if (!windows) return 1;
    MainWindow* form = windows->mainWindow();
    AddReplaysCommand* adder = form->findChild<AddReplaysCommand*>();
    ProgressDialog* progress = windows->progress;
    std::string sjisFolder;
    SjisFromNativePath(folder.string(), sjisFolder);

    // The two in turn, each into a new list.
    std::vector<double> windowMs, cliMs;
    for (int run = 0; run < kRuns; ++run) {
        form->SetModified(false);
        form->commands().NewList({}, Sjis("無題.rdx"));
        QElapsedTimer timer;
        timer.start();
        adder->AddFolderReplays(sjisFolder);
        windowMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cliMs.push_back(CliAddMs(cli, dir / "list.rdx", folder));
    }
    const ReplayFolder* added = FindChildFolder(form->document().RootNode(), "replays");
    const int entries = added && added->entries ? static_cast<int>(added->entries->size()) : 0;

    // The same files through a folder named with a wave dash in the form the
    // Shift-JIS decoder does not give back: every path is found again by
    // looking at the names of the folder above.
    const fs::path waveDash = dir / "Wave〜Dash";
    fs::create_directory_symlink(folder, waveDash);
    std::string sjisWaveDash;
    SjisFromNativePath(waveDash.string(), sjisWaveDash);
    std::vector<double> waveMs;
    for (int run = 0; run < 3; ++run) {
        form->SetModified(false);
        form->commands().NewList({}, Sjis("無題.rdx"));
        QElapsedTimer timer;
        timer.start();
        adder->AddFolderReplays(sjisWaveDash);
        waveMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const ReplayFolder* addedWave = FindChildFolder(form->document().RootNode(), Sjis("Wave〜Dash"));
    const int waveEntries = addedWave && addedWave->entries ? static_cast<int>(addedWave->entries->size()) : 0;

    // キャンセル as soon as the bar shows the first file.
    form->SetModified(false);
    form->commands().NewList({}, Sjis("無題.rdx"));
    QTimer clicker;
    clicker.setInterval(0);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (progress->isVisible() && progress->ProgressBar->value() >= 1) progress->Button->click();
    });
    clicker.start();
    adder->AddFolderReplays(sjisFolder);
    clicker.stop();

    const double windowMedian = bench::Median(windowMs);
    const double cliMedian = bench::Median(cliMs);
    std::printf("files added by the window:            %d\n", entries);
    std::printf("window add (median of %d):             %.0f ms\n", kRuns, windowMedian);
    std::printf("replidex-cli add (median of %d):       %.0f ms\n", kRuns, cliMedian);
    std::printf("window / cli:                          %.2f\n", windowMedian / cliMedian);
    std::printf("window add through Wave〜Dash:         %.0f ms (%d files)\n", bench::Median(waveMs), waveEntries);
    std::printf("cancel after the first file: analysed  %d, cancelled %s\n",
                adder->lastAdd().analysis.analysed, adder->lastAdd().analysis.cancelled ? "yes" : "no");
    std::printf("runs (window / cli, ms):");
    for (int run = 0; run < kRuns; ++run) std::printf(" %.0f/%.0f", windowMs[run], cliMs[run]);
    std::printf("\n");

    windows.reset();
    fs::remove_all(dir);
    return 0;
}
