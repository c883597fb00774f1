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
#include <memory>
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

// True for a byte that separates folders in a path: "/", and on Windows "\\" as well.
inline bool IsPathDelimiter(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// A native path as a std::filesystem::path, and back (Windows: through
// UTF-16; a name with no UTF-8 form gives empty text).
std::filesystem::path FsPath(std::string_view nativePath);
std::string NativePathOf(const std::filesystem::path& path);

// The error for a path that is there but is neither a regular file nor a
// folder (a device, a FIFO, a socket); folders answer EISDIR.
std::error_code NotRegularFileError();
// A failure's reason for people, in the system's own words (UTF-8).
std::string FileErrorText(const std::error_code& error);
// Empty when a file may be written over at `nativePath` (a link is
// followed): nothing is there, or a regular file. Otherwise why not: EISDIR
// or NotRegularFileError(); a save must never replace a device with a file.
std::error_code CheckReplaceable(const std::string& nativePath);

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

// The size and last-written time of an open file, the time in the system's
// own units (nanoseconds since 1970 on Linux, FILETIME ticks on Windows): a
// file written to between two stamps gives two different ones.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// A stamp's time as local time.
bool LocalTimeOf(const FileStamp& stamp, std::tm& local);

// A file opened for reading at given offsets (pread on Linux, ReadFile
// with an offset on Windows). Only a regular file is ever opened: the open
// never waits (a FIFO without a writer) and never reads an endless device.
class ReadOnlyFile {
public:
    enum class OpenResult { Opened, Missing, NotRegular, CannotOpen };

    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens a regular file. Missing: nothing is there; NotRegular: a folder,
    // device, FIFO or socket is; CannotOpen: a regular file is, but it cannot
    // be read. `why`, when given, gets the reason of any failure.
    OpenResult open(const std::string& nativePath, std::error_code* why = nullptr);
    // Up to `size` bytes from `offset`; the count read (0 at the end), or -1.
    long readAt(std::int64_t offset, void* buffer, std::size_t size) const;
    // The size of the file when it was opened.
    std::uint64_t size() const { return opened_.size; }
    // Its size and time when it was opened (from the same look as the
    // check that it is a regular file), and as they are now: asked of the
    // open file, so a file put in its place under the same name meanwhile
    // does not count.
    const FileStamp& openedStamp() const { return opened_; }
    bool currentStamp(FileStamp& out) const;

private:
    void close();
    FileStamp opened_;
#ifdef _WIN32
    void* handle_ = nullptr;   // the HANDLE
#else
    int fd_ = -1;              // the descriptor
#endif
};

// The bytes of a whole file, held without being zero-filled first.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};
// Reads the open file from its start to its end. False with the reason when
// a read fails or the file holds more than `maxBytes` (EFBIG; a file already
// larger when opened is not read at all).
bool ReadFileBytes(const ReadOnlyFile& file, std::uint64_t maxBytes, FileBytes& out,
                   std::error_code& why);

}  // namespace replidex
