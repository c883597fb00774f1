#include "support/ReplayFileBuilder.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace replidex::test {

namespace {

constexpr std::array<std::uint8_t, 5> kSignature = {0xD8, 0xCC, 0xDF, 0xDA, 0xB2};  // ﾘﾌﾟﾚｲ

// Per-player constants: name marker pair (A, B), name start pair base (D, E)
// and the value K that closes the run in front of the counts.
struct PlayerConstants {
    std::uint8_t a, b, d, e, k;
};
PlayerConstants ConstantsOf(int player)
{
    if (player == 2) return {0x48, 0xEF, 0x47, 0xE0, 0xD8};
    return {0x18, 0x0F, 0x17, 0x00, 0xA8};
}

// The player 1 table of two-byte codes: a pair (x, y) is code k when
// X <= x <= X + W and Y <= y <= Y + H, the lowest k winning.
struct CodeRect {
    int x, y, w, h;
};
constexpr CodeRect kPlayer1Codes[22] = {
    {8, 1, 0, 6},     {8, 11, 0, 0},   {24, 15, 0, 0},  {26, 10, 5, 5},  {39, 0, 0, 7},
    {40, 0, 0, 2},    {42, 0, 21, 14}, {152, 0, 0, 9},  {152, 15, 0, 0}, {153, 0, 0, 0},
    {153, 7, 0, 0},   {153, 14, 0, 0}, {153, 15, 2, 0}, {156, 0, 0, 7},  {156, 8, 0, 1},
    {156, 10, 0, 0},  {156, 15, 0, 0}, {161, 15, 0, 0}, {164, 0, 0, 14}, {167, 0, 0, 7},
    {168, 0, 0, 2},   {170, 0, 13, 8},
};

// Player 2's table: Y + 224 throughout, X + 224 for codes 0 and 1, X + 48 for
// the rest (so code 2 is player 2's name marker).
CodeRect CodeRectOf(int player, int code)
{
    CodeRect r = kPlayer1Codes[code];
    if (player == 2) {
        r.y += 224;
        r.x += code <= 1 ? 224 : 48;
    }
    return r;
}

void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t SplitMix64(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Padding between the regions the reader looks at: zeros, or noise that is
// the same for the same seed.
void PadTo(std::string& out, std::size_t size, std::uint64_t& noise)
{
    while (out.size() < size)
        out.push_back(noise == 0 ? '\0' : static_cast<char>(SplitMix64(noise) & 0xFF));
}

bool IsF(std::uint8_t byte) { return (byte & 0x0F) == 0x0F; }

// Does a search for 0x00, any, 0x?F over `bytes` (a byte that breaks the
// pattern restarts the search after itself) first match at `where`?
bool PatternFirstFoundAt(const std::vector<std::uint8_t>& bytes, std::size_t where)
{
    int state = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        if (state == 0) {
            if (b == 0x00) state = 1;
        } else if (state == 1) {
            state = 2;
        } else {
            if (IsF(b)) return i == where + 2;
            state = 0;
        }
    }
    return false;
}

// Control bytes of the header: `firstControl` at offset 0, then the pattern.
GroupWriter::Chooser HeaderChooser(const ReplayDescription& d)
{
    std::vector<std::uint8_t> pattern = d.controls.empty() ? std::vector<std::uint8_t>{0xFF} : d.controls;
    const std::uint8_t first = d.firstControl;
    return [pattern, first](std::size_t group) -> std::uint8_t {
        if (group == 0) return first;
        return pattern[(group - 1) % pattern.size()];
    };
}

// Control bytes of a capture: the pattern, except that the first one must not
// be 0x00 (the reader would step over it as a skipped candidate).
GroupWriter::Chooser CaptureChooser(const ReplayDescription& d)
{
    std::vector<std::uint8_t> pattern = d.controls.empty() ? std::vector<std::uint8_t>{0xFF} : d.controls;
    return [pattern](std::size_t group) -> std::uint8_t {
        const std::uint8_t c = pattern[group % pattern.size()];
        return group == 0 && c == 0x00 ? 0xFF : c;
    };
}

struct HeaderResult {
    std::string bytes;
    std::vector<std::size_t> groupStarts;
    std::size_t modeOffset = 0;
    std::vector<std::uint8_t> h;
    std::vector<std::size_t> hOffsets;
    int markerIndex = -1;
    std::size_t letterControl = std::numeric_limits<std::size_t>::max();  // raw offset
    std::size_t neededH = 0;
    std::string problem;
};

int DefaultMarkerIndex(const ReplayDescription& d) { return d.kind == MatchType::Net ? 9 : 2; }

int ResolveIndex(int index, int fallback, std::size_t hLen)
{
    if (index == 0) return fallback;
    if (index < 0) return static_cast<int>(hLen) + index;
    return index;
}

// The header: signature on the data bytes at offsets 9-13, zeros, the 0xE4
// marker on the first data byte at or after `e4Target`, 0xFF, the mode byte
// and H up to offset 639. The letter comes from the fourth control byte after
// the 0xE4 (the reader counts control bytes once it has left its first state).
HeaderResult WriteHeader(const ReplayDescription& d, std::size_t e4Target)
{
    HeaderResult r;
    GroupWriter w(0, HeaderChooser(d));

    for (int i = 0; i < 5; ++i) {
        const std::size_t off = 9 + static_cast<std::size_t>(i);
        std::uint8_t value = kSignature[static_cast<std::size_t>(i)];
        if (static_cast<int>(off) == d.badSignatureOffset) value ^= 0x5A;
        if (!w.putAt(off, value) && static_cast<int>(off) == d.badSignatureOffset)
            r.problem = "the bad signature offset is a control byte";
    }
    std::vector<std::size_t> early = d.earlyE4Offsets;
    std::sort(early.begin(), early.end());
    for (std::size_t off : early) {
        if (off < 14 || off >= kHeaderMarkerFrom || !w.putAt(off, 0xE4))
            r.problem = "an early 0xE4 offset cannot be placed";
    }

    const bool net = d.kind == MatchType::Net;
    const std::uint8_t mode = d.modeByte.value_or(net ? 0x01 : 0x30);

    if (d.e4AsControl) {
        // No data 0xE4 at all; the first control byte at or after 576 is 0xE4.
        while (w.nextControlOffset() < kHeaderMarkerFrom) w.put(0);
        w.setControl(w.nextGroupIndex(), 0xE4);
        while (w.offset() < kHeaderEnd + 64) w.put(0);
        w.finishGroup();
        r.bytes = w.bytes();
        r.groupStarts = w.groupStarts();
        return r;
    }

    std::size_t letterGroup = std::numeric_limits<std::size_t>::max();
    if (!d.omitE4) {
        while (w.nextDataOffset() < e4Target) w.put(0);
        w.put(0xE4);
        const std::size_t g = w.groupIndex();
        letterGroup = g + 4;
        switch (d.letter) {
        case NetLetter::W:
        case NetLetter::Unreached:   // past the header: a reader looking there would see W
            w.setControl(letterGroup, 0x00);
            if (!d.letterNeighboursZero) {
                for (std::size_t n : {g + 3, g + 5}) {
                    const std::uint8_t c = HeaderChooser(d)(n);
                    w.setControl(n, c == 0x00 ? 0xFF : c);
                }
            }
            break;
        case NetLetter::P: {
            const std::uint8_t c = HeaderChooser(d)(letterGroup);
            w.setControl(letterGroup, c == 0x00 ? 0xFE : c);
            break;
        }
        }
        if (d.letterNeighboursZero) {
            w.setControl(g + 3, 0x00);
            w.setControl(g + 5, 0x00);
        }
    }
    for (std::uint8_t b : d.betweenE4AndFF) {
        if (b == 0xFF) r.problem = "0xFF between 0xE4 and the mode byte";
        w.put(b);
    }
    if (!d.omitFF) w.put(0xFF);
    w.put(mode);
    r.modeOffset = w.lastDataOffset();

    const std::size_t hLen = r.modeOffset < kHeaderEnd ? 1 + w.dataSlotsBefore(kHeaderEnd) : 0;
    std::vector<std::uint8_t> h(std::max<std::size_t>(hLen, 1), 0x00);
    h[0] = mode;
    std::size_t needed = 1;
    if (net) {
        const std::array<std::uint8_t, 8> score =
            d.scoreBytes.value_or(std::array<std::uint8_t, 8>{
                0x01, static_cast<std::uint8_t>(d.score1), static_cast<std::uint8_t>(d.score2), 0x30, 0x01,
                0x00, 0x00, 0x00});
        for (std::size_t i = 1; i <= 8 && i < h.size(); ++i) h[i] = score[i - 1];
        needed = 9;
    }
    auto place = [&](RuleMarker marker, int index, bool withCharacter) {
        if (marker == RuleMarker::None) return;
        const auto triple = RuleMarkerBytes(marker);
        if (index < 0) { r.problem = "rule marker index before H"; return; }
        for (std::size_t t = 0; t < 3; ++t)
            if (static_cast<std::size_t>(index) + t < h.size()) h[static_cast<std::size_t>(index) + t] = triple[t];
        if (withCharacter && static_cast<std::size_t>(index) + 5 < h.size())
            h[static_cast<std::size_t>(index) + 5] = d.p1.character;
    };
    const int j = ResolveIndex(d.markerIndex, DefaultMarkerIndex(d), hLen);
    if (d.marker != RuleMarker::None) {
        r.markerIndex = j;
        if (d.markerIndex >= 0) needed = std::max<std::size_t>(needed, static_cast<std::size_t>(j) + 6);
    }
    if (d.secondMarker != RuleMarker::None) {
        const int j2 = ResolveIndex(d.secondMarkerIndex, j + 8, hLen);
        place(d.secondMarker, j2, false);
        needed = std::max<std::size_t>(needed, static_cast<std::size_t>(std::max(j2, 0)) + 3);
    }
    place(d.marker, j, true);
    r.neededH = needed;

    for (std::size_t i = 1; i < hLen; ++i) {
        w.put(h[i]);
        r.hOffsets.push_back(w.lastDataOffset());
    }
    if (hLen > 0) {
        r.hOffsets.insert(r.hOffsets.begin(), r.modeOffset);
        r.h.assign(h.begin(), h.begin() + static_cast<std::ptrdiff_t>(hLen));
    }
    // The stream goes on past the header (so that a control byte the reader
    // must not look at really is there).
    while (w.offset() < kHeaderEnd + 64) w.put(0);
    w.finishGroup();

    if (letterGroup < w.groupStarts().size()) r.letterControl = w.groupStarts()[letterGroup];
    r.bytes = w.bytes();
    r.groupStarts = w.groupStarts();
    return r;
}

// Net capture of a player: lead, name, name marker, the run closing the name
// area, then wins, losses and rank as little-endian 32-bit values, and for
// player 1 the player-2 character pattern (0x4?, 0x20, 0x05).
//
// With the run F v F v+18 ... F K-18 F 00 (F a 0x?F byte) the reader's walk
// starts the run on the first F (the byte two on is F again and the next value
// is 18 more), follows it while each value is 18 more than the last and stops
// right after the 00 that comes where K is due; the counts are decoded from
// there. Each count "lo hi 00 00" is one four-byte copy for the decoder (its
// bytes 2 and 3 are zero), so the values come out as written.
std::vector<std::uint8_t> NetCapture(const ReplayDescription& d, int player, PlayerLayout& pl,
                                     std::string& problem)
{
    const PlayerDesc& p = d.player(player);
    const PlayerConstants pc = ConstantsOf(player);
    std::vector<std::uint8_t> c(static_cast<std::size_t>(std::max(p.nameMarkerPadding, 0)), 0x22);
    const std::vector<std::uint8_t> lead = p.leadBytes.value_or(NameLeadBytes(p.lead, player));
    c.insert(c.end(), lead.begin(), lead.end());
    if (p.nameArea) {
        c.insert(c.end(), p.nameArea->begin(), p.nameArea->end());
    } else {
        if (NameHoldsCode(p.name, player)) problem = "the name holds a two-byte code of its player";
        c.insert(c.end(), p.name.begin(), p.name.end());
    }
    if (!p.omitNameMarker) {
        c.push_back(pc.a);
        c.push_back(pc.b);
        pl.markerIndex = static_cast<int>(c.size()) - 1;
    }
    if (p.countsArea) {
        c.insert(c.end(), p.countsArea->begin(), p.countsArea->end());
        pl.countsEndIndex = static_cast<int>(c.size());
        return c;
    }
    c.insert(c.end(), p.countsLead.begin(), p.countsLead.end());
    if (p.omitCountsRun) return c;
    if (p.runValues < 2 || !IsF(p.runF)) problem = "the run needs two values and a 0x?F byte";
    for (int i = 0; i < p.runValues; ++i) {
        c.push_back(p.runF);
        c.push_back(static_cast<std::uint8_t>(pc.k - 18 * (p.runValues - i)));
    }
    c.push_back(p.runF);
    pl.runDecisionIndex = static_cast<int>(c.size()) - 1 + 4;
    c.push_back(0x00);
    AppendLe32(c, p.wins);
    AppendLe32(c, p.losses);
    AppendLe32(c, p.rank);
    if (player == 1 && d.kind == MatchType::Net && d.p2.character != 0) {
        if (d.p2.character < 0x40 || d.p2.character > 0x4F || d.p1.p2CharIndex < 12)
            problem = "a net player 2 character must be 0x40-0x4F at index 12 or later";
        for (int i = 12; i < d.p1.p2CharIndex; ++i) c.push_back(0x11);
        c.push_back(d.p2.character);
        c.push_back(0x20);
        c.push_back(0x05);
    }
    pl.countsEndIndex = static_cast<int>(c.size());
    return c;
}

// Offline: player 1's capture carries player 2's character followed by a byte
// of at most 0x51 whose low four bits are 1 (computer) or 0 (human).
std::vector<std::uint8_t> OfflineCapture(const ReplayDescription& d, PlayerLayout& pl, std::string& problem)
{
    std::vector<std::uint8_t> c;
    const std::uint8_t ch = d.p2.character;
    const std::uint8_t flag = d.offlineFlag.value_or(d.p2.isCom ? 0x01 : 0x00);
    if (d.offlineDecoys) {
        // Each near miss: a character byte before a byte above 0x51, a flag
        // with low bits 2, a byte above 0x5F, a byte below 0x30.
        const std::uint8_t decoys[] = {0x00, 0x00, 0xFF, 0x35, 0x52, 0xFF, 0x35, 0x02, 0xFF,
                                       0x60, 0x00, 0xFF, 0x2F, 0x01, 0xFF};
        c.assign(std::begin(decoys), std::end(decoys));
    }
    if (ch != 0) {
        if (ch < 0x30 || ch > 0x5F) problem = "an offline character must be 0x30-0x5F";
        if (c.size() > static_cast<std::size_t>(std::max(d.offlineCharIndex, 0)))
            problem = "offline character index too small";
        while (c.size() < static_cast<std::size_t>(std::max(d.offlineCharIndex, 0))) c.push_back(0x00);
        pl.offlineCharIndex = static_cast<int>(c.size());
        c.push_back(ch);
        c.push_back(flag);
    }
    if (d.offlineDecoys) {
        c.push_back(0x00);
        c.push_back(0x3A);   // a second pair: the first one found counts
        c.push_back(0x00);
    }
    while (c.size() < 2) c.push_back(0x00);
    return c;
}

// A player block from the block offset on: lead-in, the search pattern
// 0x00 any 0x?F, fourteen bytes, the skipped 0x00 groups (the reader steps
// over a candidate 0x00 and its sixteen bytes), then the capture's groups. The
// capture's first two bytes are the two raw bytes right before its first
// control byte.
void WritePlayerBlock(const ReplayDescription& d, const PlayerDesc& p, std::vector<std::uint8_t> capture,
                      std::string& out, PlayerLayout& pl, std::vector<std::size_t>& starts,
                      std::string& problem)
{
    const std::size_t blockStart = out.size();
    for (std::uint8_t b : p.leadIn) out.push_back(static_cast<char>(b));
    pl.patternOffset = out.size();
    out.push_back('\0');
    out.push_back(static_cast<char>(p.patternAny));
    out.push_back(static_cast<char>(p.patternF));
    {
        std::vector<std::uint8_t> search(out.begin() + static_cast<std::ptrdiff_t>(blockStart), out.end());
        if (!PatternFirstFoundAt(search, pl.patternOffset - blockStart))
            problem = "the block's search pattern is not found where it was put";
    }
    while (capture.size() < 2) capture.push_back(0x00);

    // Nonzero skip bytes: a reader that picks the wrong candidate takes one
    // of them as its first control byte.
    std::uint8_t junk = 0x21;
    auto skipByte = [&junk] { return static_cast<char>(junk++ | 0x01); };
    const int zeroGroups = std::max(p.skippedZeroGroups, 0);
    for (int i = 0; i < 14 - (zeroGroups == 0 ? 2 : 0); ++i) out.push_back(skipByte());
    for (int g = 0; g < zeroGroups; ++g) {
        starts.push_back(out.size());
        out.push_back('\0');
        for (int i = 0; i < 16 - (g + 1 == zeroGroups ? 2 : 0); ++i) out.push_back(skipByte());
    }
    out.push_back(static_cast<char>(capture[0]));
    out.push_back(static_cast<char>(capture[1]));
    pl.captureOffsets = {out.size() - 2, out.size() - 1};
    pl.firstControl = out.size();

    GroupWriter w(out.size(), CaptureChooser(d));
    for (std::size_t i = 2; i < capture.size(); ++i) {
        w.put(capture[i]);
        pl.captureOffsets.push_back(w.lastDataOffset());
    }
    for (std::size_t n = capture.size(); n < kCaptureSize + 16; ++n) {
        w.put(0x00);
        pl.captureOffsets.push_back(w.lastDataOffset());
    }
    w.finishGroup();
    out += w.bytes();
    starts.insert(starts.end(), w.groupStarts().begin(), w.groupStarts().end());
    pl.capture = std::move(capture);
    pl.end = out.size();
    if (pl.markerIndex >= static_cast<int>(kCaptureSize) || pl.countsEndIndex > static_cast<int>(kCaptureSize))
        problem = "the capture content is longer than the reader takes";
}

}  // namespace

std::array<std::uint8_t, 3> RuleMarkerBytes(RuleMarker marker)
{
    switch (marker) {
    case RuleMarker::Other_80_64: return {0x80, 0x64, 0x00};
    case RuleMarker::F_81_64: return {0x81, 0x64, 0x00};
    case RuleMarker::F_81_0A: return {0x81, 0x0A, 0x00};
    case RuleMarker::F_82_C8: return {0x82, 0xC8, 0x00};
    case RuleMarker::None: break;
    }
    return {0x00, 0x00, 0x00};
}

// Walks of the name start over these leads (d = the byte before, e = the
// byte, f/g/h = the three after a zero):
std::vector<std::uint8_t> NameLeadBytes(NameLead lead, int player)
{
    const PlayerConstants pc = ConstantsOf(player);
    const std::uint8_t D = pc.d, E = pc.e;
    switch (lead) {
    case NameLead::StartPair: return {0x03, 0x01, D, static_cast<std::uint8_t>(E + 10)};
    case NameLead::StartPairHigh:
        return {0x03, 0x01, static_cast<std::uint8_t>(D + 1), static_cast<std::uint8_t>(E + 3)};
    case NameLead::ZeroPair: return {0x00, 0x00};          // zero at 0, f = 0: s = 2
    case NameLead::ZeroThenName: return {0x20, 0x00};      // zero at 1, f = name: s = 2
    case NameLead::ZeroZeroAfterData: return {0x20, 0x00, 0x00};   // f = 0: s = 3
    case NameLead::DataZeroSame:                           // d = f
        return {0x20, 0x00, 0x20, 0x33, D, static_cast<std::uint8_t>(E + 2)};
    case NameLead::DataZeroPlus16:                         // d + 16 = f
        return {0x05, 0x00, 0x15, 0x33, D, static_cast<std::uint8_t>(E + 2)};
    case NameLead::DataZeroFF:                             // d = 255, f = 15
        return {0xFF, 0x00, 0x0F, 0x33, D, static_cast<std::uint8_t>(E + 2)};
    case NameLead::DataZeroRepeat:                         // g = 18, f = h
        return {0x40, 0x00, 0x33, 0x12, 0x33, D, static_cast<std::uint8_t>(E + 2)};
    case NameLead::DataZeroCode:                           // (0x98, 0) is player 1's code 7
        return {0x98, 0x00, 0x41, 0x33, D, static_cast<std::uint8_t>(E + 2)};
    case NameLead::LeadingZeroF:                           // d = -1: -1 + 16 = 15 = f
        return {0x00, 0x0F, 0x05, D, static_cast<std::uint8_t>(E + 1)};
    case NameLead::NoStart: return {0x41, 0x42};           // "AB" becomes part of the name
    }
    return {};
}

std::size_t NameLeadBytesInName(NameLead lead) { return lead == NameLead::NoStart ? 2 : 0; }

int CodeOf(int player, std::uint8_t x, std::uint8_t y)
{
    for (int k = 0; k < 22; ++k) {
        const CodeRect r = CodeRectOf(player, k);
        if (x >= r.x && x <= r.x + r.w && y >= r.y && y <= r.y + r.h) return k;
    }
    return -1;
}

bool NameHoldsCode(std::string_view text, int player)
{
    const PlayerConstants pc = ConstantsOf(player);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto x = static_cast<std::uint8_t>(text[i]);
        const auto y = i + 1 < text.size() ? static_cast<std::uint8_t>(text[i + 1]) : pc.a;
        if (x == 0 || CodeOf(player, x, y) >= 0) return true;
    }
    return false;
}

GroupWriter::GroupWriter(std::size_t base, Chooser chooser) : base_(base), chooser_(std::move(chooser)) {}

void GroupWriter::setControl(std::size_t group, std::uint8_t value)
{
    for (auto& o : overrides_) {
        if (o.first == group) { o.second = value; return; }
    }
    overrides_.emplace_back(group, value);
}

std::uint8_t GroupWriter::controlFor(std::size_t group) const
{
    for (const auto& o : overrides_)
        if (o.first == group) return o.second;
    return chooser_(group);
}

void GroupWriter::put(std::uint8_t dataByte)
{
    if (left_ == 0) {
        const std::uint8_t control = controlFor(groups_);
        starts_.push_back(offset());
        bytes_.push_back(static_cast<char>(control));
        ++groups_;
        // A 1 bit is a one-byte item, a 0 bit a two-byte item.
        left_ = 16 - static_cast<std::size_t>(std::popcount(control));
    }
    lastData_ = offset();
    bytes_.push_back(static_cast<char>(dataByte));
    --left_;
}

bool GroupWriter::putAt(std::size_t offset, std::uint8_t value, std::uint8_t filler)
{
    while (nextDataOffset() < offset) put(filler);
    if (nextDataOffset() != offset) return false;
    put(value);
    return true;
}

void GroupWriter::finishGroup(std::uint8_t filler)
{
    while (left_ > 0) put(filler);
}

std::size_t GroupWriter::dataSlotsBefore(std::size_t limit) const
{
    GroupWriter probe = *this;
    std::size_t n = 0;
    while (probe.nextDataOffset() < limit) {
        probe.put(0);
        ++n;
    }
    return n;
}

BuiltReplay BuildReplay(const ReplayDescription& d)
{
    BuiltReplay built;
    ReplayLayout& layout = built.layout;

    HeaderResult header;
    if (d.letter == NetLetter::Unreached && !d.omitE4 && !d.e4AsControl) {
        // The earliest 0xE4 whose fourth control byte lies past the header
        // while H still holds everything the description places in it.
        for (std::size_t t = std::max(d.e4Offset, kHeaderMarkerFrom); t < kHeaderEnd; ++t) {
            header = WriteHeader(d, t);
            if (header.letterControl >= kHeaderEnd && header.h.size() >= header.neededH) break;
        }
        if (header.letterControl < kHeaderEnd) built.problem = "no 0xE4 place leaves the letter unread";
    } else {
        header = WriteHeader(d, d.e4Offset);
        if (!d.omitE4 && !d.e4AsControl && !d.allowIncompleteHeader && header.letterControl >= kHeaderEnd)
            built.problem = "the letter's control byte lies past the header";
    }
    if (!header.problem.empty()) built.problem = header.problem;
    if (!d.omitE4 && !d.e4AsControl && !d.allowIncompleteHeader && header.h.size() < header.neededH &&
        built.problem.empty() && d.markerIndex >= 0)
        built.problem = "H is too short for what the description puts in it";

    std::string& out = built.bytes;
    out = header.bytes;
    layout.groupStarts = header.groupStarts;
    layout.modeOffset = header.modeOffset;
    layout.h = header.h;
    layout.hOffsets = header.hOffsets;
    layout.markerIndex = header.markerIndex;

    std::uint64_t noise = d.paddingSeed;
    if (out.size() > kPlayer1Block) built.problem = "header too long";
    PadTo(out, kPlayer1Block, noise);

    std::string problem;
    PlayerLayout& l1 = layout.players[0];
    PlayerLayout& l2 = layout.players[1];
    if (d.kind == MatchType::Net) {
        auto c1 = NetCapture(d, 1, l1, problem);
        WritePlayerBlock(d, d.p1, std::move(c1), out, l1, layout.groupStarts, problem);
    } else {
        auto c1 = OfflineCapture(d, l1, problem);
        WritePlayerBlock(d, d.p1, std::move(c1), out, l1, layout.groupStarts, problem);
    }
    if (out.size() > kPlayer2Block) problem = "player 1 block too long";
    PadTo(out, kPlayer2Block, noise);
    {
        // Offline files carry a player 2 block too; the reader reads it and
        // ignores it.
        auto c2 = NetCapture(d, 2, l2, problem);
        WritePlayerBlock(d, d.p2, std::move(c2), out, l2, layout.groupStarts, problem);
    }
    PadTo(out, d.fileSize, noise);
    if (built.problem.empty()) built.problem = problem;
    std::sort(layout.groupStarts.begin(), layout.groupStarts.end());
    return built;
}

ReplayInfo ExpectedInfo(const ReplayDescription& d)
{
    ReplayInfo info;
    const bool net = d.kind == MatchType::Net;
    info.infoFlags = net ? kInfoNetMatch : kInfoOfflineMatch;
    if (d.marker == RuleMarker::Other_80_64) info.infoFlags |= kInfoOtherRule;
    else if (d.marker != RuleMarker::None) info.infoFlags |= kInfoRuleF;
    if (d.letter == NetLetter::W) info.infoFlags |= kInfoNetW;
    else if (d.letter == NetLetter::P) info.infoFlags |= kInfoNetP;

    info.p1.character = d.p1.character;
    if (net) {
        info.p1.score = static_cast<std::int16_t>(d.score1);
        info.p2.score = static_cast<std::int16_t>(d.score2);
        for (int which : {1, 2}) {
            const PlayerDesc& p = d.player(which);
            PlayerRecord& r = info.player(which);
            std::string name;
            if (!p.leadBytes) {
                const auto lead = NameLeadBytes(p.lead, which);
                name.assign(lead.begin(), lead.begin() + static_cast<std::ptrdiff_t>(NameLeadBytesInName(p.lead)));
            }
            name += p.name;
            r.setName(name.substr(0, std::min<std::size_t>(name.size(), 16)));
            r.wins = static_cast<std::int16_t>(static_cast<std::uint16_t>(p.wins & 0xFFFF));
            r.losses = static_cast<std::int16_t>(static_cast<std::uint16_t>(p.losses & 0xFFFF));
            const auto rank = static_cast<std::int16_t>(static_cast<std::uint16_t>(p.rank & 0xFFFF));
            r.rank = rank >= 19 ? 0 : rank;
        }
        info.p2.character = d.p2.character;
    } else {
        info.p2.character = d.p2.character;
        const std::uint8_t flag = d.offlineFlag.value_or(d.p2.isCom ? 0x01 : 0x00);
        info.p2.isCom = d.p2.character != 0 && (flag & 0x0F) == 1 ? 1 : 0;
    }
    return info;
}

std::vector<std::size_t> TruncationPoints(const BuiltReplay& built)
{
    std::vector<std::size_t> points;
    for (std::size_t s : built.layout.groupStarts)
        if (s < built.bytes.size()) points.push_back(s);
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

std::string MutateReplay(std::string_view bytes, std::uint64_t seed)
{
    static constexpr std::uint8_t kInteresting[] = {
        0x00, 0xFF, 0x0F, 0x1F, 0xEF, 0xE4, 0x18, 0x48, 0x17, 0x47, 0x80, 0x81, 0x82, 0x64, 0x0A,
        0xC8, 0x30, 0x01, 0x2E, 0x6E, 0x12, 0x99, 0x97, 0xC9, 0xC7, 0xA8, 0xD8, 0x40, 0x20, 0x05};
    std::string out(bytes);
    std::uint64_t state = seed ^ 0x5DEECE66Dull;
    auto below = [&state](std::size_t n) -> std::size_t {
        return n == 0 ? 0 : static_cast<std::size_t>(SplitMix64(state) % n);
    };
    auto interesting = [&] { return static_cast<char>(kInteresting[below(std::size(kInteresting))]); };
    // An offset in one of the regions the reader looks at, or anywhere.
    auto hotOffset = [&]() -> std::size_t {
        if (out.empty()) return 0;
        std::size_t from = 0, span = out.size();
        switch (below(5)) {
        case 0: case 1: from = 0; span = kHeaderEnd; break;
        case 2: from = kPlayer1Block; span = 224; break;
        case 3: from = kPlayer2Block; span = 224; break;
        default: break;
        }
        if (from >= out.size()) { from = 0; span = out.size(); }
        span = std::min(span, out.size() - from);
        return from + below(span);
    };

    const std::size_t count = 1 + below(4);
    for (std::size_t m = 0; m < count && !out.empty(); ++m) {
        const std::size_t pos = hotOffset();
        switch (below(9)) {
        case 0: out[pos] = interesting(); break;
        case 1: out[pos] = static_cast<char>(below(256)); break;
        case 2: out[pos] = static_cast<char>(out[pos] ^ (1 << below(8))); break;
        case 3: out.resize(pos); break;
        case 4: out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos), interesting()); break;
        case 5: out.erase(pos, 1 + below(4)); break;
        case 6: {
            const std::size_t from = hotOffset();
            const std::size_t len = std::min({1 + below(24), out.size() - from, out.size() - pos});
            out.replace(pos, len, out.substr(from, len));
            break;
        }
        case 7: {
            const std::size_t len = std::min<std::size_t>(2 + below(15), out.size() - pos);
            out.replace(pos, len, len, interesting());
            break;
        }
        default: out[pos] = static_cast<char>(out[pos] + 1); break;
        }
    }
    return out;
}

ReplayDescription NetMatchDescription()
{
    ReplayDescription d;
    d.kind = MatchType::Net;
    d.score1 = 3;
    d.score2 = 1;
    d.marker = RuleMarker::F_81_64;
    d.letter = NetLetter::W;
    // ぷよ太郎 / さかな好き
    d.p1.name = "\x82\xd5\x82\xe6\x91\xbe\x98\x59";
    d.p1.wins = 30;
    d.p1.losses = 10;
    d.p1.rank = 10;
    d.p1.character = 0x30;
    d.p2.name = "\x82\xb3\x82\xa9\x82\xc8\x8d\x44\x82\xab";
    d.p2.wins = 123;
    d.p2.losses = 45;
    d.p2.rank = 5;
    d.p2.character = 0x47;
    return d;
}

ReplayDescription OfflineDescription(bool vsCom)
{
    ReplayDescription d;
    d.kind = vsCom ? MatchType::OfflineVsCom : MatchType::OfflineTwoPlayers;
    d.marker = RuleMarker::F_82_C8;
    d.letter = NetLetter::P;
    d.p1.character = 0x33;
    d.p2.character = 0x3D;
    d.p2.isCom = vsCom;
    return d;
}

}  // namespace replidex::test
