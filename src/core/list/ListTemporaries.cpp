#include "core/list/ListTemporaries.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>

#include "core/file/NativeFiles.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInfix = ".tmp-";
constexpr std::string_view kShortBase = ".replidex";
constexpr std::size_t kSuffixLength = 6;
constexpr std::string_view kSuffixChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string RandomSuffix()
{
    thread_local std::mt19937_64 engine = [] {
        std::random_device device;
        std::seed_seq seed{static_cast<std::uint64_t>(device()),
                           static_cast<std::uint64_t>(
                               std::chrono::steady_clock::now().time_since_epoch().count()),
                           static_cast<std::uint64_t>(
                               reinterpret_cast<std::uintptr_t>(&device))};
        return std::mt19937_64(seed);
    }();
    std::string suffix(kSuffixLength, 'x');
    for (char& c : suffix) c = kSuffixChars[engine() % kSuffixChars.size()];
    return suffix;
}

bool IsTemporaryOf(std::string_view base, std::string_view name)
{
    if (name.size() != base.size() + kInfix.size() + kSuffixLength) return false;
    if (name.substr(0, base.size()) != base || name.substr(base.size(), kInfix.size()) != kInfix)
        return false;
    return name.substr(base.size() + kInfix.size()).find_first_not_of(kSuffixChars) ==
           std::string_view::npos;
}

}  // namespace

int CreateListTemporary(const std::string& target, std::string& tempPath)
{
    std::string base = target;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = base + std::string(kInfix) + RandomSuffix();
        const int fd = CreateNewFile(tempPath, target);
        if (fd >= 0) return fd;
        if (errno == ENAMETOOLONG && base == target) {
            base = NativePathOf(FsPath(target).parent_path() / FsPath(kShortBase));
            continue;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool IsListTemporaryName(std::string_view listName, std::string_view name)
{
    return IsTemporaryOf(listName, name) || IsTemporaryOf(kShortBase, name);
}

int RemoveStaleListTemporaries(const std::string& target, std::chrono::seconds minAge)
{
    const fs::path path = FsPath(target);
    const std::string listName = NativePathOf(path.filename());
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    const fs::file_time_type before = fs::file_time_type::clock::now() - minAge;
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code itemError;
        if (!IsListTemporaryName(listName, NativePathOf(it->path().filename())) ||
            !it->is_regular_file(itemError) || it->is_symlink(itemError))
            continue;
        const fs::file_time_type written = fs::last_write_time(it->path(), itemError);
        if (!itemError && written < before && fs::remove(it->path(), itemError)) ++removed;
    }
    return removed;
}

}  // namespace replidex
