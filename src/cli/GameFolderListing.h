// Listing the game folder a game-folder command works on.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/replay/ReplaySlots.h"

namespace replidex::cli {

// The items of `folder`; when it cannot be listed, says why on stderr in the
// name of `command` and answers nothing.
inline std::optional<std::vector<FolderItem>> ListGameFolder(const char* command, const std::string& folder)
{
    std::error_code error;
    std::vector<FolderItem> items = ListFolder(folder, error);
    if (!error) return items;
    std::fprintf(stderr, "replidex-cli %s: %s: %s\n", command, folder.c_str(), error.message().c_str());
    return std::nullopt;
}

}  // namespace replidex::cli
