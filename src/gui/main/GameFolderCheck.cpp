#include "gui/main/GameFolderCheck.h"

namespace replidex {

GameFolderCheck CheckGameFolder(std::string& puyoFPath, const GameFolderProbe& probe)
{
    if (probe.isUsable(puyoFPath)) return GameFolderCheck::AlreadyUsable;
    puyoFPath = probe.defaultFolder();
    if (!probe.isUsable(puyoFPath)) {
        puyoFPath = probe.chooseFolder();
        if (!probe.isUsable(puyoFPath)) puyoFPath.clear();
    }
    return puyoFPath.empty() ? GameFolderCheck::NoneFound : GameFolderCheck::Found;
}

}  // namespace replidex
