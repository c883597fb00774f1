// Helpers of the bench programs that drive the windows: files for a full
// pool and painting a list as the screen would.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gui/main/ApplicationWindows.h"
#include "gui/main/MainWindow.h"

namespace replidex::bench {

// A fresh folder `name` below the temporary folder for a window bench, with
// the program's and the game's folders in it, and the Wine prefix and the
// settings pointed there. Qt runs offscreen unless a platform is set. Call
// before the QApplication is made.
inline std::filesystem::path PrepareWindowBench(const char* name)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "program");
    std::filesystem::create_directories(dir / "PuyoF");
    setenv("WINEPREFIX", (dir / "wine").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    return dir;
}

// `count` small files named REPLAYnnnn.RPD spread over `diskFolders` folders
// below `dir`; answers their paths.
inline std::vector<std::string> MakeFiles(const std::filesystem::path& dir, int count, int diskFolders)
{
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(count));
    const std::string bytes(256, 'x');
    for (int i = 0; i < count; ++i) {
        const std::filesystem::path folder = dir / ("d" + std::to_string(i % diskFolders));
        if (i < diskFolders) std::filesystem::create_directories(folder);
        char name[32];
        std::snprintf(name, sizeof name, "REPLAY%04d.RPD", i / diskFolders);
        const std::filesystem::path file = folder / name;
        std::ofstream(file, std::ios::binary) << bytes;
        paths.push_back(file.string());
    }
    return paths;
}

// Lays out and paints the list once, as the screen would show it.
// The windows as at start-up with an empty new list, the settings file in
// `dir`/program naming `dir`/PuyoF as the game folder, followed by
// `moreSettings`; the main window shown and started. Null, with a message,
// when it does not start within ten seconds.
inline std::unique_ptr<ApplicationWindows> StartMainWindow(const std::filesystem::path& dir,
                                                           const char* moreSettings = "")
{
    std::ofstream(dir / "program" / "replidex.ini")
        << "[Config]\nPuyoFPath=" << (dir / "PuyoF").string() << "\n" << moreSettings;
    StartupOptions options;
    options.programFolder = (dir / "program").string() + "/";
    options.iniPath = (dir / "program" / "replidex.ini").string();
    auto windows = std::make_unique<ApplicationWindows>(options);
    MainWindow* form = windows->mainWindow();
    form->show();
    QElapsedTimer wait;
    wait.start();
    while (!form->started() && wait.elapsed() < 10000) QApplication::processEvents();
    if (!form->started() || !form->document().RootNode()) {
        std::fprintf(stderr, "the main window did not start\n");
        return nullptr;
    }
    return windows;
}

inline void PaintList(QTreeView* list)
{
    QApplication::processEvents();
    (void)list->grab();
}

}  // namespace replidex::bench
