// The file system primitives the core needs, over paths in the program's
// native form: UTF-8 text on every system. Linux takes those bytes as they
// are; on Windows each call turns them into UTF-16 and uses the wide API, so
// a Japanese file name works whatever the system's code page.
//
// Nothing throws; failures come back as false, -1 or an error code.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace replidex {

#ifdef _WIN32
// UTF-8 text as UTF-16 for the wide API, and back; empty for text that is
// not valid in its encoding.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

// A native path as a std::filesystem::path, and back (Windows: through
// UTF-16; a name with no UTF-8 form gives empty text).
std::filesystem::path FsPath(std::string_view nativePath);
std::string NativePathOf(const std::filesystem::path& path);

// std::fopen for a native path; `mode` is one of fopen's ("rb", "wb", ...).
std::FILE* OpenFileStream(const std::string& nativePath, const char* mode);

// A new file, created for writing only if nothing has that name: a
// descriptor, or -1 with errno set (EEXIST when the name is taken). When
// `modelPath` names a regular file, the new file gets its permissions.
int CreateNewFile(const std::string& nativePath, const std::string& modelPath = {});
// Writes at most `size` bytes; the count written, or -1.
long long WriteToFile(int fd, const char* data, std::size_t size);
// Closes the descriptor; with `flush`, its data must reach the disk first.
bool CloseFile(int fd, bool flush);

// Puts `from` in the place of `to` in one step, replacing a file that is
// there, and makes the move durable (Windows: MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH; Linux: rename, then
// the folder synced).
std::error_code MoveOverFile(const std::string& from, const std::string& to);
// Removes a file (never a folder). False when it could not.
bool RemoveFile(const std::string& nativePath);

// The last-written time of a regular file as local time. False for a
// missing file or anything that is not a regular file.
bool LocalModificationTime(const std::string& nativePath, std::tm& local);

// A file opened for reading at given offsets (pread on Linux, ReadFile
// with an offset on Windows).
class ReadOnlyFile {
public:
    enum class OpenResult { Opened, Missing, CannotOpen };

    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens a regular file. Missing: no regular file is there; CannotOpen:
    // there is one, but it cannot be read.
    OpenResult open(const std::string& nativePath);
    // Up to `size` bytes from `offset`; the count read (0 at the end), or -1.
    long readAt(std::int64_t offset, void* buffer, std::size_t size) const;

private:
    void close();
#ifdef _WIN32
    void* handle_ = nullptr;   // the HANDLE
#else
    int fd_ = -1;              // the descriptor
#endif
};

}  // namespace replidex
