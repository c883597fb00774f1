// File times as the replay list stores them: packed MS-DOS date-time values of
// local time (date in the high 16 bits, time in the low 16 bits, 2-second
// resolution), compared for equality only.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace replidex {

inline constexpr std::int32_t kNoFileAge = -1;

// Packs a broken-down local time. The format covers 1980-01-01 00:00:00 to
// 2107-12-31 23:59:58; earlier times pack as the first of these, later ones as
// the last, so that every existing file has a valid, stable age.
std::int32_t PackDosDateTime(const std::tm& local);

// Last-write time of the regular file at `path` (Shift-JIS bytes), or
// kNoFileAge when there is no such file or it is a directory.
std::int32_t FileAgeOf(const std::string& path);

}  // namespace replidex
