// Helpers of the bench programs that drive the windows: files for a full
// pool and painting a list as the screen would.
#pragma once

#include <QApplication>
#include <QTreeView>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace replidex::bench {

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
inline void PaintList(QTreeView* list)
{
    QApplication::processEvents();
    (void)list->grab();
}

}  // namespace replidex::bench
