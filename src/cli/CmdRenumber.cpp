// replidex-cli renumber: renumbers the REPLAYnn.RPD files of the game folder
// from 00 on without gaps, keeping their order.
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

int RunRenumber(const Args& args)
{
    CLI::App app{"Renumbers the REPLAYnn.RPD files of the game folder DIR from 00 on without\n"
                 "gaps, keeping their order; a rename never replaces a file. Prints one JSON\n"
                 "line per rename {\"from\",\"to\"} (with \"failed\" when it failed), then\n"
                 "{\"renamed\",\"failed\"}. Exit 1 when a rename failed. A file changed since the\n"
                 "folder was listed, or whose new name was taken since, stays (\"skipped\"). With --dry-run the same lines, each with\n"
                 "\"planned\":true, and nothing is renamed.",
                 "replidex-cli renumber"};
    std::string folder;
    bool dryRun = false;
    app.add_option("DIR", folder, "the game's replay folder")->required();
    app.add_flag("--dry-run", dryRun, "print the plan and touch nothing");
    if (const auto status = ParseOptions(app, args)) return *status;

    const std::optional<std::vector<FolderItem>> listed = ListGameFolder("renumber", folder);
    if (!listed) return 1;
    const std::vector<FolderItem>& items = *listed;
    const OperationReport report = RunOrPreview(PlanAscendingRename(folder, items), dryRun);
    for (const FileReport& file : report.files) {
        nlohmann::ordered_json line;
        line["from"] = file.source;
        line["to"] = file.target;
        if (file.outcome == FileOutcome::Failed) line["failed"] = ProblemText(file);
        if (file.outcome == FileOutcome::Skipped) line["skipped"] = ProblemText(file);
        MarkPlanned(line, dryRun);
        PrintJsonLine(line);
    }
    nlohmann::ordered_json summary;
    summary["renamed"] = report.count(FileOutcome::Renamed);
    summary["failed"] = report.failedCount();
    MarkPlanned(summary, dryRun);
    PrintJsonLine(summary);
    std::fflush(stdout);
    return report.failedCount() > 0 ? 1 : 0;
}

}  // namespace replidex::cli
