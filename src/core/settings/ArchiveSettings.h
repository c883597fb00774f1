// The archive's settings in the settings file, section "Archive": where the
// game's replays are archived, under which names, into which list folder,
// whether the slot files leave the game folder and whether the game folder
// is watched.
//
// Plain C++ over ProfileFile; texts Shift-JIS like the rest of the file.
#pragma once

#include <string>
#include <vector>

#include "core/archive/ArchiveNames.h"

namespace replidex {

class ProfileFile;

struct ArchiveSettings {
    // "Folder": the archive folder; empty: the platform's default.
    std::string folder;
    // "NameTemplate", "FolderTemplate": the archive name and sub-folder
    // templates (an empty folder template puts every file in the folder itself).
    std::string nameTemplate = std::string(kDefaultNameTemplate);
    std::string folderTemplate = std::string(kDefaultFolderTemplate);
    // "ListFolder": the list folder below the root, "/" between folders;
    // empty: 「取り込み」.
    std::string listFolder;
    // "RemoveFromGame": 取り込んだファイルをPuyoFフォルダから削除する (0/1).
    bool removeFromGame = false;
    // "Watch": PuyoFフォルダを監視して自動で取り込む (0/1).
    bool watch = false;

    bool operator==(const ArchiveSettings&) const = default;
};

// Missing keys give the defaults above; an empty name template is the
// default one; the switches read any number but 0 as on.
ArchiveSettings LoadArchiveSettings(const ProfileFile& file);

// Erases the "Archive" section and writes it again in full (in memory only).
void SaveArchiveSettings(ProfileFile& file, const ArchiveSettings& settings);

// The list folder as Shift-JIS folder names (empty parts dropped); the
// default 「取り込み」 when there are none.
std::vector<std::string> ListFolderNames(const std::string& listFolder);

}  // namespace replidex
