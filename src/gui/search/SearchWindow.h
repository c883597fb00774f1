// The search window: finds the entries of the open list below a scope folder
// that meet the criteria of its panel, and shows the hits page by page under
// a row of tabs, with the replay commands of the main window on them (renamed
// copy to the game folder, memo, reordering the shown rows, the game folder
// menu, settings, help). Shown modally by the main window; the criteria stay
// between showings, the results do not.
#pragma once

#include <QDialog>

#include <cstdint>
#include <utility>
#include <vector>
#include <functional>

#include "gui/main/ListWindowBase.h"
#include "gui/search/ResultListCommands.h"
#include "gui/search/ResultPages.h"
#include "gui/search/SearchRunLoop.h"
#include "gui/search/SearchWindowUi.h"

namespace replidex {

class AboutDialog;
class MainWindow;
class ReplayRowModel;
class ScopeDialog;
struct ReplayFolder;

class SearchWindow final : public QDialog, public ListWindowBase {
    Q_OBJECT
public:
    explicit SearchWindow(MainWindow* main);

    // The scope chooser and the about box this window opens.
    void setDialogs(ScopeDialog* scope, AboutDialog* version);

    // SetScope: the folder whose subtree the search covers (none: nothing is
    // searched). Marking waits for the window to be shown.
    void SetScope(ReplayFolder* folder);
    ReplayFolder* ScopeNode() const { return scopeNode_; }
    // MarkScope: marks the entries below `scope` that may be searched.
    void MarkScope(ReplayFolder* scope);
    // Hits of the last search that ran, and the page size it was shown with.
    int HitCount() const { return hitCount_; }
    int PageSize() const { return pages_.pageSize(); }
    // The hit entries of the pool, in slot order.
    std::vector<std::int32_t> HitSlots() const;
    // Shows exactly the entries at the slots `hits` as the hits, as if a search had
    // found them (the statistics' drill-down).
    void ShowGivenHits(const std::vector<std::int32_t>& hits);
    // Hits to show, instead of none, when the window is next shown.
    void SetPendingHits(std::vector<std::int32_t> hits) { pendingHits_ = std::move(hits); }
    void BtnStatsClick();

    void BtnSearchClick();
    // The query row: the panel's criteria as a query, the saved searches.
    void BtnToQueryClick();
    void ComboBox_SavedSelect(int index);
    void BtnSaveQueryClick();
    void BtnDeleteQueryClick();
    void BtnAbortClick();
    void BtnCloseClick();
    void BtnFolderClick();
    void TCChange(int index);
    void MMConfigClick();
    void MMFileCopyRenameClick();
    void MMVersionClick();
    // Enables the result commands from the selection of the result list.
    void UpdateResultCommands();

    // The row operations of the list menu and the tool bar.
    void MoveUp() override { commands_.MoveUp(); }
    void MoveDown() override { commands_.MoveDown(); }
    void MoveTop() override { commands_.MoveTop(); }
    void MoveBottom() override { commands_.MoveBottom(); }
    bool ExchangeRows(int i, int j) { return commands_.ExchangeRows(i, j); }
    int SelectedReplayCount() const { return static_cast<int>(commands_.SelectedRows().size()); }
    QTreeView* ListViewOf() override { return ui_.List; }
    ReplayRowModel* RowModelOf() override { return rows_; }
    EntryPool* PoolOf() override;
    bool IsModified() const override;
    void SetModified(bool flag) override;

    SearchWindowUi& ui() { return ui_; }
    SearchRunLoop& runLoop() { return runLoop_; }

protected:
    void showEvent(QShowEvent* event) override;
    // The close box and Esc close the window as its close button does.
    void reject() override;
    void ListMenuOpening() override { UpdateResultCommands(); }

private:
    void FormCreate();
    void FormShow();
    void ConnectCommands();
    void ConnectQueryRow();
    // The query line instead of the criteria: an error shows under it and
    // runs nothing.
    void SearchByQuery();
    // Walks the pool with `walk` and shows the hits page by page.
    void RunAndShow(const std::function<SearchRunResult()>& walk);
    // Running: the search button off, the abort button on, the result list
    // disabled and grey; and nothing that would mark the scope anew while
    // the marks are being walked. Idle: the other way round.
    void SetRunning(bool running);
    // The menu items and buttons that run the main window's commands are
    // offered as far as the program can run those commands.
    void FollowMainAvailability();
    // Shows a dialog of the main window above this window, which stays on top.
    void ExecOnTop(QDialog* dialog);

    MainWindow* main_;
    SearchWindowUi ui_;
    ReplayRowModel* rows_;
    ResultPages pages_;
    ResultListCommands commands_;
    SearchRunLoop runLoop_;
    ScopeDialog* scopeDialog_ = nullptr;
    AboutDialog* version_ = nullptr;
    ReplayFolder* scopeNode_ = nullptr;
    int hitCount_ = 0;
    std::vector<std::int32_t> pendingHits_;
};

}  // namespace replidex
