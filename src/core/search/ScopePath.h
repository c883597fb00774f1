// A folder's place in the tree as an index path, so that a copy of the folder
// tree (the scope chooser's) and the list's own tree can name the same folder:
// the index of each folder among its siblings, from the first level below the
// top folder down to the folder itself. The top folder has the empty path.
#pragma once

#include <vector>

#include "core/replay/ReplayRecords.h"

namespace replidex {

using IndexPath = std::vector<int>;

// The path of `folder` below `top`; false when `folder` is not `top` or a
// folder below it (or either is missing).
bool FolderIndexPath(const ReplayFolder* top, const ReplayFolder* folder, IndexPath& path);

// The folder at `path` below `top`, or nullptr when the path runs past a
// folder's children (or there is no top).
ReplayFolder* FolderAtIndexPath(ReplayFolder* top, const IndexPath& path);

}  // namespace replidex
