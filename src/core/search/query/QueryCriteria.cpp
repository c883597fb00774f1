#include "core/search/query/QueryCriteria.h"

#include <algorithm>
#include <vector>

#include "core/search/query/QueryNames.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

// A text value, quoted when the line would otherwise read it otherwise.
std::string TextValue(const std::string& sjis)
{
    const std::string utf8 = Cp932ToUtf8Lossy(sjis);
    bool plain = !utf8.empty();
    for (const char* special : {" ", "\t", "\r", "\n", "(", ")", "|", "\"", "「", "“", "＂",
                                "（", "）", "｜", "\u3000"})
        if (utf8.find(special) != std::string::npos) plain = false;
    if (plain) return utf8;
    if (utf8.find('"') == std::string::npos) return "\"" + utf8 + "\"";
    if (utf8.find("」") == std::string::npos) return "「" + utf8 + "」";
    return "“" + utf8 + "”";
}

std::string Join(const std::vector<std::string>& parts)
{
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : " ") + p;
    return out;
}

// A term's identity for comparing two queries.
std::string TermKey(const QueryNode& n)
{
    return std::to_string(static_cast<int>(n.key)) + "|" + std::to_string(static_cast<int>(n.op)) +
           "|" + n.text + "|" + std::to_string(n.number) + "|" + std::to_string(n.dateFrom) + "|" +
           std::to_string(n.dateTo) + "|" + std::to_string(n.state);
}

bool IsPlayerKey(QueryKey k)
{
    return k == QueryKey::Name || k == QueryKey::Rank || k == QueryKey::Ratio ||
           k == QueryKey::Wins || k == QueryKey::Losses;
}

// The query as sorted branches of sorted terms, with a branch that names no
// match kind given the kinds it stands for: net when it tests a player term
// (those hold only for net matches), else both. Empty when the query has a
// shape the window cannot have (negation, vs:, nested groups).
std::vector<std::string> Canonical(const Query& q)
{
    std::vector<std::string> out;
    if (q.root < 0) return out;
    const auto& nodes = q.nodes;
    // side: stands beside the rest at the top.
    int top = q.root;
    const QueryNode& outer = nodes[static_cast<std::size_t>(top)];
    if (outer.kind == QueryNode::And) {
        std::vector<int> rest;
        for (const int c : outer.children)
            if (nodes[static_cast<std::size_t>(c)].key != QueryKey::Side ||
                nodes[static_cast<std::size_t>(c)].kind != QueryNode::Term)
                rest.push_back(c);
        if (rest.size() == 1) top = rest[0];
    }
    std::vector<int> branches;
    const QueryNode& root = nodes[static_cast<std::size_t>(top)];
    if (root.kind == QueryNode::Or) branches = root.children;
    else branches = {top};
    for (const int b : branches) {
        const QueryNode& bn = nodes[static_cast<std::size_t>(b)];
        std::vector<int> terms = bn.kind == QueryNode::And ? bn.children : std::vector<int>{b};
        std::vector<std::string> keys;
        bool kind = false, player = false;
        for (const int t : terms) {
            const QueryNode& tn = nodes[static_cast<std::size_t>(t)];
            if (tn.kind != QueryNode::Term) return {};
            if (tn.key == QueryKey::Side) continue;
            kind = kind || tn.key == QueryKey::Net || tn.key == QueryKey::Offline;
            player = player || IsPlayerKey(tn.key);
            keys.push_back(TermKey(tn));
        }
        const auto add = [&](QueryKey k) {
            QueryNode n;
            n.key = k;
            std::vector<std::string> withKind = keys;
            withKind.push_back(TermKey(n));
            std::sort(withKind.begin(), withKind.end());
            out.push_back(Join(withKind));
        };
        if (kind) {
            std::sort(keys.begin(), keys.end());
            out.push_back(Join(keys));
        } else {
            add(QueryKey::Net);
            if (!player) add(QueryKey::Offline);
        }
    }
    std::sort(out.begin(), out.end());
    out.push_back("side" + std::to_string(static_cast<int>(q.side)));
    return out;
}

}  // namespace

std::string ToQuery(const SearchCriteria& c)
{
    static const char* const kRankOps[] = {"=", ">=", "<="};
    static const char* const kRatioOps[] = {">=", "<="};
    std::vector<std::string> player;
    if (c.useHandleName) player.push_back("name:" + TextValue(c.handleName));
    if (c.useRank && c.rankIndex >= 0 && c.rankIndex < kSearchRankCount && c.rankCompare >= 0 &&
        c.rankCompare <= 2)
        player.push_back(std::string("rank") + kRankOps[c.rankCompare] +
                         QueryRankNames()[static_cast<std::size_t>(c.rankIndex)]);
    if (c.useRatio && c.ratioCompare >= 0 && c.ratioCompare <= 1)
        player.push_back(std::string("ratio") + kRatioOps[c.ratioCompare] +
                         std::to_string(10 * (c.ratioStep + 1)) + "%");
    std::vector<std::string> shared;
    if (c.useCharacter && c.characterIndex >= 0 && c.characterIndex < kSearchCharacterCount)
        shared.push_back("chara:" + QueryCharaNames()[static_cast<std::size_t>(c.characterIndex)]);
    if (c.useMemo) shared.push_back("memo:" + TextValue(c.memo));

    std::vector<std::string> net{"net"};
    net.insert(net.end(), player.begin(), player.end());
    net.insert(net.end(), shared.begin(), shared.end());
    std::vector<std::string> offline{"offline"};
    offline.insert(offline.end(), shared.begin(), shared.end());
    const bool offlineBranch = c.offline && (c.useCharacter || c.useMemo);

    std::string body;
    if (c.net && offlineBranch) body = "(" + Join(net) + ") OR (" + Join(offline) + ")";
    else if (c.net) body = Join(net);
    else body = Join(offline);
    if (c.player1 == c.player2) return body;
    const std::string side = c.player1 ? "side:1p " : "side:2p ";
    return side + (c.net && offlineBranch ? "(" + body + ")" : body);
}

bool ToCriteria(const Query& q, QueryTextOptions options, SearchCriteria& out)
{
    const std::vector<std::string> wanted = Canonical(q);
    if (wanted.empty()) return false;
    SearchCriteria c;
    c.useRank = false;
    c.net = c.offline = false;
    c.player1 = q.side != QuerySide::Second;
    c.player2 = q.side != QuerySide::First;
    c.caseSensitive = options.caseSensitive;
    c.widthSensitive = options.widthSensitive;
    bool anyPlayer = false;
    for (const QueryNode& n : q.nodes) {
        if (n.kind != QueryNode::Term) continue;
        switch (n.key) {
        case QueryKey::Name:
            c.useHandleName = n.op == QueryOp::Contains;
            c.handleName = n.text;
            anyPlayer = true;
            break;
        case QueryKey::Rank:
            c.useRank = true;
            c.rankIndex = static_cast<int>(n.number);
            c.rankCompare = n.op == QueryOp::AtLeast ? kRankAtLeast
                            : n.op == QueryOp::AtMost ? kRankAtMost
                                                      : kRankEqual;
            anyPlayer = true;
            break;
        case QueryKey::Ratio:
            c.useRatio = true;
            c.ratioStep = static_cast<int>(n.number / 10) - 1;
            c.ratioStep = std::clamp(c.ratioStep, 0, kSearchRatioStepCount - 1);
            c.ratioCompare = n.op == QueryOp::AtMost ? kRatioAtMost : kRatioAtLeast;
            anyPlayer = true;
            break;
        case QueryKey::Chara:
            c.useCharacter = true;
            c.characterIndex = static_cast<int>(n.number);
            break;
        case QueryKey::Memo:
            c.useMemo = true;
            c.memo = n.text;
            break;
        case QueryKey::Net: c.net = true; break;
        case QueryKey::Offline: c.offline = true; break;
        default: break;
        }
    }
    if (!c.net && !c.offline) {
        c.net = true;
        c.offline = !anyPlayer;
    }
    const QueryParse back = ParseQuery(ToQuery(c));
    if (!back.ok || Canonical(back.query) != wanted) return false;
    out = c;
    return true;
}

}  // namespace replidex
