#include "gui/main/ExternalTools.h"

#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/ProgramState.h"
#include "platform/Launcher.h"

namespace replidex {

void ShowHelp(const ProgramState& program)
{
    if (!OpenHelp(program.programFolder)) ShowNotice(Sjis("外部ツールの起動に失敗しました"));
}

void ShowGameFolder(const ProgramState& program)
{
    if (!OpenFileManager(program.config.puyoFPath))
        ShowNotice(Sjis("Explorerの起動に失敗しました。"));
}

}  // namespace replidex
