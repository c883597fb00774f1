// replidex-cli index: records the content of every listed file in bulk.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/EntryJson.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"

namespace replidex::cli {

int RunIndex(const Args& args)
{
    CLI::App app{"Records size, time and XXH3-128 hash of every file FILE.rdx lists that is unchanged\n"
                 "since it was listed and has no record yet, in the content index\n"
                 "($XDG_DATA_HOME/replidex/content-index), written atomically. Prints\n"
                 "{\"entries\":..,\"unrecorded\":..,\"recorded\":..,\"skipped\":..,\"bytesRead\":N}.",
                 "replidex-cli index"};
    std::string listPath;
    app.add_option("FILE.rdx", listPath, "the list file")->required();
    if (const auto status = ParseOptions(app, args)) return *status;
    auto doc = std::make_unique<ReplayDocument>();
    if (!OpenListForCommand("index", listPath, *doc)) return 1;
    std::string indexPath;
    ContentIndex index = LoadUserIndex(&indexPath);
    if (indexPath.empty()) {
        std::fprintf(stderr, "replidex-cli index: no folder for the content index (no home folder)\n");
        return 1;
    }
    int entries = 0;
    doc->pool.forEach([&](const ReplayEntry&) { ++entries; });
    const std::vector<IndexJob> jobs = UnrecordedEntries(*doc, index);
    const IndexRunStats stats = RecordJobs(jobs, index);
    if (stats.recorded > 0 && !index.save(indexPath)) {
        std::fprintf(stderr, "replidex-cli index: %s: cannot be written\n", indexPath.c_str());
        return 1;
    }
    Json summary;
    summary["entries"] = entries;
    summary["unrecorded"] = jobs.size();
    summary["recorded"] = stats.recorded;
    summary["skipped"] = stats.skipped;
    summary["bytesRead"] = stats.bytesRead;
    PrintJsonLine(summary);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
