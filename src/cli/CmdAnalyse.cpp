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
    "sorted path order. A file that cannot be analysed is reported with result -1\n"
    "and its error code and line (p1 wins/losses); one that is there but is no\n"
    "regular file (a device, a FIFO) is reported so too, and named on standard\n"
    "error. Exit status: 0 done, 1 a path named no folder or regular file but\n"
    "something else, 2 bad usage.\n";

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
    int status = 0;
    for (const std::string& arg : args) {
        std::error_code ec;
        const std::filesystem::file_status type = std::filesystem::status(FsPath(arg), ec);
        if (std::filesystem::is_directory(type)) {
            for (const std::string& file : ReplayFilesBelow(arg)) PrintAnalysis(file);
            continue;
        }
        PrintAnalysis(arg);   // never waits on a FIFO, never reads a device
        if (std::filesystem::exists(type) && !std::filesystem::is_regular_file(type)) {
            std::fprintf(stderr, "replidex-cli analyse: %s: %s\n", arg.c_str(),
                         FileErrorText(NotRegularFileError()).c_str());
            status = 1;
        }
    }
    std::fflush(stdout);
    return status;
}

}  // namespace replidex::cli
