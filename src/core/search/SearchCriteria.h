// The search criteria as plain data: one member per control of the search
// window's criteria panel (check boxes, item indexes of the drop-down lists,
// pattern texts). The defaults are the controls' states when the window is
// created.
#pragma once

#include <string>

namespace replidex {

// Item indexes of the rank comparison list ("に等しい", "以上", "以下").
enum RankCompare : int { kRankEqual = 0, kRankAtLeast = 1, kRankAtMost = 2 };
// Item indexes of the win ratio comparison list ("以上", "以下").
enum RatioCompare : int { kRatioAtLeast = 0, kRatioAtMost = 1 };

inline constexpr int kSearchRankCount = 20;       // "１０きゅう" .. "１０だん"
inline constexpr int kSearchRatioStepCount = 9;   // "１割" .. "９割"
inline constexpr int kSearchCharacterCount = 16;  // "アミティ" .. "カーバンクル"

struct SearchCriteria {
    bool useHandleName = false;      // CB_HN
    std::string handleName;          // Edit (Shift-JIS)
    bool useRank = true;             // CB_Rank
    int rankIndex = 0;               // ComboBox_Rank: 0 "１０きゅう" .. 19 "１０だん"
    int rankCompare = kRankAtLeast;  // ComboBox_RankIf
    bool useRatio = false;           // CB_Avg
    int ratioStep = 0;               // ComboBox_AvgRatio: step i is (i + 1) × 10 percent
    int ratioCompare = kRatioAtLeast;  // ComboBox_AvgIf
    bool useCharacter = false;       // CB_Chara
    int characterIndex = 0;          // ComboBox_Chara
    bool useMemo = false;            // CB_Memo
    std::string memo;                // Edit_Memo (Shift-JIS)
    bool player1 = true;             // CB_1P
    bool player2 = true;             // CB_2P
    bool net = true;                 // CB_Net
    bool offline = true;             // CB_OffLine
    bool caseSensitive = true;       // CB_Alpha
    bool widthSensitive = true;      // CB_Zenkaku

    bool operator==(const SearchCriteria&) const = default;
};

}  // namespace replidex
