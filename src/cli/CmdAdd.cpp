// replidex-cli add: the add pipeline of the window without a window, for
// batch imports into a list file.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ReplayFiles.h"
#include "core/file/NativeFiles.h"
#include "core/list/FolderOps.h"
#include "core/list/ListFile.h"
#include "core/list/ReplayImport.h"
#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHelp =
    "usage: replidex-cli add LIST.rdx [--into A/B/C] PATH...\n"
    "\n"
    "Adds replay files to the list file LIST.rdx as the window's add commands do.\n"
    "LIST.rdx is opened, or started as a new list with the folder \"Root\" when it\n"
    "does not exist. Each PATH is a replay file (.RPD or .DAT in any letter case)\n"
    "or a folder, which is taken in with everything below it, its sub-folders\n"
    "mirrored as sub-folders of the list. Every file found is analysed and merged\n"
    "into the root folder, or into the folder the --into path names below the root\n"
    "(folders separated by \"/\", created when missing): a file the folder already\n"
    "lists is left alone when unchanged on disk and re-read in place, memo kept,\n"
    "when it changed; sub-folders are matched by name. LIST.rdx is then replaced\n"
    "atomically (not written at all when nothing changed).\n"
    "Prints one summary line:\n"
    "  found N files: A added, R refreshed, U unchanged, S skipped, F failed analyses\n"
    "Files whose path has no Shift-JIS form, or beyond the 65536 a list holds, are\n"
    "skipped; folders that cannot be read are skipped; the reasons go to standard\n"
    "error. LIST.rdx must be a regular file (or a link to one) when it exists.\n"
    "Exit status: 0 done, 1 the list file could not be read or written,\n"
    "2 bad usage.\n";

struct Options {
    std::string listPath;
    std::string into;
    bool hasInto = false;
    std::vector<std::string> paths;
};

int Usage(const char* problem)
{
    std::fprintf(stderr, "replidex-cli add: %s\n\n", problem);
    std::fputs(kHelp, stderr);
    return 2;
}

// Answers -1 when the options are complete, otherwise the exit status.
int ParseOptions(const Args& args, Options& options)
{
    std::vector<std::string> positional;
    CommandLine line;
    line.option(
        "--into",
        [&options](const std::string& value) {
            options.into = value;
            options.hasInto = true;
        },
        "--into needs a folder path");
    line.others([&positional](const std::string& arg, bool afterDashDash) {
        if (!afterDashDash && (arg == "--help" || arg == "-h")) throw HelpAsked{};
        if (!afterDashDash && arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option '" + arg + "'"};
        positional.push_back(arg);
    });
    try {
        line.parse(args);
    } catch (const HelpAsked&) {
        std::fputs(kHelp, stdout);
        return 0;
    } catch (const UsageError& e) {
        return Usage(e.problem.c_str());
    }
    if (positional.empty()) return Usage("no list file given");
    if (positional.size() < 2) return Usage("no file or folder to add");
    options.listPath = positional.front();
    options.paths.assign(positional.begin() + 1, positional.end());
    return -1;
}

// The folder names of the --into path in Shift-JIS; empty names (doubled or
// trailing "/") are ignored. False when a name has no Shift-JIS form.
bool IntoNames(const std::string& into, std::vector<std::string>& names)
{
    std::size_t start = 0;
    while (start <= into.size()) {
        std::size_t end = into.find('/', start);
        if (end == std::string::npos) end = into.size();
        if (end > start) {
            std::string name;
            if (!Utf8ToCp932(into.substr(start, end - start), name)) return false;
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return true;
}

void PrintSjisLines(const std::string& sjis)
{
    const std::string text = Cp932ToUtf8Lossy(sjis);
    std::fprintf(stderr, "replidex-cli add: %s\n", text.c_str());
}

}  // namespace

int RunAdd(const Args& args)
{
    Options options;
    if (const int status = ParseOptions(args, options); status >= 0) return status;

    std::vector<std::string> intoNames;
    if (options.hasInto && !IntoNames(options.into, intoNames))
        return Usage("the --into path has no Shift-JIS form");

    // The list: opened, or a new one with its root folder "Root".
    auto doc = std::make_unique<ReplayDocument>();
    bool changed = false;
    std::error_code ec;
    const bool listExists = fs::exists(fs::symlink_status(FsPath(options.listPath), ec));
    if (listExists) {
        std::error_code readError;
        const ListOpenResult opened = OpenListFileNative(options.listPath, *doc, &readError);
        if (opened != ListOpenResult::Opened) {
            const std::string why = opened == ListOpenResult::OtherVersion ? "not a list file of version 1000"
                                    : opened == ListOpenResult::PoolFull
                                        ? "it holds more entries than a list can (65536)"
                                        : "cannot be read: " + FileErrorText(readError);
            std::fprintf(stderr, "replidex-cli add: %s: %s\n", options.listPath.c_str(), why.c_str());
            return 1;
        }
    }
    if (!doc->root) {
        doc->root = doc->addTopLevel("Root");
        changed = true;
    }

    ReplayFolder* target = doc->root;
    for (const std::string& name : intoNames) {
        ReplayFolder* child = FindChildFolder(target, name);
        if (!child) {
            child = target->addChild(name);
            changed = true;
        }
        target = child;
    }

    // Collect, analyse and merge, as the window does.
    auto importPool = std::make_unique<EntryPool>();
    ImportTree tree(*importPool);
    for (const std::string& arg : options.paths) {
        const std::string path = AbsolutePath(arg);
        if (IsExistingFolder(path)) {
            AddReplayFolder(tree, tree.root(), path);
            continue;
        }
        const fs::file_status status = fs::status(FsPath(path), ec);
        if (!fs::exists(status)) {
            std::fprintf(stderr, "replidex-cli add: no such file or folder: %s\n", arg.c_str());
        } else if (!IsReplayFileName(NativePathOf(FsPath(path).filename()))) {
            std::fprintf(stderr, "replidex-cli add: not a replay file (.RPD/.DAT): %s\n", arg.c_str());
        } else {
            AddReplayFile(tree, tree.root(), path);   // a file named twice is taken once
        }
    }
    const int pending = CountPending(tree.pool(), tree.root());
    const AnalyseOutcome analysis = AnalysePending(tree, pending);
    MergeStats stats;
    if (MergeImports(&tree, tree.root(), doc.get(), target, &stats) == kMergePoolFull)
        PrintSjisLines(PoolFullMessage());
    const std::string skipped = SkipMessage(tree.skips());
    if (!skipped.empty()) PrintSjisLines(skipped);
    DeleteImportTree(tree);

    std::error_code writeError;
    if ((changed || stats.modified || !listExists) &&
        !SaveListFileNative(options.listPath, *doc, &writeError)) {
        std::fprintf(stderr, "replidex-cli add: %s: cannot be written: %s\n", options.listPath.c_str(),
                     FileErrorText(writeError).c_str());
        return 1;
    }

    const int found = tree.collectedFiles() + tree.skips().skippedFiles();
    const int merged = stats.added + stats.refreshed + stats.unchanged;
    std::printf("found %d files: %d added, %d refreshed, %d unchanged, %d skipped, %d failed analyses\n",
                found, stats.added, stats.refreshed, stats.unchanged, found - merged,
                analysis.failed);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
