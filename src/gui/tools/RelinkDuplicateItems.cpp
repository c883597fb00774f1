#include "gui/tools/RelinkDuplicateItems.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

#include "core/list/Duplicates.h"
#include "core/list/Relink.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/main/MainWindow.h"
#include "gui/tools/ContentIndexFile.h"
#include "gui/tools/DuplicatesDialog.h"
#include "gui/tools/RelinkDialog.h"

namespace replidex {

namespace {

void RefreshRows(MainWindow& window)
{
    window.ShowFolderContents(window.document().ShownNode);
}

}  // namespace

void AddRelinkItems(QMenu* menu, MainWindow& window)
{
    if (!menu->isEmpty()) menu->addSeparator();
    QAction* relink = menu->addAction(QStringLiteral("見つからないファイルを探す(&L)..."));
    relink->setObjectName(QStringLiteral("MMFindMissing"));
    QAction* dups = menu->addAction(QStringLiteral("重複を確認(&D)..."));
    dups->setObjectName(QStringLiteral("MMCheckDuplicates"));
    QObject::connect(relink, &QAction::triggered, &window, [&window] { FindMissingFilesCommand(window); });
    QObject::connect(dups, &QAction::triggered, &window, [&window] { CheckDuplicatesCommand(window); });
}

void FindMissingFilesCommand(MainWindow& window)
{
    ReplayDocument& doc = window.document().list;
    if (!doc.root) return;
    const std::string folder = ChooseFolder(&window, {});
    if (folder.empty()) return;
    auto index = std::make_shared<ContentIndex>(LoadContentIndex());
    const auto files = std::make_shared<const std::vector<FoundFile>>(FindReplayFiles(NativePathFromSjis(folder)));
    RelinkDialog dialog(&window, [&window, &doc, index](const std::vector<RelinkProposal>& ticked) {
        if (ApplyRelinks(ticked, index.get()) > 0) {
            window.SetModified(true);
            EditContentIndex([&](ContentIndex& saved) { MoveRelinkedRecords(ticked, saved); });
            RefreshRows(window);
        }
        return FolderPatternProposals(doc, FolderMovesOf(ticked));
    });
    dialog.setProposals(FindRelinks(doc, nullptr, *files, *index, RelinkOptions{}));
    // The window is modal: the list cannot change while the scan reads it.
    dialog.setInfoOnlyScan([&doc, files, index](const std::function<bool()>& keepGoing) {
        RelinkOptions infoOnly;
        infoOnly.tier1 = false;
        infoOnly.tier2 = false;
        infoOnly.tier3 = true;
        return FindRelinks(doc, nullptr, *files, *index, infoOnly, nullptr, keepGoing);
    });
    dialog.exec();
}

void CheckDuplicatesCommand(MainWindow& window)
{
    ReplayDocument& doc = window.document().list;
    if (!doc.root) return;
    const ContentIndex index = LoadContentIndex();
    DuplicatesDialog::Actions actions;
    actions.showRow = [&window](ReplayFolder* folder, std::int32_t poolIndex) {
        ShowEntryRow(window, folder, poolIndex);
    };
    actions.removeEntries = [&window, &doc](const std::vector<ReplayEntry*>& entries) {
        const int removed = RemoveListedEntries(doc, entries);
        if (removed > 0) {
            window.SetModified(true);
            RefreshRows(window);
        }
        return removed;
    };
    DuplicatesDialog dialog(&window, actions);
    dialog.setGroups(doc, FindDuplicates(doc, DuplicateOptions{true, true, true}, &index));
    dialog.exec();
}

void ShowEntryRow(MainWindow& window, ReplayFolder* folder, std::int32_t poolIndex)
{
    if (!folder) return;
    window.SelectFolder(folder, true);
    if (window.document().ShownNode != folder) window.ShowFolderContents(folder);
    ReplayRowModel& rows = window.rowModel();
    QTreeView* list = window.ListViewOf();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const ReplayRow* row = rows.row(r);
        if (!row || row->isFolder() || row->poolIndex != poolIndex) continue;
        const QModelIndex index = rows.index(r, 0);
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        list->scrollTo(index);
        return;
    }
}

}  // namespace replidex
