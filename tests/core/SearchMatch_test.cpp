// Matching of one entry against the search criteria, and the text rules under
// it (width folding, lower-casing, containment at character starts).
#include "core/search/SearchMatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/text/SjisCodec.h"

namespace replidex {
namespace {

using std::string;

// ---------------------------------------------------------------------------
// Text rules

struct FoldCase {
    const char* what;
    string in;
    string out;
};

TEST(FoldWidth, FoldsOnlyFullWidthLettersAndDigits)
{
    const std::vector<FoldCase> cases = {
        {"upper A..Z", Sjis("ＡＢＺ"), "ABZ"},
        {"lower a..z", Sjis("ａｂｚ"), "abz"},
        {"digits 0..9", Sjis("０５９"), "059"},
        {"mixed with one-byte text", "x" + Sjis("Ａ") + "y", "xAy"},
        {"0x82 outside the ranges stays", "\x82\x4E\x82\x5F\x82\x59\x82\x7A\x82\x80\x82\x9B",
         "\x82\x4E\x82\x5F\x82\x59\x82\x7A\x82\x80\x82\x9B"},
        {"hiragana stays", Sjis("あい"), Sjis("あい")},
        {"other lead byte with a letter-like trail stays", "\x83\x60\x81\x60",
         "\x83\x60\x81\x60"},
        {"half-width katakana stays", "\xB1\xB2", "\xB1\xB2"},
        // 0x81 0x82 is one character; the 0x60 after it is one byte, not Ａ.
        {"pairs are taken from the start", "\x81\x82\x60", "\x81\x82\x60"},
        // 0xEF-0xF9 are one-byte characters for folding, so what follows is
        // a character of its own.
        {"0xF0 is one byte", "\xF0\x82\x60", "\xF0" "A"},
        {"0xEE starts a pair", "\xEE\x82\x60", "\xEE\x82\x60"},
        {"0xFA starts a pair", "\xFA\x82\x60", "\xFA\x82\x60"},
        {"lone lead byte at the end is kept", "A\x82", "A\x82"},
        {"folded then lone lead", Sjis("Ａ") + "\x82", "A\x82"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldWidth(c.in), c.out) << c.what;
}

TEST(FoldWidth, LoneLeadByteNeverReadsPastTheEnd)
{
    // A view into a larger buffer whose next byte would fold: the byte after
    // the view must not be looked at.
    const string backing = "ab\x82\x60";
    EXPECT_EQ(FoldWidth(std::string_view(backing).substr(0, 3)), "ab\x82");
    // The same in a block of exactly three bytes (a sanitizer build sees any
    // read past it), also through the case-blind containment test.
    const auto exact = std::make_unique<char[]>(3);
    std::memcpy(exact.get(), "AB\x82", 3);
    const std::string_view text(exact.get(), 3);
    EXPECT_EQ(FoldWidth(text), "AB\x82");
    EXPECT_TRUE(TextContains("b", text, false, false));
    EXPECT_TRUE(TextContains("\x82", text, true, false));
}

TEST(LowerSingleByteLetters, ChangesOnlyOneByteLetters)
{
    const std::vector<FoldCase> cases = {
        {"ascii", "AbZ@[", "abz@["},
        // 0x83 0x41 is ア: its trail byte equals 'A' and must stay.
        {"trail byte that looks like A", "\x83\x41" "A", "\x83\x41" "a"},
        {"full-width stays", Sjis("ＡＢ"), Sjis("ＡＢ")},
        {"0xFC lead protects its trail", "\xFC\x42", "\xFC\x42"},
        {"lone lead at the end", "A\x83", "a\x83"},
    };
    for (const auto& c : cases) {
        string s = c.in;
        LowerSingleByteLetters(s);
        EXPECT_EQ(s, c.out) << c.what;
    }
}

TEST(LowerSingleByteLetters, AgreesWithAByteWalkOnLongTexts)
{
    // Long enough for whole eight-byte runs; the letters' neighbours and
    // lead bytes whose trail looks like a letter are all in the mix.
    const unsigned char alphabet[] = {'@', 'A', 'M', 'Z', '[', '`', 'a', 'z', '{', 0x7F, '0',
                                      ' ', 0x82, 0x83, 0x60, 0xB1, 0xE0, 0xFC};
    std::mt19937 rng(777);
    for (int round = 0; round < 5000; ++round) {
        string text(rng() % 41, '\0');
        for (char& c : text) c = static_cast<char>(alphabet[rng() % std::size(alphabet)]);
        string expected = text;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const auto b = static_cast<unsigned char>(expected[i]);
            if (IsCp932LeadByte(b)) ++i;
            else if (b >= 'A' && b <= 'Z') expected[i] = static_cast<char>(b + 32);
        }
        string actual = text;
        LowerSingleByteLetters(actual);
        ASSERT_EQ(actual, expected) << testing::PrintToString(text);
    }
}

struct ContainsCase {
    const char* what;
    string pattern;
    string text;
    bool found;
};

TEST(ContainsAtCharStart, OnlyAtCharacterStarts)
{
    const std::vector<ContainsCase> cases = {
        {"plain", "bc", "abcd", true},
        {"at the end", "cd", "abcd", true},
        {"whole text", "abcd", "abcd", true},
        {"longer than text", "abcde", "abcd", false},
        {"empty pattern", "", "abc", false},
        {"empty text", "a", "", false},
        {"both empty", "", "", false},
        // ア is 0x83 0x41: the 'A' inside it is a trail byte.
        {"trail byte is not a start", "A", "\x83\x41", false},
        {"found later at a real start", "A", "\x83\x41" "A", true},
        {"pattern spanning a trail and next char", "\x41\x83", "\x83\x41\x83\x41", false},
        {"two-byte pattern", "\x83\x41", "x\x83\x41", true},
        {"lead-byte prefix of a character", "\x83", "\x83\x41", true},
        {"0xFC is a lead byte", "B", "\xFC\x42", false},
        {"0xEF is a lead byte", "B", "\xEF\x42", false},
        {"lone lead at the end", "\x83", "ab\x83", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainsAtCharStart(c.pattern, c.text), c.found) << c.what;
}

// The plain definition: walk the characters from the start and compare at
// each one.
bool NaiveContains(const string& pattern, const string& text)
{
    if (pattern.empty() || text.empty()) return false;
    for (std::size_t i = 0; i + pattern.size() <= text.size();
         i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
        if (text.compare(i, pattern.size(), pattern) == 0) return true;
    }
    return false;
}

TEST(ContainsAtCharStart, AgreesWithAWalkFromTheStart)
{
    // Few distinct bytes, lead bytes among them, so that occurrences at
    // trail bytes and runs of lead-range bytes are common.
    const unsigned char alphabet[] = {0x41, 0x42, 0x81, 0x82, 0x60, 0x9F, 0xE0, 0xFC, 0xA0};
    std::mt19937 rng(12345);
    const auto randomText = [&](std::size_t maxLen) {
        string t(rng() % (maxLen + 1), '\0');
        for (char& c : t) c = static_cast<char>(alphabet[rng() % std::size(alphabet)]);
        return t;
    };
    for (int round = 0; round < 20000; ++round) {
        const string text = randomText(24);
        const string pattern = randomText(4);
        ASSERT_EQ(ContainsAtCharStart(pattern, text), NaiveContains(pattern, text))
            << testing::PrintToString(pattern) << " in " << testing::PrintToString(text);
    }
}

struct TextCase {
    const char* pattern;
    const char* text;
    bool caseSensitive;
    bool widthSensitive;
    bool found;
};

TEST(TextContains, CaseAndWidthOptions)
{
    const std::vector<TextCase> cases = {
        // Width folding, case kept.
        {"ＡＢ", "AB", true, false, true},
        {"ＡＢ", "xABy", true, false, true},
        {"AB", "ｘＡＢ", true, false, true},
        {"ＡＢ", "ab", true, false, false},
        {"１２", "a12", true, false, true},
        // Both folded.
        {"ab", "AB", false, false, true},
        {"ab", "xABy", false, false, true},
        {"ab", "ｘＡＢ", false, false, true},
        {"ＡＢ", "ｘａｂ", false, false, true},
        // Width kept: only the full-width name.
        {"ＡＢ", "AB", true, true, false},
        {"ＡＢ", "xABy", true, true, false},
        {"ＡＢ", "ｘＡＢ", true, true, true},
        // Case folding alone never touches full-width letters.
        {"ａ", "Ａ", false, true, false},
        {"ab", "xABy", false, true, true},
        {"ab", "xABy", true, true, false},
        // Empty stays empty.
        {"", "abc", false, false, false},
        {"a", "", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextContains(Sjis(c.pattern), Sjis(c.text), c.caseSensitive, c.widthSensitive),
                  c.found)
            << c.pattern << " in " << c.text << " case=" << c.caseSensitive
            << " width=" << c.widthSensitive;
    }
}

TEST(TextContains, FoldedTextIsScannedByItsOwnCharacters)
{
    // "ア" + "Ａ": after folding, "A" starts a character of its own.
    EXPECT_TRUE(TextContains("A", "\x83\x41\x82\x60", true, false));
    // The trail 'A' of ア is still not a start after lower-casing.
    EXPECT_FALSE(TextContains("a", "\x83\x41", false, true));
}

// ---------------------------------------------------------------------------
// Entries

struct PlayerData {
    const char* name = "";
    std::int16_t rank = 0;
    std::int16_t wins = 0;
    std::int16_t losses = 0;
    std::int16_t character = 0x30;
};

std::unique_ptr<ReplayEntry> MakeEntry(std::uint32_t flags, PlayerData p1, PlayerData p2,
                                       const string& memo = {})
{
    auto e = std::make_unique<ReplayEntry>();
    e->kind = kReplayEntryKind;
    e->memo = memo;
    e->info.emplace();
    e->info->infoFlags = flags;
    const auto fill = [](PlayerRecord& r, const PlayerData& s) {
        r.setName(Sjis(s.name));
        r.rank = s.rank;
        r.wins = s.wins;
        r.losses = s.losses;
        r.character = s.character;
    };
    fill(e->info->p1, p1);
    fill(e->info->p2, p2);
    return e;
}

SearchCriteria NoCriteria()
{
    SearchCriteria c;
    c.useRank = false;
    return c;
}

SearchCriteria RankCriteria(int index, int compare)
{
    SearchCriteria c = NoCriteria();
    c.useRank = true;
    c.rankIndex = index;
    c.rankCompare = compare;
    return c;
}

SearchCriteria RatioCriteria(int step, int compare)
{
    SearchCriteria c = NoCriteria();
    c.useRatio = true;
    c.ratioStep = step;
    c.ratioCompare = compare;
    return c;
}

SearchCriteria CharaCriteria(int index)
{
    SearchCriteria c = NoCriteria();
    c.useCharacter = true;
    c.characterIndex = index;
    return c;
}

struct PlayerCase {
    const char* what;
    SearchCriteria criteria;
    PlayerData player;
    bool match;
};

TEST(MatchPlayer, RankRatioAndCharacterOfANetPlayer)
{
    const std::vector<PlayerCase> cases = {
        // Rank: item 0 is the lowest rank.
        {"shodan or above takes 10", RankCriteria(10, kRankAtLeast), {.rank = 10}, true},
        {"shodan or above takes 18", RankCriteria(10, kRankAtLeast), {.rank = 18}, true},
        {"shodan or above refuses 9", RankCriteria(10, kRankAtLeast), {.rank = 9}, false},
        {"equal to 10 kyu takes 0", RankCriteria(0, kRankEqual), {.rank = 0}, true},
        {"equal to 10 kyu refuses 1", RankCriteria(0, kRankEqual), {.rank = 1}, false},
        {"at most 5 takes 5", RankCriteria(5, kRankAtMost), {.rank = 5}, true},
        {"at most 5 refuses 6", RankCriteria(5, kRankAtMost), {.rank = 6}, false},
        // A negative stored rank is read unsigned: 65535.
        {"negative rank is high (ge)", RankCriteria(19, kRankAtLeast), {.rank = -1}, true},
        {"negative rank is high (le)", RankCriteria(19, kRankAtMost), {.rank = -1}, false},
        // Ratio: both thresholds inclusive.
        {"1-9 passes 10% or more", RatioCriteria(0, kRatioAtLeast), {.wins = 1, .losses = 9}, true},
        {"1-9 passes 10% or less", RatioCriteria(0, kRatioAtMost), {.wins = 1, .losses = 9}, true},
        {"3-7 passes 30% or more", RatioCriteria(2, kRatioAtLeast), {.wins = 3, .losses = 7}, true},
        {"3-7 passes 30% or less", RatioCriteria(2, kRatioAtMost), {.wins = 3, .losses = 7}, true},
        {"7-3 passes 70% or less", RatioCriteria(6, kRatioAtMost), {.wins = 7, .losses = 3}, true},
        {"9-1 passes 90% or more", RatioCriteria(8, kRatioAtLeast), {.wins = 9, .losses = 1}, true},
        {"2-1 fails 70% or more", RatioCriteria(6, kRatioAtLeast), {.wins = 2, .losses = 1}, false},
        {"2-1 passes 60% or more", RatioCriteria(5, kRatioAtLeast), {.wins = 2, .losses = 1}, true},
        {"0-0 is 0: fails 10% or more", RatioCriteria(0, kRatioAtLeast), {}, false},
        {"0-0 is 0: passes 10% or less", RatioCriteria(0, kRatioAtMost), {}, true},
        {"all wins passes 90% or more", RatioCriteria(8, kRatioAtLeast), {.wins = 5}, true},
        {"all losses fails 10% or more", RatioCriteria(0, kRatioAtLeast), {.losses = 5}, false},
        // Counts are unsigned: 65535 wins and 1 loss is nearly 100%, not 0-0.
        {"counts read unsigned", RatioCriteria(8, kRatioAtLeast), {.wins = -1, .losses = 1}, true},
        // Character: the low four bits, valid code or not.
        {"character 0x33", CharaCriteria(3), {.character = 0x33}, true},
        {"character 0x34 is not 3", CharaCriteria(3), {.character = 0x34}, false},
        {"invalid code 0x7F is 15", CharaCriteria(15), {.character = 0x7F}, true},
        {"invalid code -1 is 15", CharaCriteria(15), {.character = -1}, true},
        {"invalid code 0 is 0", CharaCriteria(0), {.character = 0}, true},
    };
    for (const auto& c : cases) {
        const auto e = MakeEntry(kInfoNetMatch, c.player, {});
        EXPECT_EQ(MatchPlayer(c.criteria, *e->info, e->info->p1), c.match) << c.what;
    }
}

TEST(MatchPlayer, NetOnlyCriteriaDoNotApplyToOfflinePlayers)
{
    SearchCriteria c = RankCriteria(19, kRankEqual);
    c.useHandleName = true;
    c.handleName = Sjis("nobody");
    c.useRatio = true;
    c.ratioStep = 8;
    const auto offline = MakeEntry(kInfoOfflineMatch, {.rank = 0}, {});
    EXPECT_TRUE(MatchPlayer(c, *offline->info, offline->info->p1));
    c.useCharacter = true;
    c.characterIndex = 1;
    EXPECT_FALSE(MatchPlayer(c, *offline->info, offline->info->p1));
    const auto net = MakeEntry(kInfoNetMatch, {.rank = 0}, {});
    c.useCharacter = false;
    EXPECT_FALSE(MatchPlayer(c, *net->info, net->info->p1));
}

struct EntryCase {
    const char* what;
    SearchCriteria criteria;
    std::uint32_t flags;
    PlayerData p1;
    PlayerData p2;
    const char* memo;
    bool match;
};

SearchCriteria With(SearchCriteria c, void (*change)(SearchCriteria&))
{
    change(c);
    return c;
}

TEST(MatchEntry, Rules)
{
    const PlayerData alice{.name = "Alice", .rank = 12, .wins = 8, .losses = 2, .character = 0x31};
    const PlayerData bob{.name = "Bob", .rank = 3, .wins = 1, .losses = 9, .character = 0x35};
    const SearchCriteria name = With(NoCriteria(), [](SearchCriteria& c) {
        c.useHandleName = true;
        c.handleName = "Bob";
    });
    const SearchCriteria chara5 = CharaCriteria(5);
    const SearchCriteria memoFoo = With(NoCriteria(), [](SearchCriteria& c) {
        c.useMemo = true;
        c.memo = "foo";
    });

    const std::vector<EntryCase> cases = {
        // Player sides are alternatives.
        {"name of 2P", name, kInfoNetMatch, alice, bob, "", true},
        {"name of 2P, only 1P tested", With(name, [](SearchCriteria& c) { c.player2 = false; }),
         kInfoNetMatch, alice, bob, "", false},
        {"name of 1P, only 2P tested", With(name, [](SearchCriteria& c) { c.player1 = false; }),
         kInfoNetMatch, bob, alice, "", false},
        // All player criteria hold for one and the same player.
        {"name of 2P, rank of 1P", With(name, [](SearchCriteria& c) {
             c.useRank = true;
             c.rankIndex = 10;
         }),
         kInfoNetMatch, alice, bob, "", false},
        {"name and rank of 2P", With(name, [](SearchCriteria& c) {
             c.useRank = true;
             c.rankIndex = 3;
             c.rankCompare = kRankEqual;
         }),
         kInfoNetMatch, alice, bob, "", true},
        {"empty name pattern finds no one",
         With(name, [](SearchCriteria& c) { c.handleName.clear(); }), kInfoNetMatch, alice, bob,
         "", false},
        // The memo belongs to the entry and comes on top of the player tests.
        {"memo and chara of 2P", With(memoFoo, [](SearchCriteria& c) {
             c.useCharacter = true;
             c.characterIndex = 5;
         }),
         kInfoNetMatch, alice, bob, "a foo b", true},
        {"memo misses", With(chara5, [](SearchCriteria& c) {
             c.useMemo = true;
             c.memo = "bar";
         }),
         kInfoNetMatch, alice, bob, "a foo b", false},
        {"memo alone", memoFoo, kInfoNetMatch, alice, bob, "foo", true},
        {"memo alone, empty memo", memoFoo, kInfoNetMatch, alice, bob, "", false},
        {"memo alone, empty pattern", With(memoFoo, [](SearchCriteria& c) { c.memo.clear(); }),
         kInfoNetMatch, alice, bob, "foo", false},
        // Match kinds.
        {"offline entry by character", chara5, kInfoOfflineMatch, alice, bob, "", true},
        {"offline entry, character of neither", CharaCriteria(7), kInfoOfflineMatch, alice, bob,
         "", false},
        {"offline entry by memo", memoFoo, kInfoOfflineMatch, alice, bob, "foo", true},
        {"offline entry never by name", name, kInfoOfflineMatch, alice, bob, "", false},
        {"offline entry never by rank", RankCriteria(0, kRankAtLeast), kInfoOfflineMatch, alice,
         bob, "", false},
        {"offline entry, rank ignored with character",
         With(chara5, [](SearchCriteria& c) {
             c.useRank = true;
             c.rankIndex = 19;
             c.rankCompare = kRankEqual;
         }),
         kInfoOfflineMatch, alice, bob, "", true},
        {"offline entry, offline not taken", With(chara5, [](SearchCriteria& c) {
             c.offline = false;
         }),
         kInfoOfflineMatch, alice, bob, "", false},
        {"net entry, net not taken", With(chara5, [](SearchCriteria& c) { c.net = false; }),
         kInfoNetMatch, alice, bob, "", false},
        {"net entry by character", chara5, kInfoNetMatch, alice, bob, "", true},
        {"net entry, only net taken", With(name, [](SearchCriteria& c) { c.offline = false; }),
         kInfoNetMatch, alice, bob, "", true},
        // An entry with neither kind bit is not a net match.
        {"no kind bit, only net taken", With(chara5, [](SearchCriteria& c) {
             c.offline = false;
         }),
         0, alice, bob, "", false},
        {"no kind bit, both taken, by character", chara5, 0, alice, bob, "", true},
        {"no kind bit, both taken, rank not applied",
         With(chara5, [](SearchCriteria& c) {
             c.useRank = true;
             c.rankIndex = 19;
             c.rankCompare = kRankEqual;
         }),
         0, alice, bob, "", true},
    };
    for (const auto& c : cases) {
        const auto e = MakeEntry(c.flags, c.p1, c.p2, c.memo);
        EXPECT_EQ(MatchEntry(c.criteria, *e), c.match) << c.what;
        EXPECT_EQ(SearchMatcher(c.criteria).MatchEntry(*e), c.match) << c.what;
    }
}

TEST(MatchEntry, NoInfoNeverMatches)
{
    ReplayEntry e;
    e.memo = "foo";
    SearchCriteria c = CharaCriteria(0);
    c.useMemo = true;
    c.memo = "foo";
    EXPECT_FALSE(MatchEntry(c, e));
    EXPECT_FALSE(MatchOffline(c, e));
}

TEST(MatchOffline, NeedsCharacterOrMemo)
{
    const auto e = MakeEntry(kInfoOfflineMatch, {.character = 0x30}, {}, "foo");
    SearchCriteria c = RankCriteria(0, kRankAtLeast);
    EXPECT_FALSE(MatchOffline(c, *e));
    c.useMemo = true;
    c.memo = "foo";
    EXPECT_TRUE(MatchOffline(c, *e));
    c.useMemo = false;
    c.useCharacter = true;
    EXPECT_TRUE(MatchOffline(c, *e));
}

TEST(SearchMatcher, NameOptionsAppliedToPatternAndName)
{
    // One matcher reused across entries: its buffer must not leak between
    // texts of different lengths.
    SearchCriteria c = NoCriteria();
    c.useHandleName = true;
    c.handleName = Sjis("ab");
    c.caseSensitive = false;
    c.widthSensitive = false;
    const SearchMatcher m(c);
    const char* names[] = {"AB", "xABy", "ｘＡＢ", "ａ", "Ａｂｃｄｅｆｇｈ", "b"};
    const bool expected[] = {true, true, true, false, true, false};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const auto e = MakeEntry(kInfoNetMatch, {.name = names[i]}, {.name = "zz"});
        EXPECT_EQ(m.MatchEntry(*e), expected[i]) << names[i];
    }
}

}  // namespace
}  // namespace replidex
