#include "core/stats/StatsTableText.h"

#include <cstdio>

#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

std::string RatioText(int wins, int losses)
{
    if (wins + losses == 0) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100.0 * wins / (wins + losses));
    return text;
}

// "YYYY-MM-DD HH:MM:SS", the way a reader of a table expects a date.
std::string ShownTime(std::int32_t fileAge)
{
    std::string text = IsoTimeText(fileAge);
    if (!text.empty()) text[10] = ' ';
    return text;
}

int ColumnCount(StatsTable table)
{
    switch (table) {
    case StatsTable::Opponent: return kColumnLastRank + 1;
    case StatsTable::OwnCharacter:
    case StatsTable::OpponentCharacter: return kColumnOffline + 1;
    case StatsTable::Month: return kColumnGamesLost + 1;
    }
    return 0;
}

}  // namespace

std::string StatsTableTitle(StatsTable table)
{
    switch (table) {
    case StatsTable::Opponent: return Sjis("相手別");
    case StatsTable::OwnCharacter: return Sjis("自分のキャラ別");
    case StatsTable::OpponentCharacter: return Sjis("相手のキャラ別");
    case StatsTable::Month: return Sjis("月別");
    }
    return {};
}

std::vector<std::string> StatsColumnTitles(StatsTable table)
{
    static const char* const kKeys[] = {"相手", "自分のキャラ", "相手のキャラ", "月"};
    std::vector<std::string> titles{Sjis(kKeys[static_cast<int>(table)])};
    for (const char* title : {"対戦数", "勝ち", "負け", "不明", "勝率", "取得ゲーム", "失ゲーム"})
        titles.push_back(Sjis(title));
    if (table == StatsTable::Opponent) {
        titles.push_back(Sjis("最後の対戦"));
        titles.push_back(Sjis("相手の最新段位"));
    } else if (table == StatsTable::OwnCharacter) {
        titles.push_back(Sjis("オフライン(1P)"));
    } else if (table == StatsTable::OpponentCharacter) {
        titles.push_back(Sjis("オフライン(2P)"));
    }
    return titles;
}

std::string StatsKeyText(const StatsRow& row, StatsTable table)
{
    switch (table) {
    case StatsTable::Opponent: return row.key;
    case StatsTable::OwnCharacter:
    case StatsTable::OpponentCharacter:
        return CharacterName(row.key.empty() ? kCharacterNameCount - 1
                                             : static_cast<unsigned char>(row.key[0]));
    case StatsTable::Month: return row.key.empty() ? Sjis("不明") : row.key;
    }
    return {};
}

std::string StatsCellText(const StatsRow& row, StatsTable table, int column)
{
    if (column < 0 || column >= ColumnCount(table)) return {};
    switch (column) {
    case kColumnKey: return StatsKeyText(row, table);
    case kColumnMatches: return std::to_string(row.matches);
    case kColumnWins: return std::to_string(row.wins);
    case kColumnLosses: return std::to_string(row.losses);
    case kColumnUnknown: return std::to_string(row.unknown);
    case kColumnRatio: return RatioText(row.wins, row.losses);
    case kColumnGamesWon: return std::to_string(row.gamesWon);
    case kColumnGamesLost: return std::to_string(row.gamesLost);
    case kColumnLast:   // also kColumnOffline
        if (table != StatsTable::Opponent) return std::to_string(row.offline);
        return ShownTime(row.last);
    case kColumnLastRank: return RankName(RankIndexOf(row.lastRank));
    }
    return {};
}

TextRows StatsTableRows(const PlayerStats& stats, StatsTable table)
{
    TextRows rows{StatsColumnTitles(table)};
    const int columns = ColumnCount(table);
    for (const StatsRow& row : stats.table(table)) {
        auto& cells = rows.emplace_back();
        for (int c = 0; c < columns; ++c) cells.push_back(StatsCellText(row, table, c));
    }
    return rows;
}

const char* OutcomeWord(MatchOutcome outcome)
{
    switch (outcome) {
    case MatchOutcome::Win: return "win";
    case MatchOutcome::Loss: return "loss";
    case MatchOutcome::Unknown: break;
    }
    return "unknown";
}

std::string OutcomeText(MatchOutcome outcome)
{
    static const std::string win = Sjis("勝ち"), loss = Sjis("負け"), unknown = Sjis("不明");
    switch (outcome) {
    case MatchOutcome::Win: return win;
    case MatchOutcome::Loss: return loss;
    case MatchOutcome::Unknown: break;
    }
    return unknown;
}

TextRows MatchListRows(const EntryPool& pool, const PlayerStats& stats)
{
    TextRows rows{{Sjis("日時"), Sjis("自分"), Sjis("1P"), Sjis("1Pの段位"), Sjis("1Pのキャラ"),
                   Sjis("2P"), Sjis("2Pの段位"), Sjis("2Pのキャラ"), Sjis("スコア"), Sjis("結果"),
                   Sjis("パス")}};
    rows.reserve(stats.matches.size() + 1);
    for (const CountedMatch& match : stats.matches) {
        const ReplayEntry* entry = pool.lookup(match.slot);
        if (!entry || !entry->info) continue;
        const ReplayInfo& info = *entry->info;
        auto& cells = rows.emplace_back();
        cells.reserve(11);
        cells.push_back(ShownTime(entry->fileAge));
        cells.push_back(match.side == 1 ? "1P" : "2P");
        for (const PlayerRecord* p : {&info.p1, &info.p2}) {
            cells.emplace_back(p->nameText());
            cells.push_back(RankName(RankIndexOf(p->rank)));
            cells.push_back(CharacterName(CharacterIndexOf(p->character)));
        }
        cells.push_back(std::to_string(info.p1.score) + "-" + std::to_string(info.p2.score));
        cells.push_back(OutcomeText(match.outcome));
        cells.push_back(entry->fullPath());
    }
    return rows;
}

}  // namespace replidex
