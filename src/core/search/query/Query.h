// Typed search queries: one line such as `name:あみ rank>=しょだん` parsed
// into a tree and evaluated over the replay entries held in memory.
//
// The line is UTF-8 (it is what the user typed); text values become
// Shift-JIS when parsed, since every text they are compared with is, and a
// value Shift-JIS cannot hold is a parse error. Messages are UTF-8 too, as
// they quote the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/replay/ReplayRecords.h"

namespace replidex {

enum class QueryKey {
    Name, Rank, Ratio, Wins, Losses, Chara, Side, Net, Offline, Memo, File, Path, Date, State
};
enum class QueryOp { Contains, Equal, AtLeast, AtMost, Above, Below };

struct QueryNode {
    enum Kind { And, Or, Not, Vs, Term } kind = Term;
    std::vector<int> children;  // indexes into Query::nodes
    QueryKey key = QueryKey::Name;
    QueryOp op = QueryOp::Contains;
    std::string text;        // text keys: the pattern (Shift-JIS)
    double number = 0;       // ratio: percent; wins, losses, rank, chara: the value
    int dateFrom = 0;        // date: first and last day as yyyymmdd
    int dateTo = 0;
    int state = 0;           // state: kStateUnchanged, kStateMissing, kStateChanged
    int position = 0;        // 1-based character of the term in the line
};

enum class QuerySide { Both, First, Second };

struct Query {
    std::vector<QueryNode> nodes;
    int root = -1;  // -1: the empty query, which takes every entry in scope
    QuerySide side = QuerySide::Both;
};

struct QueryError {
    int position = 0;      // 1-based character of the line
    std::string message;   // without the position (UTF-8)
};

struct QueryParse {
    bool ok = false;
    Query query;
    QueryError error;
};

// How deep parentheses, vs:( ) and "-" may nest.
inline constexpr int kQueryMaxNesting = 200;

// Parses a query line (UTF-8).
QueryParse ParseQuery(std::string_view utf8);

// "12文字目: message" (UTF-8).
std::string QueryErrorText(const QueryError& error);

// The key's name in the line ("name", "rank", ...), and the operator's.
const char* QueryKeyName(QueryKey key);
const char* QueryOpText(QueryOp op);

// Every key name and alias, and the values a key takes from a fixed list
// (rank, chara, side, state), for completion.
std::vector<std::string> QueryKeyWords();
std::vector<std::string> QueryValueWords(QueryKey key);

struct QueryTextOptions {
    bool caseSensitive = true;
    bool widthSensitive = true;
};

// A parsed query prepared for matching many entries (patterns folded once).
// Not for use from two threads at once.
class QueryMatcher {
public:
    QueryMatcher(Query query, QueryTextOptions options);

    // Whether the query holds for the entry for some side that `side:`
    // allows. Entries without info never match. Reads the entry's file only
    // for `state:` terms.
    bool MatchEntry(const ReplayEntry& entry) const;
    const Query& query() const { return q_; }

private:
    bool Eval(int node, const ReplayEntry& entry, int player) const;
    bool Term(const QueryNode& n, const ReplayEntry& entry, int player) const;
    bool Text(const QueryNode& n, std::string_view text) const;

    Query q_;
    QueryTextOptions options_;
    bool transform_ = false;
    mutable std::string buffer_;
};

}  // namespace replidex
