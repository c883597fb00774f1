#include "core/archive/ArchiveToList.h"

#include "core/list/FolderOps.h"
#include "core/text/SjisCodec.h"

namespace replidex {

std::string DefaultArchiveListFolder() { return Sjis("取り込み"); }

ReplayFolder* EnsureFolderPath(ReplayFolder* from, const std::vector<std::string>& names, bool& created)
{
    ReplayFolder* folder = from;
    for (const std::string& name : names) {
        if (!folder) return nullptr;
        ReplayFolder* child = FindChildFolder(folder, name);
        if (!child) {
            child = folder->addChild(name);
            created = true;
        }
        folder = child;
    }
    return folder;
}

ArchiveListResult AddArchivedToList(EntryPool& importPool, ReplayDocument& doc, ReplayFolder* target,
                                    const std::vector<ArchiveOutcome>& outcomes)
{
    ArchiveListResult result;
    ImportTree tree(importPool);
    bool unused = false;
    for (const ArchiveOutcome& o : outcomes) {
        if (!o.copied) continue;
        ReplayFolder* folder = EnsureFolderPath(tree.root(), o.listFolders, unused);
        if (!AddReplayFile(tree, folder, o.target) || !o.info) continue;
        // The run analysed the bytes it copied: the copy need not be read again.
        if (ReplayEntry* entry = tree.pool().lookup(folder->entries->back())) entry->info = *o.info;
    }
    AnalysePending(tree, CountPending(tree.pool(), tree.root()));
    result.merge = MergeImports(&tree, tree.root(), &doc, target, &result.stats);
    result.skips = tree.skips();
    DeleteImportTree(tree);
    return result;
}

}  // namespace replidex
