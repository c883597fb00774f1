#include "gui/settings/AppSettings.h"

#include "core/settings/ArchiveSettings.h"
#include "core/settings/ConfigSettings.h"
#include "core/settings/ContentIndexSettings.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/RecentLists.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/journal/FolderChangeRun.h"
#include "gui/main/ProgramState.h"

namespace replidex {

namespace {

void TellWriteFailed(const ProgramState& program, const std::error_code& why)
{
    std::string path;
    if (!SjisFromNativePath(program.iniPath, path)) path.clear();
    ShowMessageBox(path + Sjis("\n設定ファイルを保存できませんでした。\n"
                               "保存先のフォルダと空き容量を確かめてください。") +
                       FailureReasonLine(why),
                   kMsgError);
}

}  // namespace

void LoadSettings(ProgramState& program)
{
    const ProfileFile file(program.iniPath);
    program.config = LoadConfigSettings(file);
    LoadRecentFiles(program.recent, file);
    LoadRecentFolders(program.recent, file);
    program.savedQueries.load(file);

    IniSection columns;
    for (const std::string& key : file.keyNames(ColumnModel::kSection))
        columns.emplace_back(key, file.readString(ColumnModel::kSection, key, ""));
    program.columnModel.UpdateByIniFile(columns);
    program.archive = LoadArchiveSettings(file);
    LoadJournalSettings(file);
    program.contentIndex = LoadContentIndexSettings(file);
}

bool SaveSettings(ProgramState& program)
{
    ProfileFile file(program.iniPath);
    SaveConfigSettings(file, program.config);
    SaveRecentFiles(program.recent, file);
    SaveRecentFolders(program.recent, file);
    program.savedQueries.save(file);
    SaveJournalSettings(file);

    // The shown columns in display order, each with its width.
    const ListViewLayout layout = program.columnModel.UpdateListViewByGColumns();
    file.eraseSection(ColumnModel::kSection);
    for (const auto& [key, value] : program.columnModel.SaveInifile_Column(layout.order, layout.columns))
        file.writeString(ColumnModel::kSection, key, value);
    SaveArchiveSettings(file, program.archive);
    SaveContentIndexSettings(file, program.contentIndex);
    std::error_code why;
    if (file.save(why)) return true;
    if (!program.settingsWriteFailureTold) {
        program.settingsWriteFailureTold = true;
        TellWriteFailed(program, why);
    }
    return false;
}

}  // namespace replidex
