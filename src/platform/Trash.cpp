#include "platform/Trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"

namespace replidex {

namespace fs = std::filesystem;

std::string TrashInfoPath(std::string_view path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
                           u == '-' || u == '.' || u == '_' || u == '~' || u == '/';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        }
    }
    return out;
}

std::string TrashInfoText(std::string_view infoPath, std::time_t when)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + std::string(infoPath) + "\nDeletionDate=" + date + "\n";
}

std::string HomeTrashFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') return (fs::path(dataHome) / "Trash").string();
    const char* home = std::getenv("HOME");
    std::string homeFolder = home && home[0] ? home : "";
#ifndef _WIN32
    if (homeFolder.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) homeFolder = pw->pw_dir;
    }
#endif
    return (fs::path(homeFolder) / ".local/share/Trash").string();
}

#ifdef _WIN32

TrashResult MoveToTrashRecorded(const std::string& path, std::string& trashFile, std::string& infoFile,
                                std::error_code& error)
{
    trashFile.clear();
    infoFile.clear();
    return MoveToTrash(path, error);
}

std::error_code RestoreFromTrash(const std::string&, const std::string&, const std::string&)
{
    return std::make_error_code(std::errc::operation_not_supported);
}

TrashResult MoveToTrash(const std::string& path, std::error_code& error)
{
    // The shell wants a full wide path ending in two NULs.
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(FsPath(path), ignored);
    if (full.empty()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return TrashResult::Failed;
    }
    std::wstring wide = full.native();
    wide.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = wide.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const int result = SHFileOperationW(&op);
    if (result == 0 && !op.fAnyOperationsAborted) return TrashResult::Trashed;
    error = std::error_code(result, std::system_category());
    return TrashResult::Failed;
}

#else

namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

std::optional<struct stat> LinkStat(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return st;
}

// A folder of ours for the trash: made (0700) when missing; a link or
// anything but a folder is refused.
bool UsableFolder(const std::string& path, bool mustBeOurs)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    const auto st = LinkStat(path);
    if (!st || !S_ISDIR(st->st_mode)) return false;
    return !mustBeOurs || st->st_uid == ::getuid();
}

// The top folder of the device `device` that holds `folder`: the highest
// ancestor still on that device.
std::string TopFolderOf(const fs::path& folder, dev_t device)
{
    fs::path top = folder;
    while (top.has_parent_path() && top.parent_path() != top) {
        const auto st = LinkStat(top.parent_path().string());
        if (!st || st->st_dev != device) break;
        top = top.parent_path();
    }
    return top.string();
}

struct TrashPlace {
    std::string folder;      // holds files/ and info/
    std::string infoPath;    // the Path key's value
};

// Where a file on `device` at `absolute` goes, or nothing.
std::optional<TrashPlace> TrashPlaceFor(const fs::path& absolute, dev_t device)
{
    const std::string home = HomeTrashFolder();
    const fs::path dataHome = fs::path(home).parent_path();
    std::error_code ignored;
    fs::create_directories(dataHome, ignored);
    if (const auto st = LinkStat(dataHome.string()); st && st->st_dev == device && UsableFolder(home, true))
        return TrashPlace{home, TrashInfoPath(absolute.string())};

    const std::string top = TopFolderOf(absolute.parent_path(), device);
    const std::string uid = std::to_string(::getuid());
    const fs::path relative = absolute.lexically_relative(top);
    // A shared .Trash made by the administrator: a sticky folder, not a link.
    const std::string shared = (fs::path(top) / ".Trash").string();
    if (const auto st = LinkStat(shared); st && S_ISDIR(st->st_mode) && (st->st_mode & S_ISVTX)) {
        const std::string mine = (fs::path(shared) / uid).string();
        if (UsableFolder(mine, true)) return TrashPlace{mine, TrashInfoPath(relative.string())};
    }
    const std::string own = (fs::path(top) / (".Trash-" + uid)).string();
    if (UsableFolder(own, true)) return TrashPlace{own, TrashInfoPath(relative.string())};
    return std::nullopt;
}

}  // namespace

TrashResult MoveToTrash(const std::string& path, std::error_code& error)
{
    std::string trashFile, infoFile;
    return MoveToTrashRecorded(path, trashFile, infoFile, error);
}

std::error_code RestoreFromTrash(const std::string& trashFile, const std::string& infoFile, const std::string& to)
{
    if (const std::error_code error = RenameWithoutReplace(trashFile, to)) return error;
    ::unlink(infoFile.c_str());
    return {};
}

TrashResult MoveToTrashRecorded(const std::string& path, std::string& trashFile, std::string& infoFileOut,
                                std::error_code& error)
{
    error.clear();
    const auto st = LinkStat(path);
    trashFile.clear();
    infoFileOut.clear();
    if (!st) {
        error = LastError();
        return TrashResult::Failed;
    }
    const fs::path absolute = fs::absolute(fs::path(path), error).lexically_normal();
    if (error) return TrashResult::Failed;
    const std::optional<TrashPlace> place = TrashPlaceFor(absolute, st->st_dev);
    if (!place) return TrashResult::NoTrash;

    const std::string files = (fs::path(place->folder) / "files").string();
    const std::string info = (fs::path(place->folder) / "info").string();
    if (!UsableFolder(files, false) || !UsableFolder(info, false)) {
        error = LastError();
        return TrashResult::NoTrash;
    }
    // The .trashinfo file is made first, exclusively: it reserves the name.
    const std::string name = absolute.filename().string();
    for (int number = 1; number < 10000; ++number) {
        const std::string trashName = number == 1 ? name : name + "." + std::to_string(number);
        const std::string infoFile = (fs::path(info) / (trashName + ".trashinfo")).string();
        const std::string target = (fs::path(files) / trashName).string();
        const int fd = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error = LastError();
            return TrashResult::Failed;
        }
        if (LinkStat(target)) {   // left behind without its info: not ours to replace
            ::close(fd);
            ::unlink(infoFile.c_str());
            continue;
        }
        const std::string text = TrashInfoText(place->infoPath, std::time(nullptr));
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            error = LastError();
            ::unlink(infoFile.c_str());
            return TrashResult::Failed;
        }
        if (::rename(path.c_str(), target.c_str()) != 0) {
            error = LastError();
            ::unlink(infoFile.c_str());
            return TrashResult::Failed;
        }
        trashFile = target;
        infoFileOut = infoFile;
        return TrashResult::Trashed;
    }
    error = std::make_error_code(std::errc::file_exists);
    return TrashResult::Failed;
}

#endif

}  // namespace replidex
