#include "core/settings/RecentLists.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/file/NativeFiles.h"
#include "core/list/ReplayImport.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

bool SameKeyName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void RecentList::add(const std::string& path)
{
    auto found = std::find(items_.begin(), items_.end(), path);
    if (found == items_.end()) {
        items_.push_back(path);
        found = items_.end() - 1;
    }
    std::rotate(items_.begin(), found, found + 1);
    if (static_cast<int>(items_.size()) > kRecentMaxItems) items_.resize(kRecentMaxItems);
}

bool RecentList::moveToTop(int index)
{
    if (index < 0 || index >= size()) return false;
    std::rotate(items_.begin(), items_.begin() + index, items_.begin() + index + 1);
    return true;
}

void RecentList::load(const ProfilePairs& section)
{
    // The first ten key names, each once.
    std::vector<std::string_view> keys;
    for (const auto& pair : section) {
        if (static_cast<int>(keys.size()) == kRecentMaxItems) break;
        const std::string_view key = pair.first;
        const bool seen = std::any_of(keys.begin(), keys.end(),
                                      [&](std::string_view k) { return SameKeyName(k, key); });
        if (!seen) keys.push_back(key);
    }
    items_.clear();
    for (const std::string_view key : keys) {
        const auto line = std::find_if(section.begin(), section.end(),
                                       [&](const auto& kv) { return SameKeyName(kv.first, key); });
        if (!line->second.empty()) items_.push_back(line->second);
    }
}

ProfilePairs RecentList::saved() const
{
    ProfilePairs pairs;
    const int n = std::min(size(), kRecentMaxItems);
    for (int i = 0; i < n; ++i) pairs.emplace_back(std::to_string(i), items_[static_cast<std::size_t>(i)]);
    return pairs;
}

bool SjisFolderExists(const std::string& sjisFolder)
{
    const std::string native = NativePathFromSjis(sjisFolder);
    if (native.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_directory(FsPath(native), ec);
}

bool SjisFileExists(const std::string& sjisPath)
{
    const std::string native = NativePathFromSjis(sjisPath);
    if (native.empty()) return false;
    std::error_code ec;
    const auto status = std::filesystem::status(FsPath(native), ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

namespace {

// The ends of the folders of a Shift-JIS path: the position after each path
// delimiter (never the second byte of a two-byte character).
std::vector<std::size_t> FolderEnds(std::string_view sjisPath)
{
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < sjisPath.size();) {
        const auto c = static_cast<unsigned char>(sjisPath[i]);
        if (IsCp932LeadByte(c) && i + 1 < sjisPath.size()) {
            i += 2;
            continue;
        }
        if (IsPathDelimiter(sjisPath[i])) ends.push_back(i + 1);
        ++i;
    }
    return ends;
}

}  // namespace

std::string FolderPartOf(std::string_view sjisPath)
{
    const std::vector<std::size_t> ends = FolderEnds(sjisPath);
    return std::string(sjisPath.substr(0, ends.empty() ? 0 : ends.back()));
}

int CheckRecentFile(const std::string& sjisPath)
{
    if (!SjisFolderExists(FolderPartOf(sjisPath))) return kRecentFileNoFolder;
    return SjisFileExists(sjisPath) ? kRecentFileOpen : kRecentFileMissing;
}

std::string RecentFileMessage(int check)
{
    switch (check) {
    case kRecentFileNoFolder: return Sjis("パスが存在しない為、ファイルを開けません。");
    case kRecentFileMissing: return Sjis("ファイルが存在しません。");
    default: return {};
    }
}

std::string RecentFolderStart(const std::string& sjisCaption, const FolderExists& exists)
{
    const std::string start = FolderPartOf(sjisCaption);
    if (exists && exists(start)) return start;
    // From the top down, the deepest folder that still exists; the top
    // folder of an absolute path ("/") alone does not count.
    std::string last;
    for (const std::size_t end : FolderEnds(start)) {
        if (end == 1) continue;
        const std::string folder = start.substr(0, end);
        if (!exists || !exists(folder)) break;
        last = folder;
    }
    return last;
}

}  // namespace replidex
