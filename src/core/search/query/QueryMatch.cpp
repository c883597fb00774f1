#include <cstdint>
#include <cstring>

#include "core/search/SearchMatch.h"
#include "core/search/query/Query.h"

namespace replidex {

namespace {

std::string_view NameOf(const PlayerRecord& player)
{
    const char* p = player.name.data();
    const void* nul = std::memchr(p, 0, PlayerRecord::kNameSize - 1);
    return {p, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p)
                   : PlayerRecord::kNameSize - 1};
}

bool Compare(double value, QueryOp op, double against)
{
    switch (op) {
    case QueryOp::Contains:
    case QueryOp::Equal: return value == against;
    case QueryOp::AtLeast: return value >= against;
    case QueryOp::AtMost: return value <= against;
    case QueryOp::Above: return value > against;
    case QueryOp::Below: return value < against;
    }
    return false;
}

// The file time's day as yyyymmdd; 0 for no file.
int DayOf(std::int32_t fileAge)
{
    if (fileAge == -1) return 0;
    const auto date = static_cast<std::uint32_t>(fileAge) >> 16;
    return static_cast<int>((1980 + (date >> 9)) * 10000 + ((date >> 5) & 15) * 100 + (date & 31));
}

bool DateHolds(const QueryNode& n, int day)
{
    if (day == 0) return false;
    switch (n.op) {
    case QueryOp::Contains:
    case QueryOp::Equal: return day >= n.dateFrom && day <= n.dateTo;
    case QueryOp::AtLeast: return day >= n.dateFrom;
    case QueryOp::AtMost: return day <= n.dateTo;
    case QueryOp::Above: return day > n.dateTo;
    case QueryOp::Below: return day < n.dateFrom;
    }
    return false;
}

void PrepareText(std::string_view text, QueryTextOptions o, std::string& out)
{
    if (o.widthSensitive) out.assign(text);
    else FoldWidthInto(text, out);
    if (!o.caseSensitive) LowerSingleByteLetters(out);
}

}  // namespace

QueryMatcher::QueryMatcher(Query query, QueryTextOptions options)
    : q_(std::move(query)), options_(options),
      transform_(!options.caseSensitive || !options.widthSensitive)
{
    std::string prepared;
    for (QueryNode& n : q_.nodes) {
        if (n.kind != QueryNode::Term || n.text.empty()) continue;
        PrepareText(n.text, options_, prepared);
        n.text = prepared;
    }
}

bool QueryMatcher::Text(const QueryNode& n, std::string_view text) const
{
    std::string_view t = text;
    if (transform_) {
        PrepareText(text, options_, buffer_);
        t = buffer_;
    }
    if (n.op == QueryOp::Equal) return t == n.text;
    return ContainsAtCharStart(n.text, t);
}

bool QueryMatcher::Term(const QueryNode& n, const ReplayEntry& e, int player) const
{
    const ReplayInfo& info = *e.info;
    const PlayerRecord& p = info.player(player);
    const bool net = (info.infoFlags & kInfoNetMatch) != 0;
    switch (n.key) {
    case QueryKey::Name: return net && Text(n, NameOf(p));
    case QueryKey::Rank: return net && Compare(static_cast<std::uint16_t>(p.rank), n.op, n.number);
    case QueryKey::Ratio: {
        if (!net) return false;
        const int wins = static_cast<std::uint16_t>(p.wins);
        const int total = wins + static_cast<std::uint16_t>(p.losses);
        const double ratio =
            total == 0 ? 0.0 : static_cast<double>(wins) / static_cast<double>(total) * 100.0;
        return Compare(ratio, n.op, n.number);
    }
    case QueryKey::Wins: return net && Compare(static_cast<std::uint16_t>(p.wins), n.op, n.number);
    case QueryKey::Losses:
        return net && Compare(static_cast<std::uint16_t>(p.losses), n.op, n.number);
    case QueryKey::Chara: return (p.character & 0x0F) == static_cast<int>(n.number);
    case QueryKey::Side: return true;  // taken by MatchEntry
    case QueryKey::Net: return net;
    case QueryKey::Offline: return (info.infoFlags & kInfoOfflineMatch) != 0;
    case QueryKey::Memo: return Text(n, e.memo);
    case QueryKey::File: return Text(n, e.fileName);
    case QueryKey::Path: return Text(n, e.fullPath());
    case QueryKey::Date: return DateHolds(n, DayOf(e.fileAge));
    case QueryKey::State: return EntryState(e) == n.state;
    }
    return false;
}

bool QueryMatcher::Eval(int index, const ReplayEntry& e, int player) const
{
    const QueryNode& n = q_.nodes[static_cast<std::size_t>(index)];
    switch (n.kind) {
    case QueryNode::And:
        for (const int c : n.children)
            if (!Eval(c, e, player)) return false;
        return true;
    case QueryNode::Or:
        for (const int c : n.children)
            if (Eval(c, e, player)) return true;
        return false;
    case QueryNode::Not: return !Eval(n.children[0], e, player);
    case QueryNode::Vs: return Eval(n.children[0], e, 3 - player);
    case QueryNode::Term: return Term(n, e, player);
    }
    return false;
}

bool QueryMatcher::MatchEntry(const ReplayEntry& entry) const
{
    if (!entry.info) return false;
    if (q_.root < 0) return true;
    if (q_.side != QuerySide::Second && Eval(q_.root, entry, 1)) return true;
    if (q_.side != QuerySide::First && Eval(q_.root, entry, 2)) return true;
    return false;
}

}  // namespace replidex
