#include "gui/archive/ArchiveWatcher.h"

#include <QStringList>

#include "core/replay/ReplaySlots.h"

namespace replidex {

namespace {
// Looks while a change waits, and the slow look for changes the file system
// watcher misses (a file rewritten in place without a folder event).
constexpr int kWaitingLookMs = 250;
constexpr int kIdleLookMs = 2000;
}  // namespace

ArchiveWatcher::ArchiveWatcher(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ArchiveWatcher"));
    connect(&files_, &QFileSystemWatcher::directoryChanged, this, [this] { look(); });
    connect(&files_, &QFileSystemWatcher::fileChanged, this, [this] { look(); });
    connect(&timer_, &QTimer::timeout, this, [this] { look(); });
}

void ArchiveWatcher::setQuietTime(std::chrono::milliseconds quiet)
{
    quiet_ = quiet;
    slots_ = SettledSlots(quiet_);
}

void ArchiveWatcher::watch(const std::string& gameDir)
{
    if (gameDir == gameDir_) return;
    stop();
    if (gameDir.empty()) return;
    gameDir_ = gameDir;
    files_.addPath(QString::fromStdString(gameDir_));
    look();
}

void ArchiveWatcher::stop()
{
    timer_.stop();
    if (!files_.files().isEmpty()) files_.removePaths(files_.files());
    if (!files_.directories().isEmpty()) files_.removePaths(files_.directories());
    gameDir_.clear();
    slots_ = SettledSlots(quiet_);
}

void ArchiveWatcher::look()
{
    if (gameDir_.empty()) return;
    const std::vector<SlotFileLook> looks = LookAtSlotFiles(gameDir_);
    // The slot files themselves are watched too: a rewrite in place changes
    // no folder entry.
    QStringList paths;
    for (const SlotFileLook& file : looks) paths.push_back(QString::fromStdString(JoinPath(gameDir_, file.name)));
    const QStringList watched = files_.files();
    for (const QString& path : paths)
        if (!watched.contains(path)) files_.addPath(path);
    std::vector<int> settledSlots;
    for (const SlotFileLook& file : slots_.look(now(), looks)) settledSlots.push_back(file.slot);
    timer_.start(slots_.waiting() ? kWaitingLookMs : kIdleLookMs);
    if (!settledSlots.empty()) emit settled(settledSlots);
}

}  // namespace replidex
