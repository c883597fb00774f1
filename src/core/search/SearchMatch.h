// Whether a replay entry meets the search criteria. Works on the entry's memo
// and the replay info held in memory; reads no file.
#pragma once

#include <string>
#include <string_view>

#include "core/replay/ReplayRecords.h"
#include "core/search/SearchCriteria.h"

namespace replidex {

// Full-width Latin letters and digits (first byte 0x82) become their one-byte
// forms; everything else is copied. A lead byte at the very end is copied as
// it is.
std::string FoldWidth(std::string_view text);
// The same into `out` (replaced), reusing its storage.
void FoldWidthInto(std::string_view text, std::string& out);

// Lower-cases the one-byte letters A-Z in place; two-byte characters, both of
// their bytes, are left alone.
void LowerSingleByteLetters(std::string& text);

// True when `pattern` is not empty, `text` is not empty, and the pattern
// occurs byte for byte at a position of `text` that starts a character.
bool ContainsAtCharStart(std::string_view pattern, std::string_view text);

// Text containment under the two text options: without width sensitivity both
// texts are width-folded, without case sensitivity both are lower-cased, then
// ContainsAtCharStart.
bool TextContains(std::string_view pattern, std::string_view text, bool caseSensitive,
                  bool widthSensitive);

// The criteria prepared for matching many entries: the patterns are folded
// once, and texts are folded into a buffer that is reused. Not for use from
// two threads at once.
class SearchMatcher {
public:
    explicit SearchMatcher(const SearchCriteria& criteria);

    const SearchCriteria& criteria() const { return c_; }

    bool MatchEntry(const ReplayEntry& entry) const;
    bool MatchOffline(const ReplayEntry& entry) const;
    bool MatchPlayer(const ReplayInfo& info, const PlayerRecord& player) const;

private:
    // The memo test and the player alternatives shared by both match paths.
    bool MatchMemoAndPlayers(const ReplayEntry& entry) const;
    bool Contains(std::string_view preparedPattern, std::string_view text) const;

    SearchCriteria c_;
    std::string namePattern_;  // prepared under the text options
    std::string memoPattern_;
    bool transform_ = false;   // texts need folding or lower-casing
    mutable std::string buffer_;
};

// One-off forms over plain criteria.
bool MatchEntry(const SearchCriteria& criteria, const ReplayEntry& entry);
bool MatchOffline(const SearchCriteria& criteria, const ReplayEntry& entry);
bool MatchPlayer(const SearchCriteria& criteria, const ReplayInfo& info,
                 const PlayerRecord& player);

}  // namespace replidex
