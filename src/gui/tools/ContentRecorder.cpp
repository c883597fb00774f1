#include "gui/tools/ContentRecorder.h"

#include <QApplication>
#include <QThread>

#include <chrono>
#include <unordered_set>

#include "gui/main/AddReplaysCommand.h"
#include "gui/main/MainWindow.h"
#include "gui/tools/ContentIndexFile.h"

namespace replidex {

namespace {

constexpr int kDefaultIdleDelayMs = 5000;
constexpr auto kSaveEvery = std::chrono::seconds(2);

std::string JobKey(const IndexJob& job)
{
    return job.path + '\n' + std::to_string(job.fileAge);
}

}  // namespace

// What the window and the recording thread share.
struct ContentRecorder::Shared {
    std::atomic<bool> stopAll{false};
    std::atomic<bool> stopIdle{false};
    std::atomic<bool> enabled{true};
    // Files that gave no record (gone or changed since listed); the thread's
    // own, so that idle passes do not try them again and again.
    std::unordered_set<std::string> unrecordable;
    // The records of the files the running add collected, taken while it
    // analyses them; the thread's own. Only those of the files the add
    // finally lists reach the index.
    ContentIndex early;

    struct Outcome {
        int saved = 0;
        bool finished = false;   // every file was tried
    };

    // Runs on the recording thread: hashes the files an add collected, for
    // the pass of the finished add to take.
    void hashCollected(std::vector<IndexJob> files)
    {
        QThread::currentThread()->setPriority(QThread::NormalPriority);
        early = ContentIndex();
        files = WithoutRecords(std::move(files), LoadContentIndex());
        RecordJobs(files, early, [&] { return !stopAll && enabled; });
    }

    // Runs on the recording thread.
    Outcome run(std::vector<IndexJob> files, bool idlePass)
    {
        QThread::currentThread()->setPriority(idlePass ? QThread::IdlePriority : QThread::NormalPriority);
        if (!idlePass) unrecordable.clear();   // an add may bring back a file that was gone
        files = WithoutRecords(std::move(files), LoadContentIndex());
        std::erase_if(files, [&](const IndexJob& job) { return unrecordable.count(JobKey(job)) > 0; });

        Outcome outcome;
        ContentIndex fresh;
        if (!idlePass) {
            files = TakeEarlyRecords(std::move(files), early, fresh);
            early = ContentIndex();   // what the add did not list stays unrecorded
        }
        const auto save = [&] {
            if (fresh.size() == 0) return;
            const bool saved = EditContentIndex([&](ContentIndex& index) {
                for (const ContentRecord* record : fresh.sorted()) index.put(*record);
            });
            if (saved) outcome.saved += static_cast<int>(fresh.size());
            fresh = ContentIndex();
        };
        auto lastSave = std::chrono::steady_clock::now();
        bool calledOff = false;
        const auto keepGoing = [&] {
            if (std::chrono::steady_clock::now() - lastSave >= kSaveEvery) {
                save();
                lastSave = std::chrono::steady_clock::now();
            }
            calledOff = stopAll || !enabled || (idlePass && stopIdle);
            return !calledOff;
        };
        RecordJobs(files, fresh, keepGoing, [&](const IndexJob& job) { unrecordable.insert(JobKey(job)); });
        save();
        outcome.finished = !calledOff;
        return outcome;
    }
};

ContentRecorder::ContentRecorder(MainWindow& form)
    : QObject(&form), form_(form), shared_(std::make_shared<Shared>())
{
    setObjectName(QStringLiteral("ContentRecorder"));
    thread_.setMaxThreadCount(1);
    thread_.setExpiryTimeout(-1);
    connect(&form.addReplays(), &AddReplaysCommand::collected, this,
            [this](const std::vector<IndexJob>& files) { hashCollected(files); });
    connect(&form.addReplays(), &AddReplaysCommand::added, this,
            [this](const std::vector<IndexJob>& files) { recordAdded(files); });
    connect(&idle_, &QTimer::timeout, this, [this] { IdleTick(); });
    setIdleDelay(kDefaultIdleDelayMs);
}

ContentRecorder::~ContentRecorder()
{
    stop();
}

void ContentRecorder::hashCollected(std::vector<IndexJob> files)
{
    shared_->enabled = Enabled();
    if (!shared_->enabled || files.empty()) return;
    shared_->stopIdle = true;   // the new files come first
    quietBefore_ = false;
    StartPass(std::move(files), Pass::Collected);
}

void ContentRecorder::recordAdded(std::vector<IndexJob> files)
{
    shared_->enabled = Enabled();
    if (!shared_->enabled || files.empty()) return;
    shared_->stopIdle = true;
    quietBefore_ = false;
    StartPass(std::move(files), Pass::Added);
}

void ContentRecorder::setIdleDelay(int milliseconds)
{
    idle_.start(milliseconds);
}

void ContentRecorder::stop()
{
    idle_.stop();
    shared_->stopAll = true;
    thread_.waitForDone();
}

bool ContentRecorder::Enabled() const
{
    return form_.program().contentIndex.record;
}

void ContentRecorder::IdleTick()
{
    shared_->enabled = Enabled();
    const bool quiet = shared_->enabled && !busy() && !form_.addReplays().busy() &&
                       !QApplication::activeModalWidget() && form_.document().list.root;
    const bool idleLongEnough = quiet && quietBefore_;
    quietBefore_ = quiet;
    if (!idleLongEnough) return;
    std::vector<IndexJob> files = ListedFiles(form_.document().list);
    if (files == lastIdleFiles_) return;   // looked at already, nothing new listed since
    lastIdleFiles_ = files;
    shared_->stopIdle = false;
    StartPass(std::move(files), Pass::Idle);
}

void ContentRecorder::StartPass(std::vector<IndexJob> files, Pass pass)
{
    ++passes_;
    if (pass == Pass::Collected) {
        // Nothing is recorded yet: the pass of the finished add says so.
        thread_.start([this, shared = shared_, files = std::move(files)]() mutable {
            shared->hashCollected(std::move(files));
            --passes_;
        });
        return;
    }
    const bool idlePass = pass == Pass::Idle;
    thread_.start([this, shared = shared_, files = std::move(files), idlePass]() mutable {
        const Shared::Outcome outcome = shared->run(std::move(files), idlePass);
        --passes_;
        QMetaObject::invokeMethod(this, [this, outcome, idlePass] {
            // A pass called off looks at the list again the next time.
            if (idlePass && !outcome.finished) lastIdleFiles_.clear();
            emit passFinished(outcome.saved);
        }, Qt::QueuedConnection);
    });
}

}  // namespace replidex
