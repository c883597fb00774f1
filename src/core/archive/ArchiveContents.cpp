#include "core/archive/ArchiveContents.h"

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/file/ContentHash.h"
#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return fs::equivalent(FsPath(a), FsPath(b), ec);
}

using BySize = std::unordered_map<std::uint64_t, std::vector<ArchiveContents::Copy>>;

#ifndef _WIN32

// Lists the folder open as `fd` (closed here) and everything below it. The
// sizes come from an fstatat relative to the folder, never a whole path;
// links to folders are not followed, links to files count as the file.
void Walk(int fd, const std::string& path, const std::string& relative,
          const std::unordered_set<std::uint64_t>& sizes, BySize& out)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.') continue;   // ".", "..", temporary copies, hidden files
        struct stat st {};
        bool isFolder = e->d_type == DT_DIR;
        if (!isFolder) {
            const bool unknown = e->d_type == DT_UNKNOWN;
            if (::fstatat(fd, name, &st, unknown ? AT_SYMLINK_NOFOLLOW : 0) != 0) continue;
            isFolder = unknown && S_ISDIR(st.st_mode);
            if (unknown && S_ISLNK(st.st_mode) && ::fstatat(fd, name, &st, 0) != 0) continue;
        }
        if (isFolder) {
            const int sub = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) Walk(sub, path + "/" + name, relative + name + "/", sizes, out);
            continue;
        }
        const auto size = static_cast<std::uint64_t>(st.st_size);
        if (!S_ISREG(st.st_mode) || !sizes.count(size)) continue;
        out[size].push_back({path + "/" + name, relative + name, {}});
    }
    ::closedir(dir);
}

void List(const std::string& root, const std::unordered_set<std::uint64_t>& sizes, BySize& out)
{
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) Walk(fd, root.size() > 1 && root.back() == '/' ? root.substr(0, root.size() - 1) : root, "", sizes, out);
}

#else

void List(const std::string& root, const std::unordered_set<std::uint64_t>& sizes, BySize& out)
{
    const fs::path rootPath = FsPath(root);
    std::error_code ec;
    fs::recursive_directory_iterator it(rootPath, fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (NativePathOf(path.filename()).rfind('.', 0) == 0) {   // temporary copies, hidden files
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        std::error_code statError;
        if (!it->is_regular_file(statError)) continue;
        const std::uintmax_t size = it->file_size(statError);
        if (statError || !sizes.count(size)) continue;
        std::string relative = NativePathOf(path.lexically_relative(rootPath));
        for (char& c : relative)
            if (c == '\\') c = '/';
        out[size].push_back({NativePathOf(path), std::move(relative), {}});
    }
}

#endif

}  // namespace

ArchiveContents::ArchiveContents(const std::string& root, const std::unordered_set<std::uint64_t>& sizes)
{
    List(root, sizes, bySize_);
    for (auto& [size, copies] : bySize_)
        std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.relative < b.relative; });
}

const ArchiveContents::Copy* ArchiveContents::find(const std::string& source, std::uint64_t size,
                                                   const std::string_view* bytes)
{
    const auto it = bySize_.find(size);
    if (it == bySize_.end()) return nullptr;
    for (const Copy& copy : it->second) {
        const std::string& holder = copy.contentOf.empty() ? copy.path : copy.contentOf;
        const bool same = bytes ? FileHoldsBytes(holder, *bytes) : SameFileContent(holder, source);
        // The slot file itself may lie inside the archive folder.
        if (same && !SameFile(holder, source)) return &copy;
    }
    return nullptr;
}

void ArchiveContents::addPlanned(std::uint64_t size, Copy copy)
{
    bySize_[size].push_back(std::move(copy));
}

}  // namespace replidex
