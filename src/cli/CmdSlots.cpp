// replidex-cli slots: which replay slots of a game folder are taken, by
// which file, and what each of those files says.
#include <cstdio>
#include <string>

#include "cli/AnalysisJson.h"
#include "cli/Commands.h"
#include "cli/GameFolderListing.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "core/replay/ReplaySlots.h"

namespace replidex::cli {

int RunSlots(const Args& args)
{
    CLI::App app{"Prints one JSON line per taken replay slot of the game folder DIR, in slot order:\n"
                 "  {\"slot\":n,\"fileName\":name on disk, ...the fields of analyse for that file}\n"
                 "then {\"taken\":N,\"free\":M,\"otherRpd\":K} (K: *.RPD files that are not slot names).\n"
                 "A slot is taken by a file named REPLAYnn.RPD in any letter case.",
                 "replidex-cli slots"};
    std::string folder;
    app.add_option("DIR", folder, "the game's replay folder")->required();
    if (const auto status = ParseOptions(app, args)) return *status;

    const std::optional<std::vector<FolderItem>> listed = ListGameFolder("slots", folder);
    if (!listed) return 1;
    const std::vector<FolderItem>& items = *listed;
    const SlotTable slots(items);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string* name = slots.holder(slot);
        if (!name) continue;
        nlohmann::ordered_json line;
        line["slot"] = slot;
        line["fileName"] = *name;
        line.update(AnalysisJson(JoinPath(folder, *name)));
        PrintJsonLine(line);
    }
    nlohmann::ordered_json summary;
    summary["taken"] = slots.takenCount();
    summary["free"] = slots.freeCount();
    summary["otherRpd"] = CountOtherRpdFiles(items);
    PrintJsonLine(summary);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
