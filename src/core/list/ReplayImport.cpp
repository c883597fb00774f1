#include "core/list/ReplayImport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/list/FolderOps.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplaySlots.h"
#include "core/replay/ReplayFileReader.h"
#include "core/file/NativeFiles.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;


// Position of the last delimiter of a native path (UTF-8, where no byte of
// a multi-byte character is a delimiter).
std::size_t LastNativeDelimiter(std::string_view path)
{
#ifdef _WIN32
    return path.find_last_of("\\/");
#else
    return path.rfind(kPathDelimiter);
#endif
}

bool IsRegularFile(const std::string& nativePath)
{
    std::error_code ec;
    return fs::is_regular_file(FsPath(nativePath), ec);
}

// What tells a folder apart from every other one, so that a folder reached a
// second time (through a symbolic link) is noticed.
#ifndef _WIN32
using FolderId = std::pair<std::uint64_t, std::uint64_t>;   // device, inode
bool IdentifyFolder(const std::string& nativePath, FolderId& id)
{
    struct stat st {};
    if (::stat(nativePath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}
#else
using FolderId = std::string;   // the canonical path
bool IdentifyFolder(const std::string& nativePath, FolderId& id)
{
    std::error_code ec;
    if (!fs::is_directory(FsPath(nativePath), ec)) return false;
    id = NativePathOf(fs::canonical(FsPath(nativePath), ec));
    return !ec;
}
#endif

std::string JoinNative(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && IsPathDelimiter(folder.back())) return folder + name;
    return folder + kPathDelimiter + name;
}

std::string EntryKey(const ReplayEntry& entry)
{
    std::string key;
    key.reserve(entry.folderPath.size() + 1 + entry.fileName.size());
    key += entry.folderPath;
    key += '\0';
    key += entry.fileName;
    return key;
}

// Collects one folder. `parent` is null below a folder whose path has no
// Shift-JIS form: nothing is made there, but the replay files are counted.
void CollectFolder(ImportTree& tree, ReplayFolder* parent, const std::string& nativePath,
                   std::set<FolderId>& seen)
{
    CollectSkips& skips = tree.skips();
    FolderId id;
    if (!IdentifyFolder(nativePath, id)) {
        ++skips.unreadableFolders;
        return;
    }
    if (!seen.insert(id).second) {
        ++skips.linkedAgainFolders;
        return;
    }
    std::error_code ec;
    fs::directory_iterator it(FsPath(nativePath), ec);
    if (ec) {
        ++skips.unreadableFolders;
        return;
    }

    ReplayFolder* folder = nullptr;
    if (parent) {
        std::string sjisPath;
        if (SjisFromNativePath(nativePath, sjisPath)) {
            const std::size_t cut = LastSjisDelimiter(sjisPath);
            const std::string name =
                cut == std::string::npos ? sjisPath : sjisPath.substr(cut + 1);
            folder = FindChildFolder(parent, name);
            if (!folder) folder = parent->addChild(name);
        } else {
            ++skips.unrepresentableFolders;
        }
    }

    // The folder's items in name order without regard to case, as a Windows
    // folder lists them, whatever order the file system keeps them in.
    struct Item {
        std::string name;
        bool isFolder;
    };
    std::vector<Item> items;
    for (const fs::directory_iterator end; it != end;) {
        std::error_code typeError;
        items.push_back({NativePathOf(it->path().filename()), it->is_directory(typeError)});
        it.increment(ec);
        if (ec) {
            // The rest of the listing is lost; what was listed is collected.
            ++skips.unreadableFolders;
            break;
        }
    }
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return NameBefore(a.name, b.name); });

    for (const Item& item : items) {
        const std::string childPath = JoinNative(nativePath, item.name);
        if (item.isFolder) {
            CollectFolder(tree, folder, childPath, seen);
        } else if (folder) {
            AddReplayFile(tree, folder, childPath);
        } else if (IsReplayFileName(item.name) && IsRegularFile(childPath)) {
            ++skips.unrepresentableFiles;
        }
    }
}

int CountListed(const EntryPool& pool, const ReplayFolder& folder)
{
    int n = 0;
    for (const auto& child : folder.children) n += CountListed(pool, *child);
    if (folder.entries)
        for (const std::int32_t index : *folder.entries)
            if (pool.lookup(index)) ++n;
    return n;
}

class Analyser {
public:
    Analyser(ImportTree& tree, int total, const AnalyseProgress& progress)
        : tree_(tree), total_(total), progress_(progress)
    {
    }

    AnalyseOutcome run()
    {
        if (tree_.root()) visit(*tree_.root());
        return outcome_;
    }

private:
    ImportTree& tree_;
    int total_;
    const AnalyseProgress& progress_;
    AnalyseOutcome outcome_;

    void visit(ReplayFolder& folder)
    {
        tree_.setVisitMark(&folder, 0);
        if (outcome_.cancelled) return;
        tree_.setVisitMark(&folder, 1);
        for (std::size_t i = 0; i < folder.children.size(); ++i) {
            visit(*folder.children[i]);
            if (outcome_.cancelled) return;
        }
        if (!folder.entries) return;
        const std::vector<std::int32_t>& list = *folder.entries;
        for (std::size_t i = 0; i < list.size(); ++i) {
            ReplayEntry* entry = tree_.pool().lookup(list[i]);
            if (!entry || entry->info) continue;
            entry->info.emplace();
            if (AnalyseReplay(entry->fullPath(), *entry->info) != kAnalyseOk) ++outcome_.failed;
            ++outcome_.analysed;
            if (progress_ && !progress_(outcome_.analysed, total_)) {
                outcome_.cancelled = true;
                return;
            }
        }
    }
};

int MergeFolder(ImportTree& tree, ReplayFolder& source, ReplayDocument& doc, ReplayFolder& target,
                MergeStats& stats)
{
    EntryPool& importPool = tree.pool();
    if (source.entries) {
        std::vector<std::int32_t>& list = *source.entries;
        // Entries the analysis never reached are dropped.
        std::size_t kept = 0;
        for (const std::int32_t index : list) {
            ReplayEntry* q = importPool.lookup(index);
            if (q && !q->info) {
                importPool.release(q);
                ++stats.dropped;
                continue;
            }
            list[kept++] = index;
        }
        list.resize(kept);

        // The target's entries by path; the first of equal paths counts.
        std::vector<std::int32_t>& targetList = target.entryList();
        std::unordered_map<std::string, std::int32_t> listed;
        listed.reserve(targetList.size() + list.size());
        for (const std::int32_t index : targetList)
            if (const ReplayEntry* r = doc.pool.lookup(index)) listed.try_emplace(EntryKey(*r), index);

        for (std::size_t i = 0; i < list.size(); ++i) {
            ReplayEntry* q = importPool.lookup(list[i]);
            if (!q) continue;
            std::string key = EntryKey(*q);
            const auto found = listed.find(key);
            if (found == listed.end()) {
                ReplayEntry* r = doc.pool.allocate();
                if (!r) {
                    // What is left stays in the import tree, which the caller deletes.
                    list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(i));
                    return kMergePoolFull;
                }
                *r = *q;
                importPool.release(q);
                targetList.push_back(r->poolIndex);
                listed.emplace(std::move(key), r->poolIndex);
                ++stats.added;
                stats.modified = true;
            } else {
                ReplayEntry* r = doc.pool.lookup(found->second);
                if (r->fileAge == kNoFileAge || r->fileAge != q->fileAge) {
                    std::string memo = std::move(r->memo);
                    *r = *q;
                    r->memo = std::move(memo);
                    ++stats.refreshed;
                    stats.modified = true;
                } else {
                    ++stats.unchanged;
                }
                importPool.release(q);
            }
        }
        source.entries.reset();
    }

    for (std::size_t i = 0; i < source.children.size(); ++i) {
        ReplayFolder* child = source.children[i].get();
        if (tree.visitMark(child) != 1) continue;
        ReplayFolder* into = FindChildFolder(&target, child->name);
        if (!into) {
            into = target.addChild(child->name);
            if (!into) return kMergeNoFolder;
            ++stats.foldersCreated;
            stats.modified = true;
        }
        const int r = MergeFolder(tree, *child, doc, *into, stats);
        if (r != kMergeDone) return r;
    }

    // Folders the analysis never entered are dropped.
    for (std::size_t i = source.children.size(); i-- > 0;) {
        ReplayFolder* child = source.children[i].get();
        if (tree.visitMark(child) != 0) continue;
        stats.dropped += CountListed(importPool, *child);
        tree.forgetFolder(*child);
        DeleteFolderTree(child, importPool);
    }
    return kMergeDone;
}

}  // namespace

std::size_t LastSjisDelimiter(std::string_view path)
{
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(c) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (IsPathDelimiter(path[i])) found = i;
        ++i;
    }
    return found;
}

// ---------------------------------------------------------------- import tree

ImportTree::ImportTree(EntryPool& importPool)
    : pool_(importPool), root_(std::make_unique<ReplayFolder>("Dummy"))
{
    pool_.clear();
}

ImportTree::~ImportTree()
{
    DeleteImportTree(*this);
}

int ImportTree::visitMark(const ReplayFolder* folder) const
{
    const auto found = visitMarks_.find(folder);
    return found == visitMarks_.end() ? 0 : found->second;
}

void ImportTree::setVisitMark(const ReplayFolder* folder, int mark)
{
    visitMarks_[folder] = mark;
}

void ImportTree::forgetFolder(const ReplayFolder& folder)
{
    visitMarks_.erase(&folder);
    listed_.erase(&folder);
    for (const auto& child : folder.children) forgetFolder(*child);
}

void DeleteImportTree(ImportTree& tree)
{
    if (!tree.root_) return;
    DeleteFolderTree(tree.root_.get(), tree.pool_);
    tree.root_.reset();
    tree.visitMarks_.clear();
    tree.listed_.clear();
    tree.folderPaths_.clear();
}

// ---------------------------------------------------------------- collecting

bool IsReplayFileName(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext == ".RPD" || ext == ".DAT";
}

bool IsExistingFolder(const std::string& nativePath)
{
    if (nativePath.empty()) return false;
    std::error_code ec;
    return fs::is_directory(FsPath(nativePath), ec);
}

bool AddReplayFile(ImportTree& tree, ReplayFolder* folder, const std::string& nativePath)
{
    if (!folder) return false;
    const std::size_t nativeCut = LastNativeDelimiter(nativePath);
    const std::string nativeName =
        nativeCut == std::string::npos ? nativePath : nativePath.substr(nativeCut + 1);
    if (!IsReplayFileName(nativeName) || !IsRegularFile(nativePath)) return false;

    std::string sjisPath;
    if (!SjisFromNativePath(nativePath, sjisPath)) {
        ++tree.skips_.unrepresentableFiles;
        return false;
    }
    const std::int32_t age = FileAgeOf(sjisPath);
    if (age == kNoFileAge) return false;   // gone since it was looked at

    // The paths this folder lists, gathered once and kept up to date.
    auto [listedAt, isNew] = tree.listed_.try_emplace(folder);
    std::unordered_set<std::string>& listed = listedAt->second;
    if (isNew && folder->entries) {
        for (const std::int32_t index : *folder->entries)
            if (const ReplayEntry* e = tree.pool_.lookup(index)) listed.insert(e->fullPath());
    }
    if (listed.count(sjisPath) != 0) return false;

    ReplayEntry* entry = tree.pool_.allocate();
    if (!entry) {
        ++tree.skips_.poolFullFiles;
        return false;
    }
    const std::size_t cut = LastSjisDelimiter(sjisPath);
    if (cut == std::string::npos) {
        entry->fileName = sjisPath;
    } else {
        entry->folderPath = tree.folderPaths_.get(std::string_view(sjisPath).substr(0, cut + 1));
        entry->fileName = sjisPath.substr(cut + 1);
    }
    entry->kind = kReplayEntryKind;
    entry->fileAge = age;
    folder->entryList().push_back(entry->poolIndex);
    listed.insert(std::move(sjisPath));
    ++tree.collected_;
    return true;
}

void AddReplayFolder(ImportTree& tree, ReplayFolder* folder, const std::string& nativePath)
{
    if (!folder) return;
    // Each call follows symbolic links but enters every folder once, so that a
    // link back up the tree cannot make it endless.
    std::set<FolderId> seen;
    CollectFolder(tree, folder, nativePath, seen);
}

// ---------------------------------------------------------------- analysis

int CountPending(const EntryPool& pool, const ReplayFolder* root)
{
    if (!root) return 0;
    int n = 0;
    for (const auto& child : root->children) n += CountPending(pool, child.get());
    if (root->entries) {
        for (const std::int32_t index : *root->entries) {
            const ReplayEntry* entry = pool.lookup(index);
            if (entry && !entry->info) ++n;
        }
    }
    return n;
}

AnalyseOutcome AnalysePending(ImportTree& tree, int total, const AnalyseProgress& progress)
{
    return Analyser(tree, total, progress).run();
}

std::string ProgressText(int done, int total)
{
    static const std::string format = Sjis("%d/%dファイルを解析 (%3.0lf％)");
    const double percent = total > 0 ? done * 100.0 / total : 0.0;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format.c_str(), done, total, percent);
    return buffer;
}

// ---------------------------------------------------------------- merging

int MergeImports(ImportTree* tree, ReplayFolder* importFolder, ReplayDocument* doc,
                 ReplayFolder* target, MergeStats* stats)
{
    if (!tree || !importFolder || !doc || !target) return kMergeNoFolder;
    MergeStats local;
    return MergeFolder(*tree, *importFolder, *doc, *target, stats ? *stats : local);
}

std::string PoolFullMessage()
{
    return Sjis("登録できる数(65536)を超えています。");
}

std::string SkipMessage(const CollectSkips& skips)
{
    struct Reason {
        int count;
        const char* text;   // UTF-8 with one %d
    };
    const Reason reasons[] = {
        {skips.unrepresentableFiles,
         "%d個のファイルは、パスをShift-JISで表せないため追加しませんでした。"},
        {skips.unrepresentableFolders,
         "%d個のフォルダは、パスをShift-JISで表せないため追加しませんでした。"},
        {skips.poolFullFiles,
         "%d個のファイルは、一度に追加できる数(65536)を超えたため追加しませんでした。"},
        {skips.unreadableFolders, "%d個のフォルダは、読み込めないため飛ばしました。"},
        {skips.linkedAgainFolders,
         "%d個のフォルダは、シンボリックリンクで既に辿ったフォルダを指すため飛ばしました。"},
    };
    std::string message;
    for (const Reason& reason : reasons) {
        if (reason.count <= 0) continue;
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, reason.text, reason.count);
        if (!message.empty()) message += '\n';
        message += Sjis(buffer);
    }
    return message;
}

bool RecentFolderOfFile(const std::string& nativePath, std::string& sjisFolder)
{
    // Only the folder part needs a Shift-JIS form, not the file's name.
    const std::size_t cut = LastNativeDelimiter(nativePath);
    if (cut == std::string::npos) return false;
    return SjisFromNativePath(nativePath.substr(0, cut + 1), sjisFolder);
}

bool RecentFolderOfFolder(const std::string& nativeFolder, std::string& sjisFolder)
{
    std::string sjisPath;
    if (!SjisFromNativePath(nativeFolder, sjisPath)) return false;
    if (sjisPath.empty() || LastSjisDelimiter(sjisPath) != sjisPath.size() - 1)
        sjisPath += kPathDelimiter;
    sjisFolder = std::move(sjisPath);
    return true;
}

}  // namespace replidex
