#include "cli/ReplayFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "core/file/NativeFiles.h"

namespace replidex::cli {

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

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// Path order by components: "a/x" < "a0/x" < "aB/x", whichever separator
// the path is written with, so that both systems list files alike.
bool ComponentsBefore(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    for (;;) {
        std::size_t ei = i, ej = j;
        while (ei < a.size() && !IsSeparator(a[ei])) ++ei;
        while (ej < b.size() && !IsSeparator(b[ej])) ++ej;
        const int order = std::string_view(a).substr(i, ei - i).compare(std::string_view(b).substr(j, ej - j));
        if (order != 0) return order < 0;
        const bool aEnds = ei >= a.size(), bEnds = ej >= b.size();
        if (aEnds || bEnds) return aEnds && !bEnds;
        i = ei + 1;
        j = ej + 1;
    }
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
    std::sort(files.begin(), files.end(), ComponentsBefore);
    return files;
}

}  // namespace replidex::cli
