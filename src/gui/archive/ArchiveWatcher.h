// Watching the game folder for slot files the game has finished writing:
// QFileSystemWatcher on the folder and its slot files, a look at start, and
// a timer that looks again while a change waits for its quiet time (and now
// and then anyway, for changes the watcher does not report).
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

#include "core/archive/SettledSlots.h"

namespace replidex {

class ArchiveWatcher final : public QObject {
    Q_OBJECT
public:
    explicit ArchiveWatcher(QObject* parent = nullptr);

    // Starts watching `gameDir` (file-system form) and looks at it at once;
    // an empty folder stops the watch.
    void watch(const std::string& gameDir);
    void stop();
    bool watching() const { return !gameDir_.empty(); }
    const std::string& folder() const { return gameDir_; }

    // The clock and the quiet time (tests run them faster).
    std::function<SettledSlots::Clock::time_point()> now = [] { return SettledSlots::Clock::now(); };
    void setQuietTime(std::chrono::milliseconds quiet);

signals:
    // Slot files settled since the last look (slot numbers, in slot order).
    void settled(const std::vector<int>& slotNumbers);

private:
    void look();

    std::string gameDir_;
    std::chrono::milliseconds quiet_ = SettledSlots::kQuietTime;
    SettledSlots slots_;
    QFileSystemWatcher files_;
    QTimer timer_;
};

}  // namespace replidex
