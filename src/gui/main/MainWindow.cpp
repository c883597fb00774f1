#include "gui/main/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "core/text/SjisCodec.h"
#include "gui/archive/ArchiveCommand.h"
#include "gui/browse/ColumnLayout.h"
#include "gui/browse/DeleteFilesCommand.h"
#include "gui/browse/FolderRows.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/FolderTreeView.h"
#include "gui/browse/ReplayListView.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/dialogs/FileDialogs.h"
#include "gui/main/AddReplaysCommand.h"
#include "gui/main/ExternalTools.h"
#include "gui/tools/RelinkDuplicateItems.h"
#include "gui/tools/ContentRecorder.h"
#include "gui/main/GameFolderCommands.h"
#include "gui/main/GameFolderCheck.h"
#include "gui/main/RecentMenus.h"
#include "gui/main/SearchCommand.h"
#include "gui/stats/StatsCommands.h"
#include "gui/journal/JournalMenu.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/AppSettings.h"
#include "gui/settings/SettingsDialog.h"
#include "platform/GameFolder.h"

namespace replidex {

MainWindow::MainWindow(StartupOptions options, QWidget* parent)
    : QMainWindow(parent), ListWindowBase(this, true), options_(std::move(options)), commands_(*this)
{
    FormCreate();
}

// Destroying the window destroys the document with both pools. The views go
// later (with the window's widgets); an in-place editor still open then must
// not write into the gone document.
MainWindow::~MainWindow()
{
    rowModel_->onRenameFolderRow = {};
    rowModel_->onDropOnFolderRow = {};
    rowModel_->makeRow = {};
    ui_.List->onMousePress = {};
    ui_.List->onStartDrag = {};
    treeModel_->onRename = {};
    treeModel_->onDrop = {};
}

void MainWindow::FormCreate()
{
    setObjectName(QStringLiteral("MainWindow"));
    ui_.setupUi(this);
    treeModel_ = new FolderTreeModel(doc_.list, this);
    rowModel_ = new ReplayRowModel(this);
    // Rows of the list are made from the document's entries when first shown.
    rowModel_->makeRow = [this](ReplayRow& row) { MakeRow(row, doc_.list.pool); };
    SetUpFolderTreeView(ui_.TreeView, treeModel_);
    SetUpReplayListView(ui_.List, rowModel_);
    dragImages_ = std::make_unique<RowDragImage>();
    treeModel_->setDragOrigin(dragOrigin_);
    rowModel_->setDragOrigin(dragOrigin_);

    BaseFormCreate();
    program_.programFolder = options_.programFolder;
    program_.iniPath = options_.iniPath;
    program_.config.puyoFPath.clear();
    setWindowTitle(QStringLiteral("Replidex"));

    move(27, 120);
    resize(911, 557);
    ui_.Splitter->setSizes({175, 911 - 175 - ui_.Splitter->handleWidth()});

    ConnectCommands();
    treeCommands_.Connect();
    listCommands_.Connect();
    // Adding replays: the two commands, their buttons and drops on the list.
    addReplays_ = new AddReplaysCommand(*this);
    recentMenus_ = new RecentMenus(*this);
    // The ツール menu, block by block: archiving (and the watch of the game
    // folder), undo and history, statistics, relinking and duplicates.
    archive_ = new ArchiveCommand(*this);
    archive_->addArchiveItems(ui_.MMTools);
    journalMenu_ = AddJournalItems(
        ui_.MMTools, [this] { return NativePathFromSjis(program_.config.puyoFPath); },
        [this] { GameFolderCommands(*this).ShowNewFileStates(); }, this);
    AddStatisticsItems(*this, ui_.MMTools);
    AddRelinkItems(ui_.MMTools, *this);
    // Records what the added and the listed files hold, on a thread of its own.
    contentRecorder_ = new ContentRecorder(*this);
    // Rows and folders dragged from another window (another running
    // instance) are refused before the views or the add command see them.
    RefuseForeignRowDrags(ui_.TreeView->viewport(), dragOrigin_);
    RefuseForeignRowDrags(ui_.List->viewport(), dragOrigin_);
}

void MainWindow::setWindows(const AppWindows& windows)
{
    windows_ = windows;
    setMemoDialog(windows.memo);
    // OK in the settings dialog lays out this window's list first, then the
    // search window's: both lists always show the same columns.
    if (windows_.config)
        connect(windows_.config, &SettingsDialog::columnsApplied, this, [this] {
            ApplyColumnModel(program_.columnModel, ui_.List, rowModel_);
            if (windows_.search)
                ApplyColumnModel(program_.columnModel, windows_.search->ListViewOf(),
                                 windows_.search->RowModelOf());
        });
    if (windows_.config)
        connect(windows_.config, &SettingsDialog::archiveSettingsApplied, this, [this] { archive_->applySettings(); });
}

void MainWindow::ConnectCommands()
{
    const auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };
    on(ui_.MMNewFileList, [this] { commands_.NewList({}, Sjis("無題.rdx")); });
    on(ui_.MMOpenFileList, [this] { commands_.OpenList({}, true); });
    on(ui_.SpdBtnOpenRdx, [this] { commands_.OpenList({}, true); });
    on(ui_.MMSaveFileList, [this] { commands_.Save(); });
    on(ui_.SpdBtnSaveRdx, [this] { commands_.Save(); });
    on(ui_.MMSaveAsFileList, [this] { commands_.SaveAs(); });
    on(ui_.MMCloseFileList, [this] { commands_.Close(); });
    on(ui_.MMExit, [this] { close(); });
    on(ui_.MMExplorer, [this] { ShowGameFolder(program_); });
    on(ui_.MMHTMLHelp, [this] { ShowHelp(program_); });
    on(ui_.MMSearch, [this] { MMSearchClick(); });
    on(ui_.SpdBtnFind, [this] { MMSearchClick(); });
    on(ui_.PMTree_Search, [this] { MMSearchClick(); });
    on(ui_.MMVersion, [this] {
        if (windows_.version) windows_.version->exec();
    });
    on(ui_.MMConfig, [this] { MMConfigClick(); });

    on(ui_.MMFileCopy, [this] { SendAsIs(); });
    on(ui_.SpdBtnSend1, [this] { SendAsIs(); });
    on(ui_.MMFileCopyRename, [this] { SendRenamed(); });
    on(ui_.SpdBtnSend2, [this] { SendRenamed(); });
    on(ui_.MMRPDRename, [this] { MMRPDRenameClick(); });
    on(ui_.MMRpdFileAllDelete, [this] { MMRpdFileAllDeleteClick(); });

    on(ui_.SpdBtnTop, [this] { MoveTop(); });
    on(ui_.SpdBtnUp, [this] { MoveUp(); });
    on(ui_.SpdBtnDown, [this] { MoveDown(); });
    on(ui_.SpdBtnLast, [this] { MoveBottom(); });
    connect(ui_.TreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { TreeViewChange(); });
    connect(ui_.List->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { doc_.CurrentRow = current.isValid() ? current.row() : -1; });
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The start-up sequence runs once the window is on the screen and the
    // event loop runs, so that it may show dialogs and close the window.
    if (!showQueued_) {
        showQueued_ = true;
        QTimer::singleShot(0, this, &MainWindow::FormShow);
    }
}

void MainWindow::FormShow()
{
    LoadSettings(program_);
    ApplyColumnModel(program_.columnModel, ui_.List, rowModel_);
    recentMenus_->Rebuild();
    BaseFormShow();
    EnableDocument(false);
    OpenCommandLineList();

    GameFolderProbe probe;
    probe.isUsable = IsUsableGameFolder;
    probe.defaultFolder = DefaultGameFolder;
    probe.chooseFolder = [this] { return ChooseFolder(this, {}); };
    switch (CheckGameFolder(program_.config.puyoFPath, probe)) {
    case GameFolderCheck::AlreadyUsable:
        break;
    case GameFolderCheck::Found:
        SaveSettings(program_);   // remember the folder at once
        break;
    case GameFolderCheck::NoneFound:
        close();
        break;
    }
    archive_->applySettings();
    if (isVisible() && OfferToUndoInterrupted()) GameFolderCommands(*this).ShowNewFileStates();
    journalMenu_->Refresh();
    ui_.Timer->stop();
    started_ = true;
    emit startupFinished();
}

void MainWindow::OpenCommandLineList()
{
    if (options_.arguments.isEmpty()) {
        commands_.NewList({}, Sjis("無題.rdx"));
        return;
    }
    // Only the first argument counts, taken as a full path so that the
    // caption shows where the list is. A path that Shift-JIS cannot hold is
    // told, as from a dialog or a drop; no list is open then.
    const QString full = QDir::cleanPath(QFileInfo(options_.arguments.first()).absoluteFilePath());
    const std::string path = SjisOfChosenPath(full);
    if (!path.empty()) commands_.ReadList(path);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const bool goOn = commands_.AskToSave();
    TakeColumnsFromView(program_.columnModel, ui_.List);
    SaveSettings(program_);   // also when the close is refused
    if (!goOn) {
        event->ignore();
        return;
    }
    dragImages_.reset();
    event->accept();
}

void MainWindow::SetModified(bool flag)
{
    if (flag == doc_.Modified) return;
    doc_.Modified = flag;
    UpdateCaption();
    ui_.SpdBtnSaveRdx->setEnabled(flag);
}

void MainWindow::EnableDocument(bool on)
{
    QPalette palette = QApplication::palette(ui_.List);
    if (!on) {
        ClearTree();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    }
    for (QTreeView* view : {ui_.TreeView, static_cast<QTreeView*>(ui_.List)}) {
        view->setPalette(palette);
        view->setEnabled(on);
    }
    for (QAction* action : {ui_.MMSaveFileList, ui_.MMSaveAsFileList, ui_.MMCloseFileList,
                            ui_.MMReplay->menuAction(), ui_.MMSearch, ui_.SpdBtnSaveRdx,
                            ui_.SpdBtnAddFile, ui_.SpdBtnAddFolder, ui_.SpdBtnFind})
        SetCommandEnabled(action, on);
    if (windows_.config) windows_.config->setColumnListEnabled(on);
}

void MainWindow::UpdateCaption()
{
    setWindowTitle(QString::fromStdString(Cp932ToUtf8Lossy(WindowCaption(doc_))));
}

void MainWindow::ClearTree()
{
    rowModel_->clear();
    treeModel_->beginReplaceTree();
    doc_.list.clear();
    doc_.ShownNode = nullptr;
    doc_.CurrentRow = -1;
    treeModel_->endReplaceTree();
}

void MainWindow::StartTree(const SjisString& rootName)
{
    rowModel_->clear();
    treeModel_->beginReplaceTree();
    doc_.list.clear();
    doc_.list.root = doc_.list.addTopLevel(rootName);
    doc_.ShownNode = nullptr;
    doc_.CurrentRow = -1;
    treeModel_->endReplaceTree();
}

void MainWindow::ShowFolderContents(ReplayFolder* folder)
{
    doc_.ShownNode = folder;
    doc_.CurrentRow = -1;
    rowModel_->setRows(ListFolderRows(folder, doc_.list.pool));
    ui_.StatusText->setText(QString::fromStdString(Cp932ToUtf8Lossy(FolderStatusText(folder))));
}

void MainWindow::SelectFolder(ReplayFolder* folder, bool expand)
{
    const QModelIndex index = treeModel_->indexOf(folder);
    if (!index.isValid()) return;
    ui_.TreeView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (expand) ui_.TreeView->expand(index);
}

void MainWindow::TreeViewChange()
{
    ReplayFolder* folder = treeModel_->folderAt(ui_.TreeView->currentIndex());
    if (!folder || folder == doc_.ShownNode) return;
    ShowFolderContents(folder);
}

void MainWindow::SendAsIs()
{
    GameFolderCommands(*this).NormalTransfer(program_.config.puyoFPath);
}

void MainWindow::MMRPDRenameClick()
{
    GameFolderCommands(*this).AscendingRename(program_.config.puyoFPath);
}

void MainWindow::MMRpdFileAllDeleteClick()
{
    if (windows_.warnDlg) GameFolderCommands(*this).DeleteAllReplays(program_.config.puyoFPath, *windows_.warnDlg);
}

void MainWindow::DeleteFiles()
{
    if (windows_.warnDlg) DeleteSelectedFiles(*this, *windows_.warnDlg);
}

int MainWindow::RowState(int row) const
{
    return RowStateOfIcon(rowModel_->row(row));
}

QTreeView* MainWindow::ListViewOf()
{
    return ui_.List;
}

void MainWindow::MMConfigClick(QTreeView* columnSource)
{
    if (!windows_.config) return;
    // Opened over the search window, which stays on top, the dialog has to
    // stay on top as well or it would open hidden behind it.
    const bool overSearch = windows_.search && windows_.search->isVisible();
    const Qt::WindowFlags flags = windows_.config->windowFlags();
    if (overSearch) windows_.config->setWindowFlags(flags | Qt::WindowStaysOnTopHint);
    windows_.config->ShowModal(columnSource ? columnSource : ui_.List);
    if (overSearch) windows_.config->setWindowFlags(flags);
}

void MainWindow::NewList(const SjisString& folder, const SjisString& name)
{
    commands_.NewList(folder, name);
}

void MainWindow::OpenList(const SjisString& path, bool ask)
{
    commands_.OpenList(path, ask);
}

void MainWindow::MMSearchClick()
{
    if (windows_.search) RunSearchCommand(*this, *windows_.search);
}

}  // namespace replidex
