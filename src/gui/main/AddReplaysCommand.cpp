#include "gui/main/AddReplaysCommand.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/dialogs/FileDialogs.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/dialogs/ProgressDialog.h"
#include "gui/main/MainWindow.h"
#include "gui/main/RecentMenus.h"

namespace replidex {

namespace {

std::string NativeOf(const QString& path)
{
    return path.toUtf8().toStdString();
}

void RecordRecentFolder(MainWindow& form, bool ok, const std::string& sjisFolder)
{
    if (ok && !sjisFolder.empty()) form.recentMenus().AddRecentFolder(sjisFolder);
}

}  // namespace

AddReplaysCommand::AddReplaysCommand(MainWindow& form) : QObject(&form), form_(form)
{
    setObjectName(QStringLiteral("AddReplays"));
    MainWindowUi& ui = form_.ui();
    for (QAction* action : {ui.MMAddFile, ui.SpdBtnAddFile})
        connect(action, &QAction::triggered, this, [this] { MMAddFileClick(); });
    for (QAction* action : {ui.MMAddFolder, ui.SpdBtnAddFolder})
        connect(action, &QAction::triggered, this, [this] { MMAddFolderClick(); });

    // Files and folders dropped from the file manager: on the list view they
    // are added; anywhere else on the window only a list file is taken (and
    // opened).
    ui.List->viewport()->setAcceptDrops(true);
    ui.List->viewport()->installEventFilter(this);
    form_.setAcceptDrops(true);
    form_.installEventFilter(this);
}

// ---------------------------------------------------------------- the three commands

void AddReplaysCommand::MMAddFileClick()
{
    if (busy_) return;
    const std::vector<std::string> paths = AskReplayFiles(&form_, {});
    if (paths.empty()) return;   // cancelled: nothing at all happens
    RunAdd(
        [&](ImportTree& tree) {
            for (const std::string& path : paths) AddReplayFile(tree, tree.root(), path);
            std::string folder;
            RecordRecentFolder(form_, RecentFolderOfFile(paths.front(), folder), folder);
        },
        true);
}

void AddReplaysCommand::MMAddFolderClick()
{
    if (busy_) return;
    const std::string folder = ChooseFolder(&form_, {});
    if (!AddFolderReplays(folder)) return;
    std::string recent;
    RecordRecentFolder(form_, RecentFolderOfFolder(NativePathFromSjis(folder), recent),
                       recent);
}

bool AddReplaysCommand::AddFolderReplays(const std::string& sjisFolder)
{
    if (busy_ || sjisFolder.empty()) return false;
    const std::string native = NativePathFromSjis(sjisFolder);
    if (native.empty() || !IsExistingFolder(native)) return false;
    RunAdd([&](ImportTree& tree) { AddReplayFolder(tree, tree.root(), native); }, true);
    return true;
}

void AddReplaysCommand::DropItems(const QStringList& paths, bool overList)
{
    if (busy_ || paths.isEmpty()) return;
    const QString listFile = FirstListFile(paths);
    if (!listFile.isEmpty()) {
        // A list file among the items is opened instead; nothing is added.
        const std::string sjis = SjisOfChosenPath(listFile);
        if (!sjis.empty()) form_.OpenList(sjis, false);
        return;
    }
    if (!overList || !form_.ui().List->isEnabled()) return;
    RunAdd(
        [&](ImportTree& tree) {
            for (int i = 0; i < paths.size(); ++i) {
                const std::string native = NativeOf(paths[i]);
                const bool isFolder = IsExistingFolder(native);
                if (i == 0) {
                    std::string recent;
                    const bool ok = isFolder ? RecentFolderOfFolder(native, recent)
                                             : RecentFolderOfFile(native, recent);
                    RecordRecentFolder(form_, ok, recent);
                }
                if (isFolder) AddReplayFolder(tree, tree.root(), native);
                else AddReplayFile(tree, tree.root(), native);
            }
        },
        true);
}

// ---------------------------------------------------------------- the add operation

void AddReplaysCommand::RunAdd(const Collect& collect, bool refresh)
{
    busy_ = true;
    last_ = {};
    {
        ImportTree tree(form_.document().importPool);   // clears the import pool
        collect(tree);
        FinishAdd(tree, refresh);
    }
    busy_ = false;

    // One message for everything collecting left out, after the list shows
    // what was added.
    const std::string skipped = SkipMessage(last_.skips);
    if (!skipped.empty()) ShowMessageBox(skipped, kMsgWarning);
}

void AddReplaysCommand::FinishAdd(ImportTree& tree, bool refresh)
{
    last_.collected = tree.collectedFiles();
    last_.skips = tree.skips();
    if (last_.collected > 0) emit collected(CollectedFiles(tree.pool()));
    Analyse(tree, CountPending(tree.pool(), tree.root()));

    DocumentState& doc = form_.document();
    ReplayFolder* const target = form_.treeModel().folderAt(form_.ui().TreeView->currentIndex());
    // Taken before the merge, which moves the entries out of the import pool.
    const std::vector<IndexJob> analysed = target ? AnalysedFiles(tree.pool()) : std::vector<IndexJob>{};
    if (target) {
        // The merge only appends folders below the target; the tree view keeps
        // its selection and expanded folders and learns of the new ones.
        FolderTreeModel& model = form_.treeModel();
        emit model.layoutAboutToBeChanged();
        last_.mergeResult = MergeImports(&tree, tree.root(), &doc.list, target, &last_.merge);
        emit model.layoutChanged();
        if (last_.merge.modified) form_.SetModified(true);
        if (last_.mergeResult == kMergePoolFull) ShowMessageBox(PoolFullMessage(), kMsgWarning);
    } else {
        last_.mergeResult = kMergeNoFolder;
    }
    DeleteImportTree(tree);
    if (refresh && target) form_.ShowFolderContents(target);
    if (!analysed.empty()) emit added(analysed);
}

void AddReplaysCommand::Analyse(ImportTree& tree, int pending)
{
    if (pending < kProgressWindowThreshold) {
        last_.analysis = AnalysePending(tree, pending);
        return;
    }
    // Many files: the progress window runs the analysis, letting events run
    // about once a frame so that it repaints and キャンセル works.
    ProgressDialog* progress = ProgressWindow();
    progress->SetWork(&tree, pending);
    last_.progressShown = true;
    last_.analysis = progress->Run();
    QCoreApplication::processEvents();
}

ProgressDialog* AddReplaysCommand::ProgressWindow()
{
    // The program makes the progress window once at start-up as a child of
    // the main window; a window started on its own makes its own.
    if (auto* made = form_.findChild<ProgressDialog*>(QStringLiteral("ProgressDialog"), Qt::FindDirectChildrenOnly))
        return made;
    if (!ownProgress_) ownProgress_ = new ProgressDialog(&form_);
    return ownProgress_;
}

// ---------------------------------------------------------------- drops

QStringList AddReplaysCommand::DroppedPaths(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) continue;
        const QString local = url.toLocalFile();
        if (local.isEmpty()) continue;
        // "dir/" names the folder "dir", not a folder with an empty name.
        paths.push_back(QDir::toNativeSeparators(QDir::cleanPath(local)));
    }
    return paths;
}

QString AddReplaysCommand::FirstListFile(const QStringList& paths)
{
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) continue;
        if (info.fileName().endsWith(QStringLiteral(".rdx"), Qt::CaseInsensitive)) return path;
    }
    return {};
}

bool AddReplaysCommand::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return QObject::eventFilter(watched, event);
    }
    if (watched == form_.ui().List->viewport()) return HandleListDrag(event);
    if (watched == &form_) return HandleWindowDrag(event);
    return QObject::eventFilter(watched, event);
}

bool AddReplaysCommand::HandleListDrag(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    // Rows dragged inside the program are the list view's own business.
    if (drop->source() || busy_) return false;
    const QStringList paths = DroppedPaths(drop->mimeData());
    if (paths.isEmpty()) return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (event->type() == QEvent::Drop) {
        // The drop is released first; the add runs once the event is done.
        QTimer::singleShot(0, this, [this, paths] { DropItems(paths, true); });
    }
    return true;
}

bool AddReplaysCommand::HandleWindowDrag(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->source() || busy_) return false;
    // Away from the list view only a list file can be dropped (it is opened).
    const QStringList paths = DroppedPaths(drop->mimeData());
    if (FirstListFile(paths).isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (event->type() == QEvent::Drop)
        QTimer::singleShot(0, this, [this, paths] { DropItems(paths, false); });
    return true;
}

}  // namespace replidex
