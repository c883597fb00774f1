// Putting archived replays into the replay list: the copies a run made are
// added to a list folder, in sub-folders like the archive's, through the same
// collect, analyse and merge as any add.
#pragma once

#include <string>
#include <vector>

#include "core/archive/ArchivePlan.h"
#include "core/list/ReplayDocument.h"
#include "core/list/ReplayImport.h"

namespace replidex {

// 「取り込み」 (Shift-JIS): the list folder under the root that takes the
// archived replays unless another is chosen.
std::string DefaultArchiveListFolder();

// The folder `names` (Shift-JIS) lead to from `from`, made where missing;
// `created` tells whether one was made.
ReplayFolder* EnsureFolderPath(ReplayFolder* from, const std::vector<std::string>& names, bool& created);

struct ArchiveListResult {
    int merge = kMergeDone;   // MergeImports' answer
    MergeStats stats;
    CollectSkips skips;
};

// Adds every copy the outcomes say was made to `target` of `doc`.
ArchiveListResult AddArchivedToList(EntryPool& importPool, ReplayDocument& doc, ReplayFolder* target,
                                    const std::vector<ArchiveOutcome>& outcomes);

}  // namespace replidex
