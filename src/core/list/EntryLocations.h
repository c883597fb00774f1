// Where the entries of a list are: the list folder that lists each entry,
// and a folder's path as the command line names it ("A/B" below the root).
#pragma once

#include <functional>
#include <string>
#include <unordered_map>

#include "core/list/ReplayDocument.h"

namespace replidex {

// Calls f(folder, entry) for every entry listed below `top` (depth-first,
// the folder's own list before its sub-folders), or below every top-level
// folder when `top` is null.
void ForEachListedEntry(const ReplayDocument& doc, const ReplayFolder* top,
                        const std::function<void(const ReplayFolder&, ReplayEntry&)>& f);

// The folder that lists each pool slot.
std::unordered_map<std::int32_t, const ReplayFolder*> FoldersOfEntries(const ReplayDocument& doc);

// The names from below the root down to `folder`, joined by "/" (Shift-JIS);
// empty for the root. A folder of another top-level tree starts with that
// tree's name.
std::string ListFolderPath(const ReplayDocument& doc, const ReplayFolder* folder);

}  // namespace replidex
