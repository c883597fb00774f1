// Records the content of listed files in the content index on one thread of
// its own, while 「ファイルの内容を記録する」 is on: the files of each add,
// hashed while the add analyses them and recorded once it has finished (only
// those it listed), and, when the window has been idle for a while, the listed
// files that have no record yet (at low priority, given up for the next add).
//
// The thread gets copies of paths and times, never the document: the list may
// be edited meanwhile. Records are saved every few seconds and when a pass
// ends, so stopping (at exit) loses at most the file being read.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

#include "core/list/ContentIndex.h"

namespace replidex {

class MainWindow;

class ContentRecorder final : public QObject {
    Q_OBJECT
public:
    // Follows the adds of `form` and its setting; a child of the window.
    explicit ContentRecorder(MainWindow& form);
    ~ContentRecorder() override;

    // Starts hashing the files an add has collected, while it analyses them;
    // the records are kept aside until the add has finished.
    void hashCollected(std::vector<IndexJob> files);
    // Queues the files of a finished add: those hashed already are recorded
    // as they were, the rest hashed now.
    void recordAdded(std::vector<IndexJob> files);
    // How long the window is to be idle before the listed files are looked at.
    void setIdleDelay(int milliseconds);
    // A pass is queued or running.
    bool busy() const { return passes_.load() > 0; }
    // Calls off every pass and waits for the thread; what was recorded stays saved.
    void stop();

signals:
    // A pass ended having saved `recorded` new records.
    void passFinished(int recorded);

private:
    struct Shared;
    enum class Pass { Collected, Added, Idle };
    void IdleTick();
    bool Enabled() const;
    void StartPass(std::vector<IndexJob> files, Pass pass);

    MainWindow& form_;
    QThreadPool thread_;
    QTimer idle_;
    bool quietBefore_ = false;    // the window was idle at the last tick
    std::vector<IndexJob> lastIdleFiles_;   // what the last idle pass looked at
    std::atomic<int> passes_{0};
    std::shared_ptr<Shared> shared_;
};

}  // namespace replidex
