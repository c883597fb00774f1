#include "core/list/Duplicates.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>

#include "core/list/EntryLocations.h"
#include "core/replay/FactsKey.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

// The listed entries in pool slot order, each once.
std::vector<ReplayEntry*> ListedEntries(const ReplayDocument& doc)
{
    std::vector<ReplayEntry*> entries;
    ForEachListedEntry(doc, nullptr, [&](const ReplayFolder&, ReplayEntry& e) { entries.push_back(&e); });
    std::sort(entries.begin(), entries.end(),
              [](const ReplayEntry* a, const ReplayEntry* b) { return a->poolIndex < b->poolIndex; });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

// One path of the list with its entries in slot order.
struct ListedPath {
    std::string sjis;
    std::string native;
    std::vector<ReplayEntry*> entries;
    std::optional<FileSizeAndTime> facts;
};

std::vector<ListedPath> PathsOf(const std::vector<ReplayEntry*>& entries)
{
    std::vector<ListedPath> paths;
    std::unordered_map<std::string, std::size_t> byPath;
    for (ReplayEntry* e : entries) {
        auto [it, made] = byPath.emplace(e->fullPath(), paths.size());
        if (made) paths.push_back({it->first, {}, {}, {}});
        paths[it->second].entries.push_back(e);
    }
    return paths;
}

void AddGroupOfPaths(const std::vector<ListedPath>& paths, const std::vector<std::size_t>& members,
                     std::vector<DuplicateGroup>& out)
{
    DuplicateGroup group{DuplicateKind::Content, {}};
    for (const std::size_t m : members)
        group.entries.insert(group.entries.end(), paths[m].entries.begin(), paths[m].entries.end());
    std::sort(group.entries.begin(), group.entries.end(),
              [](const ReplayEntry* a, const ReplayEntry* b) { return a->poolIndex < b->poolIndex; });
    out.push_back(std::move(group));
}

// Splits files already known to hold one size (and hash) into classes of
// equal bytes, comparing each with the first of every class so far.
void SplitByBytes(std::vector<ListedPath>& paths, const std::vector<std::size_t>& members,
                  DuplicateStats& stats, std::vector<DuplicateGroup>& out)
{
    std::vector<std::vector<std::size_t>> classes;
    for (const std::size_t m : members) {
        bool placed = false;
        for (auto& c : classes)
            if (SameFileContent(paths[c.front()].native, paths[m].native, &stats.bytesRead)) {
                c.push_back(m);
                placed = true;
                break;
            }
        if (!placed) classes.push_back({m});
    }
    for (const auto& c : classes)
        if (c.size() > 1) AddGroupOfPaths(paths, c, out);
}

void FindContentGroups(std::vector<ListedPath>& paths, const ContentIndex* index, DuplicateStats& stats,
                       std::vector<DuplicateGroup>& out)
{
    std::map<std::uint64_t, std::vector<std::size_t>> bySize;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        paths[i].native = NativePathFromSjis(paths[i].sjis);
        paths[i].facts = StatFile(paths[i].native);
        ++stats.filesStated;
        if (paths[i].facts) bySize[paths[i].facts->size].push_back(i);
    }
    for (const auto& [size, members] : bySize) {
        if (members.size() < 2) continue;
        if (members.size() == 2) {   // one comparison reads no more than two hashes would
            SplitByBytes(paths, members, stats, out);
            continue;
        }
        std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::size_t>> byHash;
        for (const std::size_t m : members) {
            std::optional<Hash128> hash;
            const ContentRecord* r = index ? index->findCurrent(paths[m].sjis, paths[m].facts->fileAge) : nullptr;
            if (r && r->size == size) hash = r->hash;
            else {
                ++stats.filesHashed;
                hash = FileContentHash128(paths[m].native, &stats.bytesRead);
            }
            if (hash) byHash[{hash->high, hash->low}].push_back(m);
        }
        for (const auto& [hash, same] : byHash)
            if (same.size() > 1) SplitByBytes(paths, same, stats, out);
    }
}

int KindOrder(DuplicateKind kind)
{
    return static_cast<int>(kind);
}

}  // namespace

std::vector<DuplicateGroup> FindDuplicates(const ReplayDocument& doc, const DuplicateOptions& options,
                                           const ContentIndex* index, DuplicateStats* statsOut)
{
    DuplicateStats localStats;
    DuplicateStats& stats = statsOut ? *statsOut : localStats;
    const std::vector<ReplayEntry*> entries = ListedEntries(doc);
    std::vector<ListedPath> paths = PathsOf(entries);
    std::vector<DuplicateGroup> groups;

    if (options.path)
        for (const ListedPath& p : paths)
            if (p.entries.size() > 1) groups.push_back({DuplicateKind::Path, p.entries});
    if (options.content) FindContentGroups(paths, index, stats, groups);
    if (options.match) {
        std::unordered_map<std::string, std::size_t> byFacts;
        std::vector<DuplicateGroup> matches;
        for (ReplayEntry* e : entries) {
            if (!e->info || e->info->failed() || !(e->info->infoFlags & kInfoNetMatch)) continue;
            auto [it, made] = byFacts.emplace(FactsKey(*e->info), matches.size());
            if (made) matches.push_back({DuplicateKind::Match, {}});
            matches[it->second].entries.push_back(e);
        }
        for (auto& g : matches)
            if (g.entries.size() > 1) groups.push_back(std::move(g));
    }
    std::stable_sort(groups.begin(), groups.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) {
        if (a.entries.front()->poolIndex != b.entries.front()->poolIndex)
            return a.entries.front()->poolIndex < b.entries.front()->poolIndex;
        return KindOrder(a.kind) < KindOrder(b.kind);
    });
    return groups;
}

int RemoveListedEntries(ReplayDocument& doc, const std::vector<ReplayEntry*>& entries)
{
    std::unordered_map<std::int32_t, ReplayFolder*> folderOf;
    ForEachListedEntry(doc, nullptr, [&](const ReplayFolder& folder, ReplayEntry& entry) {
        folderOf.emplace(entry.poolIndex, const_cast<ReplayFolder*>(&folder));
    });
    int removed = 0;
    for (ReplayEntry* entry : entries) {
        const auto found = folderOf.find(entry->poolIndex);
        if (found == folderOf.end() || !found->second->entries) continue;
        auto& list = *found->second->entries;
        list.erase(std::remove(list.begin(), list.end(), entry->poolIndex), list.end());
        folderOf.erase(found);
        doc.pool.release(entry);
        ++removed;
    }
    return removed;
}

bool MemosDiffer(const std::vector<ReplayEntry*>& entries)
{
    for (const ReplayEntry* e : entries)
        if (e->memo != entries.front()->memo) return true;
    return false;
}

}  // namespace replidex
