// Archiving the game's replays from the window: 「PuyoFフォルダから取り込む(&I)...」
// in the ツール menu (the dialog, then a result box), and the watch of the
// game folder while 「PuyoFフォルダを監視して自動で取り込む」 is on (each
// settled slot file archived without a dialog, told in the status bar).
// Both add the archived files to the list folder of the settings, through
// the same merge as any add, and mark the list modified.
#pragma once

#include <QObject>
#include <QString>

#include <vector>

#include "core/archive/ArchivePlan.h"
#include "core/list/ReplayImport.h"
#include "core/settings/ArchiveSettings.h"

class QAction;
class QMenu;

namespace replidex {

class ArchiveDialog;
class ArchiveWatcher;
class MainWindow;

// What one archive run did.
struct ArchiveRunSummary {
    std::vector<ArchiveOutcome> outcomes;
    ArchiveCounts counts;
    bool addedToList = false;   // a list was open and took the copies
    int merge = kMergeDone;
    CollectSkips skips;
};

class ArchiveCommand final : public QObject {
    Q_OBJECT
public:
    explicit ArchiveCommand(MainWindow& form);

    // The archive block of the ツール menu.
    void addArchiveItems(QMenu* tools);
    QAction* archiveAction() const { return archiveAction_; }

    // 「PuyoFフォルダから取り込む(&I)...」.
    void MMArchiveClick();
    // Starts or stops the watch as the settings say (after start-up and
    // after the settings dialog).
    void applySettings();

    // The archive folder of the settings, in the file system's form.
    std::string ArchiveFolder() const;
    // Plans the game folder's slot files (all, or `onlySlots`) against `archiveFolder`.
    ArchivePlan Plan(const std::string& archiveFolder, const ArchiveTemplates& templates,
                     const std::vector<int>* onlySlots = nullptr) const;
    // Runs the plan (removal through the journal) and adds the copies to the
    // list folder of `settings` when a list is open.
    ArchiveRunSummary Run(const ArchivePlan& plan, const ArchiveSettings& settings);

    ArchiveWatcher& watcher() { return *watcher_; }
    ArchiveDialog* dialog() const { return dialog_; }
    const ArchiveRunSummary& lastRun() const { return last_; }

private:
    void Replan();
    void ShowResult(const ArchiveRunSummary& summary);
    void ArchiveSettled(const std::vector<int>& slotNumbers);

    MainWindow& form_;
    QAction* archiveAction_ = nullptr;
    ArchiveDialog* dialog_ = nullptr;
    ArchiveWatcher* watcher_ = nullptr;
    std::vector<int> deferred_;   // settled while the window was busy
    ArchiveRunSummary last_;
};

}  // namespace replidex
