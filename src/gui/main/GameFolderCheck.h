// The start-up check of the game replay folder.
#pragma once

#include <functional>
#include <string>

namespace replidex {

enum class GameFolderCheck {
    AlreadyUsable,   // the stored folder exists: nothing was done
    Found,           // a folder was found or chosen: it is to be remembered
    NoneFound,       // no usable folder: the program ends
};

struct GameFolderProbe {
    std::function<bool(const std::string&)> isUsable;   // an existing folder
    std::function<std::string()> defaultFolder;
    std::function<std::string()> chooseFolder;          // empty when cancelled
};

// If `puyoFPath` is not usable: the default folder, else the user's choice;
// what is still not usable leaves `puyoFPath` empty.
GameFolderCheck CheckGameFolder(std::string& puyoFPath, const GameFolderProbe& probe);

}  // namespace replidex
