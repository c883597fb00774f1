#include "core/search/query/QueryWords.h"

#include <array>
#include <vector>

#include "core/search/query/QueryNames.h"

namespace replidex {

namespace {

struct KeyWord {
    const char32_t* name;
    const char32_t* alias;  // nullptr: none
    QueryKey key;
};

constexpr std::array<KeyWord, 14> kKeys{{
    {U"name", U"名前", QueryKey::Name},       {U"rank", U"段位", QueryKey::Rank},
    {U"ratio", U"勝率", QueryKey::Ratio},     {U"wins", U"勝数", QueryKey::Wins},
    {U"losses", U"敗数", QueryKey::Losses},   {U"chara", U"キャラ", QueryKey::Chara},
    {U"side", U"側", QueryKey::Side},         {U"net", U"ネット", QueryKey::Net},
    {U"offline", U"オフライン", QueryKey::Offline}, {U"memo", U"メモ", QueryKey::Memo},
    {U"file", nullptr, QueryKey::File},       {U"path", nullptr, QueryKey::Path},
    {U"date", U"日付", QueryKey::Date},       {U"state", U"状態", QueryKey::State},
}};

std::u32string Lower(std::u32string w)
{
    for (char32_t& c : w)
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
    return w;
}

const KeyWord* LookUpKey(const std::u32string& word)
{
    const std::u32string w = Lower(FoldWord(word));
    for (const KeyWord& k : kKeys)
        if (w == k.name || (k.alias && w == k.alias)) return &k;
    return nullptr;
}

std::string Quoted(const std::u32string& value) { return "「" + Utf8Of(value) + "」"; }

std::string WithCandidates(std::string message, const std::vector<std::string>& candidates)
{
    if (candidates.empty()) return message;
    message += "(候補: ";
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (i) message += "、";
        message += candidates[i];
    }
    return message + ")";
}

bool StartsWith(const std::u32string& text, const std::u32string& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::u32string Decode(const std::string& utf8);

// The index of `value` among `names` (compared folded), or -1; the names
// that `value` starts are the candidates.
int FindName(const std::vector<std::string>& names, const std::u32string& value,
             std::vector<std::string>& candidates)
{
    const std::u32string v = Lower(FoldWord(value));
    for (std::size_t i = 0; i < names.size(); ++i)
        if (Lower(FoldWord(Decode(names[i]))) == v) return static_cast<int>(i);
    if (!v.empty())
        for (const std::string& n : names)
            if (StartsWith(Lower(FoldWord(Decode(n))), v)) candidates.push_back(n);
    return -1;
}

std::u32string Decode(const std::string& utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// A decimal number "12" or "0.25": mantissa and digits after the point.
bool Decimal(const std::u32string& text, long long& mantissa, int& scale)
{
    mantissa = 0;
    scale = -1;
    int digits = 0;
    for (const char32_t c : text) {
        if (c == U'.' && scale < 0) { scale = 0; continue; }
        if (c < U'0' || c > U'9' || ++digits > 12) return false;
        mantissa = mantissa * 10 + (c - U'0');
        if (scale >= 0) ++scale;
    }
    if (scale < 0) scale = 0;
    return digits > 0;
}

double Pow10(int n)
{
    double p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

bool ParseRatio(const std::u32string& raw, double& percent)
{
    std::u32string v = FoldWord(raw);
    double factor = 100;  // a plain number is a fraction
    if (!v.empty() && v.back() == U'%') { factor = 1; v.pop_back(); }
    else if (!v.empty() && v.back() == U'割') { factor = 10; v.pop_back(); }
    long long m;
    int scale;
    if (!Decimal(v, m, scale)) return false;
    percent = static_cast<double>(m) * factor / Pow10(scale);
    return percent >= 0 && percent <= 100;
}

int DaysIn(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ParseDate(const std::u32string& raw, int& from, int& to)
{
    const std::u32string v = FoldWord(raw);
    int parts[3] = {0, 0, 0};
    int count = 0;
    int digits = 0;
    for (const char32_t c : v) {
        if (c == U'-' || c == U'/') {
            if (digits == 0 || ++count > 2) return false;
            digits = 0;
            continue;
        }
        if (c < U'0' || c > U'9' || ++digits > 4) return false;
        parts[count] = parts[count] * 10 + static_cast<int>(c - U'0');
    }
    if (digits == 0) return false;
    ++count;
    const int y = parts[0], m = parts[1], d = parts[2];
    if (y < 1980 || y > 2107) return false;
    if (count >= 2 && (m < 1 || m > 12)) return false;
    if (count == 3 && (d < 1 || d > DaysIn(y, m))) return false;
    from = y * 10000 + (count >= 2 ? m : 1) * 100 + (count == 3 ? d : 1);
    to = y * 10000 + (count >= 2 ? m : 12) * 100 + (count == 3 ? d : 31);
    return true;
}

std::optional<QueryOp> OpOf(const std::u32string& op)
{
    if (op == U":") return QueryOp::Contains;
    if (op == U"=") return QueryOp::Equal;
    if (op == U">=") return QueryOp::AtLeast;
    if (op == U"<=") return QueryOp::AtMost;
    if (op == U">") return QueryOp::Above;
    if (op == U"<") return QueryOp::Below;
    return std::nullopt;
}

enum class KeyType { Text, Ordered, Choice, Flag };

KeyType TypeOf(QueryKey k)
{
    switch (k) {
    case QueryKey::Name: case QueryKey::Memo: case QueryKey::File: case QueryKey::Path:
        return KeyType::Text;
    case QueryKey::Rank: case QueryKey::Ratio: case QueryKey::Wins: case QueryKey::Losses:
    case QueryKey::Date:
        return KeyType::Ordered;
    case QueryKey::Chara: case QueryKey::Side: case QueryKey::State:
        return KeyType::Choice;
    case QueryKey::Net: case QueryKey::Offline:
        return KeyType::Flag;
    }
    return KeyType::Flag;
}

}  // namespace

std::string Utf8Of(const std::u32string& text)
{
    std::string out;
    for (const char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u32string FoldWord(const std::u32string& word)
{
    std::u32string out = word;
    for (char32_t& c : out)
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    return out;
}

std::optional<KeyOrVs> FindKey(const std::u32string& word)
{
    const std::u32string w = Lower(FoldWord(word));
    if (w == U"vs" || w == U"相手") return KeyOrVs::Vs;
    if (LookUpKey(word)) return KeyOrVs::Key;
    return std::nullopt;
}

QueryNode MakeTermFrom(const TermWords& t)
{
    QueryNode n;
    n.kind = QueryNode::Term;
    n.position = t.position;
    const KeyWord* k = LookUpKey(t.key);
    if (!k) {
        std::vector<std::string> candidates;
        const std::u32string w = Lower(FoldWord(t.key));
        for (const KeyWord& kw : kKeys)
            if (!w.empty() && (StartsWith(kw.name, w) || (kw.alias && StartsWith(kw.alias, w))))
                candidates.push_back(Utf8Of(kw.name));
        if (Lower(FoldWord(t.key)) == U"vs" || t.key == U"相手")
            FailQuery(t.position, "vs の後には「:(」と条件を書きます");
        FailQuery(t.position, WithCandidates("キーではありません" + Quoted(t.key), candidates));
    }
    n.key = k->key;
    const KeyType type = TypeOf(n.key);
    const std::string keyName = Utf8Of(k->name);
    if (t.op.empty()) {
        if (type == KeyType::Flag) return n;
        FailQuery(t.position, "値がありません「" + keyName + "」");
    }
    if (type == KeyType::Flag)
        FailQuery(t.position, "「" + keyName + "」は値をとりません");
    const auto op = OpOf(t.op);
    if (!op) FailQuery(t.valuePosition - static_cast<int>(t.op.size()),
                       "演算子ではありません" + Quoted(t.op));
    n.op = *op;
    const bool ordering = *op != QueryOp::Contains && *op != QueryOp::Equal;
    if (type != KeyType::Ordered && ordering)
        FailQuery(t.valuePosition - static_cast<int>(t.op.size()),
                  "「" + keyName + "」には「" + Utf8Of(t.op) + "」は使えません");
    if (type != KeyType::Text && n.op == QueryOp::Contains) n.op = QueryOp::Equal;
    const int vp = t.valuePosition;
    if (type != KeyType::Text && t.value.empty()) FailQuery(vp, "値がありません「" + keyName + "」");
    std::vector<std::string> candidates;
    switch (n.key) {
    case QueryKey::Name: case QueryKey::Memo: case QueryKey::File: case QueryKey::Path:
        n.text = SjisValue(t.value, vp);
        break;
    case QueryKey::Rank: {
        int i = FindName(QueryRankNames(), t.value, candidates);
        if (i < 0) {
            std::vector<std::string> none;
            i = FindName(QueryRankKanjiNames(), t.value, none);
        }
        if (i < 0)
            FailQuery(vp, WithCandidates("段位の名前ではありません" + Quoted(t.value), candidates));
        n.number = i;
        break;
    }
    case QueryKey::Ratio:
        if (!ParseRatio(t.value, n.number))
            FailQuery(vp, "勝率は 60%、0.6、６割 のように書きます" + Quoted(t.value));
        break;
    case QueryKey::Wins: case QueryKey::Losses: {
        long long m;
        int scale;
        if (!Decimal(FoldWord(t.value), m, scale) || scale != 0 || m > 65535)
            FailQuery(vp, "0 から 65535 までの数ではありません" + Quoted(t.value));
        n.number = static_cast<double>(m);
        break;
    }
    case QueryKey::Chara: {
        const int i = FindName(QueryCharaNames(), t.value, candidates);
        if (i >= 0) { n.number = i; break; }
        if (candidates.size() == 1) {
            std::vector<std::string> none;
            n.number = FindName(QueryCharaNames(), Decode(candidates[0]), none);
            break;
        }
        FailQuery(vp, WithCandidates((candidates.empty() ? "キャラの名前ではありません"
                                                         : "キャラの名前が一つに決まりません") +
                                         Quoted(t.value),
                                     candidates));
    }
    case QueryKey::Side: {
        const int i = FindName({"both", "1p", "2p"}, t.value, candidates);
        if (i < 0) FailQuery(vp, "side の値は 1p、2p、both のどれかです" + Quoted(t.value));
        n.number = i;
        break;
    }
    case QueryKey::State: {
        int i = FindName({"ok", "missing", "changed"}, t.value, candidates);
        if (i < 0) i = FindName({"正常", "なし", "変更"}, t.value, candidates);
        if (i < 0) FailQuery(vp, "state の値は ok、missing、changed のどれかです" + Quoted(t.value));
        n.state = i;  // kStateUnchanged, kStateMissing, kStateChanged
        break;
    }
    case QueryKey::Date:
        if (!ParseDate(t.value, n.dateFrom, n.dateTo))
            FailQuery(vp, "日付は 2024、2024-05、2024-05-03 のように書きます" + Quoted(t.value));
        break;
    case QueryKey::Net: case QueryKey::Offline:
        break;
    }
    return n;
}

const char* QueryKeyName(QueryKey key)
{
    static const std::array<std::string, 14> names = [] {
        std::array<std::string, 14> out;
        for (std::size_t i = 0; i < kKeys.size(); ++i) out[i] = Utf8Of(kKeys[i].name);
        return out;
    }();
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        if (kKeys[i].key == key) return names[i].c_str();
    return "";
}

const char* QueryOpText(QueryOp op)
{
    switch (op) {
    case QueryOp::Contains: return ":";
    case QueryOp::Equal: return "=";
    case QueryOp::AtLeast: return ">=";
    case QueryOp::AtMost: return "<=";
    case QueryOp::Above: return ">";
    case QueryOp::Below: return "<";
    }
    return ":";
}

std::vector<std::string> QueryKeyWords()
{
    std::vector<std::string> out;
    for (const KeyWord& k : kKeys) {
        out.push_back(Utf8Of(k.name));
        if (k.alias) out.push_back(Utf8Of(k.alias));
    }
    out.push_back("vs");
    out.push_back("相手");
    return out;
}

std::vector<std::string> QueryValueWords(QueryKey key)
{
    switch (key) {
    case QueryKey::Rank: return QueryRankNames();
    case QueryKey::Chara: return QueryCharaNames();
    case QueryKey::Side: return {"1p", "2p", "both"};
    case QueryKey::State: return {"ok", "missing", "changed"};
    default: return {};
    }
}

}  // namespace replidex
