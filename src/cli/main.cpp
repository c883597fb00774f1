// replidex-cli: scripting and batch work over the replay list core.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "platform/ProcessStart.h"

namespace {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const replidex::cli::Args&);
};

const Command kCommands[] = {
    {"analyse", "analyse replay files and print what each says, as JSON lines",
     replidex::cli::RunAnalyse},
    {"search", "search a list file and print the hits, as JSON lines", replidex::cli::RunSearch},
    {"dump", "print a list file as one JSON document", replidex::cli::RunDump},
    {"build", "write a list file from the JSON document dump prints", replidex::cli::RunBuild},
    {"add", "add replay files and folders to a list file", replidex::cli::RunAdd},
    {"slots", "list the taken replay slots of the game folder, as JSON lines", replidex::cli::RunSlots},
    {"send", "copy replay files into the game folder", replidex::cli::RunSend},
    {"renumber", "renumber the game folder's replay files without gaps", replidex::cli::RunRenumber},
    {"clear", "remove the game folder's *.RPD files", replidex::cli::RunClear},
    {"archive", "copy the game folder's replays out into an archive folder", replidex::cli::RunArchive},
    {"stats", "a player's statistics over a list file, as JSON lines or CSV", replidex::cli::RunStats},
    {"journal", "list the recorded game folder operations, newest first", replidex::cli::RunJournal},
    {"undo", "undo the last operation on a game folder", replidex::cli::RunUndo},
    {"relink", "find the files of missing entries again, as JSON lines", replidex::cli::RunRelink},
    {"dups", "list entries that stand for one replay twice, as JSON lines", replidex::cli::RunDups},
    {"index", "record the content of every listed file in the content index", replidex::cli::RunIndex},
};

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "usage: replidex-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& c : kCommands) std::fprintf(out, "  %-9s %s\n", c.name, c.summary);
    std::fprintf(out, "\n'replidex-cli COMMAND --help' explains a command.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    replidex::UseBinaryStandardStreams();
    replidex::IgnoreFileSizeLimitSignal();
    const std::vector<std::string> args = replidex::Utf8Arguments(argc, argv);
    if (args.size() < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string_view name = args[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name == c.name) return c.run(replidex::cli::Args(args.begin() + 2, args.end()));
    }
    std::fprintf(stderr, "replidex-cli: unknown command '%s'\n", args[1].c_str());
    PrintUsage(stderr);
    return 2;
}
