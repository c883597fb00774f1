// replidex-cli journal: the recorded operations on game folders, newest first.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "core/journal/Journal.h"
#include "platform/JournalLocation.h"

namespace replidex::cli {

namespace {

nlohmann::ordered_json OrNull(const std::string& text)
{
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

nlohmann::ordered_json StepJson(const JournalEntry& entry, std::size_t i)
{
    const PlannedStep& step = entry.plan.steps[i];
    const StepRecord& record = entry.records[i];
    nlohmann::ordered_json line;
    line["step"] = StepKindName(step.kind);
    line["name"] = record.name;
    switch (step.kind) {
    case StepKind::CopyNew:
        line["from"] = step.source;
        line["to"] = nullptr;
        break;
    case StepKind::Overwrite:
        line["from"] = step.source;
        line["to"] = record.stashed ? OrNull(JoinPath(JoinPath(entry.folderPath, "stash"), std::to_string(i))) : nullptr;
        break;
    case StepKind::Rename:
        line["from"] = step.source;
        line["to"] = record.name;
        break;
    case StepKind::Trash:
        line["from"] = nullptr;
        line["to"] = OrNull(record.trashPlace.file);
        break;
    case StepKind::Delete:
        line["from"] = nullptr;
        line["to"] = nullptr;
        break;
    }
    return line;
}

}  // namespace

int RunJournal(const Args& args)
{
    CLI::App app{"Prints one JSON line per recorded operation on a game folder, newest first:\n"
                 "  {\"id\",\"op\",\"folder\",\"time\",\"complete\",\"steps\":[{\"step\",\"name\",\"from\",\"to\"}]}\n"
                 "The journal is shared with the window program.",
                 "replidex-cli journal"};
    int last = -1;
    app.add_option("--last", last, "only the newest N operations")->check(CLI::NonNegativeNumber);
    if (const auto status = ParseOptions(app, args)) return *status;

    const JournalStore store(JournalFolder());
    int printed = 0;
    for (const JournalEntry& entry : store.entries()) {
        if (last >= 0 && printed >= last) break;
        nlohmann::ordered_json line;
        line["id"] = entry.id;
        line["op"] = OperationKindName(entry.plan.kind);
        line["folder"] = entry.plan.folder;
        line["time"] = entry.time;
        line["complete"] = entry.complete;
        line["steps"] = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < entry.plan.steps.size(); ++i) line["steps"].push_back(StepJson(entry, i));
        PrintJsonLine(line);
        ++printed;
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
