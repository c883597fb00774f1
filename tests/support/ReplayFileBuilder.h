// Builds game replay files for tests from a plain description of what the file
// should say (match kind, score, rule marker, names, counts, characters), and
// records where everything went so that tests can cut or damage a file at the
// right places.
//
// The reader walks the raw, still compressed bytes: it finds the compressor's
// control bytes by counting (a control byte, then eight items of one byte for a
// 1 bit and two bytes for a 0 bit, so a group spans 17 - popcount bytes) and
// reads the facts from the data bytes in between. The builder therefore lays
// real groups: every region it writes is a run of control bytes and data bytes
// whose lengths follow that rule, and every fact is placed on a data byte.
//
// Layout of a built file (raw offsets):
//   0      .. 639     header groups: signature at data offsets 9-13, the 0xE4
//                     marker at or after 576, 0xFF, the mode byte and the
//                     captured header bytes H (score, rule marker, character)
//   0x2D00 ..         player 1 block: search pattern, skip area, capture groups
//   0x5800 ..         player 2 block, the same for player 2
//   then padding up to the file size (zeros, or seeded noise)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/replay/ReplayRecords.h"

namespace replidex::test {

inline constexpr std::size_t kHeaderEnd = 640;
inline constexpr std::size_t kHeaderMarkerFrom = 576;
inline constexpr std::size_t kPlayer1Block = 0x2D00;
inline constexpr std::size_t kPlayer2Block = 0x5800;
inline constexpr std::size_t kCaptureSize = 128;

enum class MatchType { Net, OfflineVsCom, OfflineTwoPlayers };

// The rule marker triple in H: 0x80 0x64 0x00 (the other rule) or one of the
// three that give the letter F.
enum class RuleMarker { Other_80_64, F_81_64, F_81_0A, F_82_C8, None };
std::array<std::uint8_t, 3> RuleMarkerBytes(RuleMarker marker);

// The control byte counted fourth after the header's 0xE4 marker: 0x00 gives W,
// anything else P; Unreached puts the 0xE4 so late that the fourth control byte
// lies past the header.
enum class NetLetter { W, P, Unreached };

// Presets for the capture bytes in front of a net player's name; the first two
// are the two raw bytes right before the capture's first control byte.
enum class NameLead {
    StartPair,         // junk, then (D, E+10): the name starts after the pair
    StartPairHigh,     // junk, then (D+1, E+3)
    ZeroPair,          // 0x00 0x00: the name starts two bytes after the first zero
    ZeroThenName,      // 0x20 0x00: the name starts right after the zero
    ZeroZeroAfterData, // 0x20 0x00 0x00: the name starts two bytes after the zero
    DataZeroSame,      // a zero between two equal bytes belongs to the data
    DataZeroPlus16,    // a zero between d and d+16 belongs to the data
    DataZeroFF,        // a zero between 0xFF and 0x0F belongs to the data
    DataZeroRepeat,    // a zero followed by f, 18, f belongs to the data
    DataZeroCode,      // a zero after a byte d where (d, 0) is a code (player 1 only)
    LeadingZeroF,      // 0x00 0x0F at the very start belongs to the data
    NoStart,           // nothing marks the start: the name starts at C[0]
};
std::vector<std::uint8_t> NameLeadBytes(NameLead lead, int player);
// How many lead bytes the reader takes into the name (only NoStart has any).
std::size_t NameLeadBytesInName(NameLead lead);

struct PlayerDesc {
    // Handle name as the file carries it (Shift-JIS bytes); the reader keeps
    // the first 16 bytes.
    std::string name;
    // Raw capture bytes standing for the name when it is not written plainly
    // (two-byte codes); `name` is then what they decode to.
    std::optional<std::string> nameArea;
    NameLead lead = NameLead::StartPair;
    std::optional<std::vector<std::uint8_t>> leadBytes;  // overrides `lead`

    std::uint32_t wins = 0;
    std::uint32_t losses = 0;
    std::uint32_t rank = 0;
    // Player 1: the header's character byte (any value). Player 2: net 0 or
    // 0x40-0x4F, offline 0 or 0x30-0x5F.
    std::uint8_t character = 0x30;
    bool isCom = false;  // player 2 of an offline match

    // Block layout.
    std::vector<std::uint8_t> leadIn;        // raw bytes before the search pattern
    std::uint8_t patternAny = 0x12;          // middle byte of 0x00, any, 0x?F
    std::uint8_t patternF = 0x4F;            // the 0x?F byte
    int skippedZeroGroups = 0;               // 0x00 candidates before the first control byte
    std::vector<std::uint8_t> countsLead;    // capture bytes between the marker and the run (walked over)
    int runValues = 2;                       // values in the run before its closing 0x00 (>= 2)
    std::uint8_t runF = 0x0F;                // the 0x?F byte of the run
    // Raw capture bytes right after the name marker, replacing run and counts.
    std::optional<std::vector<std::uint8_t>> countsArea;
    int p2CharIndex = 12;                    // player 1: index in the counts output

    // Faults.
    bool omitNameMarker = false;   // error 10
    int nameMarkerPadding = 0;     // extra junk before the name, moving the marker on
    bool omitCountsRun = false;    // error 16
};

struct ReplayDescription {
    MatchType kind = MatchType::Net;
    PlayerDesc p1;
    PlayerDesc p2;
    PlayerDesc& player(int which) { return which == 2 ? p2 : p1; }
    const PlayerDesc& player(int which) const { return which == 2 ? p2 : p1; }

    // Net score. Without explicit bytes, H[1..8] are 01 s1 s2 30 01 00 00 00,
    // which give s1 and s2.
    int score1 = 0;
    int score2 = 0;
    std::optional<std::array<std::uint8_t, 8>> scoreBytes;

    RuleMarker marker = RuleMarker::F_81_64;
    // Index of the triple in H: 0 = default (net 9, offline 2); negative counts
    // from the end of H (-3: the triple is the last three bytes).
    int markerIndex = 0;
    RuleMarker secondMarker = RuleMarker::None;
    int secondMarkerIndex = 0;

    NetLetter letter = NetLetter::W;
    bool letterNeighboursZero = false;  // control bytes 3 and 5 after 0xE4 are 0x00

    // Header grouping: the control byte at offset 0, then `controls` cycled
    // (also used in the player blocks).
    std::uint8_t firstControl = 0x00;
    std::vector<std::uint8_t> controls = {0xFF};
    std::size_t e4Offset = kHeaderMarkerFrom;      // 0xE4 on the first data byte from here
    std::vector<std::uint8_t> betweenE4AndFF;      // skipped by the reader (no 0xFF)
    std::vector<std::size_t> earlyE4Offsets;       // data 0xE4 bytes before 576 (ignored)

    // Header faults.
    int badSignatureOffset = -1;   // 9-13: a wrong byte there
    bool omitE4 = false;
    bool e4AsControl = false;      // 0xE4 only as a control byte value
    bool omitFF = false;
    std::optional<std::uint8_t> modeByte;
    bool allowIncompleteHeader = false;   // H or the letter may lie past offset 639

    // Offline: player 2's character pair in player 1's capture.
    int offlineCharIndex = 24;                 // index in the capture (0 = the two raw bytes)
    std::optional<std::uint8_t> offlineFlag;   // the byte after the character
    bool offlineDecoys = false;                // near misses before, a second pair after

    std::size_t fileSize = 0x6000;
    std::uint64_t paddingSeed = 0;             // 0: zero padding
};

// Where a player block's pieces went.
struct PlayerLayout {
    std::size_t patternOffset = 0;        // raw offset of the pattern's 0x00
    std::size_t firstControl = 0;         // raw offset of the capture's first control byte
    std::vector<std::uint8_t> capture;    // the capture bytes as built (content part)
    // Raw offset of each capture byte: the content, then the zeros after it.
    std::vector<std::size_t> captureOffsets;
    int markerIndex = -1;                 // k: index of the marker's second byte
    int runDecisionIndex = -1;            // the walk finds the run end only if this index exists
    int countsEndIndex = -1;              // index past the counts bytes
    int offlineCharIndex = -1;            // offline: index of the character byte
    std::size_t end = 0;                  // raw offset past the block
};

struct ReplayLayout {
    std::vector<std::size_t> groupStarts;   // raw offset of every control byte written, ascending
    std::size_t modeOffset = 0;             // raw offset of H[0]
    std::vector<std::uint8_t> h;            // H as laid out below offset 640
    std::vector<std::size_t> hOffsets;
    int markerIndex = -1;                   // j, or -1
    std::array<PlayerLayout, 2> players;
};

struct BuiltReplay {
    std::string bytes;
    ReplayLayout layout;
    std::string problem;   // empty, or why the description cannot be built
};

BuiltReplay BuildReplay(const ReplayDescription& description);

// What the reader must answer for a file built from `description` (on
// success): flags, scores, names cut to 16 bytes, counts cut to 16 bits, rank
// 19 or more as 0, characters and computer flag.
ReplayInfo ExpectedInfo(const ReplayDescription& description);

// Offsets at which a valid file can be cut at a group start, ascending.
std::vector<std::size_t> TruncationPoints(const BuiltReplay& built);

// Whether the plain bytes of `text` followed by the player's name marker hold
// a pair that is one of the player's two-byte codes (such a name cannot be
// written plainly).
bool NameHoldsCode(std::string_view text, int player);
// Code number of the pair (x, y) in the player's table, or -1.
int CodeOf(int player, std::uint8_t x, std::uint8_t y);

// A small, seeded damage of a replay file: overwritten, flipped, inserted or
// deleted bytes in the regions the reader looks at, or a cut. The same seed
// gives the same result on every platform.
std::string MutateReplay(std::string_view bytes, std::uint64_t seed);

// A few ready descriptions.
ReplayDescription NetMatchDescription();
ReplayDescription OfflineDescription(bool vsCom);

// Groups of the compressed stream: appends data bytes and puts a control byte
// in front of every eight items. Control byte values come from a chooser (by
// group number) unless set for a group beforehand.
class GroupWriter {
public:
    using Chooser = std::function<std::uint8_t(std::size_t group)>;
    GroupWriter(std::size_t base, Chooser chooser);

    void setControl(std::size_t group, std::uint8_t value);
    void put(std::uint8_t dataByte);
    // Pads with `filler` until the next data byte lands on `offset`, then
    // writes `value` there. False when `offset` turned out to be a control
    // byte (or was passed already); nothing is placed then.
    bool putAt(std::size_t offset, std::uint8_t value, std::uint8_t filler = 0);
    // Completes the current group with `filler` data bytes.
    void finishGroup(std::uint8_t filler = 0);

    std::size_t offset() const { return base_ + bytes_.size(); }
    std::size_t nextDataOffset() const { return left_ > 0 ? offset() : offset() + 1; }
    std::size_t nextControlOffset() const { return offset() + left_; }
    // Number of the group the last byte went into (the next group is + 1).
    std::size_t groupIndex() const { return groups_ == 0 ? 0 : groups_ - 1; }
    std::size_t nextGroupIndex() const { return groups_; }
    // How many data bytes fit before `limit` from the next data byte on.
    std::size_t dataSlotsBefore(std::size_t limit) const;
    std::size_t lastDataOffset() const { return lastData_; }

    const std::string& bytes() const { return bytes_; }
    const std::vector<std::size_t>& groupStarts() const { return starts_; }

private:
    std::uint8_t controlFor(std::size_t group) const;

    std::size_t base_;
    Chooser chooser_;
    std::vector<std::pair<std::size_t, std::uint8_t>> overrides_;
    std::string bytes_;
    std::vector<std::size_t> starts_;
    std::size_t groups_ = 0;
    std::size_t left_ = 0;       // data bytes still to come in the current group
    std::size_t lastData_ = 0;
};

}  // namespace replidex::test
