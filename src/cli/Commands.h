// The commands of replidex-cli. Each takes the arguments after its name and
// answers the process exit status (0 done, 1 failed, 2 bad usage).
#pragma once

#include <string>
#include <vector>

namespace replidex::cli {

using Args = std::vector<std::string>;

int RunAnalyse(const Args& args);
int RunSearch(const Args& args);
int RunDump(const Args& args);
int RunBuild(const Args& args);
int RunAdd(const Args& args);
int RunSlots(const Args& args);
int RunSend(const Args& args);
int RunRenumber(const Args& args);
int RunClear(const Args& args);
int RunArchive(const Args& args);
int RunStats(const Args& args);
int RunJournal(const Args& args);
int RunUndo(const Args& args);
int RunRelink(const Args& args);
int RunDups(const Args& args);
int RunIndex(const Args& args);

}  // namespace replidex::cli
