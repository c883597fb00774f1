// Tokenizer and recursive-descent parser of query lines.
//
//   line    := orExpr?
//   orExpr  := andExpr ( ("OR" | "|" | "または") andExpr )*
//   andExpr := unary+                      (juxtaposition)
//   unary   := "-" unary | primary
//   primary := "(" orExpr ")" | ("vs" | "相手") ":(" orExpr ")" | term
//   term    := key op value | "net" | "offline"
//
// Full-width ：＝＞＜（）｜－ and the ideographic space stand for their
// one-byte forms; values may be quoted with "", 「」 or “”.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "core/search/query/Query.h"
#include "core/search/query/QueryWords.h"
#include "core/text/LookAlikePaths.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

struct ParseFailure {
    QueryError error;
};

[[noreturn]] void Fail(int position, std::string message)
{
    throw ParseFailure{{position, std::move(message)}};
}

// One-byte form of the full-width punctuation the line may use.
char32_t Normalize(char32_t c)
{
    switch (c) {
    case U'\u3000': return U' ';
    case U'：': return U':';
    case U'＝': return U'=';
    case U'＞': return U'>';
    case U'＜': return U'<';
    case U'（': return U'(';
    case U'）': return U')';
    case U'｜': return U'|';
    case U'－': case U'−': return U'-';
    case U'\t': case U'\r': case U'\n': return U' ';
    default: return c;
    }
}

char32_t CloserOf(char32_t c)
{
    switch (c) {
    case U'"': return U'"';
    case U'＂': return U'＂';
    case U'「': return U'」';
    case U'“': return U'”';
    default: return 0;
    }
}

bool IsOperatorChar(char32_t c) { return c == U':' || c == U'=' || c == U'>' || c == U'<'; }
bool EndsWord(char32_t c) { return c == U' ' || c == U'(' || c == U')' || c == U'|'; }

struct Token {
    enum Kind { Open, Close, Or, Not, VsOpen, Word, End } kind = End;
    int position = 0;                // 1-based
    std::u32string key;              // Word: the key, or the whole bare word
    std::u32string op;               // Word: empty for a bare word
    std::u32string value;
    int valuePosition = 0;
};

class Lexer {
public:
    explicit Lexer(const std::u32string& line) : s_(line) {}

    std::vector<Token> Run()
    {
        std::vector<Token> out;
        for (;;) {
            while (i_ < s_.size() && Normalize(s_[i_]) == U' ') ++i_;
            Token t;
            t.position = static_cast<int>(i_) + 1;
            if (i_ >= s_.size()) {
                t.kind = Token::End;
                out.push_back(t);
                return out;
            }
            const char32_t c = Normalize(s_[i_]);
            if (c == U'(') { t.kind = Token::Open; ++i_; }
            else if (c == U')') { t.kind = Token::Close; ++i_; }
            else if (c == U'|') { t.kind = Token::Or; ++i_; }
            else if (c == U'-') { t.kind = Token::Not; ++i_; }
            else Word(t);
            out.push_back(std::move(t));
        }
    }

private:
    void Word(Token& t)
    {
        t.kind = Token::Word;
        if (CloserOf(s_[i_])) Fail(t.position, "キーがありません");
        while (i_ < s_.size()) {
            const char32_t c = Normalize(s_[i_]);
            if (EndsWord(c) || IsOperatorChar(c) || CloserOf(s_[i_])) break;
            t.key += c;
            ++i_;
        }
        if (i_ < s_.size() && CloserOf(s_[i_])) Fail(static_cast<int>(i_) + 1, "キーがありません");
        if (i_ >= s_.size() || !IsOperatorChar(Normalize(s_[i_]))) {
            const std::u32string folded = FoldWord(t.key);
            if (folded == U"OR" || folded == U"または") t.kind = Token::Or;
            return;
        }
        while (i_ < s_.size() && IsOperatorChar(Normalize(s_[i_])) && t.op.size() < 2) {
            const char32_t c = Normalize(s_[i_]);
            if (!t.op.empty() && c != U'=') break;
            t.op += c;
            ++i_;
        }
        t.valuePosition = static_cast<int>(i_) + 1;
        if (t.op == U":" && i_ < s_.size() && Normalize(s_[i_]) == U'(') {
            ++i_;
            t.kind = Token::VsOpen;
            return;
        }
        if (i_ < s_.size() && CloserOf(s_[i_])) {
            const char32_t closer = CloserOf(s_[i_]);
            const std::size_t open = i_++;
            while (i_ < s_.size() && s_[i_] != closer) t.value += s_[i_++];
            if (i_ >= s_.size()) Fail(static_cast<int>(open) + 1, "引用符が閉じていません");
            ++i_;
            t.valuePosition = static_cast<int>(open) + 2;
            return;
        }
        while (i_ < s_.size() && !EndsWord(Normalize(s_[i_]))) {
            if (CloserOf(s_[i_])) Fail(static_cast<int>(i_) + 1, "引用符は値の前に置きます");
            t.value += s_[i_++];
        }
    }

    const std::u32string& s_;
    std::size_t i_ = 0;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    Query Run()
    {
        if (Peek().kind != Token::End) q_.root = OrExpr();
        if (Peek().kind == Token::Close) Fail(Peek().position, "対応する「(」がありません");
        CheckSides(q_.root, true);
        return std::move(q_);
    }

private:
    const Token& Peek() const { return t_[k_]; }
    const Token& Next() { return t_[k_++]; }

    int Add(QueryNode node)
    {
        q_.nodes.push_back(std::move(node));
        return static_cast<int>(q_.nodes.size()) - 1;
    }

    int OrExpr()
    {
        std::vector<int> parts{AndExpr()};
        while (Peek().kind == Token::Or) {
            Next();
            parts.push_back(AndExpr());
        }
        if (parts.size() == 1) return parts[0];
        QueryNode n;
        n.kind = QueryNode::Or;
        n.position = q_.nodes[static_cast<std::size_t>(parts[0])].position;
        n.children = std::move(parts);
        return Add(std::move(n));
    }

    int AndExpr()
    {
        std::vector<int> parts;
        for (;;) {
            const Token::Kind k = Peek().kind;
            if (k == Token::End || k == Token::Close || k == Token::Or) break;
            parts.push_back(Unary());
        }
        if (parts.empty()) Fail(Peek().position, "条件がありません");
        if (parts.size() == 1) return parts[0];
        QueryNode n;
        n.kind = QueryNode::And;
        n.position = q_.nodes[static_cast<std::size_t>(parts[0])].position;
        n.children = std::move(parts);
        return Add(std::move(n));
    }

    int Unary()
    {
        // Parentheses and "-" nest by recursion here, in the matcher and in
        // everything that walks the tree: a bound keeps the stack safe.
        if (depth_ >= kQueryMaxNesting)
            Fail(Peek().position, "括弧と「-」の重なりが深すぎます(" +
                                      std::to_string(kQueryMaxNesting) + " 段まで)");
        ++depth_;
        const int node = UnaryBelow();
        --depth_;
        return node;
    }

    int UnaryBelow()
    {
        if (Peek().kind == Token::Not) {
            const int pos = Next().position;
            const Token::Kind k = Peek().kind;
            if (k == Token::End || k == Token::Close || k == Token::Or)
                Fail(pos, "「-」の後に条件がありません");
            QueryNode n;
            n.kind = QueryNode::Not;
            n.position = pos;
            n.children = {Unary()};
            return Add(std::move(n));
        }
        return Primary();
    }

    int Group(int openPosition)
    {
        const int inner = OrExpr();
        if (Peek().kind != Token::Close) Fail(openPosition, "「(」が閉じていません");
        Next();
        return inner;
    }

    int Primary()
    {
        const Token& t = Next();
        switch (t.kind) {
        case Token::Open: return Group(t.position);
        case Token::VsOpen: {
            const auto key = FindKey(t.key);
            if (!key || *key != KeyOrVs::Vs)
                Fail(t.position, "「:(」の前に書けるのは vs だけです「" + Utf8Of(t.key) + "」");
            QueryNode n;
            n.kind = QueryNode::Vs;
            n.position = t.position;
            n.children = {Group(t.valuePosition)};
            return Add(std::move(n));
        }
        case Token::Word: return Add(MakeTerm(t));
        default: break;  // Close, Or and End are seen by the callers
        }
        Fail(t.position, "条件がありません");
    }

    // side: belongs to the whole line: once, and only among the terms that
    // are joined by juxtaposition at the top.
    void CheckSides(int node, bool top)
    {
        if (node < 0) return;
        const QueryNode& n = q_.nodes[static_cast<std::size_t>(node)];
        if (n.kind == QueryNode::Term && n.key == QueryKey::Side) {
            if (!top) Fail(n.position, "side: は式の一番外側にだけ書けます");
            if (sideSeen_) Fail(n.position, "side: は一度だけ書けます");
            sideSeen_ = true;
            q_.side = static_cast<QuerySide>(static_cast<int>(n.number));
            return;
        }
        for (const int c : n.children) CheckSides(c, top && n.kind == QueryNode::And);
    }

    const std::vector<Token> t_;
    std::size_t k_ = 0;
    Query q_;
    bool sideSeen_ = false;
    int depth_ = 0;
};

std::u32string DecodeUtf8(std::string_view in)
{
    std::u32string out;
    std::size_t i = 0;
    while (i < in.size()) {
        const auto b = static_cast<unsigned char>(in[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool good = extra >= 0 && i + static_cast<std::size_t>(extra) < in.size() + (extra == 0);
        for (int k = 1; good && k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            if ((cb & 0xC0) != 0x80) good = false;
            else c = (c << 6) | (cb & 0x3F);
        }
        if (!good) Fail(static_cast<int>(out.size()) + 1, "UTF-8 として読めない文字があります");
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

}  // namespace

// The text value of a term in Shift-JIS; fails at the first character that
// Shift-JIS cannot hold (look-alike characters take the form it can).
std::string SjisValue(const std::u32string& value, int position)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::string one;
        const std::string utf8 = FoldLookAlikes(Utf8Of(value.substr(i, 1)));
        if (!Utf8ToCp932(utf8, one))
            Fail(position + static_cast<int>(i),
                 "Shift-JIS で表せない文字です「" + Utf8Of(value.substr(i, 1)) + "」");
        out += one;
    }
    return out;
}

[[noreturn]] void FailQuery(int position, std::string message)
{
    Fail(position, std::move(message));
}

QueryParse ParseQuery(std::string_view utf8)
{
    QueryParse result;
    try {
        const std::u32string line = DecodeUtf8(utf8);
        result.query = Parser(Lexer(line).Run()).Run();
        result.ok = true;
    } catch (const ParseFailure& f) {
        result.error = f.error;
        result.query = Query{};
    }
    return result;
}

std::string QueryErrorText(const QueryError& error)
{
    return std::to_string(error.position) + "文字目: " + error.message;
}

}  // namespace replidex
