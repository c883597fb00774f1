#include "gui/browse/FolderRows.h"

#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"

namespace replidex {

namespace {

ReplayRow MakeEntryRow(const ReplayEntry& entry, int state, bool exists)
{
    ReplayRow row;
    row.kind = RowKind::Entry;
    row.poolIndex = entry.poolIndex;
    row.texts[kColFile] = entry.fileName;
    row.texts[kColPath] = entry.folderPath;
    row.texts[kColMemo] = SjisString(MemoFirstLine(entry.memo));
    const ReplayInfo* info = entry.infoPtr();
    if (!info) return row;

    const int fileState = !exists ? kStateMissing : state == kStateChanged ? kStateChanged
                                                                           : kStateUnchanged;
    row.icon = info->failed() ? kIconFailed : 3 * MatchKind(*info) + fileState;
    row.texts[kColInfo] = InfoSummary(info);
    if (row.icon != kIconFailed) {
        row.texts[kCol1P] = PlayerSummary(info, 1);
        row.texts[kCol2P] = PlayerSummary(info, 2);
    }
    return row;
}

}  // namespace

std::string_view MemoFirstLine(std::string_view memo)
{
    const std::size_t lf = memo.find('\n');
    if (lf == std::string_view::npos) return memo;
    std::string_view line = memo.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

ReplayRow EntryRow(const ReplayEntry& entry, int state)
{
    const bool exists =
        state != kStateMissing && FileAgeOf(entry.fullPath()) != kNoFileAge;
    return MakeEntryRow(entry, state, exists);
}

int RefreshRowStates(ReplayRowModel& model, const EntryPool& pool)
{
    int changed = 0;
    for (int index = 0; index < model.rowCount(); ++index) {
        const ReplayRow* row = model.row(index);
        if (!row || row->isFolder()) continue;
        const ReplayEntry* entry = pool.lookup(row->poolIndex);
        if (!entry || !entry->info) continue;
        const int state = EntryState(*entry);
        ReplayRow fresh = MakeEntryRow(*entry, state, state != kStateMissing);
        if (fresh.icon == row->icon) continue;
        model.replaceRow(index, std::move(fresh));
        ++changed;
    }
    return changed;
}

std::vector<ReplayRow> FolderRows(const ReplayFolder* folder, const EntryPool& pool)
{
    std::vector<ReplayRow> rows;
    if (!folder) return rows;
    rows.reserve(folder->children.size() + (folder->entries ? folder->entries->size() : 0));
    for (const auto& child : folder->children) {
        ReplayRow row;
        row.kind = RowKind::Folder;
        row.folder = child.get();
        row.icon = kIconFolder;
        row.texts[kColFile] = child->name;
        rows.push_back(std::move(row));
    }
    if (!folder->entries) return rows;
    for (const std::int32_t index : *folder->entries) {
        const ReplayEntry* entry = pool.lookup(index);
        if (!entry) continue;
        if (!entry->info) {
            rows.push_back(MakeEntryRow(*entry, kStateUnchanged, true));
            continue;
        }
        // One look at the file gives both the state and whether it exists.
        const int state = EntryState(*entry);
        rows.push_back(MakeEntryRow(*entry, state, state != kStateMissing));
    }
    return rows;
}

}  // namespace replidex
