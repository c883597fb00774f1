#include "core/list/EntryLocations.h"

#include <vector>

namespace replidex {

namespace {

void Walk(const ReplayDocument& doc, const ReplayFolder& folder,
          const std::function<void(const ReplayFolder&, ReplayEntry&)>& f)
{
    if (folder.entries)
        for (const std::int32_t index : *folder.entries)
            if (ReplayEntry* entry = doc.pool.lookup(index)) f(folder, *entry);
    for (const auto& child : folder.children) Walk(doc, *child, f);
}

}  // namespace

void ForEachListedEntry(const ReplayDocument& doc, const ReplayFolder* top,
                        const std::function<void(const ReplayFolder&, ReplayEntry&)>& f)
{
    if (top) {
        Walk(doc, *top, f);
        return;
    }
    for (const auto& folder : doc.topLevel) Walk(doc, *folder, f);
}

std::unordered_map<std::int32_t, const ReplayFolder*> FoldersOfEntries(const ReplayDocument& doc)
{
    std::unordered_map<std::int32_t, const ReplayFolder*> folders;
    ForEachListedEntry(doc, nullptr, [&](const ReplayFolder& folder, ReplayEntry& entry) {
        folders.emplace(entry.poolIndex, &folder);
    });
    return folders;
}

std::string ListFolderPath(const ReplayDocument& doc, const ReplayFolder* folder)
{
    std::vector<const ReplayFolder*> chain;
    for (const ReplayFolder* f = folder; f && f != doc.root; f = f->parent) chain.push_back(f);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) path += '/';
        path += (*it)->name;
    }
    return path;
}

}  // namespace replidex
