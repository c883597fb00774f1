// Where the statistics window starts: 「ツール(&T)」 → 「対戦成績(&T)...」 over
// the folder selected in the main window's tree, and the search window's
// 「結果の成績(&T)」 over the hits of its last search. A row double-clicked in
// the statistics opens the search window on exactly the entries it counted.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class QAction;
class QMenu;

namespace replidex {

class MainWindow;
class SearchWindow;
struct ReplayFolder;

// The statistics block of the tools menu (a separator before it when the
// menu holds items already); answers its one item.
QAction* AddStatisticsItems(MainWindow& form, QMenu* tools);

// The statistics of the folder selected in the tree; nothing without one.
void RunFolderStats(MainWindow& form, SearchWindow* search);
// The statistics of the search window's hits.
void RunResultStats(MainWindow& form, SearchWindow& search);

// The folder's path from the root, its names joined by '\', for showing.
QString FolderPathText(const ReplayFolder* folder);

}  // namespace replidex
