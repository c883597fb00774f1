// make-fuzz-seeds DIR: writes seed corpora for the fuzz targets, made by the
// project's own generators: DIR/replay (replay files of every match kind and
// score rule), DIR/listfile (random lists), DIR/settings (settings files),
// DIR/query (search query lines: every key, operator and form of the grammar),
// DIR/contentindex (content indexes of random records).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/list/ContentIndex.h"
#include "core/list/ListFile.h"
#include "core/search/SearchCriteria.h"
#include "core/search/query/QueryCriteria.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"

namespace {

using namespace replidex;
using namespace replidex::test;

void Write(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ReplaySeeds(const std::filesystem::path& dir)
{
    int n = 0;
    const auto add = [&](const ReplayDescription& d) {
        const BuiltReplay built = BuildReplay(d);
        if (!built.problem.empty()) return;
        // The player areas lie far into the file: keep only what the reader
        // reaches, so that mutations land where they matter.
        Write(dir / ("replay" + std::to_string(n++)), built.bytes.substr(0, built.layout.players[1].end + 64));
    };
    add(NetMatchDescription());
    add(OfflineDescription(true));
    add(OfflineDescription(false));
    const std::array<std::array<std::uint8_t, 8>, 6> scores{{
        {0x01, 0x30, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00},
        {0x01, 0x05, 0x30, 0x01, 0x00, 0x00, 0x00, 0x00},
        {0x01, 0x03, 0x38, 0x02, 0x11, 0x11, 0x00, 0x00},
        {0x01, 0x03, 0x04, 0xEA, 0x11, 0x11, 0x11, 0x11},
        {0x2E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
        {0x6E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    }};
    for (const auto& bytes : scores) {
        ReplayDescription d = NetMatchDescription();
        d.scoreBytes = bytes;
        add(d);
    }
    for (const RuleMarker marker : {RuleMarker::Other_80_64, RuleMarker::F_81_0A, RuleMarker::F_82_C8}) {
        ReplayDescription d = NetMatchDescription();
        d.marker = marker;
        d.letter = NetLetter::P;
        add(d);
    }
    ReplayDescription longNames = NetMatchDescription();
    longNames.p1.name = "\x82\xD5\x82\xE6\x82\xD5\x82\xE6\x83\x74\x83\x42\x81\x5B\x83\x6F\x81\x5B";
    longNames.p2.name = "ABCDEFGHIJKLMNOPQRST";
    longNames.p1.wins = 70000;
    longNames.p2.rank = 25;
    add(longNames);
}

void ListSeeds(const std::filesystem::path& dir)
{
    for (std::uint64_t seed = 1; seed <= 24; ++seed) {
        ListGenOptions options;
        options.extraTopLevel = seed % 5 == 0 ? 1 : 0;
        options.overLongTexts = seed % 7 == 0;
        ReplayDocument doc;
        GenerateList(seed, options, doc);
        Write(dir / ("list" + std::to_string(seed)), WriteListBytes(doc));
    }
}

void SettingsSeeds(const std::filesystem::path& dir)
{
    const char* texts[] = {
        "[Config]\r\nPuyoFPath=C:\\Documents and Settings\\user\\Application Data\\Sega\\PuyoF\r\n"
        "[Search]\r\nPage=2\r\nExist=1\r\n[Column]\r\nFile=120\r\nPath=200\r\nInfo=150\r\n"
        "[RecentRdxFile]\r\n0=C:\\lists\\a.rdx\r\n1=C:\\lists\\b.rdx\r\n"
        "[RecentFolder]\r\n0=C:\\replays\\\r\n",
        "; comment\n[config]\npuyofpath = \"  spaced  \"\n\n[Unknown]\nkey=value=more\nnovalue\n=orphan\n",
        "\xEF\xBB\xBF[Column]\nMemo=80\nFile=100\nMemo=90\n[Column]\nPath=10\n",
        "[\x83\x5C\x83\x74\x83\x67]\n\x95\x5C=\x83\x5C\r[Search]\rPage=-1",
        "no section line\n[Config]\nPuyoFPath='quoted'\n[Broken\nkey=1",
    };
    int n = 0;
    for (const char* text : texts) Write(dir / ("settings" + std::to_string(n++)), text);
}

void QuerySeeds(const std::filesystem::path& dir)
{
    const char* lines[] = {
        "",
        "name:あみ rank>=しょだん",
        "名前=あみ 段位<=初段 勝率>=６割 キャラ:アルル",
        "(net name:あみ rank>=しょだん chara:アルル) OR (offline chara:アルル)",
        "side:2p wins>10 losses<3 ratio<0.6 ratio>=60%",
        "vs:(chara:ラフィ rank=１０きゅう) -memo:「大会 決勝」",
        "相手：（名前：ぷよ）｜メモ：\"a b\" または file:REPLAY",
        "date>=2024-05 date<2025 date:2024-05-03 state:ok -state:missing",
        "path:\\\\server\\replays 状態：changed 日付＝2024",
        "-(-(a:b)) name:", "rank:しょだ", "((name:x)", "name:x)", "side:1p side:2p",
        "name:\"unclosed", "vs:(", "OR", "name:한",
    };
    int n = 0;
    for (const char* line : lines) Write(dir / ("query" + std::to_string(n++)), line);
    SearchCriteria c;
    c.useHandleName = c.useRatio = c.useCharacter = c.useMemo = true;
    c.handleName = "abc";
    c.memo = "\x95\x5C";
    Write(dir / ("query" + std::to_string(n++)), ToQuery(c));
}

void ContentIndexSeeds(const std::filesystem::path& dir)
{
    for (std::uint64_t seed = 0; seed < 8; ++seed) {
        std::mt19937_64 rng(seed);
        ContentIndex index;
        const int records = seed == 0 ? 0 : static_cast<int>(1 + rng() % (seed * 4));
        for (int i = 0; i < records; ++i) {
            ContentRecord r;
            r.path = "C:\\replays\\" + RandomSjisText(rng, 1, seed == 7 ? 300 : 24) + ".RPD";
            r.size = rng() % 70000;
            r.fileAge = static_cast<std::int32_t>(rng());
            r.hash = {rng(), rng()};
            index.put(r);
        }
        Write(dir / ("index" + std::to_string(seed)), index.toBytes());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    ReplaySeeds(dir / "replay");
    ListSeeds(dir / "listfile");
    SettingsSeeds(dir / "settings");
    QuerySeeds(dir / "query");
    ContentIndexSeeds(dir / "contentindex");
    return 0;
}
