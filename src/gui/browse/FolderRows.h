// How the rows of a replay list view are made from the list's data.
#pragma once

#include <string_view>
#include <vector>

#include "gui/browse/ReplayRowModel.h"

namespace replidex {

// The rows that show `folder`: one folder row per child folder in child order,
// then one entry row per index of its entry list whose pool slot holds an
// entry, in list order. No rows for no folder. The folder rows are made; the
// entry rows only know their entry until MakeRow makes them.
std::vector<ReplayRow> ListFolderRows(const ReplayFolder* folder, const EntryPool& pool);
// Makes an entry row listed by ListFolderRows: its icon with the state of the
// entry's file (which is looked at now) and its texts. An entry gone from the
// pool leaves the row without icon and texts.
void MakeRow(ReplayRow& row, const EntryPool& pool);
// ListFolderRows with every row made.
std::vector<ReplayRow> FolderRows(const ReplayFolder* folder, const EntryPool& pool);

// The row of an entry whose file state is `state` (0 unchanged, 1 missing,
// 2 changed). An entry without replay info gets no icon and only its file,
// path and memo texts.
ReplayRow EntryRow(const ReplayEntry& entry, int state);

// Looks at the files of the model's entry rows again and gives every row
// whose file state changed (changed, gone or back) its new icon. Answers how
// many rows changed; the rows keep their places and the selection stays.
int RefreshRowStates(ReplayRowModel& model, const EntryPool& pool);

// The first line of a memo: the text before the first line feed, without a
// carriage return just before it.
std::string_view MemoFirstLine(std::string_view memo);

}  // namespace replidex
