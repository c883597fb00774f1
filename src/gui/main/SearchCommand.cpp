#include "gui/main/SearchCommand.h"

#include <QTreeView>

#include "gui/browse/ColumnLayout.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/main/MainWindow.h"
#include "gui/search/SearchWindow.h"

namespace replidex {

namespace {

ReplayFolder* SelectedFolder(MainWindow& form)
{
    return form.treeModel().folderAt(form.ui().TreeView->currentIndex());
}

}  // namespace

void RunSearchCommand(MainWindow& form, SearchWindow& search)
{
    ColumnModel& columns = form.program().columnModel;
    TakeColumnsFromView(columns, form.ui().List);
    ApplyColumnModel(columns, search.ListViewOf(), search.RowModelOf());
    search.SetScope(SelectedFolder(form));
    search.exec();
    // Memos may have changed meanwhile.
    if (ReplayFolder* shown = SelectedFolder(form)) form.ShowFolderContents(shown);
    TakeColumnsFromView(columns, search.ListViewOf());
    ApplyColumnModel(columns, form.ui().List, &form.rowModel());
}

}  // namespace replidex
