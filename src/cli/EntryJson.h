// How the list commands name an entry and read the list they work on.
#pragma once

#include <string>

#include "cli/Json.h"
#include "core/list/ContentIndex.h"
#include "core/list/ReplayDocument.h"

namespace replidex::cli {

// {"folder":"A/B","path":"..."}: the list folder below the root and the
// entry's full path, both UTF-8.
Json EntryJson(const ReplayDocument& doc, const ReplayFolder* folder, const ReplayEntry& entry);

// Opens the list file for `command`; false (the reason on standard error)
// when it cannot be read.
bool OpenListForCommand(const char* command, const std::string& listPath, ReplayDocument& doc);

// The user's content index (empty when there is none yet), and its place.
ContentIndex LoadUserIndex(std::string* path = nullptr);

}  // namespace replidex::cli
