#include "core/search/SearchMatch.h"

#include <cstdint>
#include <cstring>

#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

// First bytes of the two-byte characters that width folding steps over.
constexpr bool IsFoldLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEE) || (b >= 0xFA && b <= 0xFC);
}

// The one-byte form of the full-width character 0x82 `trail`, or 0 when it has
// none (only Ａ-Ｚ, ａ-ｚ and ０-９ have one).
constexpr unsigned char FoldedTrail(unsigned char trail)
{
    if (trail >= 0x60 && trail <= 0x79) return static_cast<unsigned char>(trail - 0x1F);  // Ａ-Ｚ
    if (trail >= 0x81 && trail <= 0x9A) return static_cast<unsigned char>(trail - 0x20);  // ａ-ｚ
    if (trail >= 0x4F && trail <= 0x58) return static_cast<unsigned char>(trail - 0x1F);  // ０-９
    return 0;
}

// Folds `text` into `out` (sized to fit; folding never lengthens a text) and
// answers the length written.
std::size_t FoldInto(std::string_view text, char* out)
{
    const std::size_t n = text.size();
    // Only a pair led by 0x82 can change; without that byte the text is copied.
    if (n == 0 || !std::memchr(text.data(), 0x82, n)) {
        if (n != 0) std::memcpy(out, text.data(), n);
        return n;
    }
    std::size_t o = 0;
    std::size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (!IsFoldLeadByte(b)) {
            out[o++] = text[i++];
            continue;
        }
        if (i + 1 >= n) {  // a lead byte with nothing after it: keep it
            out[o++] = text[i++];
            break;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        const unsigned char folded = b == 0x82 ? FoldedTrail(trail) : 0;
        if (folded != 0) {
            out[o++] = static_cast<char>(folded);
        } else {
            out[o++] = text[i];
            out[o++] = text[i + 1];
        }
        i += 2;
    }
    return o;
}

void LowerInPlace(char* p, std::size_t n)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    auto* u = reinterpret_cast<unsigned char*>(p);
    std::size_t i = 0;  // always at the start of a character
    while (i < n) {
        if (n - i >= 8) {
            std::uint64_t x;
            std::memcpy(&x, u + i, 8);
            if ((x & kHigh) == 0) {
                // Eight one-byte characters: set bit 5 of the bytes 'A'..'Z'.
                // No byte below 0x80 carries into its neighbour here.
                const std::uint64_t aboveZ = x + (0x7F - 'Z') * kOnes;
                const std::uint64_t fromA = x + (0x80 - 'A') * kOnes;
                x |= ((fromA ^ aboveZ) & kHigh) >> 2;
                std::memcpy(u + i, &x, 8);
                i += 8;
                continue;
            }
        }
        const unsigned char b = u[i];
        if (IsCp932LeadByte(b)) {
            i += 2;  // the trail byte is never a letter to change
            continue;
        }
        if (b >= 'A' && b <= 'Z') u[i] = static_cast<unsigned char>(b + ('a' - 'A'));
        ++i;
    }
}

// `text` under the text options, into `out`.
void Prepare(std::string_view text, bool caseSensitive, bool widthSensitive, std::string& out)
{
    out.resize(text.size());
    std::size_t n = text.size();
    if (!widthSensitive) {
        n = FoldInto(text, out.data());
    } else if (n != 0) {
        std::memcpy(out.data(), text.data(), n);
    }
    out.resize(n);
    if (!caseSensitive) LowerInPlace(out.data(), n);
}

// The handle name up to its first NUL.
std::string_view NameOf(const PlayerRecord& player)
{
    const char* p = player.name.data();
    const void* nul = std::memchr(p, 0, PlayerRecord::kNameSize - 1);
    return {p, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p)
                   : PlayerRecord::kNameSize - 1};
}

}  // namespace

void FoldWidthInto(std::string_view text, std::string& out)
{
    out.resize(text.size());
    out.resize(FoldInto(text, out.data()));
}

std::string FoldWidth(std::string_view text)
{
    std::string out;
    FoldWidthInto(text, out);
    return out;
}

void LowerSingleByteLetters(std::string& text)
{
    LowerInPlace(text.data(), text.size());
}

bool ContainsAtCharStart(std::string_view pattern, std::string_view text)
{
    if (pattern.empty() || text.empty() || pattern.size() > text.size()) return false;
    // Find each byte-for-byte occurrence, then decide whether it starts a
    // character without walking the whole text: the byte before a run of
    // lead-range bytes always ends a character, so an occurrence starts one
    // when the lead-range bytes right before it are even in number. `known`
    // is a position known to start a character, which bounds that look back.
    std::size_t known = 0;
    for (std::size_t pos = text.find(pattern); pos != std::string_view::npos;
         pos = text.find(pattern, pos + 1)) {
        std::size_t k = 0;
        while (pos - k > known && IsCp932LeadByte(static_cast<unsigned char>(text[pos - 1 - k])))
            ++k;
        if (k % 2 == 0) return true;
        known = pos + 1;  // pos is a trail byte, so the next byte starts a character
    }
    return false;
}

bool TextContains(std::string_view pattern, std::string_view text, bool caseSensitive,
                  bool widthSensitive)
{
    if (caseSensitive && widthSensitive) return ContainsAtCharStart(pattern, text);
    std::string p;
    std::string t;
    Prepare(pattern, caseSensitive, widthSensitive, p);
    Prepare(text, caseSensitive, widthSensitive, t);
    return ContainsAtCharStart(p, t);
}

SearchMatcher::SearchMatcher(const SearchCriteria& criteria)
    : c_(criteria), transform_(!criteria.caseSensitive || !criteria.widthSensitive)
{
    Prepare(c_.handleName, c_.caseSensitive, c_.widthSensitive, namePattern_);
    Prepare(c_.memo, c_.caseSensitive, c_.widthSensitive, memoPattern_);
}

bool SearchMatcher::Contains(std::string_view preparedPattern, std::string_view text) const
{
    // An empty pattern or text stays empty under the options: no need to fold.
    if (preparedPattern.empty() || text.empty()) return false;
    if (!transform_) return ContainsAtCharStart(preparedPattern, text);
    Prepare(text, c_.caseSensitive, c_.widthSensitive, buffer_);
    return ContainsAtCharStart(preparedPattern, buffer_);
}

bool SearchMatcher::MatchPlayer(const ReplayInfo& info, const PlayerRecord& player) const
{
    if (info.infoFlags & kInfoNetMatch) {
        if (c_.useHandleName && !Contains(namePattern_, NameOf(player))) return false;
        if (c_.useRank) {
            const int r = static_cast<std::uint16_t>(player.rank);
            const int s = c_.rankIndex;
            switch (c_.rankCompare) {
            case kRankEqual: if (r != s) return false; break;
            case kRankAtLeast: if (r < s) return false; break;
            case kRankAtMost: if (r > s) return false; break;
            default: return false;  // no comparison chosen: nothing passes
            }
        }
        if (c_.useRatio) {
            const int wins = static_cast<std::uint16_t>(player.wins);
            const int total = wins + static_cast<std::uint16_t>(player.losses);
            const double ratio =
                total == 0 ? 0.0 : static_cast<double>(wins) / static_cast<double>(total) * 100.0;
            const double t = 10.0 * (static_cast<double>(c_.ratioStep) + 1.0);
            switch (c_.ratioCompare) {
            case kRatioAtLeast: if (!(t <= ratio)) return false; break;
            case kRatioAtMost: if (!(t >= ratio)) return false; break;
            default: return false;
            }
        }
    }
    if (c_.useCharacter && c_.characterIndex != (player.character & 0x0F)) return false;
    return true;
}

bool SearchMatcher::MatchMemoAndPlayers(const ReplayEntry& entry) const
{
    const ReplayInfo& info = *entry.info;
    if (c_.useMemo && !Contains(memoPattern_, entry.memo)) return false;
    if (c_.player1 && MatchPlayer(info, info.p1)) return true;
    if (c_.player2 && MatchPlayer(info, info.p2)) return true;
    return false;
}

bool SearchMatcher::MatchOffline(const ReplayEntry& entry) const
{
    if (!entry.info) return false;
    if (!c_.useCharacter && !c_.useMemo) return false;
    return MatchMemoAndPlayers(entry);
}

bool SearchMatcher::MatchEntry(const ReplayEntry& entry) const
{
    if (!entry.info) return false;
    const std::uint32_t flags = entry.info->infoFlags;
    if (c_.offline && (flags & kInfoOfflineMatch)) return MatchOffline(entry);
    if (!c_.net && c_.offline && (flags & kInfoNetMatch)) return false;
    if (c_.net && !c_.offline && !(flags & kInfoNetMatch)) return false;
    return MatchMemoAndPlayers(entry);
}

bool MatchEntry(const SearchCriteria& criteria, const ReplayEntry& entry)
{
    return SearchMatcher(criteria).MatchEntry(entry);
}

bool MatchOffline(const SearchCriteria& criteria, const ReplayEntry& entry)
{
    return SearchMatcher(criteria).MatchOffline(entry);
}

bool MatchPlayer(const SearchCriteria& criteria, const ReplayInfo& info,
                 const PlayerRecord& player)
{
    return SearchMatcher(criteria).MatchPlayer(info, player);
}

}  // namespace replidex
