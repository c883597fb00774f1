// The main window: holds the open replay list (the document), offers the
// document commands and starts the other windows.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <string>

#include "gui/browse/FolderTreeCommands.h"
#include "gui/browse/ReplayListCommands.h"
#include "gui/browse/RowDrag.h"
#include "gui/main/DocumentCommands.h"
#include "gui/main/DocumentState.h"
#include "gui/main/ListWindowBase.h"
#include "gui/main/MainWindowUi.h"
#include "gui/main/ProgramState.h"

namespace replidex {

class FolderTreeModel;
class ReplayRowModel;
class AboutDialog;
class MemoDialog;
class DeleteQuestionDialog;
class SettingsDialog;
class AddReplaysCommand;
class RecentMenus;
class SearchWindow;
class ArchiveCommand;
class JournalMenu;
class ContentRecorder;

// What the program was started with.
struct StartupOptions {
    QStringList arguments;       // command-line arguments after the program name
    std::string programFolder;   // the program's folder, ending in the delimiter
    std::string iniPath;         // the settings file
};

// The windows made once at start-up that the main window starts.
struct AppWindows {
    AboutDialog* version = nullptr;
    MemoDialog* memo = nullptr;
    DeleteQuestionDialog* warnDlg = nullptr;
    SettingsDialog* config = nullptr;
    SearchWindow* search = nullptr;
};

class MainWindow final : public QMainWindow, public ListWindowBase {
    Q_OBJECT
public:
    explicit MainWindow(StartupOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setWindows(const AppWindows& windows);

    // Shared operations of the document.
    void SetModified(bool flag) override;
    bool IsModified() const override { return doc_.Modified; }
    ReplayRowModel* RowModelOf() override { return rowModel_; }
    EntryPool* PoolOf() override { return &doc_.list.pool; }

    // The row operations of the list menu and the tool bar.
    void MoveUp() override { listCommands_.MoveUp(); }
    void MoveDown() override { listCommands_.MoveDown(); }
    void MoveTop() override { listCommands_.MoveTop(); }
    void MoveBottom() override { listCommands_.MoveBottom(); }
    void NewFolder() override { listCommands_.NewFolder(); }
    void DeleteRows() override { listCommands_.DeleteRows(); }
    void SendAsIs() override;
    void DeleteFiles() override;
    SjisString GameFolderPath() const override { return program_.config.puyoFPath; }
    void RowStatesChanged() override { listCommands_.RunEnabling(); }
    void EnableDocument(bool on);
    void NewList(const SjisString& folder, const SjisString& name);
    void OpenList(const SjisString& path, bool ask);
    // "検索(&S)", the tool bar's 検索 and the tree popup's 検索(&S).
    void MMSearchClick();
    // Row state class of a row of `List` (5 for no row).
    int RowState(int row) const;
    QTreeView* ListViewOf() override;
    // "設定(&C)": shows the settings dialog. `columnSource` is the list view
    // whose column layout the dialog starts from (the search window passes
    // its result list); none means this window's list.
    void MMConfigClick(QTreeView* columnSource = nullptr);

    // The window caption from the document state.
    void UpdateCaption();
    // Empties the tree and the list and gives every entry back to the pool.
    void ClearTree();
    // Makes the document's tree a single new root folder named `rootName`.
    void StartTree(const SjisString& rootName);
    // Refills the list from `folder` and shows its counts in the status bar.
    void ShowFolderContents(ReplayFolder* folder);
    // Selects `folder` in the tree (and so shows it in the list).
    void SelectFolder(ReplayFolder* folder, bool expand);

    DocumentState& document() { return doc_; }
    const DocumentState& document() const { return doc_; }
    ProgramState& program() { return program_; }
    const ProgramState& program() const { return program_; }
    MainWindowUi& ui() { return ui_; }
    FolderTreeModel& treeModel() { return *treeModel_; }
    ReplayRowModel& rowModel() { return *rowModel_; }
    DocumentCommands& commands() { return commands_; }
    ReplayListCommands& listCommands() { return listCommands_; }
    FolderTreeCommands& treeCommands() { return treeCommands_; }
    AddReplaysCommand& addReplays() { return *addReplays_; }
    RecentMenus& recentMenus() { return *recentMenus_; }
    ArchiveCommand& archive() { return *archive_; }
    JournalMenu& journalMenu() { return *journalMenu_; }
    ContentRecorder& contentRecorder() { return *contentRecorder_; }
    // The drag image maker of the list; none once the window has closed.
    RowDragImage* dragImages() { return dragImages_.get(); }
    // Names this window in the drags of its list and tree.
    const RowDragOrigin& dragOrigin() const { return dragOrigin_; }
    // True once the start-up sequence has run.
    bool started() const { return started_; }
    // The search window the commands open; none before setWindows.
    SearchWindow* searchWindow() const { return windows_.search; }

signals:
    // The start-up sequence has run (the window may have closed itself).
    void startupFinished();

protected:
    void ListMenuOpening() override { listCommands_.RunEnabling(); }
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void ConnectCommands();
    void MMRPDRenameClick();
    void MMRpdFileAllDeleteClick();
    void OpenCommandLineList();
    void TreeViewChange();

    StartupOptions options_;
    ProgramState program_;
    DocumentState doc_;
    MainWindowUi ui_;
    FolderTreeModel* treeModel_ = nullptr;
    ReplayRowModel* rowModel_ = nullptr;
    DocumentCommands commands_;
    ReplayListCommands listCommands_{*this};
    FolderTreeCommands treeCommands_{*this};
    AddReplaysCommand* addReplays_ = nullptr;
    RecentMenus* recentMenus_ = nullptr;
    ArchiveCommand* archive_ = nullptr;
    JournalMenu* journalMenu_ = nullptr;
    ContentRecorder* contentRecorder_ = nullptr;
    AppWindows windows_;
    RowDragOrigin dragOrigin_ = RowDragOrigin::NewWindow();
    std::unique_ptr<RowDragImage> dragImages_;
    bool showQueued_ = false;
    bool started_ = false;
};

}  // namespace replidex
