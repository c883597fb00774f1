#include "core/replay/ReplayFileReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "core/replay/ReplayByteStream.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr long kHeaderEnd = 640;          // the header scan stops below this offset
constexpr long kModeMarkerFrom = 576;     // where the 0xE4 marker may start
constexpr long kPlayer1Block = 0x2D00;
constexpr long kPlayer2Block = 0x5800;
constexpr std::size_t kCaptureSize = 128;
constexpr int kNameSearchLimit = 80;      // the name marker must come before this index
constexpr std::size_t kNameLength = 16;   // bytes of a decoded name that are kept

struct Failure {
    int code;
    int line;
};

// Length of the group that a control byte starts: the control byte and eight
// items, one byte for each 1 bit and two bytes for each 0 bit.
// From a table: without a popcount instruction in the baseline x86-64 set,
// std::popcount is a library call, and this runs for every group of a capture.
constexpr std::array<std::uint8_t, 256> kGroupLengths = [] {
    std::array<std::uint8_t, 256> lengths{};
    for (int control = 0; control < 256; ++control)
        lengths[control] = static_cast<std::uint8_t>(17 - std::popcount(static_cast<unsigned>(control)));
    return lengths;
}();

int GroupLength(std::uint8_t control)
{
    return kGroupLengths[control];
}

bool LowNibbleIsF(int byte) { return (byte & 0x0F) == 0x0F; }

// ---------------------------------------------------------------------------
// Per-player constants and the two-byte code table.

struct Rect {
    int x, y, w, h;
};

// Player 1's codes 0-21.
constexpr std::array<Rect, 22> kPlayer1Codes{{
    {8, 1, 0, 6},     {8, 11, 0, 0},    {24, 15, 0, 0},   {26, 10, 5, 5},
    {39, 0, 0, 7},    {40, 0, 0, 2},    {42, 0, 21, 14},  {152, 0, 0, 9},
    {152, 15, 0, 0},  {153, 0, 0, 0},   {153, 7, 0, 0},   {153, 14, 0, 0},
    {153, 15, 2, 0},  {156, 0, 0, 7},   {156, 8, 0, 1},   {156, 10, 0, 0},
    {156, 15, 0, 0},  {161, 15, 0, 0},  {164, 0, 0, 14},  {167, 0, 0, 7},
    {168, 0, 0, 2},   {170, 0, 13, 8},
}};

// How the counts start is adjusted after a run that did not end cleanly: only
// when the first byte's high four bits are `high`; the pairs (keepA, keepB1)
// and (keepA, keepB2) stay, (moveA, moveB) moves on by 2, otherwise a first
// byte of keepFromA or more or a second byte keepB stays and anything else
// moves on by 2.
struct AfterRunRule {
    int high;
    int keepA, keepB1, keepB2;
    int moveA, moveB;
    int keepFromA, keepB;
};

struct PlayerConstants {
    int markerA, markerB;   // name marker pair
    int startD, startE;     // name start pair: D or D+1, then E..E+15
    int countsEnd;          // K, the value that ends the counts run
    AfterRunRule afterRun;
    std::array<Rect, 22> codes;
};

PlayerConstants MakePlayer2()
{
    PlayerConstants p{0x48, 0xEF, 0x47, 0xE0, 0xD8,
                      {0xC, 0xC9, 0xE7, 0xEE, 0xC7, 0xEF, 0xCA, 0xEF}, kPlayer1Codes};
    for (std::size_t k = 0; k < p.codes.size(); ++k) {
        p.codes[k].y += 224;
        p.codes[k].x += k <= 1 ? 224 : 48;
    }
    return p;
}

const PlayerConstants& ConstantsOf(int player)
{
    static const PlayerConstants kPlayer1{0x18, 0x0F, 0x17, 0x00, 0xA8,
                                          {0x9, 0x99, 0x07, 0x0E, 0x97, 0x0F, 0x9A, 0x0F},
                                          kPlayer1Codes};
    static const PlayerConstants kPlayer2 = MakePlayer2();
    return player == 2 ? kPlayer2 : kPlayer1;
}

struct CodeMatch {
    int code = -1;   // -1: the pair is no code
    int dx = 0;
    int dy = 0;
};

CodeMatch FindCode(const PlayerConstants& pc, int x, int y)
{
    for (int k = 0; k < static_cast<int>(pc.codes.size()); ++k) {
        const Rect& r = pc.codes[k];
        if (x >= r.x && x <= r.x + r.w && y >= r.y && y <= r.y + r.h) return {k, x - r.x, y - r.y};
    }
    return {};
}

// ---------------------------------------------------------------------------
// The code decoder.

enum class DecodeMode { Name, Counts };

// Decodes S[start..L) into M meaningful output bytes (the output keeps 48
// bytes of room past M, since one code can write past it; all zero-filled).
// M is at most 32; the output lives on the stack, not in an allocation.
constexpr int kMaxDecoded = 32;
using Decoded = std::array<std::uint8_t, kMaxDecoded + 48>;

// In counts mode the record's name bytes are the copy window.
Decoded Decode(const std::uint8_t* s, int length, int start, DecodeMode mode,
             const PlayerConstants& pc, const PlayerRecord& record, int m)
{
    Decoded out{};
    const int limit = std::min(m, kMaxDecoded) + 48;
    int count = 0;
    const auto put = [&](int value) {
        if (count < limit) out[count] = static_cast<std::uint8_t>(value);
        ++count;
    };
    const auto outAt = [&](int i) -> int {
        return i >= 0 && i < limit ? out[i] : 0;
    };
    const auto window = [&](int i) -> int {
        return i >= 0 && i < static_cast<int>(PlayerRecord::kNameSize)
                   ? static_cast<std::uint8_t>(record.name[i])
                   : 0;
    };
    const auto zeros = [&](int n) {
        for (int i = 0; i < n; ++i) put(0);
    };
    const auto code3Byte = [&]() { return mode == DecodeMode::Name ? s[0] : window(0); };

    int pos = start;
    while (pos < length - 4 && count < m) {
        const CodeMatch c = FindCode(pc, s[pos], s[pos + 1]);
        const bool zeroPairFollows = s[pos + 2] == 0 && s[pos + 3] == 0;
        const bool leadingFill = (c.code == 12 || c.code == 16 || c.code == 17) && count == 0;
        const bool nameEnd = c.code == 2 && mode == DecodeMode::Name;
        if (zeroPairFollows && !leadingFill && !nameEnd) {
            for (int i = 0; i < 4; ++i) put(s[pos + i]);
            pos += 4;
            continue;
        }
        if (c.code < 0) {
            put(s[pos]);
            pos += 1;
            continue;
        }
        switch (c.code) {
        case 0: case 1: case 18: zeros(12); break;
        case 2: return out;
        case 3: put(code3Byte()); break;
        case 4: case 5: zeros(c.dy + 2); put(code3Byte()); break;
        case 6: {
            const int n = c.dy + 3;
            for (int t = 0; t < n; ++t) {
                if (mode == DecodeMode::Name) {
                    if (c.dx + t >= count - 1) put(outAt(c.dx));
                    put(outAt(c.dx + t));
                } else {
                    if (c.dx + t >= pos) { put(window(c.dx)); break; }
                    put(window(c.dx + t));
                }
            }
            break;
        }
        case 7: case 13: case 14: zeros(c.dy + 3); break;
        case 8: case 9: zeros(3); break;
        case 10: case 11: zeros(1); break;
        case 12: zeros(c.dx + 2); break;
        case 15: zeros(4); break;
        case 16: zeros(count < 12 ? 12 - count : 0); break;
        case 17: zeros(10); break;
        case 19: case 20:
            zeros(c.dy == 0 ? 2 : 3);
            put(outAt(0));
            zeros(c.dy - 1);
            break;
        case 21: {
            const int before = count;
            for (int t = 0; t < c.dy + 3; ++t) put(t < before ? outAt(c.dx + t) : 0);
            break;
        }
        }
        pos += 2;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Header.

// Scans the header into the capture H and sets the mode, letter and score bits.
std::optional<Failure> ReadHeader(ReplayByteStream& in, ReplayInfo& info, Bytes& h)
{
    if (!in.seek(0)) return Failure{kErrSeek, 197};
    static constexpr std::array<int, 5> kSignature{0xD8, 0xCC, 0xDF, 0xDA, 0xB2};
    static constexpr std::array<int, 5> kSignatureLines{279, 287, 295, 303, 311};
    constexpr int kEnd = -1;   // the end of the file: one more byte equal to nothing tested

    int state = 0;
    long groupEnd = 0;
    int counter = 0;
    for (long offset = 0; offset < kHeaderEnd; ++offset) {
        int byte = in.next();
        const bool atEnd = byte < 0;
        if (atEnd) byte = kEnd;
        if (offset == groupEnd) {
            groupEnd = offset + (atEnd ? 1 : GroupLength(static_cast<std::uint8_t>(byte)));
            if (state != 0 && ++counter == 4) info.infoFlags |= byte == 0x00 ? kInfoNetW : kInfoNetP;
        } else if (state == 0) {
            if (offset >= kModeMarkerFrom && byte == 0xE4) {
                state = 1;
                counter = 0;
            } else if (offset >= 9 && offset <= 13 && byte != kSignature[offset - 9]) {
                return Failure{kErrSignature, kSignatureLines[offset - 9]};
            }
        } else if (state == 1) {
            if (byte == 0xFF) state = 2;
        } else if (state == 2) {
            if (byte == 0x30) info.infoFlags |= kInfoOfflineMatch;
            else if (byte == 0x01) info.infoFlags |= kInfoNetMatch;
            else break;
            h.push_back(static_cast<std::uint8_t>(byte));
            state = 3;
        } else {
            h.push_back(static_cast<std::uint8_t>(atEnd ? 0xFF : byte));
        }
        if (atEnd) break;
    }
    if (state != 3) return Failure{kErrNoMode, 327};
    return std::nullopt;
}

// The net score from H[1..8] (bytes past the end of H count as 0).
std::optional<Failure> ReadNetScore(const Bytes& h, ReplayInfo& info)
{
    const auto H = [&](std::size_t n) -> int { return n < h.size() ? h[n] : 0; };
    const auto set = [&](int s1, int s2) {
        info.p1.score = static_cast<std::int16_t>(s1);
        info.p2.score = static_cast<std::int16_t>(s2);
    };
    switch (H(1)) {
    case 0x30: set(0, 0); return std::nullopt;
    case 0x2E: set(0, 1); return std::nullopt;
    case 0x6E: set(1, 1); return std::nullopt;
    case 0x01: break;
    default: return Failure{kErrScore, 458};
    }
    const bool h45 = H(4) == 0x30 && H(5) == 0x01;
    if (H(2) == 0x30 && H(3) == 0x01 && !h45) set(1, 0);                       // 2a
    else if (h45) set(H(2), H(3));                                              // 2b
    else if (H(2) == 0x30 && H(3) == 0x02 && H(4) == 0x00) set(1, 0);           // 2c
    else if (H(3) == 0x30 && H(4) == 0x01 && H(5) == 0x00) set(H(2), 1);        // 2d
    else if (H(3) == 0x30 && H(4) == 0x01) set(H(2), 0);                        // 2e
    else if (H(6) == 0x00) set(1, 0);                                           // 2f
    else if (H(3) == 0x38 && H(4) == 0x02 && H(7) == 0x00) set(H(2), 18);       // 2g
    else if (H(3) == 0x1D && H(4) == 0x02 && H(7) == 0x00) set(H(2), 32);       // 2h
    else if (H(7) == 0x00) set(H(2), 0);                                        // 2i
    else if (H(8) == 0x00) set(H(2), H(3));                                     // 2j
    else if (H(4) == 0xEA) set(H(2), H(3));                                     // 2k
    else set(1, 0);                                                             // 2l
    return std::nullopt;
}

// The rule marker (bits 0x0100 / 0x0200) and player 1's character.
std::optional<Failure> ReadRuleMarker(const Bytes& h, ReplayInfo& info)
{
    const int size = static_cast<int>(h.size());
    int j = (info.infoFlags & kInfoNetMatch) ? 4 : 1;
    for (; j < size - 2; ++j) {
        const int a = h[j], b = h[j + 1], c = h[j + 2];
        if (c != 0x00) continue;
        if (a == 0x80 && b == 0x64) { info.infoFlags |= kInfoOtherRule; break; }
        if ((a == 0x81 && (b == 0x64 || b == 0x0A)) || (a == 0x82 && b == 0xC8)) {
            info.infoFlags |= kInfoRuleF;
            break;
        }
    }
    if (j >= size - 2) return Failure{kErrNoRuleMarker, 511};
    if (j + 5 >= size) return Failure{kErrRuleMarkerAtEnd, 517};
    info.p1.character = h[j + 5];
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// Player blocks.

// Captures up to 128 data bytes of a player block (empty when the file ends
// before the capture starts).
std::optional<Failure> CapturePlayerBlock(ReplayByteStream& in, long blockOffset, Bytes& c)
{
    c.clear();
    if (!in.seek(blockOffset)) return Failure{kErrSeek, 561};

    // Search: 0x00, any byte, then a byte 0x?F.
    int matched = 0;
    for (;;) {
        const int byte = in.next();
        if (byte < 0) return std::nullopt;
        if (matched == 0) matched = byte == 0x00 ? 1 : 0;
        else if (matched == 1) matched = 2;
        else if (LowNibbleIsF(byte)) break;
        else matched = 0;
    }

    // Skip: the 15th byte after the 0x?F byte is the first candidate; a 0x00
    // candidate is stepped over with the 16 bytes after it.
    int before2 = -1, before1 = -1, candidate = -1;
    const auto step = [&]() {
        before2 = before1;
        before1 = candidate;
        candidate = in.next();
        return candidate >= 0;
    };
    for (int i = 0; i < 15; ++i)
        if (!step()) return std::nullopt;
    while (candidate == 0x00) {
        for (int i = 0; i < 17; ++i)
            if (!step()) return std::nullopt;
    }
    c.push_back(static_cast<std::uint8_t>(before2));
    c.push_back(static_cast<std::uint8_t>(before1));

    // Capture: data bytes only, control bytes recognised by their groups.
    int untilControl = GroupLength(static_cast<std::uint8_t>(candidate));
    while (c.size() < kCaptureSize) {
        const int byte = in.next();
        if (byte < 0) break;
        if (--untilControl == 0) untilControl = GroupLength(static_cast<std::uint8_t>(byte));
        else c.push_back(static_cast<std::uint8_t>(byte));
    }
    return std::nullopt;
}

// Offline: player 2's character and computer flag from player 1's capture.
void ReadOfflineOpponent(const Bytes& c, ReplayInfo& info)
{
    info.p2.character = 0;
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        const int a = c[i], b = c[i + 1];
        if (a >= 0x30 && a <= 0x5F && b <= 0x51 && ((b & 0x0F) == 0 || (b & 0x0F) == 1)) {
            info.p2.character = static_cast<std::int16_t>(a);
            if ((b & 0x0F) == 1) info.p2.isCom = 1;
            return;
        }
    }
}

// Net: the player's name. Answers the index of the byte before the name's end
// marker (the name area's end) in `endOut`.
std::optional<Failure> ReadNetName(const Bytes& c, const PlayerConstants& pc, PlayerRecord& record,
                                   int& endOut)
{
    const auto C = [&](int i) -> int { return i < static_cast<int>(c.size()) ? c[i] : 0; };
    int k = 1;
    while (k <= 127 && !(C(k - 1) == pc.markerA && C(k) == pc.markerB)) ++k;
    if (k > 127 || k >= kNameSearchLimit) return Failure{kErrNoNameMarker, 751};

    // N = C[0..k]; find where the name starts.
    const auto N = [&](int i) -> int { return C(i); };
    int s = 0;
    for (int i = 0; i <= k; ++i) {
        const int d = i == 0 ? -1 : N(i - 1);
        const int e = N(i);
        if (e == 0x00 && i < (k + 1) - 3) {
            const int f = N(i + 1), g = N(i + 2), hh = N(i + 3);
            const bool zeroIsData = d == f || (d <= 239 && d + 16 == f) || (d == 255 && f == 15) ||
                                    (g == 18 && f == hh) || FindCode(pc, d, 0).code >= 0;
            if (zeroIsData) continue;
            s = f == 0 ? i + 2 : i + 1;
            break;
        }
        if (i > 0) {
            if (d == pc.markerA && e == pc.markerB) break;
            if ((d == pc.startD || d == pc.startD + 1) && e >= pc.startE && e <= pc.startE + 15) {
                s = i + 1;
                break;
            }
        }
    }

    // The name ends before the first marker pair after its start.
    int j = s + 1;
    while (j <= k && !(N(j - 1) == pc.markerA && N(j) == pc.markerB)) ++j;
    if (j > k) return Failure{kErrNoNameEnd, 860};
    const int end = j - 1;

    std::array<std::uint8_t, 256> buffer{};
    int n = 0;
    for (int i = s; i < end; ++i) buffer[n++] = static_cast<std::uint8_t>(N(i));
    buffer[n++] = static_cast<std::uint8_t>(pc.markerA);
    buffer[n++] = static_cast<std::uint8_t>(pc.markerB);
    const Decoded decoded = Decode(buffer.data(), 256, 0, DecodeMode::Name, pc, record, 32);
    std::size_t length = 0;
    while (length < kNameLength && decoded[length] != 0) ++length;
    record.setName(std::string_view(reinterpret_cast<const char*>(decoded.data()), length));
    endOut = end;
    return std::nullopt;
}

// Net: win and loss counts and rank (and, for player 1, player 2's character).
std::optional<Failure> ReadNetCounts(const Bytes& c, int player, const PlayerConstants& pc,
                                     int nameEnd, ReplayInfo& info)
{
    const int size = static_cast<int>(c.size());
    int position = -1;
    bool runEndFound = false;
    bool runStarted = false;
    int v = 0;
    for (int i = nameEnd + 2; i < size - 4;) {
        const int c0 = c[i], c1 = c[i + 1], c2 = c[i + 2], c3 = c[i + 3];
        if (!LowNibbleIsF(c0)) { i += 1; continue; }
        if (!runStarted) {
            if (c0 != c2) { i += 1; continue; }
            if (c3 == ((c1 + 18) & 0xFF)) { runStarted = true; v = c1; i += 2; continue; }
            position = i + 1;
            break;
        }
        v = (v + 18) & 0xFF;
        if (c1 == v && LowNibbleIsF(c2)) { i += 2; continue; }
        if (c1 != v && c1 == 0x00 && v == pc.countsEnd) {
            position = i + 2;
            runEndFound = true;
            break;
        }
        position = i + 1;
        break;
    }
    if (position < 0) return Failure{kErrNoCountsRun, 1586};

    if (!runEndFound) {
        if (c[position] < 0x10) position -= 2;
        const int a = c[position], b = c[position + 1];
        const AfterRunRule& r = pc.afterRun;
        if ((a >> 4) == r.high) {
            const bool keep = a == r.keepA && (b == r.keepB1 || b == r.keepB2);
            const bool move = a == r.moveA && b == r.moveB;
            if (move || (!keep && a < r.keepFromA && b != r.keepB)) position += 2;
        }
    }

    PlayerRecord& record = info.player(player);
    const Decoded o = Decode(c.data(), size, position, DecodeMode::Counts, pc, record, 16);
    const auto le32 = [&](int at) {
        return static_cast<std::uint32_t>(o[at]) | static_cast<std::uint32_t>(o[at + 1]) << 8 |
               static_cast<std::uint32_t>(o[at + 2]) << 16 | static_cast<std::uint32_t>(o[at + 3]) << 24;
    };
    record.wins = static_cast<std::int16_t>(le32(0) & 0xFFFF);
    record.losses = static_cast<std::int16_t>(le32(4) & 0xFFFF);
    const std::uint16_t rank = static_cast<std::uint16_t>(le32(8) & 0xFFFF);
    record.rank = static_cast<std::int16_t>(rank >= 19 ? 0 : rank);

    if (player == 1) {
        info.p2.character = 0;
        for (int i = 11; i <= 15; ++i) {
            if (o[i] >= 0x40 && o[i] <= 0x4F && o[i + 1] == 0x20 && o[i + 2] == 0x05) {
                info.p2.character = o[i];
                info.p2.isCom = 0;
            }
        }
    }
    return std::nullopt;
}

std::optional<Failure> ReadPlayerBlock(ReplayByteStream& in, int player, ReplayInfo& info)
{
    Bytes c;
    c.reserve(kCaptureSize);
    if (auto failure = CapturePlayerBlock(in, player == 1 ? kPlayer1Block : kPlayer2Block, c))
        return failure;
    if (info.infoFlags & kInfoOfflineMatch) {
        if (player == 1) ReadOfflineOpponent(c, info);
        return std::nullopt;
    }
    const PlayerConstants& pc = ConstantsOf(player);
    int nameEnd = 0;
    if (auto failure = ReadNetName(c, pc, info.player(player), nameEnd)) return failure;
    return ReadNetCounts(c, player, pc, nameEnd, info);
}

int Analyse(ReplayByteStream& in, ReplayInfo& info)
{
    Bytes h;
    h.reserve(64);
    std::optional<Failure> failure = ReadHeader(in, info, h);
    if (!failure && (info.infoFlags & kInfoNetMatch)) failure = ReadNetScore(h, info);
    if (!failure) failure = ReadRuleMarker(h, info);
    if (!failure) failure = ReadPlayerBlock(in, 1, info);
    // An offline match takes nothing from player 2's block.
    if (!failure && (info.infoFlags & kInfoNetMatch)) failure = ReadPlayerBlock(in, 2, info);
    if (!failure) return kAnalyseOk;
    info.infoFlags |= kInfoFailed;
    info.p1.wins = static_cast<std::int16_t>(failure->code);
    info.p1.losses = static_cast<std::int16_t>(failure->line);
    return kAnalyseFailed;
}

int Fail(ReplayInfo& info, int code, int line)
{
    info.infoFlags |= kInfoFailed;
    info.p1.wins = static_cast<std::int16_t>(code);
    info.p1.losses = static_cast<std::int16_t>(line);
    return kAnalyseFailed;
}

// ---------------------------------------------------------------------------
// Texts.

std::vector<std::string> SjisTable(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> table;
    for (const char* text : utf8) table.push_back(Sjis(text));
    return table;
}

const std::vector<std::string>& RankNames()
{
    static const auto table = SjisTable({
        "１０きゅう", "９きゅう", "８きゅう", "７きゅう", "６きゅう", "５きゅう", "４きゅう",
        "３きゅう", "２きゅう", "１きゅう", "しょだん", "２だん", "３だん", "４だん",
        "５だん", "６だん", "７だん", "８だん", "９だん", "１０だん", "ER"});
    return table;
}

const std::vector<std::string>& CharacterNames()
{
    static const auto table = SjisTable({
        "アミティ", "おしゃれこうべ", "クルーク", "どんぐりがえる", "リデル", "おにおん",
        "さかな王子", "ラフィーナ", "ユウちゃん", "タルタル", "ほほうどり", "アコール先生",
        "子連れフランケン", "アルル", "ポポイ", "カーバンクル", "ER"});
    return table;
}

// printf's "%6.2f", independent of the C locale.
std::string FormatRatio(double ratio)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, ratio,
                                      std::chars_format::fixed, 2);
    std::string text(digits, result.ptr);
    if (text.size() < 6) text.insert(0, 6 - text.size(), ' ');
    return text;
}

}  // namespace

int AnalyseReplay(const std::string& path, ReplayInfo& info)
{
    return AnalyseReplayAtNativePath(NativePathFromSjis(path), info);
}

int AnalyseReplayAtNativePath(const std::string& native, ReplayInfo& info)
{
    info.clear();
    ReadOnlyFile file;
    switch (file.open(native)) {
    case ReadOnlyFile::OpenResult::Missing:
    case ReadOnlyFile::OpenResult::NotRegular:   // a folder, device or FIFO is no replay file
        return Fail(info, kErrNoFile, 136);
    case ReadOnlyFile::OpenResult::CannotOpen: return Fail(info, kErrCannotOpen, 144);
    case ReadOnlyFile::OpenResult::Opened: break;
    }
    ReplayByteStream in(file);
    return Analyse(in, info);
}

int AnalyseReplayBytes(std::string_view bytes, ReplayInfo& info)
{
    info.clear();
    ReplayByteStream in(bytes);
    return Analyse(in, info);
}

const std::string& RankName(int index)
{
    const auto& table = RankNames();
    return table[index >= 0 && index < kRankNameCount ? index : kRankNameCount - 1];
}

const std::string& CharacterName(int index)
{
    const auto& table = CharacterNames();
    return table[index >= 0 && index < kCharacterNameCount ? index : kCharacterNameCount - 1];
}

int RankIndexOf(std::int16_t rank)
{
    const auto r = static_cast<std::uint16_t>(rank);
    return r < 20 ? r : 20;
}

int CharacterIndexOf(std::int16_t character)
{
    const auto c = static_cast<std::uint16_t>(character);
    return c >= 0x30 && c <= 0x5F ? (c & 0x0F) : 16;
}

std::string InfoSummary(const ReplayInfo* info)
{
    // The fixed words, converted once.
    static const std::string kFailed = Sjis("解析エラー: Code:");
    static const std::string kNet = Sjis("ネットぷよ：");
    static const std::string kAgainst = Sjis("対");
    static const std::string kVsCom = Sjis("ひとぷよ");
    static const std::string kTwoPlayers = Sjis("ふたぷよ");
    if (!info) return {};
    if (info->failed()) {
        return kFailed + std::to_string(info->p1.wins) + " Line:" + std::to_string(info->p1.losses);
    }
    if (info->infoFlags & kInfoNetMatch) {
        std::string text = kNet + std::to_string(info->p1.score) + kAgainst +
                           std::to_string(info->p2.score) + " [";
        text += (info->infoFlags & kInfoRuleF) ? 'F' : 'C';
        text += '/';
        text += (info->infoFlags & kInfoNetW) ? 'W' : 'P';
        text += ']';
        return text;
    }
    return info->p1.isCom == 1 || info->p2.isCom == 1 ? kVsCom : kTwoPlayers;
}

std::string PlayerSummary(const ReplayInfo* info, int player)
{
    if (!info || info->failed()) return {};
    const PlayerRecord& p = info->player(player);
    const std::string& character = CharacterName(CharacterIndexOf(p.character));
    if (!(info->infoFlags & kInfoNetMatch))
        return "[" + character + "]" + (p.isCom == 1 ? " (COM)" : "");

    const unsigned wins = static_cast<std::uint16_t>(p.wins);
    const unsigned losses = static_cast<std::uint16_t>(p.losses);
    const double ratio = wins + losses == 0 ? 0.0 : static_cast<double>(wins) / (wins + losses);
    return std::string(p.nameText()) + " " + RankName(RankIndexOf(p.rank)) + " " +
           std::to_string(wins) + "/" + std::to_string(losses) + "(" + FormatRatio(ratio) + ") [" +
           character + "]";
}

}  // namespace replidex
