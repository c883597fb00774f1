// The progress window "解析中": shown modally while the collected files of an
// add operation are analysed. The analysis starts from the window's timer once
// the window is on the screen, lets pending events run after the first file
// and then at most about every 16 ms (so the bar and the label repaint and
// キャンセル is seen within a frame, and is obeyed before the next file), and
// hides the window when it is done; hiding the window any other way cancels
// it.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "core/list/ReplayImport.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace replidex {

class ProgressDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* parent = nullptr);

    QProgressBar* ProgressBar = nullptr;
    QLabel* Label = nullptr;
    QPushButton* Button = nullptr;
    QTimer* Timer = nullptr;

    // Hands the window the import tree to analyse and the number of pending
    // files (what CountPending answered); both are forgotten after the run.
    void SetWork(ImportTree* tree, int total);
    // Shows the window modally until the analysis has run or was cancelled,
    // and answers what it did.
    AnalyseOutcome Run();

    // Analyses the pending files of the tree handed in, with the bar, the
    // label and the cancel flag (also usable without showing the window).
    void AnalysePending();

    bool cancelled() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void TimerTimer();
    void ButtonClick();
    // Called after each analysed file: answers false once キャンセル was
    // pressed; repaints and processes pending events when they are due.
    bool FileDone(int done, int total);

    // How long the analysis runs at most between two rounds of events.
    static constexpr qint64 kEventsIntervalMs = 16;

    ImportTree* tree_ = nullptr;
    int total_ = 0;
    bool cancel_ = false;
    bool ran_ = false;   // AnalysePending began for the work handed in
    QElapsedTimer sinceEvents_;   // since the last round of events; invalid before the first
    AnalyseOutcome outcome_;
};

}  // namespace replidex
