// The main window's three ways of adding replays: "ファイルを追加(&R)" (files
// picked in the open dialog), "フォルダを追加(&F)" (a folder picked in the
// folder chooser, taken in with everything below it) and files and folders
// dropped from the file manager onto the list view. All three collect into a
// hidden import tree, analyse what they collected (in the progress window from
// 30 files on), merge it into the folder selected in the tree and show that
// folder again.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <string>

#include "core/list/ContentIndex.h"
#include "core/list/ReplayImport.h"

class QMimeData;

namespace replidex {

class MainWindow;
class ProgressDialog;

// What the last add operation did (for the status of the window and tests).
struct AddSummary {
    int collected = 0;
    AnalyseOutcome analysis;
    bool progressShown = false;
    int mergeResult = kMergeDone;
    MergeStats merge;
    CollectSkips skips;
};

class AddReplaysCommand final : public QObject {
    Q_OBJECT
public:
    // Connects the add commands and tool bar buttons of `form` and accepts
    // drops on its list view; lives as long as the window (its child).
    explicit AddReplaysCommand(MainWindow& form);

    void MMAddFileClick();
    void MMAddFolderClick();
    // Adds the folder `sjisFolder` with everything below it. False, doing
    // nothing, when it is not an existing folder (also for an empty path).
    bool AddFolderReplays(const std::string& sjisFolder);

    // Handles dropped items (file-system paths) as a drop does once released:
    // a list file among them is opened instead; otherwise, when `overList`,
    // the items are added.
    void DropItems(const QStringList& paths, bool overList);

    const AddSummary& lastAdd() const { return last_; }
    bool busy() const { return busy_; }

    // The local paths a drop carries, in order, cleaned of trailing
    // delimiters; empty when it carries none.
    static QStringList DroppedPaths(const QMimeData* mime);
    // The first of `paths` that is a list file (.rdx in any letter case and
    // not a folder); empty when none is.
    static QString FirstListFile(const QStringList& paths);

signals:
    // An add has collected its files and is about to analyse them: their
    // paths and times, each once.
    void collected(const std::vector<IndexJob>& files);
    // An add has merged its files: the paths and times of the files analysed.
    void added(const std::vector<IndexJob>& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Collect = std::function<void(ImportTree&)>;
    // Steps of the add operation around the collect step; `refresh` says
    // whether the selected folder is shown again afterwards.
    void RunAdd(const Collect& collect, bool refresh);
    // Analysis, merge, clean-up and refresh of an import tree already filled.
    void FinishAdd(ImportTree& tree, bool refresh);
    void Analyse(ImportTree& tree, int pending);
    ProgressDialog* ProgressWindow();
    bool HandleListDrag(QEvent* event);
    bool HandleWindowDrag(QEvent* event);

    MainWindow& form_;
    ProgressDialog* ownProgress_ = nullptr;
    AddSummary last_;
    bool busy_ = false;
};

}  // namespace replidex
