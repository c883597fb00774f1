#include "core/replay/SafeFileMoves.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
std::error_code LastWindowsError()
{
    return {static_cast<int>(GetLastError()), std::system_category()};
}

std::wstring Wide(const std::string& path)
{
    return FsPath(path).native();
}
#else
std::error_code LastError()
{
    return {errno, std::generic_category()};
}
#endif

#ifdef _WIN32

CopyResult CopyFileTo(const std::string& from, const std::string& temp)
{
    std::error_code error;
    const fs::file_status status = fs::status(FsPath(from), error);
    if (fs::is_directory(status)) return {CopyStep::ReadSource, std::make_error_code(std::errc::is_a_directory)};
    if (!fs::is_regular_file(status))
        return {CopyStep::ReadSource, fs::exists(status) ? std::make_error_code(std::errc::operation_not_supported)
                                                          : std::make_error_code(std::errc::no_such_file_or_directory)};
    // CopyFileW flushes nothing; the write-through move that places the
    // copy follows, and FlushFileBuffers makes the bytes durable first.
    if (!CopyFileW(Wide(from).c_str(), Wide(temp).c_str(), TRUE)) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS) return {CopyStep::WriteTarget, std::make_error_code(std::errc::file_exists)};
        return {code == ERROR_FILE_NOT_FOUND || code == ERROR_ACCESS_DENIED ? CopyStep::ReadSource : CopyStep::WriteTarget,
                std::error_code(static_cast<int>(code), std::system_category())};
    }
    const HANDLE copy = CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool flushed = copy != INVALID_HANDLE_VALUE && FlushFileBuffers(copy);
    const std::error_code flushError = flushed ? std::error_code() : LastWindowsError();
    if (copy != INVALID_HANDLE_VALUE) CloseHandle(copy);
    if (!flushed) {
        DeleteFileW(Wide(temp).c_str());
        return {CopyStep::WriteTarget, flushError};
    }
    return {};
}

#else

// Writes all of `size` bytes; false on failure (errno tells why).
bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies the bytes of `from` into the new file `temp`, flushed to the disk.
// On failure a `temp` made here is removed again.
CopyResult CopyFileTo(const std::string& from, const std::string& temp)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return {CopyStep::ReadSource, LastError()};
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const std::error_code error = S_ISDIR(st.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                                          : std::make_error_code(std::errc::operation_not_supported);
        ::close(in);
        return {CopyStep::ReadSource, error};
    }
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const std::error_code error = LastError();
        ::close(in);
        return {CopyStep::WriteTarget, error};
    }
    CopyResult result;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result = {CopyStep::ReadSource, LastError()};
            break;
        }
        if (n == 0) break;
        if (!WriteAll(out, buffer, static_cast<std::size_t>(n))) {
            result = {CopyStep::WriteTarget, LastError()};
            break;
        }
    }
    if (result.ok() && ::fsync(out) != 0) result = {CopyStep::WriteTarget, LastError()};
    if (::close(out) != 0 && result.ok()) result = {CopyStep::WriteTarget, LastError()};
    ::close(in);
    if (!result.ok()) ::unlink(temp.c_str());
    return result;
}

#endif

void RemoveQuietly(const std::string& path)
{
    RemoveFile(path);
}

std::error_code ReplaceWith(const std::string& from, const std::string& to)
{
    return MoveOverFile(from, to);
}

}  // namespace

std::string TemporaryPathFor(const std::string& to)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 engine{std::random_device{}()};
    std::string suffix(6, 'x');
    for (char& c : suffix) c = kChars[engine() % (sizeof kChars - 1)];
    const fs::path target = FsPath(to);
    return NativePathOf(target.parent_path() / FsPath("." + NativePathOf(target.filename()) + ".tmp-" + suffix));
}

CopyResult CopyViaTemporary(const std::string& from, const std::string& to, bool replace)
{
    std::string temp;
    CopyResult result;
    // A clash with another temporary file of the same name is tried again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        temp = TemporaryPathFor(to);
        result = CopyFileTo(from, temp);
        if (result.failedStep != CopyStep::WriteTarget || result.error != std::errc::file_exists) break;
    }
    if (!result.ok()) return result;
    const std::error_code placed = replace ? ReplaceWith(temp, to) : RenameWithoutReplace(temp, to);
    if (placed) {
        RemoveQuietly(temp);
        return {CopyStep::PlaceTarget, placed};
    }
    return {};
}

std::error_code RenameWithoutReplace(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        return std::make_error_code(std::errc::file_exists);
    return {static_cast<int>(code), std::system_category()};
#else
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return LastError();
#endif
    // A file system without that flag: a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return {};
    }
    if (errno == EEXIST) return LastError();
    // A file system without hard links: look first, then rename. Only here a
    // file appearing in between could be replaced.
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error))) return std::make_error_code(std::errc::file_exists);
    if (::rename(from.c_str(), to.c_str()) == 0) return {};
    return LastError();
#endif
}

std::error_code RemoveRegularFile(const std::string& path)
{
    std::error_code error;
    const fs::path fsPath = FsPath(path);
    const fs::file_status status = fs::status(fsPath, error);
    if (!fs::exists(status)) {
        // A dangling link is no regular file either.
        if (fs::is_symlink(fs::symlink_status(fsPath, error)))
            return std::make_error_code(std::errc::operation_not_supported);
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (fs::is_directory(status)) return std::make_error_code(std::errc::is_a_directory);
    if (!fs::is_regular_file(status)) return std::make_error_code(std::errc::operation_not_supported);
#ifdef _WIN32
    if (DeleteFileW(Wide(path).c_str())) return {};
    return LastWindowsError();
#else
    // unlink never removes a folder, even one put there since the check.
    if (::unlink(path.c_str()) == 0) return {};
    return LastError();
#endif
}

}  // namespace replidex
