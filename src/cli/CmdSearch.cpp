// replidex-cli search: the search window's search over a whole list file.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "core/list/ListFile.h"
#include "core/list/ReplayDocument.h"
#include "core/replay/ReplayFileReader.h"
#include "core/search/SearchRun.h"
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
    "TEXT is UTF-8. Prints one JSON object per hit, in pool slot order:\n"
    "  {\"folderPath\":hex,\"fileName\":hex,\"info\":..,\"text1\":..,\"text2\":..}\n"
    "then {\"hits\":N,\"tabs\":[page captions for 100 hits a page]}.\n"
    "A refused search prints the reason and exits with 1.\n";

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
    std::string file;
    bool haveFile = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (haveFile) return Usage("more than one list file given");
            file = arg;
            haveFile = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // "--opt=value" is the same as "--opt value".
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) return false;
            value = args[++i];
            hasValue = true;
            return true;
        };
        const auto flag = [&](bool& target, bool state) -> bool {
            if (hasValue) return false;
            target = state;
            return true;
        };

        bool ok = true;
        if (arg == "--name" || arg == "--memo") {
            if (!takeValue()) return Usage(arg + " needs a text");
            std::string sjis;
            if (!Utf8ToCp932(value, sjis)) return Usage(arg + ": the text has no Shift-JIS form");
            if (arg == "--name") {
                c.useHandleName = true;
                c.handleName = std::move(sjis);
            } else {
                c.useMemo = true;
                c.memo = std::move(sjis);
            }
        } else if (arg == "--rank") {
            ok = takeValue() && ParseIndex(value, 0, kSearchRankCount - 1, c.rankIndex);
            c.useRank = true;
        } else if (arg == "--rank-if") {
            ok = takeValue();
            if (value == "eq") c.rankCompare = kRankEqual;
            else if (value == "ge") c.rankCompare = kRankAtLeast;
            else if (value == "le") c.rankCompare = kRankAtMost;
            else ok = false;
        } else if (arg == "--ratio") {
            ok = takeValue() && ParseIndex(value, 0, kSearchRatioStepCount - 1, c.ratioStep);
            c.useRatio = true;
        } else if (arg == "--ratio-if") {
            ok = takeValue();
            if (value == "ge") c.ratioCompare = kRatioAtLeast;
            else if (value == "le") c.ratioCompare = kRatioAtMost;
            else ok = false;
        } else if (arg == "--chara") {
            ok = takeValue() && ParseIndex(value, 0, kSearchCharacterCount - 1, c.characterIndex);
            c.useCharacter = true;
        } else if (arg == "--side") {
            ok = takeValue();
            if (value == "1") c.player1 = true, c.player2 = false;
            else if (value == "2") c.player1 = false, c.player2 = true;
            else if (value == "both") c.player1 = c.player2 = true;
            else ok = false;
        } else if (arg == "--net") {
            ok = flag(c.net, true);
        } else if (arg == "--no-net") {
            ok = flag(c.net, false);
        } else if (arg == "--offline") {
            ok = flag(c.offline, true);
        } else if (arg == "--no-offline") {
            ok = flag(c.offline, false);
        } else if (arg == "--ignore-case") {
            ok = flag(c.caseSensitive, false);
        } else if (arg == "--ignore-width") {
            ok = flag(c.widthSensitive, false);
        } else if (arg == "--include-missing") {
            ok = flag(includeMissing, true);
        } else {
            return Usage("unknown option " + arg);
        }
        if (!ok) return Usage("bad or missing value for " + arg);
    }
    if (!haveFile) return Usage("no list file given");

    std::string sjisPath;
    if (!SjisFromNativePath(file, sjisPath)) {
        std::fprintf(stderr, "replidex-cli search: cannot open %s\n", file.c_str());
        return 1;
    }
    ReplayDocument doc;
    switch (OpenListFile(sjisPath, doc)) {
    case ListOpenResult::Opened:
        break;
    case ListOpenResult::PoolFull:
        // The window keeps what was read; so does the search.
        std::fprintf(stderr, "replidex-cli search: %s holds more entries than fit; "
                             "searching those read\n", file.c_str());
        break;
    case ListOpenResult::CannotOpen:
        std::fprintf(stderr, "replidex-cli search: cannot open %s\n", file.c_str());
        return 1;
    case ListOpenResult::OtherVersion:
        std::fprintf(stderr, "replidex-cli search: %s\n",
                     Cp932ToUtf8Lossy(OtherVersionMessage()).c_str());
        return 1;
    }

    MarkScope(doc.pool, doc.root, !includeMissing);

    if (const std::string refusal = SearchRefusalText(c); !refusal.empty()) {
        WriteOut(Cp932ToUtf8Lossy(refusal) + "\n");
        std::fflush(stdout);
        return 1;
    }

    std::vector<std::int32_t> hits;
    hits.reserve(static_cast<std::size_t>(doc.pool.size()));
    const SearchRunResult run = RunHitSearch(doc.pool, c, &hits);

    std::string out;
    for (const std::int32_t slot : hits) {
        const ReplayEntry* e = doc.pool.lookup(slot);
        if (!e) continue;
        const ReplayInfo* info = e->infoPtr();
        out += "{\"folderPath\":";
        out += JsonHex(e->folderPath);
        out += ",\"fileName\":";
        out += JsonHex(e->fileName);
        out += ",\"info\":";
        out += JsonSjisText(InfoSummary(info));
        out += ",\"text1\":";
        out += JsonSjisText(PlayerSummary(info, 1));
        out += ",\"text2\":";
        out += JsonSjisText(PlayerSummary(info, 2));
        out += "}\n";
        if (out.size() >= (1u << 16)) {
            WriteOut(out);
            out.clear();
        }
    }
    out += "{\"hits\":" + std::to_string(run.hitCount) + ",\"tabs\":[";
    const std::vector<std::string> tabs = TabCaptions(run.hitCount, PageSize(kDefaultPageSizeItem));
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (i) out += ',';
        out += JsonSjisText(tabs[i]);
    }
    out += "]}\n";
    WriteOut(out);
    std::fflush(stdout);
    return 0;
}

}  // namespace replidex::cli
