#include "core/replay/NewFileBatch.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

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

// Creates the temporary of `file` (a clash with another one of the same
// name is tried again) and writes all of its bytes; on Linux the write-back
// to the disk starts at once, so that it runs while the next one is written.
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
#ifdef __linux__
    ::sync_file_range(t.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
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
    for (std::size_t i = 0; i < files.size(); ++i) WriteTemporary(files[i], temps[i]);
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
