#include "settings/AppSettings.h"

#include "platform/ProfileFile.h"
#include "settings/ConfigSettings.h"
#include "settings/Mrecent.h"
#include "shell/ProgramState.h"

namespace replidex {

void LoadSettings(ProgramState& program)
{
    const ProfileFile file(program.iniPath);
    program.config = LoadConfigSettings(file);
    LoadRecentFiles(program.recent, file);
    LoadRecentFolders(program.recent, file);

    IniSection columns;
    for (const std::string& key : file.keyNames(GColumnHeader::kSection))
        columns.emplace_back(key, file.readString(GColumnHeader::kSection, key, ""));
    program.ColumnModel.UpdateByIniFile(columns);
}

bool SaveSettings(const ProgramState& program)
{
    ProfileFile file(program.iniPath);
    SaveConfigSettings(file, program.config);
    SaveRecentFiles(program.recent, file);
    SaveRecentFolders(program.recent, file);

    // The shown columns in display order, each with its width.
    const ListViewLayout layout = program.ColumnModel.UpdateListViewByGColumns();
    file.eraseSection(GColumnHeader::kSection);
    for (const auto& [key, value] : program.ColumnModel.SaveInifile_Column(layout.order, layout.columns))
        file.writeString(GColumnHeader::kSection, key, value);
    return file.save();
}

}  // namespace replidex
