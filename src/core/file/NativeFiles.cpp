#include "core/file/NativeFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace replidex {

namespace fs = std::filesystem;

namespace {

class FileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "replidex-file"; }
    std::string message(int) const override { return "not a regular file"; }
};

std::error_code ErrnoError(int value)
{
    return {value != 0 ? value : EIO, std::generic_category()};
}

}  // namespace

std::error_code NotRegularFileError()
{
    static const FileErrorCategory category;
    return {1, category};
}

bool ReadFileBytes(const ReadOnlyFile& file, std::uint64_t maxBytes, FileBytes& out,
                   std::error_code& why)
{
    if (file.size() > maxBytes) {
        why = std::make_error_code(std::errc::file_too_large);
        return false;
    }
    // Sized from the file, with a byte to spare that shows a file which grew
    // while it is read; larger buffers follow it up to the limit.
    std::uint64_t capacity = std::min<std::uint64_t>(file.size() + 1, maxBytes + 1);
    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(capacity)]);
    std::uint64_t got = 0;
    for (;;) {
        errno = 0;
        const long n = file.readAt(static_cast<std::int64_t>(got), buffer.get() + got,
                                   static_cast<std::size_t>(capacity - got));
        if (n < 0) {
            why = ErrnoError(errno);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::uint64_t>(n);
        if (got > maxBytes) {
            why = std::make_error_code(std::errc::file_too_large);
            return false;
        }
        if (got < capacity) continue;
        const std::uint64_t larger = std::min<std::uint64_t>(capacity * 2, maxBytes + 1);
        std::unique_ptr<char[]> grown(new char[static_cast<std::size_t>(larger)]);
        std::memcpy(grown.get(), buffer.get(), static_cast<std::size_t>(got));
        buffer = std::move(grown);
        capacity = larger;
    }
    out.data = std::move(buffer);
    out.size = static_cast<std::size_t>(got);
    return true;
}

#ifdef _WIN32

namespace {

std::error_code LastWindowsError()
{
    return {static_cast<int>(GetLastError()), std::system_category()};
}

}  // namespace

std::string FileErrorText(const std::error_code& error)
{
    if (error.category() != std::system_category()) return error.message();
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(error.value()), 0,
                                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text ? text : L"", n);
    if (text) LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
        wide.pop_back();
    const std::string utf8 = Utf8FromWide(wide);
    return utf8.empty() ? "error " + std::to_string(error.value()) : utf8;
}

std::error_code CheckReplaceable(const std::string& nativePath)
{
    const std::wstring path = WideFromUtf8(nativePath);
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};   // nothing there; the save tells the rest
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return std::make_error_code(std::errc::is_a_directory);
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    return type == FILE_TYPE_DISK ? std::error_code{} : NotRegularFileError();
}

std::wstring WideFromUtf8(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), n);
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, nullptr);
    return out;
}

fs::path FsPath(std::string_view nativePath)
{
    return fs::path(WideFromUtf8(nativePath));
}

std::string NativePathOf(const fs::path& path)
{
    return Utf8FromWide(path.native());
}

std::FILE* OpenFileStream(const std::string& nativePath, const char* mode)
{
    const std::wstring path = WideFromUtf8(nativePath);
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    if (path.empty()) return nullptr;
    return _wfopen(path.c_str(), wideMode.c_str());
}

int CreateNewFile(const std::string& nativePath, const std::string& /*modelPath*/)
{
    const std::wstring path = WideFromUtf8(nativePath);
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    int fd = -1;
    const errno_t err = _wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                                  _SH_DENYRW, _S_IREAD | _S_IWRITE);
    if (err != 0) {
        errno = err;
        return -1;
    }
    return fd;
}

long long WriteToFile(int fd, const char* data, std::size_t size)
{
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    return _write(fd, data, chunk);
}

bool CloseFile(int fd, bool flush)
{
    const bool flushed = !flush || _commit(fd) == 0;
    return _close(fd) == 0 && flushed;
}

std::error_code MoveOverFile(const std::string& from, const std::string& to)
{
    if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return LastWindowsError();
}

bool RemoveFile(const std::string& nativePath)
{
    return DeleteFileW(WideFromUtf8(nativePath).c_str()) != 0;
}

namespace {

std::int64_t TicksOf(const FILETIME& time)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
}

// The size and time of an open handle.
bool StampOf(HANDLE file, FileStamp& out)
{
    LARGE_INTEGER size{};
    FILETIME written{};
    if (!GetFileSizeEx(file, &size) || !GetFileTime(file, nullptr, nullptr, &written)) return false;
    out.size = static_cast<std::uint64_t>(size.QuadPart);
    out.modified = TicksOf(written);
    return true;
}

}  // namespace

bool LocalTimeOf(const FileStamp& stamp, std::tm& local)
{
    const auto ticks = static_cast<std::uint64_t>(stamp.modified);
    const FILETIME written{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    FILETIME localTime{};
    SYSTEMTIME parts{};
    if (!FileTimeToLocalFileTime(&written, &localTime) || !FileTimeToSystemTime(&localTime, &parts))
        return false;
    local = std::tm{};
    local.tm_year = parts.wYear - 1900;
    local.tm_mon = parts.wMonth - 1;
    local.tm_mday = parts.wDay;
    local.tm_hour = parts.wHour;
    local.tm_min = parts.wMinute;
    local.tm_sec = parts.wSecond;
    local.tm_wday = parts.wDayOfWeek;
    return true;
}

bool LocalModificationTime(const std::string& nativePath, std::tm& local)
{
    const std::wstring path = WideFromUtf8(nativePath);
    if (path.empty()) return false;
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION about{};
    FILETIME written{};
    const bool ok = GetFileInformationByHandle(file, &about) &&
                    !(about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return ok && LocalTimeOf(FileStamp{0, TicksOf(written)}, local);
}

ReadOnlyFile::~ReadOnlyFile() { close(); }

void ReadOnlyFile::close()
{
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
    opened_ = {};
}

ReadOnlyFile::OpenResult ReadOnlyFile::open(const std::string& nativePath, std::error_code* why)
{
    close();
    std::error_code ignored;
    std::error_code& reason = why ? *why : ignored;
    const std::wstring path = WideFromUtf8(nativePath);
    if (path.empty()) {
        reason = std::make_error_code(std::errc::no_such_file_or_directory);
        return OpenResult::Missing;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        reason = {static_cast<int>(error), std::system_category()};
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                             error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
        return missing ? OpenResult::Missing : OpenResult::CannotOpen;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        reason = std::make_error_code(std::errc::is_a_directory);
        return OpenResult::NotRegular;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = LastWindowsError();
        return OpenResult::CannotOpen;
    }
    // Devices (NUL, CON, COM1) and pipes are no files to read.
    FileStamp stamp;
    if (GetFileType(file) != FILE_TYPE_DISK || !StampOf(file, stamp)) {
        CloseHandle(file);
        reason = NotRegularFileError();
        return OpenResult::NotRegular;
    }
    handle_ = file;
    opened_ = stamp;
    return OpenResult::Opened;
}

bool ReadOnlyFile::currentStamp(FileStamp& out) const
{
    return handle_ && StampOf(static_cast<HANDLE>(handle_), out);
}

long ReadOnlyFile::readAt(std::int64_t offset, void* buffer, std::size_t size) const
{
    if (!handle_ || offset < 0) return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (ReadFile(static_cast<HANDLE>(handle_), buffer, want, &got, &at)) return static_cast<long>(got);
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

#else

std::string FileErrorText(const std::error_code& error)
{
    return error.message();
}

std::error_code CheckReplaceable(const std::string& nativePath)
{
    struct stat st {};
    // Nothing there (or no way to look): the save itself tells what fails.
    if (nativePath.empty() || ::stat(nativePath.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    return NotRegularFileError();
}

fs::path FsPath(std::string_view nativePath)
{
    return fs::path(nativePath);
}

std::string NativePathOf(const fs::path& path)
{
    return path.native();
}

std::FILE* OpenFileStream(const std::string& nativePath, const char* mode)
{
    if (nativePath.empty()) return nullptr;
    return std::fopen(nativePath.c_str(), mode);
}

int CreateNewFile(const std::string& nativePath, const std::string& modelPath)
{
    const int fd = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || modelPath.empty()) return fd;
    struct stat model {};
    if (::stat(modelPath.c_str(), &model) == 0 && S_ISREG(model.st_mode))
        ::fchmod(fd, model.st_mode & 07777);
    return fd;
}

long long WriteToFile(int fd, const char* data, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

bool CloseFile(int fd, bool flush)
{
    bool flushed = true;
    if (flush) {
        do {
            flushed = ::fsync(fd) == 0;
        } while (!flushed && errno == EINTR);
    }
    return ::close(fd) == 0 && flushed;
}

std::error_code MoveOverFile(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) return {errno, std::generic_category()};
    // Make the rename itself durable; the swap is already atomic without it.
    const fs::path parent = fs::path(to).parent_path();
    const int dirFd = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

bool RemoveFile(const std::string& nativePath)
{
    return ::unlink(nativePath.c_str()) == 0;
}

bool LocalModificationTime(const std::string& nativePath, std::tm& local)
{
    struct stat st {};
    if (nativePath.empty() || ::stat(nativePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const std::time_t t = st.st_mtime;
    return localtime_r(&t, &local) != nullptr;
}

namespace {

FileStamp StampOf(const struct stat& st)
{
    return {static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

bool LocalTimeOf(const FileStamp& stamp, std::tm& local)
{
    // Whole seconds, rounded down also before 1970.
    std::int64_t seconds = stamp.modified / 1000000000;
    if (stamp.modified % 1000000000 < 0) --seconds;
    const auto t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &local) != nullptr;
}

ReadOnlyFile::~ReadOnlyFile() { close(); }

void ReadOnlyFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    opened_ = {};
}

ReadOnlyFile::OpenResult ReadOnlyFile::open(const std::string& nativePath, std::error_code* why)
{
    close();
    std::error_code ignored;
    std::error_code& reason = why ? *why : ignored;
    if (nativePath.empty()) {
        reason = std::make_error_code(std::errc::no_such_file_or_directory);
        return OpenResult::Missing;
    }
    // Open without waiting (a FIFO with no writer would block) and without
    // becoming a terminal's owner, then ask the open file what it is: one
    // path lookup, and nothing is read from anything but a regular file.
    const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st {};
    if (fd < 0) {
        reason = ErrnoError(errno);
        if (::stat(nativePath.c_str(), &st) != 0) {
            // Only what is surely not there is missing; a folder that cannot
            // be searched may well hold the file.
            const bool missing = errno == ENOENT || errno == ENOTDIR;
            return missing ? OpenResult::Missing : OpenResult::CannotOpen;
        }
        if (S_ISREG(st.st_mode)) return OpenResult::CannotOpen;
        if (S_ISDIR(st.st_mode)) reason = std::make_error_code(std::errc::is_a_directory);
        else reason = NotRegularFileError();
        return OpenResult::NotRegular;
    }
    if (::fstat(fd, &st) != 0) {
        reason = ErrnoError(errno);
        ::close(fd);
        return OpenResult::CannotOpen;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                     : NotRegularFileError();
        ::close(fd);
        return OpenResult::NotRegular;
    }
    // The file was opened without blocking so that a FIFO never holds the
    // open up. A regular file's reads ignore that flag, so it is left set
    // (two system calls less per file); the rare file system that answers
    // EAGAIN has it cleared by readAt.
    fd_ = fd;
    opened_ = StampOf(st);
    return OpenResult::Opened;
}

bool ReadOnlyFile::currentStamp(FileStamp& out) const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
    out = StampOf(st);
    return true;
}

long ReadOnlyFile::readAt(std::int64_t offset, void* buffer, std::size_t size) const
{
    if (fd_ < 0 || offset < 0) return -1;
    for (;;) {
        const ssize_t n = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int flags = ::fcntl(fd_, F_GETFL);
            if (flags != -1 && (flags & O_NONBLOCK) &&
                ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) == 0)
                continue;   // from now on the reads block as they always do
        }
        return static_cast<long>(n);
    }
}

#endif

}  // namespace replidex
