#include "core/replay/FileTime.h"

#include "core/file/NativeFiles.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {
constexpr std::int32_t kFirstDosTime = (0 << 25) | (1 << 21) | (1 << 16);  // 1980-01-01 00:00:00
constexpr std::int32_t kLastDosTime = static_cast<std::int32_t>(
    (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);  // 2107-12-31 23:59:58
}  // namespace

std::int32_t PackDosDateTime(const std::tm& local)
{
    const int year = local.tm_year + 1900;
    if (year < 1980) return kFirstDosTime;
    if (year > 2107) return kLastDosTime;
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                               (static_cast<std::uint32_t>(local.tm_mon + 1) << 5) |
                               static_cast<std::uint32_t>(local.tm_mday);
    const int seconds = local.tm_sec > 59 ? 59 : local.tm_sec;   // leap second
    const std::uint32_t time = (static_cast<std::uint32_t>(local.tm_hour) << 11) |
                               (static_cast<std::uint32_t>(local.tm_min) << 5) |
                               static_cast<std::uint32_t>(seconds / 2);
    return static_cast<std::int32_t>((date << 16) | time);
}

std::int32_t FileAgeOf(const std::string& path)
{
    std::tm local{};
    if (!LocalModificationTime(NativePathFromSjis(path), local)) return kNoFileAge;
    return PackDosDateTime(local);
}

}  // namespace replidex
