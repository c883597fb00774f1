// Names of archived replays: a name template filled in from what the replay
// says and when it was written, made safe for every file system the list may
// travel to.
//
// Templates and field values are Shift-JIS (the list stores Shift-JIS);
// the safe name comes back in both forms: Shift-JIS for the list and the
// native form (UTF-8) for the file system.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/replay/ReplayRecords.h"

namespace replidex {

inline constexpr std::string_view kDefaultNameTemplate = "%date%_%1p%_vs_%2p%.RPD";
inline constexpr std::string_view kDefaultFolderTemplate = "%yyyy%-%mm%";
// The name of a file whose analysis failed: its slot and file time.
inline constexpr std::string_view kFailedNameTemplate = "%date%_REPLAY%slot%.RPD";
// A safe name holds at most this many bytes, in Shift-JIS and in UTF-8.
inline constexpr std::size_t kMaxArchiveNameBytes = 200;

// The values of the template fields for one replay (Shift-JIS).
struct ArchiveFields {
    std::string date;     // %date%: file time, yyyymmdd-hhmmss
    std::string p1, p2;   // %1p% %2p%: handle names; offline 1P and COM or 2P
    std::string chara1, chara2;
    std::string score;    // %score%: 3-1 for a net match, empty otherwise
    std::string slot;     // %slot%: 07
    std::string yyyy, mm, dd;
};

// The fields of a replay in `slot` written at `fileTime` (local time);
// `info` null or failed gives only the date and slot fields.
ArchiveFields FieldsOf(const ReplayInfo* info, const std::tm& fileTime, int slot);

// `tmpl` with every known %field% replaced; anything else stays as it is.
std::string ExpandTemplate(std::string_view tmpl, const ArchiveFields& fields);

struct SafeName {
    std::string sjis;     // for the list
    std::string native;   // for the file system
};

// One folder or file name made safe: characters that Windows or Linux refuse
// in a name (control characters, <>:"/\|?*), bytes that are no Shift-JIS
// character and characters that do not come back the same through UTF-8
// become "_"; trailing dots and blanks become "_"; a Windows device name
// (CON, NUL, COM1, ...) gets a leading "_"; an empty name is "_". With
// `replayFile` the name ends in .RPD (added unless it ends in .RPD or .DAT)
// and `number` above 1 puts " (n)" before the extension. The stem is cut,
// never in the middle of a character, so that both forms hold at most
// kMaxArchiveNameBytes bytes.
SafeName MakeSafeName(std::string_view sjis, bool replayFile, int number = 1);

// The folder template expanded into safe folder names, split at "/" (a "/"
// inside a field value is no folder break); empty parts are dropped.
std::vector<SafeName> FolderNamesOf(std::string_view folderTemplate, const ArchiveFields& fields);

}  // namespace replidex
