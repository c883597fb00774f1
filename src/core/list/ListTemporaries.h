// The temporary files a list save writes beside the list before renaming one
// over it: "<name>.tmp-" and six letters or digits, or ".replidex.tmp-" and
// six when the list's name is too long for that. A save that is killed
// leaves its temporary behind; the next save of the list removes it.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace replidex {

// Creates a new temporary file beside `target` with the permissions of the
// file it replaces; answers its descriptor (or -1, errno set) and its path.
int CreateListTemporary(const std::string& target, std::string& tempPath);

// True when `name` is the name of a temporary that a save of the list named
// `listName` makes (the short form counts for every list).
bool IsListTemporaryName(std::string_view listName, std::string_view name);

// Removes the regular files beside `target` whose names are its temporaries'
// and that were last written more than `minAge` ago; answers how many went.
int RemoveStaleListTemporaries(const std::string& target,
                               std::chrono::seconds minAge = std::chrono::minutes(1));

}  // namespace replidex
