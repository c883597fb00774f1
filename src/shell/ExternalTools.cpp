#include "shell/ExternalTools.h"

#include "platform/Launcher.h"
#include "shell/ProgramState.h"
#include "shell/SjisCodec.h"
#include "shell/Vdialog.h"

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
