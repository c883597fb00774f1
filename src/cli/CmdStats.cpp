// replidex-cli stats: a player's statistics over a list file or one of its
// folders, as JSON lines or CSV.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/OptionParsing.h"
#include "core/list/FolderOps.h"
#include "core/list/ListFile.h"
#include "core/list/ReplayDocument.h"
#include "core/replay/ReplayFileReader.h"
#include "core/stats/CsvWriter.h"
#include "core/stats/PlayerStats.h"
#include "core/stats/StatsTableText.h"
#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

constexpr const char* kDescription =
    "Statistics of the player with the handle names NAME over the list (from its\n"
    "root) or the folder --folder names below the root, and every folder under it.\n"
    "Net matches count when one side's name is a NAME (byte for byte); a match with\n"
    "a NAME on both sides counts as excluded. Net entries with equal facts count as\n"
    "one match unless --each-file is given. Offline entries count only by character.\n"
    "JSON lines (texts UTF-8; times \"YYYY-MM-DDTHH:MM:SS\" of the file, or null):\n"
    "  --by opponent (default), by matches descending, then opponent bytes:\n"
    "    {\"opponent\",\"matches\",\"wins\",\"losses\",\"unknown\",\"gamesWon\",\"gamesLost\",\"last\",\"lastRank\"}\n"
    "  --by chara (the player's character) and --by opp-chara (the opponent's), by\n"
    "  matches + offline descending, then character number:\n"
    "    {\"chara\",\"matches\",\"wins\",\"losses\",\"unknown\",\"gamesWon\",\"gamesLost\",\"offline\"}\n"
    "    (offline: offline entries with the character on 1P for chara, on 2P for opp-chara)\n"
    "  --by month, oldest first, null (no file time) last:\n"
    "    {\"month\":\"YYYY-MM\"|null,\"matches\",\"wins\",\"losses\",\"unknown\",\"gamesWon\",\"gamesLost\"}\n"
    "  --by match, in pool slot order (score: the player's games first):\n"
    "    {\"time\",\"path\",\"side\":1|2,\"opponent\",\"score\":\"3-1\",\"result\":\"win\"|\"loss\"|\"unknown\"}\n"
    "  then {\"matches\",\"wins\",\"losses\",\"unknown\",\"excluded\"}.\n"
    "--csv prints the table as CSV instead (CRLF; --encoding utf-8 with a byte order\n"
    "mark, the default, or cp932 with the bytes as stored).\n"
    "Exit status: 0 printed, 1 the list or folder cannot be opened, 2 bad usage.";

void WriteOut(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// Prints the lines in blocks rather than one write a line.
class LineOut {
public:
    void add(const Json& line)
    {
        text_ += DumpCompact(line);
        text_ += '\n';
        if (text_.size() >= (1u << 16)) flush();
    }
    void flush()
    {
        WriteOut(text_);
        text_.clear();
    }

private:
    std::string text_;
};

Json TimeJson(std::int32_t fileAge)
{
    const std::string text = IsoTimeText(fileAge);
    return text.empty() ? Json(nullptr) : Json(text);
}

Json CountsJson(const StatsRow& row)
{
    return {{"matches", row.matches}, {"wins", row.wins},           {"losses", row.losses},
            {"unknown", row.unknown}, {"gamesWon", row.gamesWon}, {"gamesLost", row.gamesLost}};
}

Json RowJson(const StatsRow& row, StatsTable table)
{
    Json line;
    switch (table) {
    case StatsTable::Opponent:
        line["opponent"] = SjisTextJson(row.key);
        line.update(CountsJson(row));
        line["last"] = TimeJson(row.last);
        line["lastRank"] = SjisTextJson(RankName(RankIndexOf(row.lastRank)));
        break;
    case StatsTable::OwnCharacter:
    case StatsTable::OpponentCharacter:
        line["chara"] = SjisTextJson(StatsKeyText(row, table));
        line.update(CountsJson(row));
        line["offline"] = row.offline;
        break;
    case StatsTable::Month:
        line["month"] = row.key.empty() ? Json(nullptr) : Json(row.key);
        line.update(CountsJson(row));
        break;
    }
    return line;
}

Json MatchJson(const EntryPool& pool, const CountedMatch& match)
{
    const ReplayEntry& entry = *pool.lookup(match.slot);
    const PlayerRecord& mine = entry.info->player(match.side);
    const PlayerRecord& theirs = entry.info->player(match.side == 1 ? 2 : 1);
    return {{"time", TimeJson(entry.fileAge)},
            {"path", SjisTextJson(entry.fullPath())},
            {"side", match.side},
            {"opponent", SjisTextJson(theirs.nameText())},
            {"score", std::to_string(mine.score) + "-" + std::to_string(theirs.score)},
            {"result", OutcomeWord(match.outcome)}};
}

// The folder the slash-separated UTF-8 path names below `root`; nullptr when
// there is none or a name has no Shift-JIS form.
const ReplayFolder* FolderAt(const ReplayFolder* root, const std::string& path)
{
    const ReplayFolder* folder = root;
    std::size_t start = 0;
    while (folder && start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) {
            std::string name;
            if (!Utf8ToCp932(path.substr(start, end - start), name)) return nullptr;
            folder = FindChildFolder(folder, name);
        }
        start = end + 1;
    }
    return folder;
}

}  // namespace

int RunStats(const Args& args)
{
    CLI::App app{kDescription, "replidex-cli stats"};
    std::string file;
    std::vector<std::string> players;
    std::string folderPath;
    std::string by = "opponent";
    bool csv = false;
    std::string encoding = "utf-8";
    StatsOptions options;
    bool eachFile = false;
    app.add_option("FILE.rdx", file, "the list file")->required();
    app.add_option("--player", players, "the player's handle names (UTF-8), one or more")
        ->required()
        ->expected(1, 1 << 20);
    app.add_option("--folder", folderPath, "the folder A/B below the root (default: the root)");
    app.add_option("--by", by, "the table: opponent, chara, opp-chara, month or match")
        ->check(CLI::IsMember({"opponent", "chara", "opp-chara", "month", "match"}));
    auto* csvFlag = app.add_flag("--csv", csv, "print CSV instead of JSON lines");
    app.add_option("--encoding", encoding, "CSV encoding: utf-8 (default) or cp932")
        ->check(CLI::IsMember({"utf-8", "cp932"}))
        ->needs(csvFlag);
    app.add_flag("--exclude-missing", options.excludeMissing,
                 "leave out entries whose file is missing or changed");
    app.add_flag("--each-file", eachFile, "count every entry, even several of one match");
    if (const auto status = ParseOptions(app, args)) return *status;
    options.sameMatchOnce = !eachFile;

    std::vector<std::string> names;
    for (const std::string& player : players) {
        std::string name;
        if (player.empty() || !Utf8ToCp932(player, name)) {
            std::fprintf(stderr, "replidex-cli stats: --player '%s' has no Shift-JIS form\n",
                         player.c_str());
            return 2;
        }
        names.push_back(std::move(name));
    }

    auto doc = std::make_unique<ReplayDocument>();
    switch (OpenListFileNative(file, *doc)) {
    case ListOpenResult::Opened:
        break;
    case ListOpenResult::PoolFull:
        std::fprintf(stderr, "replidex-cli stats: %s holds more entries than fit; "
                             "counting those read\n", file.c_str());
        break;
    case ListOpenResult::CannotOpen:
        std::fprintf(stderr, "replidex-cli stats: cannot open %s\n", file.c_str());
        return 1;
    case ListOpenResult::OtherVersion:
        std::fprintf(stderr, "replidex-cli stats: %s\n",
                     Cp932ToUtf8Lossy(OtherVersionMessage()).c_str());
        return 1;
    }
    const ReplayFolder* scopeFolder = FolderAt(doc->root, folderPath);
    if (!scopeFolder) {
        std::fprintf(stderr, "replidex-cli stats: the list has no folder '%s'\n", folderPath.c_str());
        return 1;
    }

    const std::vector<std::int32_t> scope = FolderScopeSlots(doc->pool, scopeFolder);
    const PlayerStats stats =
        ComputePlayerStats(doc->pool, scope, StatsSubject(std::move(names)), options);

    const bool byMatch = by == "match";
    const StatsTable table = by == "chara"       ? StatsTable::OwnCharacter
                             : by == "opp-chara" ? StatsTable::OpponentCharacter
                             : by == "month"     ? StatsTable::Month
                                                 : StatsTable::Opponent;
    if (csv) {
        const TextRows rows = byMatch ? MatchListRows(doc->pool, stats) : StatsTableRows(stats, table);
        WriteOut(CsvText(rows, encoding == "cp932" ? CsvEncoding::ShiftJis : CsvEncoding::Utf8WithBom));
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    LineOut out;
    if (byMatch) {
        for (const CountedMatch& match : stats.matches) out.add(MatchJson(doc->pool, match));
    } else {
        for (const StatsRow& row : stats.table(table)) out.add(RowJson(row, table));
    }
    out.add({{"matches", stats.matches.size()},
             {"wins", stats.wins},
             {"losses", stats.losses},
             {"unknown", stats.unknown},
             {"excluded", stats.excluded}});
    out.flush();
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace replidex::cli
