// replidex-cli undo: undoes the last complete operation on a game folder.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "core/journal/Journal.h"
#include "platform/JournalLocation.h"

namespace replidex::cli {

int RunUndo(const Args& args)
{
    CLI::App app{"Undoes the last complete operation on the game folder DIR, in reverse order,\n"
                 "never removing or replacing a file written since. Prints one JSON line per step\n"
                 "{\"step\",\"name\",\"undone\":true} or {\"step\",\"name\",\"undone\":false,\"reason\":\n"
                 "\"changed-since\"|\"slot-taken\"|\"permanent\"|\"not-in-trash\"}, then\n"
                 "{\"undone\",\"notUndone\"}. Exit 1 when a step was not undone or there is nothing\n"
                 "to undo.",
                 "replidex-cli undo"};
    std::string folder;
    app.add_option("GAMEDIR", folder, "the game's replay folder")->required();
    if (const auto status = ParseOptions(app, args)) return *status;

    JournalStore store(JournalFolder());
    const std::optional<JournalEntry> entry = store.lastUndoable(folder);
    if (!entry) {
        std::fprintf(stderr, "replidex-cli undo: %s: nothing to undo\n", folder.c_str());
        return 1;
    }
    int undone = 0, notUndone = 0;
    for (const UndoStepResult& step : UndoEntry(store, *entry, PlatformJournalTrash())) {
        nlohmann::ordered_json line;
        line["step"] = StepKindName(step.kind);
        line["name"] = step.name;
        line["undone"] = step.undone;
        if (!step.undone) line["reason"] = UndoReasonName(step.reason);
        PrintJsonLine(line);
        ++(step.undone ? undone : notUndone);
    }
    nlohmann::ordered_json summary;
    summary["undone"] = undone;
    summary["notUndone"] = notUndone;
    PrintJsonLine(summary);
    std::fflush(stdout);
    return notUndone > 0 ? 1 : 0;
}

}  // namespace replidex::cli
