// replidex-cli clear: removes every *.RPD file of the game folder, into the
// trash or at once.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/GameFolderListing.h"
#include "cli/JournaledRun.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "core/journal/Journal.h"
#include "core/replay/GameFolderOperations.h"

namespace replidex::cli {

int RunClear(const Args& args)
{
    CLI::App app{"Removes every *.RPD file (any letter case; regular files only, never a\n"
                 "folder) of the game folder DIR: into the trash with --trash (at once when\n"
                 "there is no trash for them), at once with --delete. Prints one JSON line per\n"
                 "file {\"file\",\"removed\":\"trash\"|\"delete\"} or {\"file\",\"failed\"}, then\n"
                 "{\"removed\",\"failed\"}. Exit 1 when a file could not be removed. A file changed\n"
                 "since the folder was listed stays (\"skipped\"). With --dry-run the same lines,\n"
                 "each with \"planned\":true, and nothing is removed.",
                 "replidex-cli clear"};
    std::string folder;
    bool toTrash = false;
    bool toDelete = false;
    bool dryRun = false;
    app.add_option("DIR", folder, "the game's replay folder")->required();
    CLI::Option_group* way = app.add_option_group("how", "how the files go (one is required)");
    way->add_flag("--trash", toTrash, "move the files to the trash");
    way->add_flag("--delete", toDelete, "delete the files at once");
    way->require_option(1);
    app.add_flag("--dry-run", dryRun, "print the plan and touch nothing");
    if (const auto status = ParseOptions(app, args)) return *status;

    const std::optional<std::vector<FolderItem>> listed = ListGameFolder("clear", folder);
    if (!listed) return 1;
    const std::vector<FolderItem>& items = *listed;
    std::vector<RemoveRequest> requests;
    for (const std::string& name : RpdFileNames(items)) requests.push_back({name, toTrash});
    const OperationReport report = RunOrPreview(PlanRemoval(OperationKind::Clear, folder, requests), dryRun);

    int removed = 0, failed = 0;
    for (const FileReport& file : report.files) {
        nlohmann::ordered_json line;
        line["file"] = file.source;
        if (file.outcome == FileOutcome::Trashed || file.outcome == FileOutcome::Deleted) {
            line["removed"] = file.outcome == FileOutcome::Trashed ? "trash" : "delete";
            if (file.noTrash) line["note"] = "no trash: deleted at once";
            ++removed;
        } else if (file.outcome == FileOutcome::Skipped) {
            line["skipped"] = ProblemText(file);   // gone or replaced by a folder since the listing
        } else {
            line["failed"] = ProblemText(file);
            ++failed;
        }
        MarkPlanned(line, dryRun);
        PrintJsonLine(line);
    }
    nlohmann::ordered_json summary;
    summary["removed"] = removed;
    summary["failed"] = failed;
    MarkPlanned(summary, dryRun);
    PrintJsonLine(summary);
    std::fflush(stdout);
    return failed > 0 ? 1 : 0;
}

}  // namespace replidex::cli
