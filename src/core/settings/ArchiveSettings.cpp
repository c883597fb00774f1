#include "core/settings/ArchiveSettings.h"

#include "core/archive/ArchiveToList.h"
#include "core/settings/ProfileFile.h"

namespace replidex {

namespace {
constexpr const char* kArchiveSection = "Archive";
}  // namespace

ArchiveSettings LoadArchiveSettings(const ProfileFile& file)
{
    ArchiveSettings s;
    s.folder = file.readString(kArchiveSection, "Folder", s.folder);
    s.nameTemplate = file.readString(kArchiveSection, "NameTemplate", s.nameTemplate);
    if (s.nameTemplate.empty()) s.nameTemplate = std::string(kDefaultNameTemplate);
    s.folderTemplate = file.readString(kArchiveSection, "FolderTemplate", s.folderTemplate);
    s.listFolder = file.readString(kArchiveSection, "ListFolder", s.listFolder);
    s.removeFromGame = file.readNumber(kArchiveSection, "RemoveFromGame", 0) != 0;
    s.watch = file.readNumber(kArchiveSection, "Watch", 0) != 0;
    return s;
}

void SaveArchiveSettings(ProfileFile& file, const ArchiveSettings& s)
{
    file.eraseSection(kArchiveSection);
    file.writeString(kArchiveSection, "Folder", s.folder);
    file.writeString(kArchiveSection, "NameTemplate", s.nameTemplate);
    file.writeString(kArchiveSection, "FolderTemplate", s.folderTemplate);
    file.writeString(kArchiveSection, "ListFolder", s.listFolder);
    file.writeInt(kArchiveSection, "RemoveFromGame", s.removeFromGame ? 1 : 0);
    file.writeInt(kArchiveSection, "Watch", s.watch ? 1 : 0);
}

std::vector<std::string> ListFolderNames(const std::string& listFolder)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= listFolder.size()) {
        std::size_t end = listFolder.find('/', start);
        if (end == std::string::npos) end = listFolder.size();
        if (end > start) names.push_back(listFolder.substr(start, end - start));
        start = end + 1;
    }
    if (names.empty()) names.push_back(DefaultArchiveListFolder());
    return names;
}

}  // namespace replidex
