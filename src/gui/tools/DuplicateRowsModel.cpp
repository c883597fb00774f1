#include "gui/tools/DuplicateRowsModel.h"

#include <algorithm>

#include "core/list/EntryLocations.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

QString Text(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

QString KindText(DuplicateKind kind)
{
    switch (kind) {
    case DuplicateKind::Path: return QStringLiteral("同じファイル");
    case DuplicateKind::Content: return QStringLiteral("同じ内容");
    default: return QStringLiteral("同じ対戦");
    }
}

QString StateText(const ReplayEntry& entry)
{
    switch (EntryState(entry)) {
    case kStateUnchanged: return QStringLiteral("変更なし");
    case kStateMissing: return QStringLiteral("見つからない");
    default: return QStringLiteral("変更あり");
    }
}

}  // namespace

DuplicateRowsModel::DuplicateRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void DuplicateRowsModel::setGroups(const ReplayDocument& doc, const std::vector<DuplicateGroup>& groups)
{
    beginResetModel();
    rows_.clear();
    const auto folders = FoldersOfEntries(doc);
    int number = 0;
    for (const DuplicateGroup& g : groups) {
        ++number;
        for (ReplayEntry* e : g.entries) {
            const auto f = folders.find(e->poolIndex);
            ReplayFolder* folder = f == folders.end() ? nullptr : const_cast<ReplayFolder*>(f->second);
            QString folderText = Text(ListFolderPath(doc, folder));
            if (folderText.isEmpty() && folder) folderText = Text(folder->name);
            rows_.push_back({number, g.kind, e, folder, folderText});
        }
    }
    endResetModel();
}

void DuplicateRowsModel::removeEntries(const std::vector<ReplayEntry*>& entries)
{
    beginResetModel();
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [&](const DuplicateRow& r) {
                                   return std::find(entries.begin(), entries.end(), r.entry) != entries.end();
                               }),
                rows_.end());
    endResetModel();
}

int DuplicateRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DuplicateRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DuplicateRowsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const DuplicateRow& r = rows_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case ColGroup: return QStringLiteral("%1 %2").arg(r.group).arg(KindText(r.kind));
    case ColFolder: return r.folderText;
    case ColPath: return Text(r.entry->fullPath());
    case ColState: return StateText(*r.entry);
    case ColMemo: return Text(r.entry->memo);
    default: return {};
    }
}

QVariant DuplicateRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char16_t* const kTitles[] = {u"グループ", u"リストのフォルダ", u"パス", u"状態", u"メモ"};
    if (section < 0 || section >= ColumnCount) return {};
    return QString::fromUtf16(kTitles[section]);
}

}  // namespace replidex
