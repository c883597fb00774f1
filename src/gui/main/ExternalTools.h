// The two commands that start outside programs: the help viewer and the file
// manager on the game replay folder. A failed start is told to the user.
#pragma once

namespace replidex {

struct ProgramState;

// "ヘルプ(&H)": the help page in the program's folder.
void ShowHelp(const ProgramState& program);
// "PuyoFフォルダをExplorerで開く(&E)": the game replay folder.
void ShowGameFolder(const ProgramState& program);

}  // namespace replidex
