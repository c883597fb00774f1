// replidex-cli search: the search window's search over a whole list file.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"
#include "core/list/ReplayDocument.h"
#include "core/replay/ReplayFileReader.h"
#include "cli/QueryJson.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SavedQueries.h"
#include "core/search/SearchRun.h"
#include "core/search/query/Query.h"
#include "platform/SettingsLocation.h"
#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

constexpr const char* kHelp =
    "usage: replidex-cli search FILE.rdx [CRITERIA...]\n"
    "\n"
    "Searches every folder of the list from its root, as the search window does.\n"
    "Criteria (each criterion is off unless its option is given):\n"
    "  --name TEXT             handle name contains TEXT (net matches)\n"
    "  --rank N                rank index 0-19 (0 = 10 kyu, 10 = shodan, 19 = 10 dan)\n"
    "  --rank-if eq|ge|le      rank comparison (default ge)\n"
    "  --ratio STEP            win ratio step 0-8, standing for 10%..90%\n"
    "  --ratio-if ge|le        ratio comparison (default ge)\n"
    "  --chara N               character index 0-15\n"
    "  --memo TEXT             memo contains TEXT\n"
    "Options:\n"
    "  --side 1|2|both         players tested (default both)\n"
    "  --net, --no-net         take net matches (default on)\n"
    "  --offline, --no-offline take offline matches (default on)\n"
    "  --ignore-case           letters A-Z match a-z\n"
    "  --ignore-width          full-width letters and digits match one-byte ones\n"
    "  --include-missing       also search entries whose file is missing or changed\n"
    "Queries (instead of the criteria and --side/--net/--offline options):\n"
    "  --query 'LINE'          a query line, e.g. 'name:あみ rank>=しょだん'\n"
    "  --saved NAME            the saved search NAME of the settings file\n"
    "  --settings FILE         the settings file (default: replidex.ini as the program finds it)\n"
    "  --explain               print the query's tree as JSON instead of searching\n"
    "A query that does not parse prints its position and message and exits with 2.\n"
    "TEXT is UTF-8. Prints one JSON object per hit, in pool slot order:\n"
    "  {\"folderPath\":hex,\"fileName\":hex,\"info\":..,\"text1\":..,\"text2\":..}\n"
    "then {\"hits\":N,\"tabs\":[page captions for 100 hits a page]}.\n"
    "A refused search prints the reason and exits with 1.\n";

std::string BadValue(const std::string& option)
{
    return "bad or missing value for " + option;
}

int Usage(const std::string& why)
{
    std::fprintf(stderr, "replidex-cli search: %s\n", why.c_str());
    std::fputs(kHelp, stderr);
    return 2;
}

// A decimal number in [lo, hi]; false for anything else.
bool ParseIndex(std::string_view text, int lo, int hi, int& out)
{
    if (text.empty() || text.size() > 4) return false;
    int value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + (ch - '0');
    }
    if (value < lo || value > hi) return false;
    out = value;
    return true;
}

// The settings file the window program next to this one uses.
std::string DefaultSettingsPath()
{
#ifndef _WIN32
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return SettingsFilePath(exe.parent_path().string());
#endif
    return SettingsFilePath(".");
}

void WriteOut(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int RunSearch(const Args& args)
{
    SearchCriteria c;
    // Every criterion starts off here; the options turn them on.
    c.useRank = false;
    bool includeMissing = false;
    std::optional<std::string> file;
    std::optional<std::string> queryLine;
    std::optional<std::string> savedName;
    std::optional<std::string> settingsFile;
    bool explain = false;
    bool criteriaGiven = false;  // a criterion or --side/--net/--offline option
    bool ignoreCase = false;
    bool ignoreWidth = false;

    CommandLine line;
    const auto text = [&](const std::string& name, bool& use, std::string& sjis) {
        line.option(
            name,
            [&use, &sjis, name, &criteriaGiven](const std::string& value) {
                criteriaGiven = true;
                if (!Utf8ToCp932(value, sjis))
                    throw UsageError{name + ": the text has no Shift-JIS form"};
                use = true;
            },
            name + " needs a text");
    };
    const auto index = [&](const std::string& name, int count, bool& use, int& target) {
        line.option(
            name,
            [&use, &target, name, count, &criteriaGiven](const std::string& value) {
                criteriaGiven = true;
                use = true;
                if (!ParseIndex(value, 0, count - 1, target)) throw UsageError{BadValue(name)};
            },
            BadValue(name));
    };
    const auto choice = [&](const std::string& name,
                            std::vector<std::pair<std::string, std::function<void()>>> choices) {
        line.option(
            name,
            [choices = std::move(choices), name, &criteriaGiven](const std::string& value) {
                criteriaGiven = true;
                for (const auto& [word, take] : choices)
                    if (value == word) return take();
                throw UsageError{BadValue(name)};
            },
            BadValue(name));
    };
    const auto flag = [&](const std::string& name, bool& target, bool state) {
        line.flag(name, [&target, state, &criteriaGiven] { target = state, criteriaGiven = true; },
                  BadValue(name));
    };
    const auto setting = [&](const std::string& name, bool& target) {
        line.flag(name, [&target] { target = true; }, BadValue(name));
    };
    const auto word = [&](const std::string& name, std::optional<std::string>& target) {
        line.option(name, [&target](const std::string& value) { target = value; },
                    name + " needs a value");
    };

    text("--name", c.useHandleName, c.handleName);
    index("--rank", kSearchRankCount, c.useRank, c.rankIndex);
    choice("--rank-if", {{"eq", [&] { c.rankCompare = kRankEqual; }},
                         {"ge", [&] { c.rankCompare = kRankAtLeast; }},
                         {"le", [&] { c.rankCompare = kRankAtMost; }}});
    index("--ratio", kSearchRatioStepCount, c.useRatio, c.ratioStep);
    choice("--ratio-if", {{"ge", [&] { c.ratioCompare = kRatioAtLeast; }},
                          {"le", [&] { c.ratioCompare = kRatioAtMost; }}});
    index("--chara", kSearchCharacterCount, c.useCharacter, c.characterIndex);
    text("--memo", c.useMemo, c.memo);
    choice("--side", {{"1", [&] { c.player1 = true, c.player2 = false; }},
                      {"2", [&] { c.player1 = false, c.player2 = true; }},
                      {"both", [&] { c.player1 = c.player2 = true; }}});
    flag("--net", c.net, true);
    flag("--no-net", c.net, false);
    flag("--offline", c.offline, true);
    flag("--no-offline", c.offline, false);
    setting("--ignore-case", ignoreCase);
    setting("--ignore-width", ignoreWidth);
    setting("--include-missing", includeMissing);
    setting("--explain", explain);
    word("--query", queryLine);
    word("--saved", savedName);
    word("--settings", settingsFile);
    line.others([&](const std::string& arg, bool afterDashDash) {
        if (!afterDashDash && (arg == "--help" || arg == "-h")) throw HelpAsked{};
        if (!afterDashDash && arg.starts_with("--"))
            throw UsageError{"unknown option " + arg.substr(0, arg.find('='))};   // without "=value"
        if (file) throw UsageError{"more than one list file given"};
        file = arg;
    });

    try {
        line.parse(args);
    } catch (const HelpAsked&) {
        std::fputs(kHelp, stdout);
        return 0;
    } catch (const UsageError& e) {
        return Usage(e.problem);
    }
    if (queryLine && savedName) return Usage("--query and --saved exclude each other");
    const bool byQuery = queryLine || savedName;
    if (byQuery && criteriaGiven)
        return Usage("criteria options cannot be combined with --query or --saved");
    if (explain && !byQuery) return Usage("--explain needs --query or --saved");
    if (settingsFile && !savedName) return Usage("--settings goes with --saved");
    c.caseSensitive = !ignoreCase;
    c.widthSensitive = !ignoreWidth;
    QueryTextOptions textOptions{!ignoreCase, !ignoreWidth};
    if (savedName) {
        const std::string path = settingsFile ? *settingsFile : DefaultSettingsPath();
        ProfileFile profile(path);
        SavedQueries saved;
        saved.load(profile);
        std::string sjisName;
        const SavedQuery* found =
            Utf8ToCp932(*savedName, sjisName) ? saved.find(sjisName) : nullptr;
        if (!found) {
            std::fprintf(stderr, "replidex-cli search: no saved search %s in %s\n",
                         savedName->c_str(), path.c_str());
            return 2;
        }
        queryLine = Cp932ToUtf8Lossy(found->query);
        textOptions.caseSensitive = !ignoreCase && (found->options & kSavedQueryCaseSensitive);
        textOptions.widthSensitive = !ignoreWidth && (found->options & kSavedQueryWidthSensitive);
    }
    std::optional<QueryParse> parsed;
    if (queryLine) {
        parsed = ParseQuery(*queryLine);
        if (!parsed->ok) {
            std::fprintf(stderr, "%s\n", QueryErrorText(parsed->error).c_str());
            return 2;
        }
        if (explain) {
            WriteOut(DumpCompact(QueryTreeJson(parsed->query)) + "\n");
            std::fflush(stdout);
            return 0;
        }
    }
    if (!file) return Usage("no list file given");

    std::string sjisPath;
    if (!SjisFromNativePath(*file, sjisPath)) {
        std::fprintf(stderr, "replidex-cli search: cannot open %s\n", file->c_str());
        return 1;
    }
    ReplayDocument doc;
    std::error_code why;
    switch (OpenListFile(sjisPath, doc, &why)) {
    case ListOpenResult::Opened:
        break;
    case ListOpenResult::PoolFull:
        // The window keeps what was read; so does the search.
        std::fprintf(stderr, "replidex-cli search: %s holds more entries than fit; "
                             "searching those read\n", file->c_str());
        break;
    case ListOpenResult::CannotOpen:
        std::fprintf(stderr, "replidex-cli search: cannot open %s: %s\n", file->c_str(),
                     FileErrorText(why).c_str());
        return 1;
    case ListOpenResult::OtherVersion:
        std::fprintf(stderr, "replidex-cli search: %s\n",
                     Cp932ToUtf8Lossy(OtherVersionMessage()).c_str());
        return 1;
    }

    MarkScope(doc.pool, doc.root, !includeMissing);

    if (const std::string refusal = SearchRefusalText(c); !parsed && !refusal.empty()) {
        WriteOut(Cp932ToUtf8Lossy(refusal) + "\n");
        std::fflush(stdout);
        return 1;
    }

    std::vector<std::int32_t> hits;
    hits.reserve(static_cast<std::size_t>(doc.pool.size()));
    SearchRunResult run;
    if (parsed) {
        const QueryMatcher matcher(std::move(parsed->query), textOptions);
        run = RunHitSearchWith(
            doc.pool, [&](const ReplayEntry& e) { return matcher.MatchEntry(e); }, &hits);
    } else {
        run = RunHitSearch(doc.pool, c, &hits);
    }

    std::string out;
    for (const std::int32_t slot : hits) {
        const ReplayEntry* e = doc.pool.lookup(slot);
        if (!e) continue;
        const ReplayInfo* info = e->infoPtr();
        out += DumpCompact({{"folderPath", HexJson(e->folderPath)},
                            {"fileName", HexJson(e->fileName)},
                            {"info", SjisTextJson(InfoSummary(info))},
                            {"text1", SjisTextJson(PlayerSummary(info, 1))},
                            {"text2", SjisTextJson(PlayerSummary(info, 2))}});
        out += '\n';
        if (out.size() >= (1u << 16)) {
            WriteOut(out);
            out.clear();
        }
    }
    Json tabs = Json::array();
    for (const std::string& caption : TabCaptions(run.hitCount, PageSize(kDefaultPageSizeItem)))
        tabs.push_back(SjisTextJson(caption));
    out += DumpCompact({{"hits", run.hitCount}, {"tabs", std::move(tabs)}});
    out += '\n';
    WriteOut(out);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
