// The replay file reader against files made by the test generator: every fact
// is compared with the description the file was built from (or with a value
// worked out by hand from the byte layout), never with earlier reader output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <tuple>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "support/ReplayFileBuilder.h"
#include "support/TempDir.h"

namespace replidex {
namespace {

using test::BuildReplay;
using test::BuiltReplay;
using test::ExpectedInfo;
using test::MatchType;
using test::NameLead;
using test::NetLetter;
using test::ReplayDescription;
using test::RuleMarker;

std::string Hex(std::string_view s)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Show(const PlayerRecord& p)
{
    std::ostringstream o;
    o << "{name [" << Hex(p.nameText()) << "] score " << p.score << " rank " << p.rank << " wins "
      << p.wins << " losses " << p.losses << " char 0x" << std::hex << p.character << std::dec
      << " com " << int(p.isCom) << "}";
    return o.str();
}

std::string Show(const ReplayInfo& info)
{
    std::ostringstream o;
    o << "flags 0x" << std::hex << info.infoFlags << std::dec << " p1 " << Show(info.p1) << " p2 "
      << Show(info.p2);
    return o.str();
}

::testing::AssertionResult SameInfo(const ReplayInfo& got, const ReplayInfo& want)
{
    if (got == want) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\n got  " << Show(got) << "\n want " << Show(want);
}

struct Analysis {
    int rc = 0;
    ReplayInfo info;
};

Analysis AnalyseBytes(std::string_view bytes)
{
    Analysis a;
    a.rc = AnalyseReplayBytes(bytes, a.info);
    return a;
}

BuiltReplay BuildOrFail(const ReplayDescription& d)
{
    BuiltReplay b = BuildReplay(d);
    EXPECT_EQ(b.problem, "") << "the description cannot be built";
    return b;
}

std::string S(std::string_view utf8) { return Sjis(utf8); }

// Text bytes with a single-byte name: the reader stores at most 16 bytes.
std::string Cut16(const std::string& s) { return s.substr(0, std::min<std::size_t>(s.size(), 16)); }

// A successful analysis that must equal the description (after `adjust`).
struct SuccessCase {
    const char* name;
    std::function<void(ReplayDescription&)> setup;
    std::function<void(ReplayInfo&)> adjust = nullptr;
};

void RunSuccessCases(const ReplayDescription& base, const std::vector<SuccessCase>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReplayDescription d = base;
        c.setup(d);
        const BuiltReplay built = BuildOrFail(d);
        ReplayInfo want = ExpectedInfo(d);
        if (c.adjust) c.adjust(want);
        const Analysis a = AnalyseBytes(built.bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, want));
    }
}

// A failing analysis: code and line, and (when given) the whole block.
struct FailureCase {
    const char* name;
    std::function<void(ReplayDescription&)> setup;
    int code;
    int line;
    // Builds the expected block from the description's expectation, for
    // failures whose kept fields the text fixes; nullptr checks code and line.
    std::function<void(ReplayInfo&)> kept = nullptr;
};

void RunFailureCases(const ReplayDescription& base, const std::vector<FailureCase>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReplayDescription d = base;
        c.setup(d);
        const BuiltReplay built = BuildOrFail(d);
        const Analysis a = AnalyseBytes(built.bytes);
        EXPECT_EQ(a.rc, kAnalyseFailed);
        EXPECT_NE(a.info.infoFlags & kInfoFailed, 0u);
        EXPECT_EQ(a.info.p1.wins, c.code);
        EXPECT_EQ(a.info.p1.losses, c.line);
        if (c.kept) {
            ReplayInfo want = ExpectedInfo(d);
            c.kept(want);
            want.infoFlags |= kInfoFailed;
            want.p1.wins = static_cast<std::int16_t>(c.code);
            want.p1.losses = static_cast<std::int16_t>(c.line);
            EXPECT_TRUE(SameInfo(a.info, want));
        }
    }
}

// Expected blocks of failures at the various steps: what was set before the
// failing step stays.
void KeepHeaderOnlyBeforeMarker(ReplayInfo& w)   // failed at the rule marker
{
    w.infoFlags &= ~(kInfoRuleF | kInfoOtherRule);
    w.p1 = PlayerRecord{};
    w.p2 = PlayerRecord{};
}

ReplayDescription NetBase() { return test::NetMatchDescription(); }

// ---------------------------------------------------------------------------
// Match kinds

TEST(ReplayReaderMatchKinds, EachKindReadsAsDescribed)
{
    struct Row {
        const char* name;
        ReplayDescription d;
        int kind;
        std::uint32_t kindFlag;
    };
    const Row rows[] = {
        {"net", test::NetMatchDescription(), kMatchNet, kInfoNetMatch},
        {"offline vs computer", test::OfflineDescription(true), kMatchVsCom, kInfoOfflineMatch},
        {"offline two players", test::OfflineDescription(false), kMatchTwoPlayers, kInfoOfflineMatch},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const BuiltReplay built = BuildOrFail(row.d);
        EXPECT_GE(built.bytes.size(), 24u * 1024);
        EXPECT_LE(built.bytes.size(), 96u * 1024);
        const Analysis a = AnalyseBytes(built.bytes);
        ASSERT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(row.d)));
        EXPECT_EQ(a.info.infoFlags & (kInfoNetMatch | kInfoOfflineMatch), row.kindFlag);
        EXPECT_EQ(MatchKind(a.info), row.kind);
    }
}

TEST(ReplayReaderMatchKinds, DefaultNetFileHasTheHandWrittenFacts)
{
    // Spelled out once without ExpectedInfo, as a check of the generator too.
    const Analysis a = AnalyseBytes(BuildOrFail(NetBase()).bytes);
    ASSERT_EQ(a.rc, kAnalyseOk);
    EXPECT_EQ(a.info.infoFlags, kInfoNetMatch | kInfoRuleF | kInfoNetW);
    EXPECT_EQ(a.info.p1.nameText(), S("ぷよ太郎"));
    EXPECT_EQ(a.info.p2.nameText(), S("さかな好き"));
    EXPECT_EQ(a.info.p1.score, 3);
    EXPECT_EQ(a.info.p2.score, 1);
    EXPECT_EQ(a.info.p1.wins, 30);
    EXPECT_EQ(a.info.p1.losses, 10);
    EXPECT_EQ(a.info.p1.rank, 10);
    EXPECT_EQ(a.info.p2.wins, 123);
    EXPECT_EQ(a.info.p2.losses, 45);
    EXPECT_EQ(a.info.p2.rank, 5);
    EXPECT_EQ(a.info.p1.character, 0x30);
    EXPECT_EQ(a.info.p2.character, 0x47);
    EXPECT_EQ(a.info.p1.isCom, 0);
    EXPECT_EQ(a.info.p2.isCom, 0);
}

// ---------------------------------------------------------------------------
// Header: net score from H[1..8]

TEST(ReplayReaderNetScore, EveryRule)
{
    struct Row {
        const char* rule;
        std::array<std::uint8_t, 8> h;
        int s1, s2;
    };
    const Row rows[] = {
        {"1", {0x30, 0, 0, 0, 0, 0, 0, 0}, 0, 0},
        {"1 whatever follows", {0x30, 0x01, 0x30, 0x01, 0xEA, 5, 6, 7}, 0, 0},
        {"2a", {0x01, 0x30, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}, 1, 0},
        {"2a with H4=30 but H5!=01", {0x01, 0x30, 0x01, 0x30, 0x02, 0, 0, 0}, 1, 0},
        {"2b", {0x01, 0x03, 0x02, 0x30, 0x01, 0, 0, 0}, 3, 2},
        {"2b rather than 2a", {0x01, 0x30, 0x01, 0x30, 0x01, 0, 0, 0}, 0x30, 0x01},
        {"2b large values", {0x01, 200, 150, 0x30, 0x01, 0, 0, 0}, 200, 150},
        {"2c", {0x01, 0x30, 0x02, 0x00, 0x05, 0x06, 0x07, 0x08}, 1, 0},
        {"2d", {0x01, 0x02, 0x30, 0x01, 0x00, 0x06, 0x07, 0x08}, 2, 1},
        {"2e", {0x01, 0x03, 0x30, 0x01, 0x05, 0x06, 0x07, 0x08}, 3, 0},
        {"2f", {0x01, 0x05, 0x06, 0x07, 0x08, 0x00, 0x07, 0x08}, 1, 0},
        {"2g", {0x01, 0x02, 0x38, 0x02, 0x09, 0x09, 0x00, 0x08}, 2, 18},
        {"2h", {0x01, 0x03, 0x1D, 0x02, 0x09, 0x09, 0x00, 0x08}, 3, 32},
        {"2i", {0x01, 0x04, 0x05, 0x06, 0x07, 0x08, 0x00, 0x08}, 4, 0},
        {"2j", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00}, 2, 3},
        {"2k", {0x01, 0x03, 0x01, 0xEA, 0x05, 0x06, 0x07, 0x08}, 3, 1},
        {"2l", {0x01, 0x03, 0x01, 0x05, 0x05, 0x06, 0x07, 0x08}, 1, 0},
        {"3", {0x2E, 0x05, 0x06, 0, 0, 0, 0, 0}, 0, 1},
        {"4", {0x6E, 0x05, 0x06, 0, 0, 0, 0, 0}, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("rule ") + row.rule);
        ReplayDescription d = NetBase();
        d.scoreBytes = row.h;
        d.score1 = row.s1;
        d.score2 = row.s2;
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_EQ(a.info.p1.score, row.s1);
        EXPECT_EQ(a.info.p2.score, row.s2);
        EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
    }
}

TEST(ReplayReaderNetScore, NoRuleIsErrorFive)
{
    std::vector<FailureCase> cases;
    for (std::uint8_t h1 : {0x00, 0x02, 0x2F, 0x31, 0x6F, 0xFF}) {
        cases.push_back({"H1 matches no rule",
                         [h1](ReplayDescription& d) { d.scoreBytes = std::array<std::uint8_t, 8>{h1, 1, 2, 3, 4, 5, 6, 7}; },
                         kErrScore, 458, [](ReplayInfo& w) {
                             // The scan has finished: mode and letter are set, nothing else.
                             w.infoFlags = kInfoNetMatch | kInfoNetW;
                             w.p1 = PlayerRecord{};
                             w.p2 = PlayerRecord{};
                         }});
    }
    RunFailureCases(NetBase(), cases);
}

// ---------------------------------------------------------------------------
// Header: rule marker and player 1's character

TEST(ReplayReaderRuleMarker, MarkersAndPlaces)
{
    const std::array<std::uint8_t, 8> rule1 = {0x30, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<SuccessCase> cases = {
        {"80 64 00: other rule, letter C", [](auto& d) { d.marker = RuleMarker::Other_80_64; }},
        {"81 64 00: F", [](auto& d) { d.marker = RuleMarker::F_81_64; }},
        {"81 0A 00: F", [](auto& d) { d.marker = RuleMarker::F_81_0A; }},
        {"82 C8 00: F", [](auto& d) { d.marker = RuleMarker::F_82_C8; }},
        {"net search starts at index 4",
         [&](auto& d) { d.scoreBytes = rule1; d.score1 = d.score2 = 0; d.markerIndex = 4; }},
        {"late in H", [](auto& d) { d.markerIndex = 30; }},
        {"character is the last byte of H", [](auto& d) { d.markerIndex = -6; d.p1.character = 0x5F; }},
        {"the first marker counts (other before F)",
         [](auto& d) {
             d.marker = RuleMarker::Other_80_64;
             d.secondMarker = RuleMarker::F_81_0A;
             d.secondMarkerIndex = 17;
         }},
        {"the first marker counts (F before other)",
         [](auto& d) {
             d.marker = RuleMarker::F_82_C8;
             d.secondMarker = RuleMarker::Other_80_64;
             d.secondMarkerIndex = 20;
         }},
        {"character outside the character range is kept", [](auto& d) { d.p1.character = 0x20; }},
        {"character byte 0x00", [](auto& d) { d.p1.character = 0x00; }},
    };
    RunSuccessCases(NetBase(), cases);

    const std::vector<SuccessCase> offline = {
        {"offline search starts at index 1", [](auto& d) { d.markerIndex = 1; }},
        {"offline other rule", [](auto& d) { d.marker = RuleMarker::Other_80_64; d.markerIndex = 5; }},
    };
    RunSuccessCases(test::OfflineDescription(true), offline);
}

TEST(ReplayReaderRuleMarker, MissingOrTooLate)
{
    const std::array<std::uint8_t, 8> rule1 = {0x30, 0, 0, 0, 0, 0, 0, 0};
    auto noMarker = [](ReplayInfo& w) { KeepHeaderOnlyBeforeMarker(w); w.p1.score = 3; w.p2.score = 1; };
    auto markerNoChar = [](ReplayInfo& w) {
        const std::uint32_t rule = w.infoFlags & (kInfoRuleF | kInfoOtherRule);
        KeepHeaderOnlyBeforeMarker(w);
        w.infoFlags |= rule;
        w.p1.score = 3;
        w.p2.score = 1;
    };
    const std::vector<FailureCase> cases = {
        {"no marker", [](auto& d) { d.marker = RuleMarker::None; }, kErrNoRuleMarker, 511, noMarker},
        {"net marker at index 3 is not looked at",
         [&](auto& d) { d.scoreBytes = rule1; d.markerIndex = 3; }, kErrNoRuleMarker, 511,
         [](ReplayInfo& w) { KeepHeaderOnlyBeforeMarker(w); }},
        {"marker is the last three bytes", [](auto& d) { d.markerIndex = -3; }, kErrRuleMarkerAtEnd, 517,
         markerNoChar},
        {"character would be one past H", [](auto& d) { d.markerIndex = -4; }, kErrRuleMarkerAtEnd, 517,
         markerNoChar},
        {"character index equals the length of H", [](auto& d) { d.markerIndex = -5; },
         kErrRuleMarkerAtEnd, 517, markerNoChar},
    };
    RunFailureCases(NetBase(), cases);

    const std::vector<FailureCase> offline = {
        {"offline no marker", [](auto& d) { d.marker = RuleMarker::None; }, kErrNoRuleMarker, 511,
         [](ReplayInfo& w) { KeepHeaderOnlyBeforeMarker(w); }},
        {"offline marker too late", [](auto& d) { d.markerIndex = -5; }, kErrRuleMarkerAtEnd, 517, nullptr},
    };
    RunFailureCases(test::OfflineDescription(false), offline);
}

// ---------------------------------------------------------------------------
// Header: letter W/P from the fourth control byte after 0xE4

TEST(ReplayReaderLetter, FourthControlByteAfterTheMarker)
{
    const std::vector<SuccessCase> cases = {
        {"0x00 gives W", [](auto& d) { d.letter = NetLetter::W; }},
        {"nonzero gives P", [](auto& d) { d.letter = NetLetter::P; }},
        {"P while the third and fifth are 0x00",
         [](auto& d) { d.letter = NetLetter::P; d.letterNeighboursZero = true; }},
        {"W among zero-rich grouping",
         [](auto& d) { d.letter = NetLetter::W; d.controls = {0x00, 0xFF, 0x0F}; }},
        {"fourth control byte past offset 639: neither", [](auto& d) { d.letter = NetLetter::Unreached; }},
        {"offline files carry the letter too", [](auto& d) { d.kind = MatchType::OfflineTwoPlayers;
                                                           d.p2.character = 0x31; d.letter = NetLetter::W; }},
    };
    RunSuccessCases(NetBase(), cases);
}

// ---------------------------------------------------------------------------
// Header: signature, grouping and the scan's failures

TEST(ReplayReaderHeader, GroupingAndSignature)
{
    const std::vector<SuccessCase> cases = {
        // The first control byte decides where the next one is: a signature
        // offset that is a control byte is not checked (its value is the
        // control byte, not the signature byte).
        {"first control 0xFF: offset 9 is a control byte", [](auto& d) { d.firstControl = 0xFF; }},
        {"first control 0x7F: offset 10 is a control byte", [](auto& d) { d.firstControl = 0x7F; }},
        {"first control 0x3F: offset 11 is a control byte", [](auto& d) { d.firstControl = 0x3F; }},
        {"first control 0x1F: offset 12 is a control byte", [](auto& d) { d.firstControl = 0x1F; }},
        {"first control 0x0F: offset 13 is a control byte", [](auto& d) { d.firstControl = 0x0F; }},
        {"mixed group lengths everywhere",
         [](auto& d) { d.controls = {0xF0, 0xAA, 0x0F, 0x81, 0xFF, 0x7E, 0x00, 0x01}; }},
        {"other mixed group lengths", [](auto& d) { d.controls = {0x00, 0x80, 0xFE, 0x3C}; d.firstControl = 0x11; }},
        {"0xE4 bytes before offset 576 are ignored", [](auto& d) { d.earlyE4Offsets = {100, 300, 574}; }},
        {"bytes between 0xE4 and 0xFF are skipped",
         [](auto& d) { d.betweenE4AndFF = {0x10, 0xE4, 0x30, 0x01, 0x00}; }},
        {"later 0xE4", [](auto& d) { d.e4Offset = 590; }},
    };
    RunSuccessCases(NetBase(), cases);
}

TEST(ReplayReaderHeader, ScanFailures)
{
    auto onlyFailed = [](ReplayInfo& w) { w = ReplayInfo{}; };
    const std::vector<FailureCase> cases = {
        {"signature offset 9", [](auto& d) { d.badSignatureOffset = 9; }, kErrSignature, 279, onlyFailed},
        {"signature offset 10", [](auto& d) { d.badSignatureOffset = 10; }, kErrSignature, 287, onlyFailed},
        {"signature offset 11", [](auto& d) { d.badSignatureOffset = 11; }, kErrSignature, 295, onlyFailed},
        {"signature offset 12", [](auto& d) { d.badSignatureOffset = 12; }, kErrSignature, 303, onlyFailed},
        {"signature offset 13", [](auto& d) { d.badSignatureOffset = 13; }, kErrSignature, 311, onlyFailed},
        {"offset 10 is checked after a 0xFF first group",
         [](auto& d) { d.firstControl = 0xFF; d.badSignatureOffset = 10; }, kErrSignature, 287, onlyFailed},
        {"offset 13 is checked when 11 is a control byte",
         [](auto& d) { d.firstControl = 0x3F; d.badSignatureOffset = 13; }, kErrSignature, 311, onlyFailed},
        {"no 0xE4", [](auto& d) { d.omitE4 = true; }, kErrNoMode, 327},
        {"0xE4 only before offset 576", [](auto& d) { d.omitE4 = true; d.earlyE4Offsets = {200, 574}; },
         kErrNoMode, 327},
        {"0xE4 only as a control byte", [](auto& d) { d.e4AsControl = true; }, kErrNoMode, 327},
        {"no 0xFF after 0xE4", [](auto& d) { d.omitFF = true; }, kErrNoMode, 327},
        {"mode byte 0x02", [](auto& d) { d.modeByte = 0x02; }, kErrNoMode, 327},
        {"mode byte 0x31", [](auto& d) { d.modeByte = 0x31; }, kErrNoMode, 327},
        {"mode byte 0x00", [](auto& d) { d.modeByte = 0x00; }, kErrNoMode, 327},
        {"0xE4 on the last header byte",
         [](auto& d) { d.e4Offset = 639; d.letter = NetLetter::Unreached; d.allowIncompleteHeader = true; },
         kErrNoMode, 327},
    };
    RunFailureCases(NetBase(), cases);
}

TEST(ReplayReaderHeader, FilesEndingEarly)
{
    // The end of the file counts as one more byte equal to none of the tested
    // values: at a signature offset (all data offsets here) it is a wrong
    // signature byte; anywhere else the scan just ends without a mode.
    const std::string full = BuildOrFail(NetBase()).bytes;
    const std::pair<std::size_t, std::pair<int, int>> rows[] = {
        {0, {kErrNoMode, 327}},     {1, {kErrNoMode, 327}},     {8, {kErrNoMode, 327}},
        {9, {kErrSignature, 279}},  {10, {kErrSignature, 287}}, {11, {kErrSignature, 295}},
        {12, {kErrSignature, 303}}, {13, {kErrSignature, 311}}, {14, {kErrNoMode, 327}},
        {100, {kErrNoMode, 327}},   {576, {kErrNoMode, 327}},   {577, {kErrNoMode, 327}},
    };
    for (const auto& [size, error] : rows) {
        SCOPED_TRACE(size);
        const Analysis a = AnalyseBytes(std::string_view(full).substr(0, size));
        EXPECT_EQ(a.rc, kAnalyseFailed);
        EXPECT_NE(a.info.infoFlags & kInfoFailed, 0u);
        EXPECT_EQ(a.info.p1.wins, error.first);
        EXPECT_EQ(a.info.p1.losses, error.second);
    }
    // With offset 9 a control byte, a 9-byte file ends on no signature byte.
    ReplayDescription d = NetBase();
    d.firstControl = 0xFF;
    const Analysis a = AnalyseBytes(std::string_view(BuildOrFail(d).bytes).substr(0, 9));
    EXPECT_EQ(a.info.p1.wins, kErrNoMode);
    EXPECT_EQ(a.info.p1.losses, 327);
}

// ---------------------------------------------------------------------------
// Player blocks: finding the capture

TEST(ReplayReaderBlocks, CaptureIsFoundWhateverTheLayout)
{
    const std::vector<SuccessCase> cases = {
        {"a breaking 0x00 does not start a new pattern",
         [](auto& d) { d.p1.leadIn = d.p2.leadIn = {0x00, 0x11, 0x00, 0x22, 0x3F}; }},
        {"junk before the pattern", [](auto& d) { d.p1.leadIn = d.p2.leadIn = {0x00, 0x07, 0x30, 0x55, 0x9F}; }},
        {"one skipped 0x00 candidate", [](auto& d) { d.p1.skippedZeroGroups = d.p2.skippedZeroGroups = 1; }},
        {"three skipped 0x00 candidates", [](auto& d) { d.p1.skippedZeroGroups = d.p2.skippedZeroGroups = 3; }},
        {"pattern 00 00 0F", [](auto& d) { d.p1.patternAny = 0x00; d.p1.patternF = 0x0F;
                                           d.p2.patternAny = 0x00; d.p2.patternF = 0x0F; }},
        {"pattern 00 FF FF", [](auto& d) { d.p1.patternAny = d.p1.patternF = 0xFF;
                                           d.p2.patternAny = d.p2.patternF = 0xFF; }},
        {"mixed capture groups", [](auto& d) { d.controls = {0x55, 0x00, 0xF0, 0xFF, 0x0F, 0x00}; }},
        {"noise padding", [](auto& d) { d.paddingSeed = 12345; }},
        {"96 KB file", [](auto& d) { d.fileSize = 96 * 1024; d.paddingSeed = 99; }},
        {"24 KB file", [](auto& d) { d.fileSize = 24 * 1024; }},
    };
    RunSuccessCases(NetBase(), cases);
}

// ---------------------------------------------------------------------------
// Net names

TEST(ReplayReaderNames, LengthsAndCutting)
{
    const std::string kana16 = S("ぷよぷよ大好きだ");
    ASSERT_EQ(kana16.size(), 16u);
    const std::vector<std::pair<const char*, std::string>> names = {
        {"one byte", "A"},
        {"sixteen bytes, double-byte", kana16},
        {"seventeen bytes: cut inside a character", "A" + kana16},
        {"twenty-four bytes", S("ぷよぷよフィーバー大好き")},
        {"forty bytes", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn"},
        {"half-width katakana", S("ﾌﾟﾖﾌﾟﾖ")},
        {"kanji", S("漢字")},
        {"0x5C trail byte", S("ソ表")},
        {"percent signs", "100%d%s"},
        // A start pair right before the marker: the name is empty. The start
        // never lies past the marker's first byte (that byte, 0x18 or 0x48,
        // is neither a zero nor a start pair's second byte), so the end of the
        // name is always found and no file can give error 11.
        {"empty", ""},
    };
    for (int player : {1, 2}) {
        for (const auto& [what, name] : names) {
            SCOPED_TRACE(std::string(what) + " / player " + std::to_string(player));
            ReplayDescription d = NetBase();
            d.player(player).name = name;
            const BuiltReplay built = BuildOrFail(d);
            const Analysis a = AnalyseBytes(built.bytes);
            EXPECT_EQ(a.rc, kAnalyseOk);
            EXPECT_EQ(Hex(a.info.player(player).nameText()), Hex(Cut16(name)));
            EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
        }
    }
    // The cut keeps a lone lead byte.
    ReplayDescription d = NetBase();
    d.p1.name = "A" + kana16;
    const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
    ASSERT_EQ(a.info.p1.nameText().size(), 16u);
    EXPECT_EQ(static_cast<unsigned char>(a.info.p1.nameText().back()), 0x82);
}

TEST(ReplayReaderNames, WhereTheNameStarts)
{
    const NameLead leads[] = {
        NameLead::StartPair,     NameLead::StartPairHigh,  NameLead::ZeroPair,
        NameLead::ZeroThenName,  NameLead::ZeroZeroAfterData, NameLead::DataZeroSame,
        NameLead::DataZeroPlus16, NameLead::DataZeroFF,    NameLead::DataZeroRepeat,
        NameLead::LeadingZeroF,  NameLead::NoStart,
    };
    for (int player : {1, 2}) {
        for (NameLead lead : leads) {
            SCOPED_TRACE("lead " + std::to_string(static_cast<int>(lead)) + " / player " +
                         std::to_string(player));
            ReplayDescription d = NetBase();
            d.player(player).lead = lead;
            const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
            EXPECT_EQ(a.rc, kAnalyseOk);
            EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
        }
    }

    // (0x98, 0x00) is code 7 of player 1's table only: for player 1 the zero
    // belongs to the data and the name starts after the start pair; for
    // player 2 the name starts right after the zero and takes the lead's
    // bytes "A3" 0x47 0xE2 with it.
    {
        ReplayDescription d = NetBase();
        d.p1.lead = NameLead::DataZeroCode;
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
    }
    {
        ReplayDescription d = NetBase();
        d.p2.lead = NameLead::DataZeroCode;
        ReplayInfo want = ExpectedInfo(d);
        want.p2.setName("\x41\x33\x47\xE2" + d.p2.name);
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, want));
    }
}

TEST(ReplayReaderNames, CodesInsideTheName)
{
    // Name areas worked out by hand from the decoder (mode name). The buffer
    // holds the area, then the marker pair, then zeros.
    struct Row {
        const char* what;
        int player;
        std::string area;
        std::string name;
    };
    const Row rows[] = {
        // Code 6 (x 42-63, y 0-14) copies dy + 3 bytes of the output from dx.
        {"code 6 repeats", 1, std::string("ABC\x2A\x00", 5), "ABCABC"},
        // dx = 1 with two bytes out: t = 0 sees dx + t >= count - 1 and first
        // appends O[1], then O[1], O[2], O[3].
        {"code 6 overlapping copy", 1, std::string("AB\x2B\x00", 4), "ABBBBB"},
        {"code 3 repeats the first byte", 1, "XY\x1A\x0A", "XYX"},
        {"code 7 writes zeros that end the name", 1, "AB\x98\x01" "CD", "AB"},
        // Bytes 2 and 3 after a position are zero: four bytes copied, even
        // though the pair is code 6.
        {"four-byte copy beats a code", 1, std::string("AB\x2A\x05\x00\x00", 6), "AB\x2A\x05"},
        // Code 12 is not copied while the output is empty: it writes zeros.
        {"code 12 at the start", 1, std::string("\x99\x0F\x00\x00" "A", 5), ""},
        {"code 12 later is copied", 1, std::string("A\x99\x0F\x00\x00", 5), "A\x99\x0F"},
        {"player 2 code 3", 2, "XY\x4A\xEA", "XYX"},
        {"player 2 code 6", 2, "ABC\x5A\xE0", "ABCABC"},
        {"player 2 code 6 overlapping", 2, "AB\x5B\xE0", "ABBBBB"},
        {"player 2 code 12 at the start", 2, std::string("\xC9\xEF\x00\x00" "A", 5), ""},
        {"player 2 code 12 later", 2, std::string("A\xC9\xEF\x00\x00", 5), "A\xC9\xEF"},
        {"player 1 code bytes are plain for player 2", 2, "XY\x1A\x0A", "XY\x1A\x0A"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReplayDescription d = NetBase();
        d.player(row.player).nameArea = row.area;
        d.player(row.player).name = row.name;
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_EQ(Hex(a.info.player(row.player).nameText()), Hex(row.name));
        EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
    }
}

TEST(ReplayReaderNames, GeneratorRefusesNamesThatHoldCodes)
{
    // "J" followed by a lead byte 0xEA is player 2's code 3.
    EXPECT_TRUE(test::NameHoldsCode("J\xEA\x40", 2));
    EXPECT_FALSE(test::NameHoldsCode("J\xEA\x40", 1));
    EXPECT_FALSE(test::NameHoldsCode(S("ぷよ太郎"), 1));
    EXPECT_EQ(test::CodeOf(1, 0x18, 0x0F), 2);
    EXPECT_EQ(test::CodeOf(2, 0x48, 0xEF), 2);
    EXPECT_EQ(test::CodeOf(2, 0xE8, 0xE1), 0);
    EXPECT_EQ(test::CodeOf(1, 0x9C, 0x0F), 16);
    ReplayDescription d = NetBase();
    d.p2.name = "J\xEA\x40";
    EXPECT_NE(BuildReplay(d).problem, "");
}

// ---------------------------------------------------------------------------
// Net counts

TEST(ReplayReaderCounts, ValuesAsWritten)
{
    struct Row {
        const char* what;
        std::uint32_t wins, losses, rank;
    };
    const Row rows[] = {
        {"typical", 30, 10, 10},        {"nothing played", 0, 0, 0},
        {"top rank read", 999, 1, 18},  {"rank 19 is stored as 0", 5, 5, 19},
        {"rank 25 is stored as 0", 1, 2, 25}, {"rank 255", 1, 2, 255},
        {"16-bit counts", 65535, 65534, 3},  {"40000 wins", 40000, 0, 1},
        // 70000 = 70 11 01 00: its bytes 2-3 are not zero, so it goes byte by
        // byte; no pair is a code and the value is cut to 16 bits: 4464.
        {"wins above 16 bits", 70000, 10, 5},
    };
    for (int player : {1, 2}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.what) + " / player " + std::to_string(player));
            ReplayDescription d = NetBase();
            d.player(player).wins = row.wins;
            d.player(player).losses = row.losses;
            d.player(player).rank = row.rank;
            const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
            EXPECT_EQ(a.rc, kAnalyseOk);
            EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
        }
    }
    ReplayDescription d = NetBase();
    d.p1.wins = 70000;
    EXPECT_EQ(AnalyseBytes(BuildOrFail(d).bytes).info.p1.wins, 4464);
}

TEST(ReplayReaderCounts, RunShapes)
{
    const std::vector<SuccessCase> cases = {
        {"three values", [](auto& d) { d.p1.runValues = d.p2.runValues = 3; }},
        {"nine values", [](auto& d) { d.p1.runValues = d.p2.runValues = 9; }},
        {"values wrap past 255", [](auto& d) { d.p1.runValues = 12; d.p2.runValues = 13; }},
        {"run starting at value 0 (player 2)", [](auto& d) { d.p2.runValues = 12; }},
        {"run byte 0x1F", [](auto& d) { d.p1.runF = d.p2.runF = 0x1F; }},
        {"run byte 0xFF", [](auto& d) { d.p1.runF = d.p2.runF = 0xFF; }},
        {"plain bytes before the run", [](auto& d) { d.p1.countsLead = d.p2.countsLead = {0x10, 0x20, 0x00}; }},
        {"a lone 0x?F before the run",
         [](auto& d) { d.p1.countsLead = d.p2.countsLead = {0x3F, 0x05, 0x4F}; }},
    };
    RunSuccessCases(NetBase(), cases);
}

TEST(ReplayReaderCounts, PlayerTwoCharacterFromPlayerOnesCounts)
{
    const std::vector<SuccessCase> cases = {
        {"right after the rank", [](auto& d) { d.p1.p2CharIndex = 12; }},
        {"one byte later", [](auto& d) { d.p1.p2CharIndex = 13; }},
        // Found at 14 only because the last four-byte copy writes past 16.
        {"two bytes later", [](auto& d) { d.p1.p2CharIndex = 14; }},
        // At 15 the decoder stops after writing the character byte.
        {"three bytes later is not seen", [](auto& d) { d.p1.p2CharIndex = 15; },
         [](ReplayInfo& w) { w.p2.character = 0; }},
        {"no pattern", [](auto& d) { d.p2.character = 0; }},
        {"0x40", [](auto& d) { d.p2.character = 0x40; }},
        {"0x4F", [](auto& d) { d.p2.character = 0x4F; }},
    };
    RunSuccessCases(NetBase(), cases);
}

TEST(ReplayReaderCounts, DecoderQuirksWorkedByHand)
{
    // Player 1's counts decoded from "lo hi 00 00 | 0A 00 00 00 | 05 00 00 00
    // | 47 20 05": a first pair that is code 12, 16 or 17 is not copied while
    // the output is empty.
    struct Row {
        const char* what;
        std::uint32_t wins;
        int gotWins, gotLosses, gotRank, gotP2Char;
    };
    const Row rows[] = {
        // Code 12 (dx 0): two zeros, a zero, "00 0A 00 00", "00 05 00 00", ...
        {"wins 0x0F99: code 12", 0x0F99, 0, 10, 5, 0x47},
        // Code 12 (dx 1): three zeros shift the rest by one.
        {"wins 0x0F9A: code 12, dx 1", 0x0F9A, 0, 0x0A00, 0, 0x47},
        // Code 16: zeros up to twelve bytes; the character pattern is lost.
        {"wins 0x0F9C: code 16", 0x0F9C, 0, 0, 0, 0},
        // Code 17: ten zeros.
        {"wins 0x0FA1: code 17", 0x0FA1, 0, 0, 0, 0},
        // Code 8 is copied like any other pair.
        {"wins 0x0F98: code 8", 0x0F98, 0x0F98, 10, 5, 0x47},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReplayDescription d = NetBase();
        d.p1.wins = row.wins;
        d.p1.losses = 10;
        d.p1.rank = 5;
        ReplayInfo want = ExpectedInfo(d);
        want.p1.wins = static_cast<std::int16_t>(row.gotWins);
        want.p1.losses = static_cast<std::int16_t>(row.gotLosses);
        want.p1.rank = static_cast<std::int16_t>(row.gotRank);
        want.p2.character = static_cast<std::int16_t>(row.gotP2Char);
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, want));
    }
}

// The run in front of the counts for player 1 (K = 0xA8) and player 2 (0xD8).
std::vector<std::uint8_t> RunBytes(int player)
{
    const std::uint8_t k = player == 1 ? 0xA8 : 0xD8;
    return {0x0F, static_cast<std::uint8_t>(k - 36), 0x0F, static_cast<std::uint8_t>(k - 18), 0x0F, 0x00};
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ReplayReaderCounts, CountsModeCodesWorkedByHand)
{
    // Player 1 "Abc" behind the four-byte start lead: the marker ends at
    // index 8, the run takes 9-14 and the counts start at input position 15.
    struct Row {
        const char* what;
        std::vector<std::uint8_t> counts;
        int wins, losses, rank;
    };
    const Row rows[] = {
        // Code 3 in mode counts: the first byte of the player's name ('A').
        // O = 41 | 05 00 00 00 | 07 00 00 00 | 02 00 00 00
        {"code 3", {0x1A, 0x0A, 0x05, 0, 0, 0, 0x07, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0}, 0x0541, 0x0700, 0},
        // Code 6 (dx 0, dy 1): name bytes 0-3 "Abc\0"; dx + t stays below the
        // input position 15.
        {"code 6 copies the name", {0x2A, 0x01, 0x0A, 0, 0, 0, 0x05, 0, 0, 0, 0, 0, 0, 0}, 0x6241, 10, 5},
        // Code 6 (dx 21 >= position 15): one byte R[21] = 0, and the code ends.
        {"code 6 past the position", {0x3F, 0x02, 0x0A, 0, 0, 0, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x0A00,
         0x0500, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReplayDescription d = NetBase();
        d.p1.name = "Abc";
        d.p1.countsArea = Concat(RunBytes(1), row.counts);
        d.p2.character = 0;
        ReplayInfo want = ExpectedInfo(d);
        want.p1.wins = static_cast<std::int16_t>(row.wins);
        want.p1.losses = static_cast<std::int16_t>(row.losses);
        want.p1.rank = static_cast<std::int16_t>(row.rank);
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, want));
    }
}

TEST(ReplayReaderCounts, WalkStopsWithoutRunEnd)
{
    // Bytes right after the name marker (at index k), and the counts the
    // reader must take from the position it ends up at, worked by hand.
    struct Row {
        const char* what;
        int player;
        std::vector<std::uint8_t> area;
        int wins, losses, rank;
    };
    const Row rows[] = {
        // F 05 F 00: 00 is not 05 + 18, stop at k+2; 0x05 < 0x10 moves back
        // to k (the marker's 0x0F): O = 0F 1F 05 1F 00 ... wins 0x1F0F.
        {"back by two", 1, {0x1F, 0x05, 0x1F, 0x00, 0x00, 0x00}, 0x1F0F, 0, 0},
        // 0x97 with 0x2F: high bits 9, nothing special: on by two.
        {"0x97 0x2F moves on", 1, {0x2F, 0x97, 0x2F, 0x23, 0x01, 0, 0, 0x0A, 0, 0, 0, 0x05, 0, 0, 0}, 0x0123,
         10, 5},
        {"0x97 0x0F moves on", 1, {0x0F, 0x97, 0x0F, 0x23, 0x01, 0, 0, 0x0A, 0, 0, 0, 0x05, 0, 0, 0}, 0x0123,
         10, 5},
        {"0x9A or more stays", 1, {0x2F, 0x9A, 0x2F, 0x00, 0x00, 0x00}, 0x2F9A, 0, 0},
        {"second byte 0x0F stays", 1, {0x0F, 0x98, 0x0F, 0x00, 0x00, 0x00}, 0x0F98, 0, 0},
        // The run starts (87, 99) and stops on a non-0x?F byte: 99 07 / 99 0E
        // stay.
        {"0x99 0x07 stays", 1, {0x3F, 0x87, 0x3F, 0x99, 0x07, 0x00, 0x00, 0x00}, 0x0799, 0, 0},
        {"0x99 0x0E stays", 1, {0x3F, 0x87, 0x3F, 0x99, 0x0E, 0x00, 0x00, 0x00}, 0x0E99, 0, 0},
        // The run goes 50, 62, then 11 where 74 is due: stop on 11.
        {"value breaks the run", 1, {0x3F, 0x50, 0x3F, 0x62, 0x3F, 0x11, 0x00, 0x00, 0x00}, 0x11, 0, 0},
        // 00 where 74 is due, but 74 is not K: stop, back by two to 62 3F.
        {"zero before K", 1, {0x3F, 0x50, 0x3F, 0x62, 0x3F, 0x00, 0x00, 0x00}, 0x3F62, 0, 0},
        // Player 2: high bits 0xC, pairs C9 E7 / C9 EE / C7 EF, limit 0xCA,
        // second byte 0xEF.
        {"player 2: C7 EF moves on", 2, {0xEF, 0xC7, 0xEF, 0x23, 0x01, 0, 0, 0x0A, 0, 0, 0, 0x05, 0, 0, 0},
         0x0123, 10, 5},
        {"player 2: C5 moves on", 2, {0x2F, 0xC5, 0x2F, 0x23, 0x01, 0, 0, 0x0A, 0, 0, 0, 0x05, 0, 0, 0},
         0x0123, 10, 5},
        {"player 2: 0xCA or more stays", 2, {0x2F, 0xCA, 0x2F, 0x00, 0x00, 0x00}, 0x2FCA, 0, 0},
        {"player 2: second byte 0xEF stays", 2, {0xEF, 0xC8, 0xEF, 0x00, 0x00, 0x00}, 0xEFC8, 0, 0},
        {"player 2: C9 E7 stays", 2, {0x3F, 0xB7, 0x3F, 0xC9, 0xE7, 0x00, 0x00, 0x00}, 0xE7C9, 0, 0},
        {"player 2: C9 EE stays", 2, {0x3F, 0xB7, 0x3F, 0xC9, 0xEE, 0x00, 0x00, 0x00}, 0xEEC9, 0, 0},
        // Player 1 leaves a byte with high bits 0xC where it is (player 2 would
        // move on by two): C5 2F 23 01 00 00 0A ... decodes byte, byte, then
        // four-byte copies: O = C5 2F 23 01 | 00 00 0A 00 | 00 00 05 00.
        {"player 1 ignores player 2's rule", 1, {0x2F, 0xC5, 0x2F, 0x23, 0x01, 0, 0, 0x0A, 0, 0, 0, 0x05, 0, 0, 0},
         0x2FC5, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReplayDescription d = NetBase();
        d.player(row.player).countsArea = row.area;
        if (row.player == 1) d.p2.character = 0;
        ReplayInfo want = ExpectedInfo(d);
        PlayerRecord& p = want.player(row.player);
        p.wins = static_cast<std::int16_t>(static_cast<std::uint16_t>(row.wins));
        p.losses = static_cast<std::int16_t>(row.losses);
        p.rank = static_cast<std::int16_t>(row.rank);
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(a.rc, kAnalyseOk);
        EXPECT_TRUE(SameInfo(a.info, want));
    }
}

// ---------------------------------------------------------------------------
// Offline matches

TEST(ReplayReaderOffline, SecondPlayersCharacterAndComputerFlag)
{
    const std::vector<SuccessCase> cases = {
        {"against the computer", [](auto& d) { d.p2.isCom = true; }},
        {"two players", [](auto& d) { d.p2.isCom = false; d.kind = MatchType::OfflineTwoPlayers; }},
        {"flag 0x11 is the computer", [](auto& d) { d.offlineFlag = 0x11; }},
        {"flag 0x51 is the computer", [](auto& d) { d.offlineFlag = 0x51; }},
        {"flag 0x50 is a player", [](auto& d) { d.offlineFlag = 0x50; }},
        {"flag 0x10 is a player", [](auto& d) { d.offlineFlag = 0x10; }},
        {"pair in the two raw bytes before the first control byte", [](auto& d) { d.offlineCharIndex = 0; }},
        {"pair starting at the second raw byte", [](auto& d) { d.offlineCharIndex = 1; }},
        {"pair late in the capture", [](auto& d) { d.offlineCharIndex = 120; }},
        {"near misses first, a second pair after", [](auto& d) { d.offlineDecoys = true; }},
        {"lowest character 0x30", [](auto& d) { d.p2.character = 0x30; }},
        {"highest character 0x5F", [](auto& d) { d.p2.character = 0x5F; }},
        {"no pair: character 0", [](auto& d) { d.p2.character = 0; }},
        {"player 2's block is not used", [](auto& d) { d.p2.omitNameMarker = true; d.p2.omitCountsRun = true; }},
        {"player 1's character outside the range", [](auto& d) { d.p1.character = 0x20; }},
        {"mixed grouping", [](auto& d) { d.controls = {0x0F, 0xF0, 0x00}; d.paddingSeed = 7; }},
    };
    RunSuccessCases(test::OfflineDescription(true), cases);
}

// ---------------------------------------------------------------------------
// Player block failures

TEST(ReplayReaderBlocks, NameAndRunFailures)
{
    // What a failing player step leaves: the header's facts, everything of
    // the steps before.
    auto p1NameFailed = [](ReplayInfo& w) {
        const std::int16_t ch = w.p1.character, s1 = w.p1.score, s2 = w.p2.score;
        w.p1 = PlayerRecord{};
        w.p2 = PlayerRecord{};
        w.p1.character = ch;
        w.p1.score = s1;
        w.p2.score = s2;
    };
    auto p1CountsFailed = [p1NameFailed](ReplayInfo& w) {
        const std::string name(w.p1.nameText());
        p1NameFailed(w);
        w.p1.setName(name);
    };
    auto p2NameFailed = [](ReplayInfo& w) {
        const std::int16_t ch = w.p2.character, s2 = w.p2.score;
        w.p2 = PlayerRecord{};
        w.p2.character = ch;
        w.p2.score = s2;
    };
    auto p2CountsFailed = [p2NameFailed](ReplayInfo& w) {
        const std::string name(w.p2.nameText());
        p2NameFailed(w);
        w.p2.setName(name);
    };
    const std::vector<FailureCase> cases = {
        {"player 1 without name marker", [](auto& d) { d.p1.omitNameMarker = true; }, kErrNoNameMarker, 751,
         p1NameFailed},
        {"player 1 marker at index 80", [](auto& d) { d.p1.name = "ABCD"; d.p1.nameMarkerPadding = 71; },
         kErrNoNameMarker, 751, p1NameFailed},
        {"player 1 without run", [](auto& d) { d.p1.omitCountsRun = true; }, kErrNoCountsRun, 1586,
         p1CountsFailed},
        {"player 2 without name marker", [](auto& d) { d.p2.omitNameMarker = true; }, kErrNoNameMarker, 751,
         p2NameFailed},
        {"player 2 marker at index 80", [](auto& d) { d.p2.name = "ABCD"; d.p2.nameMarkerPadding = 71; },
         kErrNoNameMarker, 751, p2NameFailed},
        {"player 2 without run", [](auto& d) { d.p2.omitCountsRun = true; }, kErrNoCountsRun, 1586,
         p2CountsFailed},
    };
    RunFailureCases(NetBase(), cases);

    // Index 79 is still found.
    const std::vector<SuccessCase> ok = {
        {"player 1 marker at index 79", [](auto& d) { d.p1.name = "ABCD"; d.p1.nameMarkerPadding = 70; }},
        {"player 2 marker at index 79", [](auto& d) { d.p2.name = "ABCD"; d.p2.nameMarkerPadding = 70; }},
    };
    RunSuccessCases(NetBase(), ok);
}

TEST(ReplayReaderBlocks, BuilderPutsTheMarkerWhereTheTestSays)
{
    ReplayDescription d = NetBase();
    d.p1.name = "ABCD";
    d.p1.nameMarkerPadding = 70;
    EXPECT_EQ(BuildOrFail(d).layout.players[0].markerIndex, 79);
    d.p1.nameMarkerPadding = 71;
    EXPECT_EQ(BuildOrFail(d).layout.players[0].markerIndex, 80);
}

// ---------------------------------------------------------------------------
// Truncation at every group boundary

struct Outcome {
    int code = 0;   // 0: success
    int line = 0;
    bool operator<(const Outcome& o) const { return std::tie(code, line) < std::tie(o.code, o.line); }
};

std::string ShowOutcomes(const std::set<Outcome>& set)
{
    std::string s;
    for (const auto& o : set) s += " " + std::to_string(o.code) + "/" + std::to_string(o.line);
    return s;
}

// Number of capture bytes that a file cut at `cut` still holds.
int CaptureBytesBefore(const test::PlayerLayout& pl, std::size_t cut)
{
    return static_cast<int>(std::count_if(pl.captureOffsets.begin(), pl.captureOffsets.end(),
                                          [cut](std::size_t o) { return o < cut; }));
}

// The header outcome for a file cut at `cut`, for a net file whose score is
// rule 1 (H1 = 0x30) or an offline file: the end of the file may or may not
// add a 0xFF to H (a cut at a group start ends on a control byte position;
// both readings are allowed). Adds failures to `out`; answers whether the
// header can succeed.
bool HeaderOutcomes(const BuiltReplay& b, bool net, std::size_t cut, std::set<Outcome>& out)
{
    const auto& L = b.layout;
    const std::size_t n = static_cast<std::size_t>(
        std::count_if(L.hOffsets.begin(), L.hOffsets.end(), [cut](std::size_t o) { return o < cut; }));
    if (n == L.h.size()) return true;   // the header is whole
    if (n == 0) { out.insert({kErrNoMode, 327}); return false; }
    bool canSucceed = false;
    for (bool appended : {false, true}) {
        std::vector<int> h(L.h.begin(), L.h.begin() + static_cast<std::ptrdiff_t>(n));
        if (appended) h.push_back(0xFF);
        auto at = [&h](std::size_t i) { return i < h.size() ? h[i] : 0; };
        if (net && at(1) != 0x30) { out.insert({kErrScore, 458}); continue; }
        int found = -1;
        for (std::size_t j = net ? 4 : 1; j + 2 < h.size(); ++j) {
            const int a = h[j], bb = h[j + 1], c = h[j + 2];
            if ((a == 0x80 && bb == 0x64 && c == 0) || (a == 0x81 && bb == 0x64 && c == 0) ||
                (a == 0x81 && bb == 0x0A && c == 0) || (a == 0x82 && bb == 0xC8 && c == 0)) {
                found = static_cast<int>(j);
                break;
            }
        }
        if (found < 0) out.insert({kErrNoRuleMarker, 511});
        else if (static_cast<std::size_t>(found) + 5 >= h.size()) out.insert({kErrRuleMarkerAtEnd, 517});
        else canSucceed = true;
    }
    return canSucceed;
}

TEST(ReplayReaderTruncation, NetFileCutAtEveryGroupStart)
{
    ReplayDescription d = NetBase();
    d.scoreBytes = std::array<std::uint8_t, 8>{0x30, 0, 0, 0, 0, 0, 0, 0};
    d.score1 = d.score2 = 0;
    const BuiltReplay b = BuildOrFail(d);
    const auto& p1 = b.layout.players[0];
    const auto& p2 = b.layout.players[1];
    const auto points = test::TruncationPoints(b);
    ASSERT_GT(points.size(), 80u);
    for (std::size_t cut : points) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        std::set<Outcome> allowed;
        bool full = false;
        if (HeaderOutcomes(b, true, cut, allowed)) {
            const int c1 = CaptureBytesBefore(p1, cut);
            const int c2 = CaptureBytesBefore(p2, cut);
            if (cut <= test::kPlayer1Block) allowed.insert({kErrSeek, 561});
            if (c1 <= p1.markerIndex) {
                allowed.insert({kErrNoNameMarker, 751});
            } else if (c1 <= p1.runDecisionIndex) {
                allowed.insert({kErrNoCountsRun, 1586});
            } else if (cut <= test::kPlayer2Block) {
                allowed.insert({kErrSeek, 561});
                allowed.insert({kErrNoNameMarker, 751});
            } else if (c2 <= p2.markerIndex) {
                allowed.insert({kErrNoNameMarker, 751});
            } else if (c2 <= p2.runDecisionIndex) {
                allowed.insert({kErrNoCountsRun, 1586});
            } else {
                allowed.insert({0, 0});
                full = c2 > p2.countsEndIndex;
            }
        }
        const Analysis a = AnalyseBytes(std::string_view(b.bytes).substr(0, cut));
        ASSERT_TRUE(a.rc == kAnalyseOk || a.rc == kAnalyseFailed);
        const Outcome got = a.rc == kAnalyseOk ? Outcome{0, 0} : Outcome{a.info.p1.wins, a.info.p1.losses};
        EXPECT_EQ((a.info.infoFlags & kInfoFailed) != 0, a.rc == kAnalyseFailed);
        EXPECT_TRUE(allowed.count(got)) << "got " << got.code << "/" << got.line << ", allowed"
                                        << ShowOutcomes(allowed);
        if (a.rc == kAnalyseOk) {
            EXPECT_EQ(Hex(a.info.p1.nameText()), Hex(d.p1.name));
            EXPECT_EQ(Hex(a.info.p2.nameText()), Hex(d.p2.name));
            if (full) {
                EXPECT_TRUE(SameInfo(a.info, ExpectedInfo(d)));
            }
        }
    }
    const Analysis whole = AnalyseBytes(b.bytes);
    EXPECT_TRUE(SameInfo(whole.info, ExpectedInfo(d)));
}

TEST(ReplayReaderTruncation, OfflineFileCutAtEveryGroupStart)
{
    ReplayDescription d = test::OfflineDescription(true);
    d.offlineCharIndex = 40;
    const BuiltReplay b = BuildOrFail(d);
    const auto& p1 = b.layout.players[0];
    for (std::size_t cut : test::TruncationPoints(b)) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        std::set<Outcome> allowed;
        const bool headerWhole = cut > b.layout.hOffsets.back();
        if (HeaderOutcomes(b, false, cut, allowed)) {
            allowed.insert({0, 0});
            if (cut <= test::kPlayer2Block) allowed.insert({kErrSeek, 561});
        }
        const Analysis a = AnalyseBytes(std::string_view(b.bytes).substr(0, cut));
        ASSERT_TRUE(a.rc == kAnalyseOk || a.rc == kAnalyseFailed);
        const Outcome got = a.rc == kAnalyseOk ? Outcome{0, 0} : Outcome{a.info.p1.wins, a.info.p1.losses};
        EXPECT_TRUE(allowed.count(got)) << "got " << got.code << "/" << got.line << ", allowed"
                                        << ShowOutcomes(allowed);
        if (a.rc == kAnalyseOk) {
            const bool pairThere = CaptureBytesBefore(p1, cut) >= p1.offlineCharIndex + 2;
            EXPECT_EQ(a.info.p2.character, pairThere ? d.p2.character : 0);
            EXPECT_EQ(a.info.p2.isCom, pairThere ? 1 : 0);
            // A header cut right after the marker may take the end of the
            // file (0xFF) as the character.
            if (headerWhole) {
                EXPECT_EQ(a.info.p1.character, d.p1.character);
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Robustness: damaged files never crash and always answer a legal result

const std::set<Outcome>& LegalFailures()
{
    static const std::set<Outcome> legal = {
        {kErrSeek, 197},     {kErrNoMode, 327},      {kErrScore, 458},     {kErrNoRuleMarker, 511},
        {kErrRuleMarkerAtEnd, 517}, {kErrSeek, 561}, {kErrSignature, 279}, {kErrSignature, 287},
        {kErrSignature, 295}, {kErrSignature, 303},  {kErrSignature, 311}, {kErrNoNameMarker, 751},
        {kErrNoNameEnd, 860}, {kErrNoCountsRun, 1586},
    };
    return legal;
}

void CheckLegal(const Analysis& a)
{
    ASSERT_TRUE(a.rc == kAnalyseOk || a.rc == kAnalyseFailed) << a.rc;
    const std::uint32_t allBits = kInfoNetMatch | kInfoOfflineMatch | kInfoRuleF | kInfoOtherRule | kInfoNetW |
                                  kInfoNetP | kInfoFailed;
    EXPECT_EQ(a.info.infoFlags & ~allBits, 0u);
    if (a.rc == kAnalyseFailed) {
        EXPECT_NE(a.info.infoFlags & kInfoFailed, 0u);
        EXPECT_TRUE(LegalFailures().count({a.info.p1.wins, a.info.p1.losses}))
            << a.info.p1.wins << "/" << a.info.p1.losses;
        return;
    }
    const std::uint32_t f = a.info.infoFlags;
    EXPECT_EQ(f & kInfoFailed, 0u);
    EXPECT_TRUE(((f & kInfoNetMatch) != 0) != ((f & kInfoOfflineMatch) != 0));
    EXPECT_TRUE(((f & kInfoRuleF) != 0) != ((f & kInfoOtherRule) != 0));
    EXPECT_FALSE((f & kInfoNetW) && (f & kInfoNetP));
    for (const PlayerRecord* p : {&a.info.p1, &a.info.p2}) {
        EXPECT_LE(p->nameText().size(), 16u);
        EXPECT_EQ(p->name[40], '\0');
        EXPECT_GE(p->rank, 0);
        EXPECT_LE(p->rank, 18);
    }
    EXPECT_EQ(a.info.p1.isCom, 0);
    if (f & kInfoOfflineMatch) {
        EXPECT_EQ(a.info.p1.nameText(), "");
        EXPECT_EQ(a.info.p2.nameText(), "");
        EXPECT_TRUE(a.info.p2.character == 0 || (a.info.p2.character >= 0x30 && a.info.p2.character <= 0x5F));
    } else {
        EXPECT_EQ(a.info.p2.isCom, 0);
        EXPECT_TRUE(a.info.p2.character == 0 || (a.info.p2.character >= 0x40 && a.info.p2.character <= 0x4F));
    }
}

TEST(ReplayReaderRobustness, MutatedFilesGiveLegalResults)
{
    std::vector<std::string> bases;
    {
        ReplayDescription d = NetBase();
        bases.push_back(BuildOrFail(d).bytes);
        d.controls = {0x00, 0xF0, 0x0F, 0xFF};
        d.p1.skippedZeroGroups = 1;
        d.paddingSeed = 5;
        bases.push_back(BuildOrFail(d).bytes);
        d = NetBase();
        d.p1.lead = NameLead::DataZeroRepeat;
        d.p2.lead = NameLead::LeadingZeroF;
        d.p1.countsArea = std::vector<std::uint8_t>{0x3F, 0x87, 0x3F, 0x99, 0x07, 0x00, 0x00, 0x00};
        d.p2.character = 0;
        bases.push_back(BuildOrFail(d).bytes);
    }
    bases.push_back(BuildOrFail(test::OfflineDescription(true)).bytes);
    bases.push_back(BuildOrFail(test::OfflineDescription(false)).bytes);

    constexpr int kPerBase = 1200;
    int successes = 0, failures = 0;
    for (std::size_t bi = 0; bi < bases.size(); ++bi) {
        for (int i = 0; i < kPerBase; ++i) {
            const std::uint64_t seed = bi * 1000003u + static_cast<std::uint64_t>(i);
            const std::string bytes = test::MutateReplay(bases[bi], seed);
            const Analysis a = AnalyseBytes(bytes);
            SCOPED_TRACE("base " + std::to_string(bi) + " seed " + std::to_string(seed));
            CheckLegal(a);
            (a.rc == kAnalyseOk ? successes : failures)++;
            if (::testing::Test::HasFailure()) return;
        }
    }
    // The damage is varied enough to reach both answers.
    EXPECT_GT(successes, 100);
    EXPECT_GT(failures, 100);
}

TEST(ReplayReaderRobustness, MutatorIsDeterministic)
{
    const std::string base = BuildOrFail(NetBase()).bytes;
    EXPECT_EQ(test::MutateReplay(base, 42), test::MutateReplay(base, 42));
    EXPECT_NE(test::MutateReplay(base, 42), base);
}

TEST(ReplayReaderRobustness, RandomBytesAndPathologicalFiles)
{
    std::vector<std::string> files = {
        std::string(100000, '\0'), std::string(100000, '\xFF'), std::string(30000, '\x0F'),
        std::string(30000, '\xE4'),
    };
    // A valid header followed by nothing but markers and runs.
    std::string header = BuildOrFail(NetBase()).bytes.substr(0, 700);
    std::string markers = header;
    const std::string chunk("\x00\x12\x4F\x18\x0F\x48\xEF\x0F", 8);
    while (markers.size() < 40000) markers += chunk;
    files.push_back(markers);
    std::uint64_t s = 1;
    for (int i = 0; i < 50; ++i) {
        std::string r(24576, '\0');
        for (char& c : r) {
            s = s * 6364136223846793005ull + 1442695040888963407ull;
            c = static_cast<char>(s >> 56);
        }
        files.push_back(r);
        files.push_back(header + r);
    }
    for (const auto& f : files) CheckLegal(AnalyseBytes(f));
}

// ---------------------------------------------------------------------------
// Reading from a path

TEST(ReplayReaderPath, FileOnDiskReadsLikeItsBytes)
{
    test::TempDir dir;
    for (const ReplayDescription& d : {NetBase(), test::OfflineDescription(true)}) {
        const BuiltReplay b = BuildOrFail(d);
        const std::string path = dir.write("REPLAY00.RPD", b.bytes);
        ReplayInfo info;
        EXPECT_EQ(AnalyseReplay(path, info), kAnalyseOk);
        EXPECT_TRUE(SameInfo(info, ExpectedInfo(d)));
    }
    // A Shift-JIS path.
    const BuiltReplay b = BuildOrFail(NetBase());
    dir.write("リプレイ対戦.DAT", b.bytes);
    ReplayInfo info;
    EXPECT_EQ(AnalyseReplay(dir.path().string() + "/" + S("リプレイ対戦.DAT"), info), kAnalyseOk);
    EXPECT_TRUE(SameInfo(info, ExpectedInfo(NetBase())));
}

TEST(ReplayReaderPath, DamagedFilesOnDiskAgreeWithTheirBytes)
{
    test::TempDir dir;
    const std::string base = BuildOrFail(NetBase()).bytes;
    for (int i = 0; i < 60; ++i) {
        const std::string bytes = test::MutateReplay(base, 7000u + static_cast<unsigned>(i));
        const std::string path = dir.write("m.RPD", bytes);
        ReplayInfo fromFile;
        const int rc = AnalyseReplay(path, fromFile);
        const Analysis fromBytes = AnalyseBytes(bytes);
        SCOPED_TRACE(i);
        EXPECT_EQ(rc, fromBytes.rc);
        EXPECT_TRUE(SameInfo(fromFile, fromBytes.info));
    }
}

TEST(ReplayReaderPath, MissingAndUnreadable)
{
    test::TempDir dir;
    ReplayInfo info;
    info.infoFlags = kInfoNetMatch;
    info.p1.setName("stale");
    info.p2.rank = 7;
    EXPECT_EQ(AnalyseReplay(dir.file("nothing.RPD"), info), kAnalyseFailed);
    ReplayInfo want;
    want.infoFlags = kInfoFailed;
    want.p1.wins = kErrNoFile;
    want.p1.losses = 136;
    EXPECT_TRUE(SameInfo(info, want));

#ifdef _WIN32
    GTEST_SKIP() << "file modes lock no file on Windows";
#else
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: every file can be opened";
#endif
    const std::string path = dir.write("locked.RPD", BuildOrFail(NetBase()).bytes);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ReplayInfo locked;
    EXPECT_EQ(AnalyseReplay(path, locked), kAnalyseFailed);
    want.p1.wins = kErrCannotOpen;
    want.p1.losses = 144;
    EXPECT_TRUE(SameInfo(locked, want));
}

TEST(ReplayReaderPath, InfoIsClearedBeforeReading)
{
    ReplayInfo info;
    info.infoFlags = 0xFFFF;
    info.p1.setName("stale");
    info.p2.setName("stale too");
    info.p2.isCom = 1;
    info.p2.wins = 99;
    ReplayDescription d = test::OfflineDescription(false);
    EXPECT_EQ(AnalyseReplayBytes(BuildOrFail(d).bytes, info), kAnalyseOk);
    EXPECT_TRUE(SameInfo(info, ExpectedInfo(d)));
}

// ---------------------------------------------------------------------------
// Column texts

TEST(ReplayReaderSummary, InfoColumn)
{
    EXPECT_EQ(InfoSummary(nullptr), "");

    struct Row {
        const char* what;
        std::function<void(ReplayInfo&)> fill;
        const char* text;
    };
    const Row rows[] = {
        {"net F W", [](ReplayInfo& i) { i.infoFlags = kInfoNetMatch | kInfoRuleF | kInfoNetW;
                                        i.p1.score = 3; i.p2.score = 1; }, "ネットぷよ：3対1 [F/W]"},
        {"net C P", [](ReplayInfo& i) { i.infoFlags = kInfoNetMatch | kInfoOtherRule | kInfoNetP;
                                        i.p1.score = 0; i.p2.score = 2; }, "ネットぷよ：0対2 [C/P]"},
        {"net without letter bits shows P", [](ReplayInfo& i) { i.infoFlags = kInfoNetMatch;
                                                                i.p1.score = 18; i.p2.score = 32; },
         "ネットぷよ：18対32 [C/P]"},
        {"offline against the computer", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; i.p2.isCom = 1; },
         "ひとぷよ"},
        {"computer flag on player 1", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; i.p1.isCom = 1; },
         "ひとぷよ"},
        {"two players", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; }, "ふたぷよ"},
        {"failed", [](ReplayInfo& i) { i.infoFlags = kInfoFailed | kInfoNetMatch; i.p1.wins = 10;
                                       i.p1.losses = 751; }, "解析エラー: Code:10 Line:751"},
        {"failed, code 16", [](ReplayInfo& i) { i.infoFlags = kInfoFailed; i.p1.wins = 16; i.p1.losses = 1586; },
         "解析エラー: Code:16 Line:1586"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReplayInfo info;
        row.fill(info);
        EXPECT_EQ(InfoSummary(&info), S(row.text));
    }
}

TEST(ReplayReaderSummary, PlayerColumns)
{
    EXPECT_EQ(PlayerSummary(nullptr, 1), "");
    struct Row {
        const char* what;
        std::function<void(ReplayInfo&)> fill;
        int player;
        std::string text;   // UTF-8
    };
    auto net = [](const char* name, int rank, int wins, int losses, int ch) {
        return [=](ReplayInfo& i) {
            i.infoFlags = kInfoNetMatch;
            i.p1.setName(Sjis(name));
            i.p1.rank = static_cast<std::int16_t>(rank);
            i.p1.wins = static_cast<std::int16_t>(wins);
            i.p1.losses = static_cast<std::int16_t>(losses);
            i.p1.character = static_cast<std::int16_t>(ch);
        };
    };
    const Row rows[] = {
        {"typical", net("ぷよ太郎", 10, 30, 10, 0x30), 1, "ぷよ太郎 しょだん 30/10(  0.75) [アミティ]"},
        {"nothing played", net("A", 0, 0, 0, 0x31), 1, "A １０きゅう 0/0(  0.00) [おしゃれこうべ]"},
        {"all won", net("B", 18, 5, 0, 0x3F), 1, "B ９だん 5/0(  1.00) [カーバンクル]"},
        {"one third", net("C", 9, 1, 2, 0x4C), 1, "C １きゅう 1/2(  0.33) [子連れフランケン]"},
        {"two thirds", net("C", 11, 2, 1, 0x5D), 1, "C ２だん 2/1(  0.67) [アルル]"},
        {"counts as unsigned 16-bit", net("D", 1, -25536, 0, 0x36), 1,
         "D ９きゅう 40000/0(  1.00) [さかな王子]"},
        {"65535 losses", net("E", 2, 1, -1, 0x3B), 1, "E ８きゅう 1/65535(  0.00) [アコール先生]"},
        {"rank 19 from a list file", net("F", 19, 3, 1, 0x30), 1, "F １０だん 3/1(  0.75) [アミティ]"},
        {"rank 20", net("G", 20, 3, 1, 0x30), 1, "G ER 3/1(  0.75) [アミティ]"},
        {"negative rank", net("G", -1, 3, 1, 0x30), 1, "G ER 3/1(  0.75) [アミティ]"},
        {"character below the range", net("H", 0, 1, 1, 0x2F), 1, "H １０きゅう 1/1(  0.50) [ER]"},
        {"character above the range", net("H", 0, 1, 1, 0x60), 1, "H １０きゅう 1/1(  0.50) [ER]"},
        {"negative character", net("H", 0, 1, 1, -1), 1, "H １０きゅう 1/1(  0.50) [ER]"},
        {"percent signs in the name", net("100%d%s", 0, 1, 1, 0x30), 1, "100%d%s １０きゅう 1/1(  0.50) [アミティ]"},
        {"forty-byte name from a list file", net("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn", 0, 0, 0, 0x30), 1,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn １０きゅう 0/0(  0.00) [アミティ]"},
        {"net player 2", [](ReplayInfo& i) { i.infoFlags = kInfoNetMatch; i.p2.setName(Sjis("さかな好き"));
                                             i.p2.rank = 5; i.p2.wins = 123; i.p2.losses = 45;
                                             i.p2.character = 0x47; }, 2,
         "さかな好き ５きゅう 123/45(  0.73) [ラフィーナ]"},
        {"offline player 1", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; i.p1.character = 0x33; }, 1,
         "[どんぐりがえる]"},
        {"offline computer", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; i.p2.character = 0x3D;
                                                 i.p2.isCom = 1; }, 2, "[アルル] (COM)"},
        {"offline unknown character", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; i.p1.character = 0x20; },
         1, "[ER]"},
        {"offline character 0", [](ReplayInfo& i) { i.infoFlags = kInfoOfflineMatch; i.p2.isCom = 1; }, 2,
         "[ER] (COM)"},
        {"failed: player 1 empty", [](ReplayInfo& i) { i.infoFlags = kInfoFailed | kInfoNetMatch; i.p1.wins = 10;
                                                       i.p1.losses = 751; i.p1.setName("x"); }, 1, ""},
        {"failed: player 2 empty", [](ReplayInfo& i) { i.infoFlags = kInfoFailed | kInfoNetMatch;
                                                       i.p2.setName("y"); }, 2, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ReplayInfo info;
        row.fill(info);
        EXPECT_EQ(Cp932ToUtf8Lossy(PlayerSummary(&info, row.player)), row.text);
    }
}

TEST(ReplayReaderSummary, TextsOfBuiltFiles)
{
    {
        const Analysis a = AnalyseBytes(BuildOrFail(NetBase()).bytes);
        EXPECT_EQ(InfoSummary(&a.info), S("ネットぷよ：3対1 [F/W]"));
        EXPECT_EQ(PlayerSummary(&a.info, 1), S("ぷよ太郎 しょだん 30/10(  0.75) [アミティ]"));
        EXPECT_EQ(PlayerSummary(&a.info, 2), S("さかな好き ５きゅう 123/45(  0.73) [ラフィーナ]"));
    }
    {
        ReplayDescription d = NetBase();
        d.marker = RuleMarker::Other_80_64;
        d.letter = NetLetter::P;
        d.p1.wins = d.p1.losses = 0;
        d.p1.rank = 25;
        d.p1.name = "A" + S("ぷよぷよフィーバー");
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(InfoSummary(&a.info), S("ネットぷよ：3対1 [C/P]"));
        EXPECT_EQ(PlayerSummary(&a.info, 1),
                  "A" + S("ぷよぷよフィー") + "\x83" + S(" １０きゅう 0/0(  0.00) [アミティ]"));
    }
    {
        const Analysis a = AnalyseBytes(BuildOrFail(test::OfflineDescription(true)).bytes);
        EXPECT_EQ(InfoSummary(&a.info), S("ひとぷよ"));
        EXPECT_EQ(PlayerSummary(&a.info, 1), S("[どんぐりがえる]"));
        EXPECT_EQ(PlayerSummary(&a.info, 2), S("[アルル] (COM)"));
    }
    {
        ReplayDescription d = test::OfflineDescription(false);
        d.p1.character = 0x60;
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(InfoSummary(&a.info), S("ふたぷよ"));
        EXPECT_EQ(PlayerSummary(&a.info, 1), S("[ER]"));
        EXPECT_EQ(PlayerSummary(&a.info, 2), S("[アルル]"));
    }
    {
        ReplayDescription d = NetBase();
        d.badSignatureOffset = 11;
        const Analysis a = AnalyseBytes(BuildOrFail(d).bytes);
        EXPECT_EQ(InfoSummary(&a.info), S("解析エラー: Code:9 Line:295"));
        EXPECT_EQ(PlayerSummary(&a.info, 1), "");
        EXPECT_EQ(PlayerSummary(&a.info, 2), "");
    }
}

TEST(ReplayReaderSummary, NameTables)
{
    const char* ranks[] = {"１０きゅう", "９きゅう", "８きゅう", "７きゅう", "６きゅう", "５きゅう", "４きゅう",
                           "３きゅう",   "２きゅう", "１きゅう", "しょだん", "２だん",   "３だん",   "４だん",
                           "５だん",     "６だん",   "７だん",   "８だん",   "９だん",   "１０だん", "ER"};
    ASSERT_EQ(std::size(ranks), static_cast<std::size_t>(kRankNameCount));
    for (int i = 0; i < kRankNameCount; ++i) EXPECT_EQ(RankName(i), S(ranks[i])) << i;
    const char* characters[] = {"アミティ",   "おしゃれこうべ", "クルーク",       "どんぐりがえる", "リデル",
                                "おにおん",   "さかな王子",     "ラフィーナ",     "ユウちゃん",     "タルタル",
                                "ほほうどり", "アコール先生",   "子連れフランケン", "アルル",         "ポポイ",
                                "カーバンクル", "ER"};
    ASSERT_EQ(std::size(characters), static_cast<std::size_t>(kCharacterNameCount));
    for (int i = 0; i < kCharacterNameCount; ++i) EXPECT_EQ(CharacterName(i), S(characters[i])) << i;
}

TEST(ReplayReaderSummary, TableIndices)
{
    const std::pair<int, int> ranks[] = {{0, 0}, {18, 18}, {19, 19}, {20, 20}, {25, 20}, {-1, 20}, {32767, 20}};
    for (auto [rank, index] : ranks) EXPECT_EQ(RankIndexOf(static_cast<std::int16_t>(rank)), index) << rank;
    const std::pair<int, int> characters[] = {{0x30, 0}, {0x3F, 15}, {0x40, 0}, {0x47, 7}, {0x5F, 15},
                                              {0x2F, 16}, {0x60, 16}, {0, 16},   {-1, 16},  {0x130, 16}};
    for (auto [ch, index] : characters)
        EXPECT_EQ(CharacterIndexOf(static_cast<std::int16_t>(ch)), index) << ch;
}

}  // namespace
}  // namespace replidex
