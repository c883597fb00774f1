// The texts of the statistics tables as the window shows them and the CSV
// files hold them (Shift-JIS): column titles, cells, and whole tables as rows
// of cells, the title row first.
#pragma once

#include <string>
#include <vector>

#include "core/stats/PlayerStats.h"

namespace replidex {

using TextRows = std::vector<std::vector<std::string>>;

// Columns every table shares, from the left; the opponent table goes on with
// kColumnLast and kColumnLastRank, the character tables with kColumnOffline.
enum StatsColumn : int {
    kColumnKey = 0,
    kColumnMatches,
    kColumnWins,
    kColumnLosses,
    kColumnUnknown,
    kColumnRatio,
    kColumnGamesWon,
    kColumnGamesLost,
    kColumnLast,
    kColumnLastRank,
    kColumnOffline = kColumnLast,
};

// The table's name as its tab shows it.
std::string StatsTableTitle(StatsTable table);
std::vector<std::string> StatsColumnTitles(StatsTable table);
std::string StatsCellText(const StatsRow& row, StatsTable table, int column);
// The row's key as its first cell shows it: the name, the character's name,
// the month, or 「不明」 for no file time.
std::string StatsKeyText(const StatsRow& row, StatsTable table);

// The title row and one row of cells a table row.
TextRows StatsTableRows(const PlayerStats& stats, StatsTable table);
// The title row and one row a counted match: time, the subject's side, each
// side's name, rank and character, the score (1P-2P), the subject's result and
// the file's path.
TextRows MatchListRows(const EntryPool& pool, const PlayerStats& stats);

// "win", "loss" or "unknown"; and 「勝ち」「負け」「不明」 (Shift-JIS).
const char* OutcomeWord(MatchOutcome outcome);
std::string OutcomeText(MatchOutcome outcome);

}  // namespace replidex
