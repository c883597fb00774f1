#include "core/replay/NewFileBatch.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#ifdef __linux__
#include <condition_variable>
#include <mutex>
#include <thread>
#endif
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

std::error_code ErrnoError()
{
    return {errno ? errno : EIO, std::generic_category()};
}

struct Temporary {
    std::string path;
    int fd = -1;
    CopyResult result;
};

void Discard(Temporary& t)
{
    if (t.fd >= 0) CloseFile(t.fd, false);
    t.fd = -1;
    if (!t.path.empty()) RemoveFile(t.path);
}

#ifdef __linux__
// Starts the write-back of written files on a thread of its own: starting
// one takes the kernel about as long as writing a small file, so the next
// file is made meanwhile, and the disk is busy with the first files before
// the last is written.
class WriteBackThread {
public:
    WriteBackThread() : worker_([this] { run(); }) {}
    ~WriteBackThread() { finish(); }
    WriteBackThread(const WriteBackThread&) = delete;
    WriteBackThread& operator=(const WriteBackThread&) = delete;

    // `fd` must stay open until finish() returns.
    void start(int fd)
    {
        {
            const std::lock_guard lock(mutex_);
            fds_.push_back(fd);
        }
        wake_.notify_one();
    }
    // Returns once every write-back asked for has been started.
    void finish()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        if (worker_.joinable()) worker_.join();
    }

private:
    void run()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return next_ < fds_.size() || done_; });
            if (next_ == fds_.size()) return;
            const int fd = fds_[next_++];
            lock.unlock();
            ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<int> fds_;
    std::size_t next_ = 0;
    bool done_ = false;
    std::thread worker_;   // last: it starts once the rest is made
};
#endif

// Creates the temporary of `file` (a clash with another one of the same
// name is tried again) and writes all of its bytes.
void WriteTemporary(const NewFile& file, Temporary& t)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        t.path = TemporaryPathFor(file.target);
        errno = 0;
        t.fd = CreateNewFile(t.path);
        if (t.fd >= 0 || errno != EEXIST) break;
    }
    if (t.fd < 0) {
        t.result = {CopyStep::WriteTarget, ErrnoError()};
        t.path.clear();
        return;
    }
    const char* data = file.bytes.data();
    std::size_t left = file.bytes.size();
    while (left > 0) {
        errno = 0;
        const long long n = WriteToFile(t.fd, data, left);
        if (n <= 0) {
            t.result = {CopyStep::WriteTarget, ErrnoError()};
            Discard(t);
            return;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Writes every temporary; on Linux the write-back of each starts as soon as
// it is written, so that it runs while the next ones are written.
void WriteTemporaries(const std::vector<NewFile>& files, std::vector<Temporary>& temps)
{
#ifdef __linux__
    WriteBackThread writeBack;
    for (std::size_t i = 0; i < files.size(); ++i) {
        WriteTemporary(files[i], temps[i]);
        if (temps[i].fd >= 0) writeBack.start(temps[i].fd);
    }
#else
    for (std::size_t i = 0; i < files.size(); ++i) WriteTemporary(files[i], temps[i]);
#endif
}

// Makes every written temporary durable (its bytes and its size) and closes
// it. Linux, for a batch of several files: one syncfs per file system waits
// for the write-backs already started and flushes the disk's cache once.
// A file or two (the watch archives one slot at a time) are flushed each on
// its own instead, since syncfs also waits for whatever else the file system
// has yet to write, such as a download running beside the game.
void FlushAndClose(std::vector<Temporary>& temps)
{
#ifdef __linux__
    constexpr std::size_t kSyncfsFrom = 3;
    const auto openCount = std::count_if(temps.begin(), temps.end(), [](const Temporary& t) { return t.fd >= 0; });
    const bool eachOnItsOwn = static_cast<std::size_t>(openCount) < kSyncfsFrom;
    std::map<dev_t, std::error_code> flushed;   // each file system's syncfs
    for (Temporary& t : temps) {
        if (eachOnItsOwn || t.fd < 0) continue;
        struct stat st {};
        errno = 0;
        if (::fstat(t.fd, &st) != 0) {
            t.result = {CopyStep::WriteTarget, ErrnoError()};
        } else {
            auto [it, first] = flushed.try_emplace(st.st_dev);
            errno = 0;
            if (first && ::syncfs(t.fd) != 0) it->second = ErrnoError();
            if (it->second) t.result = {CopyStep::WriteTarget, it->second};
        }
    }
    for (Temporary& t : temps) {
        if (t.fd < 0) continue;
        errno = 0;
        if (!CloseFile(t.fd, eachOnItsOwn) && t.result.ok()) t.result = {CopyStep::WriteTarget, ErrnoError()};
        t.fd = -1;
        if (!t.result.ok()) Discard(t);
    }
#else
    for (Temporary& t : temps) {
        if (t.fd < 0) continue;
        errno = 0;
        if (!CloseFile(t.fd, true)) t.result = {CopyStep::WriteTarget, ErrnoError()};
        t.fd = -1;
        if (!t.result.ok()) Discard(t);
    }
#endif
}

// Makes the renames into `folders` durable. Windows: the moves were written
// through already.
void FlushFolders(const std::set<std::string>& folders)
{
#ifndef _WIN32
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        ::fsync(fd);
        ::close(fd);
    }
#else
    (void)folders;
#endif
}

}  // namespace

std::vector<CopyResult> MakeNewFiles(const std::vector<NewFile>& files)
{
    std::vector<Temporary> temps(files.size());
    WriteTemporaries(files, temps);
    FlushAndClose(temps);
    std::set<std::string> folders;
    std::vector<CopyResult> results;
    results.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        Temporary& t = temps[i];
        if (t.result.ok()) {
            if (const std::error_code placed = RenameWithoutReplace(t.path, files[i].target)) {
                t.result = {CopyStep::PlaceTarget, placed};
                Discard(t);
            } else {
                folders.insert(NativePathOf(FsPath(files[i].target).parent_path()));
            }
        }
        results.push_back(t.result);
    }
    FlushFolders(folders);
    return results;
}

}  // namespace replidex
