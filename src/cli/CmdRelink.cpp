// replidex-cli relink: finds the files of the list's missing entries again
// under a folder and, with --write, points the ticked entries at them.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/EntryJson.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "cli/ReplayFiles.h"
#include "core/file/NativeFiles.h"
#include "core/list/EntryLocations.h"
#include "core/list/ListFile.h"
#include "core/list/ReplayImport.h"
#include "core/list/Relink.h"

namespace replidex::cli {

namespace {

// "1,2,3" or any part of it; false for anything else.
bool ParseTiers(const std::string& text, RelinkOptions& options)
{
    options = RelinkOptions{false, false, false};
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(start, end - start);
        if (part == "1") options.tier1 = true;
        else if (part == "2") options.tier2 = true;
        else if (part == "3") options.tier3 = true;
        else return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

int RunRelink(const Args& args)
{
    CLI::App app{"Looks for the files of the missing entries of FILE.rdx among the *.RPD/*.DAT files\n"
                 "below DIR and prints one JSON line per proposal and entry:\n"
                 "  {\"entry\":{\"folder\":\"A/B\",\"path\":...},\"found\":...,\"tier\":1|2|3,\"ticked\":true|false}\n"
                 "tier 1: the content recorded in the content index; tier 2: the same file time and\n"
                 "the same facts; tier 3: the same facts only (net matches; never ticked).\n"
                 "Then {\"missing\":..,\"files\":..,\"proposals\":..,\"ticked\":..,\"written\":..,\n"
                 "\"analysed\":..,\"hashed\":..,\"bytesRead\":N}. \"found\" is an absolute path, as\n"
                 "the list and the content index store it. Files are only read.",
                 "replidex-cli relink"};
    std::string listPath, folder, out, tiers = "1,2,3";
    app.add_option("FILE.rdx", listPath, "the list file")->required();
    app.add_option("DIR", folder, "the folder to look in")->required();
    app.add_option("--write", out, "write the list with the ticked proposals applied to OUT.rdx");
    app.add_option("--tiers", tiers, "the tiers to look for (default 1,2,3)");
    if (const auto status = ParseOptions(app, args)) return *status;
    RelinkOptions options;
    if (!ParseTiers(tiers, options)) {
        std::fprintf(stderr, "replidex-cli relink: --tiers takes 1, 2 and 3 separated by \",\"\n");
        return 2;
    }
    if (!IsExistingFolder(folder)) {
        std::fprintf(stderr, "replidex-cli relink: no such folder: %s\n", folder.c_str());
        return 1;
    }
    auto doc = std::make_unique<ReplayDocument>();
    if (!OpenListForCommand("relink", listPath, *doc)) return 1;
    std::string indexPath;
    ContentIndex index = LoadUserIndex(&indexPath);

    RelinkStats stats;
    // Absolute, whatever folder the command runs in: the found paths go into
    // the list and the content index as they are.
    const std::vector<FoundFile> files = FindReplayFiles(AbsolutePath(folder));
    const std::vector<RelinkProposal> proposals = FindRelinks(*doc, nullptr, files, index, options, &stats);
    const auto folders = FoldersOfEntries(*doc);
    int lines = 0, ticked = 0;
    for (const RelinkProposal& p : proposals)
        for (const ReplayEntry* entry : p.entries) {
            Json line;
            line["entry"] = EntryJson(*doc, folders.at(entry->poolIndex), *entry);
            line["found"] = p.found.nativePath;
            line["tier"] = p.tier;
            line["ticked"] = p.ticked;
            PrintJsonLine(line);
            ++lines;
            ticked += p.ticked;
        }

    int written = 0;
    if (!out.empty()) {
        written = ApplyRelinks(proposals, &index);
        std::error_code writeError;
        if (!SaveListFileNative(out, *doc, &writeError)) {
            std::fprintf(stderr, "replidex-cli relink: cannot write '%s': %s\n", out.c_str(),
                         FileErrorText(writeError).c_str());
            return 1;
        }
        if (written > 0 && !indexPath.empty()) index.save(indexPath);
    }
    Json summary;
    summary["missing"] = stats.missingEntries;
    summary["files"] = stats.filesSeen;
    summary["proposals"] = lines;
    summary["ticked"] = ticked;
    summary["written"] = written;
    summary["analysed"] = stats.analysed;
    summary["hashed"] = stats.hashed;
    summary["bytesRead"] = stats.bytesRead;
    PrintJsonLine(summary);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
