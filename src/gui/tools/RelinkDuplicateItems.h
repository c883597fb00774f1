// The relink/duplicates block of 「ツール(&T)」: 「見つからないファイルを探す(&L)...」
// and 「重複を確認(&D)...」, and what they do to the main window's list.
#pragma once

#include <cstdint>

class QMenu;

namespace replidex {

class MainWindow;
struct ReplayFolder;

void AddRelinkItems(QMenu* menu, MainWindow& window);

// The two commands (also used by the tests).
void FindMissingFilesCommand(MainWindow& window);
void CheckDuplicatesCommand(MainWindow& window);
// Shows `folder` in the list and makes the row of the entry in slot
// `poolIndex` the current, selected one.
void ShowEntryRow(MainWindow& window, ReplayFolder* folder, std::int32_t poolIndex);

}  // namespace replidex
