#include "core/list/Relink.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "core/file/NativeFiles.h"
#include "core/list/EntryLocations.h"
#include "core/list/ReplayImport.h"
#include "core/replay/FactsKey.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

// The missing entries of one old path, first by pool slot.
struct MissingGroup {
    std::vector<ReplayEntry*> entries;
    const ContentRecord* record = nullptr;
    ReplayEntry& first() const { return *entries.front(); }
    // Facts worth comparing: read and not a failed analysis.
    bool hasFacts() const { return first().info && !first().info->failed(); }
};

std::vector<MissingGroup> GroupByPath(std::vector<ReplayEntry*> missing)
{
    std::sort(missing.begin(), missing.end(),
              [](const ReplayEntry* a, const ReplayEntry* b) { return a->poolIndex < b->poolIndex; });
    std::vector<MissingGroup> groups;
    std::unordered_map<std::string, std::size_t> byPath;
    for (ReplayEntry* entry : missing) {
        const auto [it, made] = byPath.emplace(entry->fullPath(), groups.size());
        if (made) groups.emplace_back();
        groups[it->second].entries.push_back(entry);
    }
    return groups;
}

std::unordered_set<std::string> ListedPaths(const ReplayDocument& doc)
{
    std::unordered_set<std::string> paths;
    doc.pool.forEach([&](const ReplayEntry& entry) { paths.insert(entry.fullPath()); });
    return paths;
}

// What was learnt about each found file, each at most once.
class FileKnowledge {
public:
    FileKnowledge(const std::vector<FoundFile>& files, RelinkStats& stats, const std::function<bool()>& keepGoing)
        : files_(files), stats_(stats), keepGoing_(keepGoing), hashes_(files.size()), facts_(files.size())
    {
    }
    // False once the search was called off; nothing more is read then.
    bool goingOn()
    {
        if (stopped_ || !keepGoing_) return !stopped_;
        stopped_ = !keepGoing_();
        return !stopped_;
    }
    const std::optional<Hash128>& hash(std::size_t i)
    {
        if (!hashes_[i].first && goingOn()) {
            hashes_[i].first = true;
            ++stats_.hashed;
            hashes_[i].second = FileContentHash128(files_[i].nativePath, &stats_.bytesRead);
        }
        return hashes_[i].second;
    }
    void analyse(std::size_t i)
    {
        if (facts_[i].first || !goingOn()) return;
        facts_[i].first = true;
        ++stats_.analysed;
        stats_.bytesRead += files_[i].facts.size;
        ReplayInfo info;
        if (AnalyseReplayAtNativePath(files_[i].nativePath, info) == kAnalyseOk) {
            facts_[i].second = FactsKey(info);
            byFacts_[facts_[i].second].push_back(i);
        }
    }
    // The analysed files whose facts are `key`.
    const std::vector<std::size_t>& withFacts(const std::string& key) const
    {
        static const std::vector<std::size_t> kNone;
        const auto found = byFacts_.find(key);
        return found == byFacts_.end() ? kNone : found->second;
    }
    bool same(std::size_t a, std::size_t b)
    {
        return SameFileContent(files_[a].nativePath, files_[b].nativePath, &stats_.bytesRead);
    }

private:
    const std::vector<FoundFile>& files_;
    RelinkStats& stats_;
    const std::function<bool()>& keepGoing_;
    bool stopped_ = false;
    std::vector<std::pair<bool, std::optional<Hash128>>> hashes_;
    std::vector<std::pair<bool, std::string>> facts_;
    std::unordered_map<std::string, std::vector<std::size_t>> byFacts_;
};

RelinkProposal MakeProposal(const MissingGroup& group, const FoundFile& file, int tier, bool ticked)
{
    RelinkProposal p;
    p.entries = group.entries;
    p.oldFolder = group.first().folderPath.str();
    p.oldPath = group.first().fullPath();
    p.found = file;
    p.tier = tier;
    p.ticked = ticked;
    return p;
}

// Adds the proposals of one group for its candidates of one tier.
void Propose(const MissingGroup& group, const std::vector<std::size_t>& candidates, int tier,
             const std::vector<FoundFile>& files, FileKnowledge& known,
             std::vector<RelinkProposal>& out, std::vector<std::size_t>& outFiles)
{
    const bool tickable = tier <= 2;
    bool oneContent = true;
    for (std::size_t i = 1; i < candidates.size() && oneContent; ++i)
        oneContent = known.same(candidates[0], candidates[i]);
    if (!oneContent) {
        for (const std::size_t c : candidates) {
            out.push_back(MakeProposal(group, files[c], tier, false));
            outFiles.push_back(c);
        }
        return;
    }
    const std::string& name = group.first().fileName;
    const auto better = [&](std::size_t a, std::size_t b) {
        const FoundFile& fa = files[a];
        const FoundFile& fb = files[b];
        const bool na = fa.sjisName == name, nb = fb.sjisName == name;
        if (na != nb) return na;
        if (fa.nativePath.size() != fb.nativePath.size()) return fa.nativePath.size() < fb.nativePath.size();
        return fa.nativePath < fb.nativePath;
    };
    const std::size_t chosen = *std::min_element(candidates.begin(), candidates.end(), better);
    out.push_back(MakeProposal(group, files[chosen], tier, tickable));
    outFiles.push_back(chosen);
}

// A file ticked for several old paths stays ticked only for the one of the
// best tier, and for none when that tier is shared.
void UntickSharedFiles(std::vector<RelinkProposal>& proposals, const std::vector<std::size_t>& fileOf)
{
    std::unordered_map<std::size_t, std::vector<std::size_t>> claims;
    for (std::size_t i = 0; i < proposals.size(); ++i)
        if (proposals[i].ticked) claims[fileOf[i]].push_back(i);
    for (const auto& [file, claimants] : claims) {
        if (claimants.size() < 2) continue;
        int best = 4, atBest = 0;
        for (const std::size_t i : claimants) best = std::min(best, proposals[i].tier);
        for (const std::size_t i : claimants) atBest += proposals[i].tier == best;
        for (const std::size_t i : claimants)
            if (proposals[i].tier != best || atBest > 1) proposals[i].ticked = false;
    }
}

}  // namespace

std::vector<FoundFile> FindReplayFiles(const std::string& nativeFolder, int* unlisted)
{
    namespace fs = std::filesystem;
    std::vector<FoundFile> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(FsPath(nativeFolder), fs::directory_options::skip_permission_denied,
                                        ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = NativePathOf(it->path().filename());
        if (!IsReplayFileName(name)) continue;
        FoundFile file;
        file.nativePath = NativePathOf(it->path());
        const auto facts = StatFile(file.nativePath);
        if (!facts) continue;
        file.facts = *facts;
        if (!SjisFromNativePath(file.nativePath, file.sjisPath) || !Utf8ToCp932(name, file.sjisName) ||
            file.sjisName.size() > file.sjisPath.size()) {
            if (unlisted) ++*unlisted;
            continue;
        }
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(),
              [](const FoundFile& a, const FoundFile& b) { return a.nativePath < b.nativePath; });
    return files;
}

std::vector<ReplayEntry*> MissingEntries(const ReplayDocument& doc, const ReplayFolder* scope)
{
    std::vector<ReplayEntry*> missing;
    std::unordered_set<const ReplayEntry*> seen;
    ForEachListedEntry(doc, scope, [&](const ReplayFolder&, ReplayEntry& entry) {
        if (!entry.fileName.empty() && seen.insert(&entry).second && EntryState(entry) == kStateMissing)
            missing.push_back(&entry);
    });
    return missing;
}

std::vector<RelinkProposal> FindRelinks(const ReplayDocument& doc, const ReplayFolder* scope,
                                        const std::vector<FoundFile>& allFiles, const ContentIndex& index,
                                        const RelinkOptions& options, RelinkStats* statsOut,
                                        const std::function<bool()>& keepGoing)
{
    RelinkStats localStats;
    RelinkStats& stats = statsOut ? *statsOut : localStats;
    std::vector<MissingGroup> groups = GroupByPath(MissingEntries(doc, scope));
    for (const MissingGroup& g : groups) stats.missingEntries += static_cast<int>(g.entries.size());

    // A file the list already holds is nobody's new place.
    const std::unordered_set<std::string> listed = ListedPaths(doc);
    std::vector<FoundFile> files;
    for (const FoundFile& f : allFiles)
        if (!listed.count(f.sjisPath)) files.push_back(f);
    stats.filesSeen += static_cast<int>(allFiles.size());

    std::unordered_map<std::uint64_t, std::vector<std::size_t>> recordedSizes;
    std::unordered_map<std::int32_t, std::vector<std::size_t>> missingAges;
    for (MissingGroup& g : groups) {
        if (options.tier1) g.record = index.findCurrent(g.first().fullPath(), g.first().fileAge);
        if (g.record) recordedSizes[g.record->size];
        else if (g.hasFacts()) missingAges[g.first().fileAge];
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (auto s = recordedSizes.find(files[i].facts.size); s != recordedSizes.end()) s->second.push_back(i);
        if (auto a = missingAges.find(files[i].facts.fileAge); a != missingAges.end()) a->second.push_back(i);
    }

    FileKnowledge known(files, stats, keepGoing);
    if (options.tier2)
        for (const auto& [age, sameAge] : missingAges)
            for (const std::size_t i : sameAge) known.analyse(i);
    if (options.tier3)
        for (std::size_t i = 0; i < files.size(); ++i) known.analyse(i);

    std::vector<RelinkProposal> proposals;
    std::vector<std::size_t> fileOf;
    for (const MissingGroup& g : groups) {
        const ReplayEntry& entry = g.first();
        if (g.record) {
            std::vector<std::size_t> sameContent;
            for (const std::size_t i : recordedSizes[g.record->size])
                if (known.hash(i) == g.record->hash) sameContent.push_back(i);
            if (!sameContent.empty()) Propose(g, sameContent, 1, files, known, proposals, fileOf);
            continue;
        }
        if (!g.hasFacts()) continue;
        std::vector<std::size_t> sameTime, otherTime;
        for (const std::size_t i : known.withFacts(FactsKey(*entry.info)))
            (files[i].facts.fileAge == entry.fileAge ? sameTime : otherTime).push_back(i);
        if (options.tier2 && !sameTime.empty())
            Propose(g, sameTime, 2, files, known, proposals, fileOf);
        else if (options.tier3 && !otherTime.empty() && (entry.info->infoFlags & kInfoNetMatch))
            Propose(g, otherTime, 3, files, known, proposals, fileOf);
    }
    if (!known.goingOn()) return {};
    UntickSharedFiles(proposals, fileOf);
    return proposals;
}

std::vector<FolderMove> FolderMovesOf(const std::vector<RelinkProposal>& relinked)
{
    std::vector<FolderMove> moves;
    for (const RelinkProposal& p : relinked) {
        if (!p.ticked) continue;
        FolderMove move{p.oldFolder, p.found.sjisFolder()};
        if (move.from != move.to && std::find(moves.begin(), moves.end(), move) == moves.end())
            moves.push_back(std::move(move));
    }
    return moves;
}

std::vector<RelinkProposal> FolderPatternProposals(const ReplayDocument& doc,
                                                   const std::vector<FolderMove>& moves)
{
    std::vector<RelinkProposal> proposals;
    if (moves.empty()) return proposals;
    const std::unordered_set<std::string> listed = ListedPaths(doc);
    for (const MissingGroup& g : GroupByPath(MissingEntries(doc, nullptr))) {
        const ReplayEntry& entry = g.first();
        if (!g.hasFacts()) continue;
        for (const FolderMove& move : moves) {
            if (entry.folderPath.view() != move.from) continue;
            FoundFile file;
            file.sjisName = entry.fileName;
            file.sjisPath = move.to + entry.fileName;
            file.nativePath = NativePathFromSjis(file.sjisPath);
            const auto facts = StatFile(file.nativePath);
            if (!facts || facts->fileAge != entry.fileAge || listed.count(file.sjisPath)) continue;
            file.facts = *facts;
            ReplayInfo info;
            if (AnalyseReplayAtNativePath(file.nativePath, info) != kAnalyseOk || !(info == *entry.info))
                continue;
            RelinkProposal p = MakeProposal(g, file, 2, true);
            p.byFolderPattern = true;
            proposals.push_back(std::move(p));
            break;
        }
    }
    return proposals;
}

int ApplyRelinks(const std::vector<RelinkProposal>& proposals, ContentIndex* index)
{
    SharedTextTable folders;
    int changed = 0;
    for (const RelinkProposal& p : proposals) {
        if (!p.ticked) continue;
        const SharedText& folder = folders.get(p.found.sjisFolder());
        for (ReplayEntry* entry : p.entries) {
            entry->folderPath = folder;
            entry->fileName = p.found.sjisName;
            if (p.tier == 3) entry->fileAge = p.found.facts.fileAge;
            ++changed;
        }
    }
    if (index) MoveRelinkedRecords(proposals, *index);
    return changed;
}

void MoveRelinkedRecords(const std::vector<RelinkProposal>& proposals, ContentIndex& index)
{
    for (const RelinkProposal& p : proposals)
        if (p.ticked && p.tier == 1) index.rename(p.oldPath, p.found.sjisPath);
}

}  // namespace replidex
