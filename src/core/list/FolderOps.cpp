#include "core/list/FolderOps.h"

#include <algorithm>
#include <utility>

#include "core/replay/FileTime.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

constexpr int kNewFolderCandidates = 10000;

bool PathEquals(const ReplayEntry& entry, std::string_view fullPath)
{
    const std::string_view dir = entry.folderPath;
    const std::string_view file = entry.fileName;
    return fullPath.size() == dir.size() + file.size() && fullPath.substr(0, dir.size()) == dir &&
           fullPath.substr(dir.size()) == file;
}

// The text after the nesting-limit reason: how deep folders may go.
std::string NestingLimitTail()
{
    return Sjis("\nフォルダは最上位のフォルダを含めて") + std::to_string(kMaxFolderDepth + 1) +
           Sjis("階層までです。");
}

FolderMoveCheck Verdict(FolderMoveVerdict verdict, std::string message = {},
                        const ReplayFolder* existing = nullptr)
{
    FolderMoveCheck check;
    check.verdict = verdict;
    check.message = std::move(message);
    check.existing = existing;
    return check;
}

// Takes `child` out of its parent's children and destroys it, announcing the
// removal. The child's entries must have been released or handed on.
void RemoveChildNode(ReplayFolder* child, const FolderTreeEvents* events)
{
    ReplayFolder* const parent = child->parent;
    const int row = ChildRow(child);
    if (!parent || row < 0) return;
    if (events && events->beforeRemove) events->beforeRemove(parent, row);
    parent->children.erase(parent->children.begin() + row);
    if (events && events->afterRemove) events->afterRemove(parent, row);
}

// The move itself, checks done: the destination is the target's child named
// like the source (entries merged into it) or a new last child (taking the
// source's list whole); then the source's children follow one by one, first
// child first, so same-named sub-folders merge level by level.
ReplayFolder* MoveFolderNode(ReplayFolder* source, ReplayFolder* target, EntryPool& pool,
                             const FolderTreeEvents* events)
{
    ReplayFolder* destination = FindChildFolder(target, source->name);
    if (destination) {
        MergeFolderEntries(source, destination, pool);
    } else {
        const int row = static_cast<int>(target->children.size());
        if (events && events->beforeInsert) events->beforeInsert(target, row);
        destination = target->addChild(source->name);
        destination->entries = std::move(source->entries);
        if (events && events->afterInsert) events->afterInsert(target, row);
    }
    while (!source->children.empty())
        MoveFolderNode(source->children.front().get(), destination, pool, events);
    source->entries.reset();
    RemoveChildNode(source, events);
    return destination;
}

}  // namespace

ReplayFolder* FindChildFolder(const ReplayFolder* folder, std::string_view name)
{
    if (!folder) return nullptr;
    for (const auto& child : folder->children)
        if (child->name == name) return child.get();
    return nullptr;
}

int ChildRow(const ReplayFolder* child)
{
    if (!child || !child->parent) return -1;
    const auto& siblings = child->parent->children;
    for (std::size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == child) return static_cast<int>(i);
    return -1;
}

int FindEntryIndex(const ReplayFolder* folder, const EntryPool& pool, std::string_view fullPath)
{
    if (!folder || !folder->entries) return -1;
    const auto& list = *folder->entries;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ReplayEntry* entry = pool.lookup(list[i]);
        if (entry && PathEquals(*entry, fullPath)) return static_cast<int>(i);
    }
    return -1;
}

AddEntryResult AddEntryToFolder(ReplayFolder* folder, ReplayEntry* entry, EntryPool& pool)
{
    AddEntryResult result;
    if (!folder || !entry || pool.lookup(entry->poolIndex) != entry) return result;

    std::vector<std::int32_t>& list = folder->entryList();
    const int found = FindEntryIndex(folder, pool, entry->fullPath());
    if (found >= 0) {
        ReplayEntry* existing = pool.lookup(list[static_cast<std::size_t>(found)]);
        if (existing == entry) {
            // Already listed here: releasing it as a duplicate would leave the
            // list naming an empty slot.
            result.code = kAddedUnchanged;
            result.index = entry->poolIndex;
            return result;
        }
        if (existing->fileAge != kNoFileAge && existing->fileAge == entry->fileAge) {
            result.code = kAddedUnchanged;
            result.index = existing->poolIndex;
            if (!entry->memo.empty()) {
                existing->memo = entry->memo;
                result.modified = true;
            }
            pool.release(entry);
            return result;
        }
        if (entry->memo.empty()) entry->memo = existing->memo;
        list.erase(list.begin() + found);
        pool.release(existing);
        result.code = kAddedReplaced;
    } else {
        result.code = kAddedNew;
    }
    list.push_back(entry->poolIndex);
    result.index = entry->poolIndex;
    result.modified = true;
    return result;
}

bool RemoveEntryFromFolder(ReplayFolder* folder, const EntryPool& pool, std::string_view fullPath)
{
    const int found = FindEntryIndex(folder, pool, fullPath);
    if (found < 0) return false;
    folder->entries->erase(folder->entries->begin() + found);
    return true;
}

bool DeleteEntryFromFolder(ReplayFolder* folder, EntryPool& pool, std::string_view fullPath)
{
    const int found = FindEntryIndex(folder, pool, fullPath);
    if (found < 0) return false;
    auto& list = *folder->entries;
    ReplayEntry* entry = pool.lookup(list[static_cast<std::size_t>(found)]);
    list.erase(list.begin() + found);
    pool.release(entry);
    return true;
}

int PurgeFolder(ReplayFolder* folder, const EntryPool& pool)
{
    if (!folder || !folder->entries) return 0;
    auto& list = *folder->entries;
    int removed = 0;
    for (std::size_t i = list.size(); i-- > 0;) {
        if (pool.lookup(list[i])) continue;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        ++removed;
    }
    return removed;
}

bool IsDescendant(const ReplayFolder* a, const ReplayFolder* b)
{
    if (!a || !b) return false;
    // Walking up from b is the same question as searching a's subtree, and
    // needs no stack however deep the tree is.
    for (const ReplayFolder* up = b->parent; up; up = up->parent)
        if (up == a) return true;
    return false;
}

void DeleteFolderTree(ReplayFolder* folder, EntryPool& pool)
{
    if (!folder) return;
    if (folder->entries) {
        auto& list = *folder->entries;
        for (std::size_t i = list.size(); i-- > 0;) pool.release(pool.lookup(list[i]));
        folder->entries.reset();
    }
    while (!folder->children.empty()) DeleteFolderTree(folder->children.back().get(), pool);
    RemoveChildNode(folder, nullptr);
}

bool DeleteSubFolder(ReplayFolder* parent, std::string_view name, EntryPool& pool)
{
    ReplayFolder* folder = FindChildFolder(parent, name);
    if (!folder) return false;
    DeleteFolderTree(folder, pool);
    return true;
}

bool MergeFolderEntries(ReplayFolder* source, ReplayFolder* target, EntryPool& pool)
{
    if (!source || !target || source == target || !source->entries) return false;
    bool modified = false;
    const std::vector<std::int32_t> list = *source->entries;
    for (const std::int32_t index : list) {
        const AddEntryResult added = AddEntryToFolder(target, pool.lookup(index), pool);
        modified = modified || added.modified;
    }
    return modified;
}

std::string FolderStatusText(const ReplayFolder* folder)
{
    const std::size_t folders = folder ? folder->children.size() : 0;
    const std::size_t files = folder && folder->entries ? folder->entries->size() : 0;
    return Sjis("フォルダ:") + std::to_string(folders) + Sjis("個 ファイル:") +
           std::to_string(files) + Sjis("個");
}

// ---------------------------------------------------------------- nesting

int FolderDepth(const ReplayFolder* folder)
{
    if (!folder) return -1;
    int depth = 0;
    for (const ReplayFolder* up = folder->parent; up; up = up->parent) ++depth;
    return depth;
}

int SubtreeHeight(const ReplayFolder* folder)
{
    if (!folder) return 0;
    int height = 0;
    std::vector<std::pair<const ReplayFolder*, int>> pending{{folder, 0}};
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        height = std::max(height, level);
        for (const auto& child : node->children) pending.emplace_back(child.get(), level + 1);
    }
    return height;
}

std::string CheckNewFolderDepth(const ReplayFolder* parent)
{
    if (!parent || FolderDepth(parent) + 1 <= kMaxFolderDepth) return {};
    return parent->name + Sjis("の中は階層が深すぎるため、フォルダを作成できません。") +
           NestingLimitTail();
}

std::string CheckMoveDepth(const ReplayFolder* source, const ReplayFolder* target)
{
    if (!source || !target) return {};
    if (FolderDepth(target) + 1 + SubtreeHeight(source) <= kMaxFolderDepth) return {};
    return target->name + Sjis("に") + source->name +
           Sjis("を移動するとフォルダの階層が深くなりすぎるため、移動できません。") +
           NestingLimitTail();
}

std::string CheckEntryDepth(const ReplayFolder* folder)
{
    if (!folder || FolderDepth(folder) <= kMaxFolderDepth) return {};
    return folder->name + Sjis("は階層が深すぎるため、ファイルを登録できません。") +
           NestingLimitTail();
}

// ---------------------------------------------------------------- creating, renaming

std::optional<SjisString> NewFolderName(const ReplayFolder* parent)
{
    if (!parent) return std::nullopt;
    // Mark the numbers whose candidate name a child has, exactly as written
    // ("New_" and the decimal number without leading zeros), in one pass.
    constexpr std::string_view kPrefix = "New_";
    std::vector<bool> taken(kNewFolderCandidates, false);
    for (const auto& child : parent->children) {
        const std::string_view name = child->name;
        if (name.size() <= kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) continue;
        const std::string_view digits = name.substr(kPrefix.size());
        if (digits.size() > 4 || (digits.size() > 1 && digits[0] == '0')) continue;
        int n = 0;
        bool number = true;
        for (const char c : digits) {
            if (c < '0' || c > '9') number = false;
            n = n * 10 + (c - '0');
        }
        if (number) taken[static_cast<std::size_t>(n)] = true;
    }
    for (int n = 0; n < kNewFolderCandidates; ++n)
        if (!taken[static_cast<std::size_t>(n)]) return "New_" + std::to_string(n);
    return std::nullopt;
}

CreateFolderResult CreateSubFolder(ReplayFolder* parent)
{
    CreateFolderResult result;
    if (!parent) return result;
    result.message = CheckNewFolderDepth(parent);
    if (!result.message.empty()) return result;
    std::optional<SjisString> name = NewFolderName(parent);
    if (!name) return result;
    result.folder = parent->addChild(std::move(*name));
    result.modified = true;
    return result;
}

RenameResult RenameFolder(ReplayFolder* folder, std::string_view newName)
{
    RenameResult result;
    if (!folder) return result;
    const std::string_view name = CutSjisText(newName, kListMaxNameBytes);
    if (folder->parent) {
        const ReplayFolder* same = FindChildFolder(folder->parent, name);
        if (same && same != folder) {
            result.message = SjisString(name) + Sjis("：フォルダは既に存在しています。");
            return result;
        }
    }
    result.accepted = true;
    if (folder->name != name) {
        folder->name = SjisString(name);
        result.modified = true;
    }
    return result;
}

// ---------------------------------------------------------------- moving folders

FolderMoveCheck CanMoveFolder(const ReplayFolder* source, const ReplayFolder* target)
{
    if (!source || !target) return Verdict(FolderMoveVerdict::Refused);
    if (target == source)
        return Verdict(FolderMoveVerdict::Refused,
                       target->name + Sjis("は移動元と同一のフォルダです。\n"
                                           "サブフォルダには移動できません。"));
    if (IsDescendant(source, target))
        return Verdict(FolderMoveVerdict::Refused,
                       target->name + Sjis("は") + source->name +
                           Sjis("のサブフォルダです。\nサブフォルダには移動できません。"));
    // The root (no parent) is not a child that can be taken out.
    if (!source->parent) return Verdict(FolderMoveVerdict::Refused);
    if (source->parent == target) return Verdict(FolderMoveVerdict::NoChange);
    std::string tooDeep = CheckMoveDepth(source, target);
    if (!tooDeep.empty()) return Verdict(FolderMoveVerdict::Refused, std::move(tooDeep));
    if (const ReplayFolder* existing = FindChildFolder(target, source->name))
        return Verdict(FolderMoveVerdict::AskOverwrite,
                       target->name + Sjis("には") + source->name +
                           Sjis("フォルダが既に存在します。\n上書きしますか？"),
                       existing);
    return Verdict(FolderMoveVerdict::Allowed);
}

bool ConfirmFolderMove(const ReplayFolder* source, const ReplayFolder* target,
                       const FolderMoveAsk& ask)
{
    const FolderMoveCheck check = CanMoveFolder(source, target);
    switch (check.verdict) {
    case FolderMoveVerdict::Allowed:
        return true;
    case FolderMoveVerdict::NoChange:
        return false;
    case FolderMoveVerdict::Refused:
        if (ask && !check.message.empty()) ask(check);
        return false;
    case FolderMoveVerdict::AskOverwrite:
        return ask && ask(check);
    }
    return false;
}

MoveFolderResult MoveFolder(ReplayFolder* source, ReplayFolder* target, EntryPool& pool,
                            const FolderTreeEvents* events)
{
    MoveFolderResult result;
    if (!source || !target || source == target || !source->parent || source->parent == target ||
        IsDescendant(source, target))
        return result;
    result.message = CheckMoveDepth(source, target);
    if (!result.message.empty()) return result;
    result.moved = MoveFolderNode(source, target, pool, events);
    result.modified = true;
    return result;
}

// ---------------------------------------------------------------- moving rows

MoveRowsResult MoveRowsToFolder(ReplayFolder* shown, ReplayFolder* target,
                                std::vector<MovedRow>& rows, EntryPool& pool, FolderRowRule rule,
                                const FolderMoveAsk& ask, const FolderTreeEvents* events)
{
    MoveRowsResult result;
    if (!shown || !target || shown == target) return result;
    if (std::string tooDeep = CheckEntryDepth(target); !tooDeep.empty()) {
        if (ask) ask(Verdict(FolderMoveVerdict::Refused, std::move(tooDeep)));
        return result;
    }

    // Entry rows first: each goes into the target at once; the row's data
    // becomes the index the target lists for it. The original index is what
    // leaves the shown folder, so a second entry of the same path there stays.
    std::vector<std::int32_t> leaving(rows.size(), -1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        MovedRow& row = rows[i];
        if (row.isFolder) continue;
        const AddEntryResult added = AddEntryToFolder(target, pool.lookup(row.entryIndex), pool);
        if (added.code == kAddRefused) continue;
        leaving[i] = row.entryIndex;
        row.entryIndex = added.index;
        result.modified = true;
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MovedRow& row = rows[i];
        if (!row.isFolder) {
            if (leaving[i] < 0 || !shown->entries) continue;
            auto& list = *shown->entries;
            const auto at = std::find(list.begin(), list.end(), leaving[i]);
            if (at != list.end()) list.erase(at);
            continue;
        }
        ReplayFolder* folder = FindChildFolder(shown, row.text);
        if (!folder) continue;
        if (rule == FolderRowRule::Checked) {
            if (!ConfirmFolderMove(folder, target, ask)) continue;
        } else if (folder == target) {
            continue;
        }
        const MoveFolderResult moved = MoveFolder(folder, target, pool, events);
        if (!moved.moved) {
            if (ask && !moved.message.empty())
                ask(Verdict(FolderMoveVerdict::Refused, moved.message));
            continue;
        }
        result.lastMoved = moved.moved;
        result.modified = true;
    }

    if (PurgeFolder(shown, pool) > 0) result.modified = true;
    if (PurgeFolder(target, pool) > 0) result.modified = true;
    return result;
}

}  // namespace replidex
