// The replay file reader: reads the facts the list shows and searches from a
// game replay file without decompressing it, and makes the Info, 1P and 2P
// column texts from them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/replay/ReplayRecords.h"

namespace replidex {

inline constexpr int kAnalyseOk = 1;
inline constexpr int kAnalyseFailed = -1;

// Analysis error codes, stored in p1.wins on failure (the line in p1.losses).
enum AnalyseError : int {
    kErrNoFile = 1,
    kErrCannotOpen = 2,
    kErrSeek = 3,
    kErrNoMode = 4,
    kErrScore = 5,
    kErrNoRuleMarker = 6,
    kErrRuleMarkerAtEnd = 7,
    kErrSignature = 9,
    kErrNoNameMarker = 10,
    kErrNoNameEnd = 11,
    kErrNoCountsRun = 16,
};

// Analyses the replay file at `path` (Shift-JIS bytes) into `info`: answers 1
// on success; -1 on failure, with kInfoFailed set and the error code and line
// in p1.wins and p1.losses.
int AnalyseReplay(const std::string& path, ReplayInfo& info);

// The same analysis of a file named in the file system's own encoding.
int AnalyseReplayAtNativePath(const std::string& nativePath, ReplayInfo& info);

// The same analysis over the file's bytes already in memory.
int AnalyseReplayBytes(std::string_view bytes, ReplayInfo& info);

// Column texts (Shift-JIS). Empty for no info; the 1P/2P texts are empty for a
// failed analysis.
std::string InfoSummary(const ReplayInfo* info);
std::string PlayerSummary(const ReplayInfo* info, int player);

// Display tables (Shift-JIS): rank names 0-20 (20 = "ER"), character names
// 0-16 (16 = "ER").
inline constexpr int kRankNameCount = 21;
inline constexpr int kCharacterNameCount = 17;
const std::string& RankName(int index);
const std::string& CharacterName(int index);

// Table index of a stored rank / character as the summaries show it.
int RankIndexOf(std::int16_t rank);
int CharacterIndexOf(std::int16_t character);

}  // namespace replidex
