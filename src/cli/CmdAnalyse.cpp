// replidex-cli analyse: what each replay file says, one JSON object a line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/AnalysisLine.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
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
    "wins/losses); one that is there but is no regular file (a device, a FIFO)\n"
    "is reported so too, and named on standard error. Exit status: 0 done, 1 a\n"
    "path named no folder or regular file but something else, 2 bad usage.\n";

// Lines are gathered in one buffer and written in blocks.
void PrintAnalysis(const std::string& path, std::string& buffer)
{
    AppendAnalysisLine(path, buffer);
    if (buffer.size() >= (1u << 16)) {
        std::fwrite(buffer.data(), 1, buffer.size(), stdout);
        buffer.clear();
    }
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
    std::string buffer;
    buffer.reserve((1u << 16) + 4096);
    int status = 0;
    for (const std::string& arg : args) {
        std::error_code ec;
        const std::filesystem::file_status type = std::filesystem::status(FsPath(arg), ec);
        if (std::filesystem::is_directory(type)) {
            for (const std::string& file : ReplayFilesBelow(arg)) PrintAnalysis(file, buffer);
            continue;
        }
        PrintAnalysis(arg, buffer);   // never waits on a FIFO, never reads a device
        if (std::filesystem::exists(type) && !std::filesystem::is_regular_file(type)) {
            // The lines so far go first, so that the message follows its line.
            std::fwrite(buffer.data(), 1, buffer.size(), stdout);
            std::fflush(stdout);
            buffer.clear();
            std::fprintf(stderr, "replidex-cli analyse: %s: %s\n", arg.c_str(),
                         FileErrorText(NotRegularFileError()).c_str());
            status = 1;
        }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), stdout);
    std::fflush(stdout);
    return status;
}

}  // namespace replidex::cli
