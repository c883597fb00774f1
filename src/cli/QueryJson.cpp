#include "cli/QueryJson.h"

#include <cstdio>

#include "core/search/query/QueryNames.h"

namespace replidex::cli {

namespace {

std::string Day(int yyyymmdd)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", yyyymmdd / 10000, yyyymmdd / 100 % 100,
                  yyyymmdd % 100);
    return text;
}

Json NodeJson(const Query& q, int index)
{
    const QueryNode& n = q.nodes[static_cast<std::size_t>(index)];
    Json out = Json::object();
    switch (n.kind) {
    case QueryNode::And:
    case QueryNode::Or: {
        out["op"] = n.kind == QueryNode::And ? "and" : "or";
        Json children = Json::array();
        for (const int c : n.children) children.push_back(NodeJson(q, c));
        out["children"] = std::move(children);
        return out;
    }
    case QueryNode::Not:
    case QueryNode::Vs:
        out["op"] = n.kind == QueryNode::Not ? "not" : "vs";
        out["child"] = NodeJson(q, n.children[0]);
        return out;
    case QueryNode::Term: break;
    }
    out["op"] = "term";
    out["key"] = QueryKeyName(n.key);
    out["position"] = n.position;
    if (n.key == QueryKey::Net || n.key == QueryKey::Offline) return out;
    out["cmp"] = QueryOpText(n.op);
    const auto at = [](const std::vector<std::string>& names, double i) {
        return names[static_cast<std::size_t>(i)];
    };
    switch (n.key) {
    case QueryKey::Name: case QueryKey::Memo: case QueryKey::File: case QueryKey::Path:
        out["value"] = SjisTextJson(n.text);
        break;
    case QueryKey::Rank:
        out["value"] = at(QueryRankNames(), n.number);
        out["index"] = static_cast<int>(n.number);
        break;
    case QueryKey::Chara:
        out["value"] = at(QueryCharaNames(), n.number);
        out["index"] = static_cast<int>(n.number);
        break;
    case QueryKey::Ratio: out["percent"] = n.number; break;
    case QueryKey::Wins: case QueryKey::Losses: out["value"] = static_cast<int>(n.number); break;
    case QueryKey::Side: out["value"] = at({"both", "1p", "2p"}, n.number); break;
    case QueryKey::State: out["value"] = at({"ok", "missing", "changed"}, n.state); break;
    case QueryKey::Date:
        out["from"] = Day(n.dateFrom);
        out["to"] = Day(n.dateTo);
        break;
    default: break;
    }
    return out;
}

}  // namespace

Json QueryTreeJson(const Query& query)
{
    static const char* const kSides[] = {"both", "1p", "2p"};
    Json out = Json::object();
    out["side"] = kSides[static_cast<int>(query.side)];
    out["root"] = query.root < 0 ? Json(nullptr) : NodeJson(query, query.root);
    return out;
}

}  // namespace replidex::cli
