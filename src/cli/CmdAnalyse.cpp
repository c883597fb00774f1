// replidex-cli analyse: what each replay file says, one JSON object a line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/AnalysisJson.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/ReplayFiles.h"
#include "core/file/NativeFiles.h"

namespace replidex::cli {

namespace {

constexpr const char* kHelp =
    "usage: replidex-cli analyse FILE|FOLDER...\n"
    "\n"
    "Analyses each replay file and prints one JSON object per file and line:\n"
    "  {\"path\": ..., \"result\": 1|-1, \"infoFlags\": N, \"p1\": P, \"p2\": P,\n"
    "   \"info\": Info text, \"text1\": 1P text, \"text2\": 2P text}\n"
    "P = {\"name\": hex bytes, \"score\", \"rank\", \"wins\", \"losses\", \"character\", \"isCom\"}.\n"
    "A folder stands for every .RPD and .DAT file below it (any letter case), in\n"
    "path order folder by folder (byte order of each name), the same on every\n"
    "system. Paths below a folder are printed with \"/\" on Linux; on Windows with\n"
    "\"\\\" unless the folder was given with \"/\" only. A file that cannot be\n"
    "analysed is reported with result -1 and its error code and line (p1\n"
    "wins/losses).\n";

void PrintAnalysis(const std::string& path)
{
    Json rest = AnalysisJson(path);
    // The path, which need not be UTF-8, goes in front by itself.
    rest.erase("path");
    const std::string line =
        "{\"path\": " + PathJsonText(path) + ", " + DumpSpaced(rest).substr(1) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int RunAnalyse(const Args& args)
{
    if (args.empty()) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    if (AsksForHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    for (const std::string& arg : args) {
        std::error_code ec;
        if (std::filesystem::is_directory(FsPath(arg), ec)) {
            for (const std::string& file : ReplayFilesBelow(arg)) PrintAnalysis(file);
        } else {
            PrintAnalysis(arg);
        }
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
