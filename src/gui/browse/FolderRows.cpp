#include "gui/browse/FolderRows.h"

#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"

namespace replidex {

namespace {

void FillEntryRow(ReplayRow& row, const ReplayEntry& entry, int state, bool exists)
{
    row.kind = RowKind::Entry;
    row.made = true;
    row.poolIndex = entry.poolIndex;
    row.icon = kIconNone;
    RowTexts::Array texts;
    texts[kColFile] = entry.fileName;
    texts[kColPath] = entry.folderPath;
    texts[kColMemo] = SjisString(MemoFirstLine(entry.memo));
    if (const ReplayInfo* info = entry.infoPtr()) {
        const int fileState = !exists ? kStateMissing : state == kStateChanged ? kStateChanged
                                                                               : kStateUnchanged;
        row.icon = info->failed() ? kIconFailed : 3 * MatchKind(*info) + fileState;
        texts[kColInfo] = InfoSummary(info);
        if (row.icon != kIconFailed) {
            texts[kCol1P] = PlayerSummary(info, 1);
            texts[kCol2P] = PlayerSummary(info, 2);
        }
    }
    row.texts = std::move(texts);
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
    ReplayRow row;
    FillEntryRow(row, entry, state, exists);
    return row;
}

int RefreshRowStates(ReplayRowModel& model, const EntryPool& pool)
{
    int changed = 0;
    for (int index = 0; index < model.rowCount(); ++index) {
        // A row not made yet looks at its file when it is made.
        if (!model.isMadeRow(index)) continue;
        const ReplayRow* row = model.row(index);
        if (!row || row->isFolder()) continue;
        const ReplayEntry* entry = pool.lookup(row->poolIndex);
        if (!entry || !entry->info) continue;
        ReplayRow fresh = EntryRow(*entry, EntryState(*entry));
        if (fresh.icon == row->icon) continue;
        model.replaceRow(index, std::move(fresh));
        ++changed;
    }
    return changed;
}

std::vector<ReplayRow> ListFolderRows(const ReplayFolder* folder, const EntryPool& pool)
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
        if (!pool.lookup(index)) continue;
        ReplayRow row;
        row.kind = RowKind::Entry;
        row.made = false;
        row.poolIndex = index;
        rows.push_back(std::move(row));
    }
    return rows;
}

void MakeRow(ReplayRow& row, const EntryPool& pool)
{
    row.made = true;
    if (row.isFolder()) return;
    const ReplayEntry* entry = pool.lookup(row.poolIndex);
    if (!entry) return;
    if (!entry->info) {
        FillEntryRow(row, *entry, kStateUnchanged, true);
        return;
    }
    // One look at the file gives both the state and whether it exists.
    const int state = EntryState(*entry);
    FillEntryRow(row, *entry, state, state != kStateMissing);
}

std::vector<ReplayRow> FolderRows(const ReplayFolder* folder, const EntryPool& pool)
{
    std::vector<ReplayRow> rows = ListFolderRows(folder, pool);
    for (ReplayRow& row : rows) MakeRow(row, pool);
    return rows;
}

}  // namespace replidex
