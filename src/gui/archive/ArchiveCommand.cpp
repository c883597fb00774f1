#include "gui/archive/ArchiveCommand.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include "core/archive/ArchiveToList.h"
#include "core/journal/Journal.h"
#include "core/text/SjisCodec.h"
#include "gui/archive/ArchiveDialog.h"
#include "gui/archive/ArchivePlanModel.h"
#include "gui/archive/ArchiveWatcher.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/AddReplaysCommand.h"
#include "gui/main/MainWindow.h"
#include "gui/settings/AppSettings.h"
#include "platform/ArchiveLocation.h"
#include "platform/JournalLocation.h"

namespace replidex {

namespace {

constexpr int kStatusMessageMs = 15000;

QString ResultText(const ArchiveRunSummary& s)
{
    QString text = QStringLiteral("取り込み: %1件\n取り込み済み: %2件\n失敗: %3件\n削除: %4件")
                       .arg(s.counts.archived)
                       .arg(s.counts.already)
                       .arg(s.counts.failed)
                       .arg(s.counts.removed);
    if (s.counts.archived > 0 && !s.addedToList)
        text += QStringLiteral("\n\nリストが開かれていないため、リストには追加していません。");
    else if (s.merge == kMergePoolFull)
        text += QStringLiteral("\n\n") + QString::fromStdString(Cp932ToUtf8Lossy(PoolFullMessage()));
    return text;
}

QString FailureDetails(const std::vector<ArchiveOutcome>& outcomes)
{
    QString details;
    for (const ArchiveOutcome& o : outcomes)
        if (o.state == ArchiveState::Failed)
            details += QString::fromStdString(o.fileName + ": " + o.reason) + QLatin1Char('\n');
    return details;
}

}  // namespace

ArchiveCommand::ArchiveCommand(MainWindow& form) : QObject(&form), form_(form)
{
    setObjectName(QStringLiteral("ArchiveCommand"));
    watcher_ = new ArchiveWatcher(this);
    connect(watcher_, &ArchiveWatcher::settled, this, [this](const std::vector<int>& slotNumbers) { ArchiveSettled(slotNumbers); });
}

void ArchiveCommand::addArchiveItems(QMenu* tools)
{
    archiveAction_ = tools->addAction(QStringLiteral("PuyoFフォルダから取り込む(&I)..."));
    archiveAction_->setObjectName(QStringLiteral("MMArchiveImport"));
    connect(archiveAction_, &QAction::triggered, this, [this] { MMArchiveClick(); });
}

std::string ArchiveCommand::ArchiveFolder() const
{
    const std::string& chosen = form_.program().archive.folder;
    const std::string native = chosen.empty() ? std::string() : NativePathFromSjis(chosen);
    return native.empty() ? DefaultArchiveFolder() : native;
}

ArchivePlan ArchiveCommand::Plan(const std::string& archiveFolder, const ArchiveTemplates& templates,
                                 const std::vector<int>* onlySlots) const
{
    return PlanArchive(NativePathFromSjis(form_.program().config.puyoFPath), archiveFolder, templates, onlySlots);
}

ArchiveRunSummary ArchiveCommand::Run(const ArchivePlan& plan, const ArchiveSettings& settings)
{
    ArchiveRunSummary summary;
    JournalStore journal(JournalFolder());
    ArchiveRunOptions options;
    options.removeFromGame = settings.removeFromGame;
    options.journal = &journal;
    options.journalTrash = PlatformJournalTrash();
    summary.outcomes = RunArchive(plan, options);
    summary.counts = CountOutcomes(summary.outcomes);

    DocumentState& doc = form_.document();
    if (doc.isOpen() && doc.RootNode() && summary.counts.archived > 0) {
        FolderTreeModel& tree = form_.treeModel();
        emit tree.layoutAboutToBeChanged();
        bool created = false;
        ReplayFolder* target = EnsureFolderPath(doc.RootNode(), ListFolderNames(settings.listFolder), created);
        const ArchiveListResult added = AddArchivedToList(doc.importPool, doc.list, target, summary.outcomes);
        emit tree.layoutChanged();
        summary.addedToList = true;
        summary.merge = added.merge;
        summary.skips = added.skips;
        if (created || added.stats.modified) form_.SetModified(true);
        form_.ShowFolderContents(tree.folderAt(form_.ui().TreeView->currentIndex()));
    }
    last_ = summary;
    return summary;
}

void ArchiveCommand::MMArchiveClick()
{
    if (form_.addReplays().busy()) return;
    if (!dialog_) {
        dialog_ = new ArchiveDialog(&form_);
        connect(dialog_, &ArchiveDialog::choicesEdited, this, [this] { Replan(); });
    }
    ArchiveSettings& settings = form_.program().archive;
    dialog_->showChoices(settings, QString::fromStdString(ArchiveFolder()));
    Replan();
    if (dialog_->exec() != QDialog::Accepted) return;

    ArchiveSettings chosen = settings;
    if (!dialog_->chosenSettings(chosen)) {
        ShowMessageBox(Sjis("テンプレートかリストのフォルダに、使えない文字があります。"), kMsgError);
        return;
    }
    const bool changed = !(chosen == settings);
    settings = chosen;
    if (changed) SaveSettings(form_.program());

    // Planned again right before the run: what is run is what the folders
    // hold now.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string archiveFolder = dialog_->archiveFolder().toStdString();
    const ArchiveRunSummary summary = Run(Plan(archiveFolder, {chosen.nameTemplate, chosen.folderTemplate}), chosen);
    QApplication::restoreOverrideCursor();
    ShowResult(summary);
}

void ArchiveCommand::Replan()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dialog_->model().setPlan(Plan(dialog_->archiveFolder().toStdString(), dialog_->templates()));
    QApplication::restoreOverrideCursor();
}

void ArchiveCommand::ShowResult(const ArchiveRunSummary& summary)
{
    ShowNoticeText(ResultText(summary), FailureDetails(summary.outcomes));
    const std::string skipped = SkipMessage(summary.skips);
    if (!skipped.empty()) ShowMessageBox(skipped, kMsgWarning);
}

void ArchiveCommand::applySettings()
{
    const ProgramState& program = form_.program();
    if (!program.archive.watch || program.config.puyoFPath.empty()) {
        watcher_->stop();
        deferred_.clear();
        return;
    }
    watcher_->watch(NativePathFromSjis(program.config.puyoFPath));
}

void ArchiveCommand::ArchiveSettled(const std::vector<int>& slotNumbers)
{
    if (!form_.program().archive.watch) return;
    deferred_.insert(deferred_.end(), slotNumbers.begin(), slotNumbers.end());
    // Never in the middle of an add or under a dialog: the watch comes back
    // to the slots once the window is free again.
    if (form_.addReplays().busy() || QApplication::activeModalWidget()) {
        QTimer::singleShot(1000, this, [this] { ArchiveSettled({}); });
        return;
    }
    std::vector<int> now;
    now.swap(deferred_);
    if (now.empty()) return;
    const ArchiveSettings& settings = form_.program().archive;
    const ArchiveRunSummary summary =
        Run(Plan(ArchiveFolder(), {settings.nameTemplate, settings.folderTemplate}, &now), settings);
    QStringList told;
    for (const ArchiveOutcome& o : summary.outcomes) {
        if (o.state == ArchiveState::Archive)
            told.push_back(QStringLiteral("%1 を取り込みました").arg(QString::fromStdString(o.fileName)));
        else if (o.state == ArchiveState::Failed)
            told.push_back(QStringLiteral("%1 を取り込めませんでした").arg(QString::fromStdString(o.fileName)));
    }
    if (!told.isEmpty()) form_.ui().StatusBar->showMessage(told.join(QStringLiteral("　")), kStatusMessageMs);
}

}  // namespace replidex
