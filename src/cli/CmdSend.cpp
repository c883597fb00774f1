// replidex-cli send: copies replay files into the game folder, under their
// own slot names (normal transfer) or into the next free slots (--renamed).
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/GameFolderListing.h"
#include "cli/JournaledRun.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "core/file/NativeFiles.h"
#include "core/journal/Journal.h"
#include "core/replay/GameFolderOperations.h"
#include "core/replay/ReplayFileReader.h"
#include "platform/JournalLocation.h"

namespace replidex::cli {

namespace {

constexpr const char* kNoFreeSlot =
    "00～99までの全てのインデックスが使用されています。\n追加転送は実行できません。\n";

// Why a file takes no part in the transfer, or nothing: it must be a regular
// file that analyses successfully, and for the normal transfer carry a game
// replay file name.
std::optional<FileProblem> WhyNotSent(const std::string& path, bool renamed)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(FsPath(path), error);
    if (!fs::exists(status)) return FileProblem::NotFound;
    if (!fs::is_regular_file(status)) return FileProblem::NotRegularFile;
    if (!renamed && !IsGameReplayFileName(NativePathOf(FsPath(path).filename()))) return FileProblem::NotGameReplayName;
    ReplayInfo info;
    if (AnalyseReplayAtNativePath(path, info) != kAnalyseOk) return FileProblem::AnalysisFailed;
    return std::nullopt;
}

}  // namespace

int RunSend(const Args& args)
{
    CLI::App app{"Copies replay files into the game folder DIR: under their own slot names\n"
                 "(REPLAYnn.RPD, replacing what holds the slot), or with --renamed into the\n"
                 "next free slots from 00 on. A file takes part only when it analyses\n"
                 "successfully (and, without --renamed, has a REPLAYnn.RPD name).\n"
                 "Prints one JSON line per FILE: {\"file\",\"to\"}, {\"file\",\"skipped\"} or\n"
                 "{\"file\",\"failed\"}, then {\"copied\",\"skipped\",\"failed\"}. Exit 1 when a copy failed.\n"
                 "With --dry-run the same lines, each with \"planned\":true, and nothing is copied.",
                 "replidex-cli send"};
    std::string folder;
    std::vector<std::string> files;
    bool renamed = false;
    bool dryRun = false;
    app.add_option("DIR", folder, "the game's replay folder")->required();
    app.add_option("FILE", files, "replay files to copy")->required();
    app.add_flag("--renamed", renamed, "copy into the next free slots, never replacing a file");
    app.add_flag("--dry-run", dryRun, "print the plan and touch nothing");
    if (const auto status = ParseOptions(app, args)) return *status;

    const std::optional<std::vector<FolderItem>> listed = ListGameFolder("send", folder);
    if (!listed) return 1;
    const std::vector<FolderItem>& items = *listed;
    if (renamed && SlotTable(items).freeCount() == 0) {
        std::fputs(kNoFreeSlot, stderr);
        return 1;
    }

    // Each FILE in order: either why it takes no part, or its place among the sources.
    std::vector<FileReport> lines(files.size());
    std::vector<TransferSource> sources;
    std::vector<std::size_t> sourceLine;
    for (std::size_t i = 0; i < files.size(); ++i) {
        lines[i].source = files[i];
        if (const auto problem = WhyNotSent(files[i], renamed)) {
            lines[i].outcome = FileOutcome::Skipped;
            lines[i].problem = *problem;
            continue;
        }
        sources.push_back({files[i], NativePathOf(FsPath(files[i]).filename())});
        sourceLine.push_back(i);
    }
    const OperationPlan plan =
        renamed ? PlanAdditionalTransfer(folder, items, sources) : PlanNormalTransfer(folder, items, sources);
    const OperationReport report = RunOrPreview(plan, dryRun);
    for (std::size_t k = 0; k < report.files.size() && k < sourceLine.size(); ++k)
        lines[sourceLine[k]] = report.files[k];

    int copied = 0, skipped = 0, failed = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        nlohmann::ordered_json line;
        line["file"] = files[i];
        switch (lines[i].outcome) {
        case FileOutcome::Copied:
            line["to"] = lines[i].target;
            ++copied;
            break;
        case FileOutcome::Skipped:
            line["skipped"] = ProblemText(lines[i]);
            ++skipped;
            break;
        default:
            line["failed"] = ProblemText(lines[i]);
            ++failed;
            break;
        }
        MarkPlanned(line, dryRun);
        PrintJsonLine(line);
    }
    nlohmann::ordered_json summary;
    summary["copied"] = copied;
    summary["skipped"] = skipped;
    summary["failed"] = failed;
    MarkPlanned(summary, dryRun);
    PrintJsonLine(summary);
    std::fflush(stdout);
    return failed > 0 ? 1 : 0;
}

}  // namespace replidex::cli
