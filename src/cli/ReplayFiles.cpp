#include "cli/ReplayFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file/NativeFiles.h"
#include "core/list/ReplayImport.h"

namespace replidex::cli {

std::string AbsolutePath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path absolute = fs::absolute(FsPath(path), ec);
    if (ec) absolute = FsPath(path);
    absolute = absolute.lexically_normal();
    const std::size_t rootSize = NativePathOf(absolute.root_path()).size();
    std::string text = NativePathOf(absolute);
    while (text.size() > std::max<std::size_t>(rootSize, 1) && text.back() == kPathDelimiter) text.pop_back();
    return text;
}

bool HasReplayExtension(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext == ".RPD" || ext == ".DAT";
}

namespace {

// The files below a folder are written with the delimiter the folder was
// given with. On Windows a folder typed with "/" only (as scripts and Wine
// users write it) keeps "/" between the folders below it, so that the
// listing reads, and sorts, as it does on Linux.
void UseDelimiterOf(const std::string& folder, std::string& path)
{
#ifdef _WIN32
    if (folder.find('\\') != std::string::npos || folder.find('/') == std::string::npos) return;
    std::replace(path.begin(), path.end(), '\\', '/');
#else
    (void)folder;
    (void)path;
#endif
}

// Path order by components: "a/x" < "a0/x" < "aB/x", whichever separator
// the path is written with, so that both systems list files alike. Each
// path's key has its separators made NUL (paths hold none), the lowest byte,
// so that plain byte order of the keys is component order.
void SortByComponents(std::vector<std::string>& paths)
{
    std::vector<std::pair<std::string, std::size_t>> keyed;
    keyed.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string key = paths[i];
        std::replace_if(key.begin(), key.end(), IsPathDelimiter, '\0');
        keyed.emplace_back(std::move(key), i);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> sorted;
    sorted.reserve(paths.size());
    for (auto& [key, index] : keyed) sorted.push_back(std::move(paths[index]));
    paths = std::move(sorted);
}

}  // namespace

std::vector<std::string> ReplayFilesBelow(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(FsPath(folder), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && HasReplayExtension(NativePathOf(it->path().filename()))) {
            files.push_back(NativePathOf(it->path()));
            UseDelimiterOf(folder, files.back());
        }
    }
    SortByComponents(files);
    return files;
}

}  // namespace replidex::cli
