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
#include "gui/tools/DuplicatesDialog.h"
#include "gui/tools/RelinkDialog.h"
#include "platform/ContentIndexLocation.h"

namespace replidex {

namespace {

ContentIndex LoadIndex()
{
    ContentIndex index;
    const std::string path = ContentIndexPath();
    if (!path.empty()) index.load(path);
    return index;
}

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
    auto index = std::make_shared<ContentIndex>(LoadIndex());
    const std::vector<FoundFile> files = FindReplayFiles(NativePathFromSjis(folder));
    RelinkDialog dialog(&window, [&window, &doc, index](const std::vector<RelinkProposal>& ticked) {
        if (ApplyRelinks(ticked, index.get()) > 0) {
            window.SetModified(true);
            if (const std::string path = ContentIndexPath(); !path.empty()) index->save(path);
            RefreshRows(window);
        }
        return FolderPatternProposals(doc, FolderMovesOf(ticked));
    });
    dialog.setProposals(FindRelinks(doc, nullptr, files, *index, RelinkOptions{}));
    dialog.exec();
}

void CheckDuplicatesCommand(MainWindow& window)
{
    ReplayDocument& doc = window.document().list;
    if (!doc.root) return;
    const ContentIndex index = LoadIndex();
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
