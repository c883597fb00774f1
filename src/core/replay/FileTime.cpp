#include "core/replay/FileTime.h"

#include <sys/stat.h>

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
    const std::string native = NativePathFromSjis(path);
    if (native.empty()) return kNoFileAge;
#ifdef _WIN32
    struct _stat64 st {};
    if (_stat64(native.c_str(), &st) != 0) return kNoFileAge;
    if (!(st.st_mode & _S_IFREG)) return kNoFileAge;
    std::tm local{};
    const std::time_t t = static_cast<std::time_t>(st.st_mtime);
    if (localtime_s(&local, &t) != 0) return kNoFileAge;
#else
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) return kNoFileAge;
    if (!S_ISREG(st.st_mode)) return kNoFileAge;
    std::tm local{};
    const std::time_t t = st.st_mtime;
    if (!localtime_r(&t, &local)) return kNoFileAge;
#endif
    return PackDosDateTime(local);
}

}  // namespace replidex
