// replidex-cli dups: the entries of a list that stand for one replay twice.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/EntryJson.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "core/list/Duplicates.h"
#include "core/list/EntryLocations.h"

namespace replidex::cli {

int RunDups(const Args& args)
{
    CLI::App app{"Prints one JSON line per group of entries of FILE.rdx that stand for one replay:\n"
                 "  {\"kind\":\"path\"|\"content\"|\"match\",\"entries\":[{\"folder\":\"A/B\",\"path\":...},...]}\n"
                 "path: equal paths (always); content: files of equal bytes (--content; files of a\n"
                 "size no other listed file has are not read); match: net matches with equal facts\n"
                 "(--same-match). Entries in pool slot order, groups by their first entry. Then\n"
                 "{\"groups\":..,\"entries\":..,\"hashed\":..,\"bytesRead\":N}.",
                 "replidex-cli dups"};
    std::string listPath;
    DuplicateOptions options;
    app.add_option("FILE.rdx", listPath, "the list file")->required();
    app.add_flag("--content", options.content, "also files of equal content");
    app.add_flag("--same-match", options.match, "also net matches with equal facts");
    if (const auto status = ParseOptions(app, args)) return *status;
    auto doc = std::make_unique<ReplayDocument>();
    if (!OpenListForCommand("dups", listPath, *doc)) return 1;
    const ContentIndex index = options.content ? LoadUserIndex() : ContentIndex{};

    DuplicateStats stats;
    const std::vector<DuplicateGroup> groups = FindDuplicates(*doc, options, &index, &stats);
    const auto folders = FoldersOfEntries(*doc);
    int entries = 0;
    for (const DuplicateGroup& g : groups) {
        Json line;
        line["kind"] = g.kind == DuplicateKind::Path ? "path" : g.kind == DuplicateKind::Content ? "content" : "match";
        line["entries"] = Json::array();
        for (const ReplayEntry* e : g.entries) line["entries"].push_back(EntryJson(*doc, folders.at(e->poolIndex), *e));
        entries += static_cast<int>(g.entries.size());
        PrintJsonLine(line);
    }
    Json summary;
    summary["groups"] = groups.size();
    summary["entries"] = entries;
    summary["hashed"] = stats.filesHashed;
    summary["bytesRead"] = stats.bytesRead;
    PrintJsonLine(summary);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
