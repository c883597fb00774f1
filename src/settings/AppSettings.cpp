#include "settings/AppSettings.h"

#include "platform/ProfileFile.h"
#include "settings/ConfigSettings.h"
#include "shell/ProgramState.h"

namespace replidex {

void LoadSettings(ProgramState& program)
{
    const ProfileFile file(program.iniPath);
    program.config = LoadConfigSettings(file);
}

bool SaveSettings(const ProgramState& program)
{
    ProfileFile file(program.iniPath);
    SaveConfigSettings(file, program.config);
    return file.save();
}

}  // namespace replidex
