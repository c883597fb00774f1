#include "core/replay/ReplaySlots.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

}  // namespace

bool NameBefore(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(UpperAscii(a[i]));
        const auto y = static_cast<unsigned char>(UpperAscii(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

namespace {

bool InRange(int slot) { return slot >= 0 && slot < kSlotCount; }

}  // namespace

std::string SlotFileName(int slot)
{
    char name[16];
    std::snprintf(name, sizeof name, "REPLAY%02d.RPD", InRange(slot) ? slot : 0);
    return name;
}

int SlotOfFileName(std::string_view name)
{
    if (name.size() != 12) return -1;
    if (!EqualsIgnoringCase(name.substr(0, 6), "REPLAY") || !EqualsIgnoringCase(name.substr(8), ".RPD"))
        return -1;
    const char tens = name[6];
    const char ones = name[7];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return -1;
    return (tens - '0') * 10 + (ones - '0');
}

bool HasRpdExtension(std::string_view name)
{
    return name.size() >= 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".RPD");
}

bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '\0' || IsPathDelimiter(c); });
}

std::string JoinPath(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (!path.empty() && !IsPathDelimiter(path.back())) path += static_cast<char>(fs::path::preferred_separator);
    path += name;
    return path;
}

std::vector<FolderItem> ListFolder(const std::string& folder, std::error_code& error)
{
    std::vector<FolderItem> items;
    error.clear();
    fs::directory_iterator it(FsPath(folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        // The entry's own type questions take the type the listing gave
        // and look at the file only for links (followed) or where the
        // file system gives none, so a plain folder costs no stat a name.
        std::error_code typeError;
        FolderItem item;
        item.name = NativePathOf(it->path().filename());
        item.type = it->is_directory(typeError)      ? ItemType::Folder
                    : it->is_regular_file(typeError) ? ItemType::File
                                                     : ItemType::Other;
        items.push_back(std::move(item));
    }
    if (error) items.clear();
    return items;
}

std::vector<std::string> RpdFileNames(const std::vector<FolderItem>& items)
{
    std::vector<std::string> names;
    for (const FolderItem& item : items)
        if (item.type == ItemType::File && HasRpdExtension(item.name)) names.push_back(item.name);
    std::sort(names.begin(), names.end(), NameBefore);
    return names;
}

int CountOtherRpdFiles(const std::vector<FolderItem>& items)
{
    return static_cast<int>(std::count_if(items.begin(), items.end(), [](const FolderItem& item) {
        return item.type == ItemType::File && HasRpdExtension(item.name) && !IsGameReplayFileName(item.name);
    }));
}

SlotTable::SlotTable(const std::vector<FolderItem>& items)
{
    for (const FolderItem& item : items) {
        if (item.type == ItemType::Folder) continue;
        const int slot = SlotOfFileName(item.name);
        if (slot < 0) continue;
        auto& holder = holders_[static_cast<std::size_t>(slot)];
        const std::string exact = SlotFileName(slot);
        if (!holder || (*holder != exact && (item.name == exact || item.name < *holder))) holder = item.name;
    }
}

const std::string* SlotTable::holder(int slot) const
{
    if (!InRange(slot)) return nullptr;
    const auto& holder = holders_[static_cast<std::size_t>(slot)];
    return holder ? &*holder : nullptr;
}

int SlotTable::takenCount() const
{
    return static_cast<int>(std::count_if(holders_.begin(), holders_.end(),
                                          [](const auto& holder) { return holder.has_value(); }));
}

int SlotTable::firstFreeFrom(int slot) const
{
    for (int n = std::max(slot, 0); n < kSlotCount; ++n)
        if (isFree(n)) return n;
    return -1;
}

int SlotTable::nextTakenAfter(int slot) const
{
    for (int n = std::max(slot + 1, 0); n < kSlotCount; ++n)
        if (!isFree(n)) return n;
    return -1;
}

void SlotTable::take(int slot, std::string name)
{
    if (InRange(slot)) holders_[static_cast<std::size_t>(slot)] = std::move(name);
}

void SlotTable::release(int slot)
{
    if (InRange(slot)) holders_[static_cast<std::size_t>(slot)].reset();
}

}  // namespace replidex
