// Query lines: the grammar (full-width forms, quotes, precedence, vs:, side:),
// every error with its position, evaluation over entries, and the criteria
// of the search window as a query and back.
#include "core/search/query/Query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/search/query/QueryCriteria.h"
#include "core/text/SjisCodec.h"

namespace replidex {
namespace {

// The tree as a compact text: (and ...), (or ...), (not x), (vs x), key op value.
std::string Shape(const Query& q, int i)
{
    const QueryNode& n = q.nodes[static_cast<std::size_t>(i)];
    std::string out;
    switch (n.kind) {
    case QueryNode::And: case QueryNode::Or:
        out = n.kind == QueryNode::And ? "(and" : "(or";
        for (const int c : n.children) out += " " + Shape(q, c);
        return out + ")";
    case QueryNode::Not: return "(not " + Shape(q, n.children[0]) + ")";
    case QueryNode::Vs: return "(vs " + Shape(q, n.children[0]) + ")";
    case QueryNode::Term: break;
    }
    out = std::string(QueryKeyName(n.key));
    if (n.key == QueryKey::Net || n.key == QueryKey::Offline) return out;
    out += QueryOpText(n.op);
    if (!n.text.empty()) return out + Cp932ToUtf8Lossy(n.text);
    if (n.key == QueryKey::Date) return out + std::to_string(n.dateFrom) + "-" + std::to_string(n.dateTo);
    if (n.key == QueryKey::State) return out + std::to_string(n.state);
    std::string num = std::to_string(n.number);
    num.erase(num.find_last_not_of('0') + 1);
    if (num.back() == '.') num.pop_back();
    return out + num;
}

std::string Shape(const std::string& line)
{
    const QueryParse p = ParseQuery(line);
    if (!p.ok) return "error " + QueryErrorText(p.error);
    return p.query.root < 0 ? "empty" : Shape(p.query, p.query.root);
}

TEST(QueryGrammar, ParsesToTheTree)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "empty"},
        {"　 ", "empty"},
        {"name:あみ", "name:あみ"},
        {"名前：あみ", "name:あみ"},
        {"ＮＡＭＥ＝あみ", "name=あみ"},
        {"name:\"a b\"", "name:a b"},
        {"name:「あ　み」", "name:あ　み"},
        {"memo:“x)y”", "memo:x)y"},
        {"name:", "name:0"},
        {"rank>=しょだん", "rank>=10"},
        {"段位＞＝初段", "rank>=10"},
        {"rank:10級 rank<１０だん", "(and rank=0 rank<19)"},
        {"rank=10きゅう rank>2段", "(and rank=0 rank>11)"},
        {"ratio>=60% 勝率<=0.6 ratio>６割 ratio<55.5％", "(and ratio>=60 ratio<=60 ratio>60 ratio<55.5)"},
        {"wins>=10 losses<３", "(and wins>=10 losses<3)"},
        {"chara:ラフィ キャラ:アルル", "(and chara=7 chara=13)"},
        {"net offline ネット", "(and net offline net)"},
        {"a:1 OR b:2", "error 1文字目: キーではありません「a」"},
        {"net OR offline | net または offline", "(or net offline net offline)"},
        {"net offline OR net", "(or (and net offline) net)"},
        {"-net -(offline OR net)", "(and (not net) (not (or offline net)))"},
        {"--net", "(not (not net))"},
        {"vs:(name:x) name:y", "(and (vs name:x) name:y)"},
        {"相手：（rank>=しょだん OR chara:アルル）", "(vs (or rank>=10 chara=13))"},
        {"date:2024 date>=2024-05 date<2024/05/03", "(and date=20240101-20241231 date>=20240501-20240531 date<20240503-20240503)"},
        {"state:ok 状態:missing state=変更", "(and state=0 state=1 state=2)"},
        {"side:1p net", "(and side=1 net)"},
        {"file:REPLAY path:C:\\x", "(and file:REPLAY path:C:\\x)"},
    };
    for (const auto& [line, shape] : cases) EXPECT_EQ(Shape(line), shape) << line;
}

TEST(QueryGrammar, SideIsOnceAndOutermost)
{
    EXPECT_EQ(ParseQuery("side:2p net").query.side, QuerySide::Second);
    EXPECT_EQ(ParseQuery("net 側:１Ｐ").query.side, QuerySide::First);
    EXPECT_EQ(ParseQuery("side:both").query.side, QuerySide::Both);
}

TEST(QueryGrammar, ErrorsCarryPositionAndMessage)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"net -(rank:しょだ)", "12文字目: 段位の名前ではありません「しょだ」(候補: しょだん)"},
        {"rank:２", "6文字目: 段位の名前ではありません「２」(候補: ２きゅう、２だん)"},
        {"chara:ア", "7文字目: キャラの名前が一つに決まりません「ア」(候補: アミティ、アコール先生、アルル)"},
        {"chara:ぷよ", "7文字目: キャラの名前ではありません「ぷよ」"},
        {"nam:x", "1文字目: キーではありません「nam」(候補: name)"},
        {"foo", "1文字目: キーではありません「foo」"},
        {"rank", "1文字目: 値がありません「rank」"},
        {"net:1", "1文字目: 「net」は値をとりません"},
        {"name>x", "5文字目: 「name」には「>」は使えません"},
        {"rank=>しょだん", "6文字目: 段位の名前ではありません「>しょだん」"},
        {"ratio>=60", "8文字目: 勝率は 60%、0.6、６割 のように書きます「60」"},
        {"ratio>=120%", "8文字目: 勝率は 60%、0.6、６割 のように書きます「120%」"},
        {"wins>=-1", "7文字目: 0 から 65535 までの数ではありません「-1」"},
        {"wins:70000", "6文字目: 0 から 65535 までの数ではありません「70000」"},
        {"date:2024-02-30", "6文字目: 日付は 2024、2024-05、2024-05-03 のように書きます「2024-02-30」"},
        {"state:gone", "7文字目: state の値は ok、missing、changed のどれかです「gone」"},
        {"side:3p", "6文字目: side の値は 1p、2p、both のどれかです「3p」"},
        {"side:1p side:2p", "9文字目: side: は一度だけ書けます"},
        {"net OR side:1p", "8文字目: side: は式の一番外側にだけ書けます"},
        {"vs:(side:1p)", "5文字目: side: は式の一番外側にだけ書けます"},
        {"name:\"abc", "6文字目: 引用符が閉じていません"},
        {"name:a\"b\"", "7文字目: 引用符は値の前に置きます"},
        {"(net", "1文字目: 「(」が閉じていません"},
        {"net)", "4文字目: 対応する「(」がありません"},
        {"net OR", "7文字目: 条件がありません"},
        {"()", "2文字目: 条件がありません"},
        {"net -", "5文字目: 「-」の後に条件がありません"},
        {"name:(x)", "1文字目: 「:(」の前に書けるのは vs だけです「name」"},
        {"vs", "1文字目: vs の後には「:(」と条件を書きます"},
        {"name:a😀", "7文字目: Shift-JIS で表せない文字です「😀」"},
        {"\"x\"", "1文字目: キーがありません"},
        {std::string("name:\xff"), "6文字目: UTF-8 として読めない文字があります"},
        {std::string(200, '-') + "net", "201文字目: 括弧と「-」の重なりが深すぎます(200 段まで)"},
        {std::string(200, '(') + "net" + std::string(200, ')'),
         "201文字目: 括弧と「-」の重なりが深すぎます(200 段まで)"},
        {"net " + std::string(100, '(') + std::string(50, '-') + "vs:(" + std::string(49, '(') + "net",
         "208文字目: 括弧と「-」の重なりが深すぎます(200 段まで)"},
    };
    for (const auto& [line, text] : cases) EXPECT_EQ(Shape(line), "error " + text) << line;
    // One level less parses.
    EXPECT_TRUE(ParseQuery(std::string(199, '-') + "net").ok);
    EXPECT_TRUE(ParseQuery(std::string(199, '(') + "net" + std::string(199, ')')).ok);
}

TEST(QueryGrammar, LookAlikeCharactersTakeTheShiftJisForm)
{
    // WAVE DASH and FULLWIDTH TILDE are one Shift-JIS character.
    const QueryParse a = ParseQuery("name:a\u301Cb");
    const QueryParse b = ParseQuery("name:a\uFF5Eb");
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.query.nodes[0].text, b.query.nodes[0].text);
    EXPECT_EQ(a.query.nodes[0].text, Sjis("a～b"));
}

// ---------------------------------------------------------------------------
// Evaluation

ReplayEntry& Net(ReplayEntry& e, const char* n1, int rank1, int chara1, const char* n2,
                 int rank2, int chara2)
{
    e.info.emplace();
    e.info->infoFlags = kInfoNetMatch;
    e.info->p1.setName(Sjis(n1));
    e.info->p1.rank = static_cast<std::int16_t>(rank1);
    e.info->p1.character = static_cast<std::int16_t>(chara1);
    e.info->p2.setName(Sjis(n2));
    e.info->p2.rank = static_cast<std::int16_t>(rank2);
    e.info->p2.character = static_cast<std::int16_t>(chara2);
    return e;
}

bool Matches(const std::string& line, const ReplayEntry& e, QueryTextOptions o = {})
{
    QueryParse p = ParseQuery(line);
    EXPECT_TRUE(p.ok) << line << " " << QueryErrorText(p.error);
    return QueryMatcher(std::move(p.query), o).MatchEntry(e);
}

TEST(QueryMatch, PlayerTermsHoldForOneSideAndVsForTheOther)
{
    ReplayEntry e;
    Net(e, "あみ", 10, 13, "ABC", 3, 0x27);  // 2P's character has its low bits 7
    e.info->p1.wins = 6;
    e.info->p1.losses = 4;
    e.memo = Sjis("大会");
    e.fileName = "REPLAY01.RPD";
    e.fileAge = (44 << 25) | (5 << 21) | (3 << 16);  // 2024-05-03
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", true},
        {"name:あみ rank>=しょだん chara:アルル", true},
        {"name:あみ chara:ラフィーナ", false},        // one player must hold all
        {"name:あみ vs:(chara:ラフィーナ rank<しょだん)", true},
        {"name:あみ vs:(name:あみ)", false},
        {"side:2p name:あみ", false},
        {"side:1p name:あみ", true},
        {"name=あみ name=あ", false},
        {"-name:あみ", true},                          // holds for 2P
        {"side:1p -name:あみ", false},
        {"-name:あみ -vs:(name:あみ)", false},          // nobody named あみ
        {"ratio>=60% ratio<=0.6 ratio=６割 wins=6 losses>3", true},
        {"ratio>60%", false},
        {"memo:大会 file:01 net -offline", true},
        {"memo:大 OR name:zzz", true},
        {"name:zzz OR memo:zzz", false},
        {"date:2024 date:2024-05 date=2024-05-03 date>=2024-05-03 date<=2024-05-03", true},
        {"date>2024-05-02 date<2024-05-04 date<2025", true},
        {"date>2024-05 OR date<2024-05-03", false},
        {"name:abc", false},
        {"(net OR offline) (chara:アルル | chara:ラフィーナ) -(rank<しょだん)", true},
    };
    for (const auto& [line, want] : cases) EXPECT_EQ(Matches(line, e), want) << line;
    EXPECT_TRUE(Matches("name:abc", e, {false, true}));
    EXPECT_TRUE(Matches("name:ＡＢＣ", e, {true, false}));
    EXPECT_FALSE(Matches("name:ＡＢＣ", e, {true, true}));
}

TEST(QueryMatch, OfflineEntriesTakeOnlyCharaAndEntryTerms)
{
    ReplayEntry e;
    Net(e, "", 15, 13, "", 15, 2);
    e.info->infoFlags = kInfoOfflineMatch;
    e.fileAge = -1;
    EXPECT_TRUE(Matches("offline chara:アルル", e));
    EXPECT_TRUE(Matches("vs:(chara:クルーク)", e));
    EXPECT_FALSE(Matches("rank>=１０きゅう", e));
    EXPECT_FALSE(Matches("chara:アルル wins>=0", e));
    EXPECT_TRUE(Matches("-rank>=１０きゅう", e));
    EXPECT_FALSE(Matches("date>=1980", e));   // no file: no date
    EXPECT_FALSE(Matches("net", e));
    ReplayEntry noInfo;
    EXPECT_FALSE(Matches("", noInfo));
}

// ---------------------------------------------------------------------------
// The window's criteria

TEST(QueryCriteria, ToQueryWritesTheWindowsCriteria)
{
    SearchCriteria c;
    c.useHandleName = true;
    c.handleName = Sjis("あみ");
    c.rankIndex = 10;
    c.useCharacter = true;
    c.characterIndex = 13;
    EXPECT_EQ(ToQuery(c), "(net name:あみ rank>=しょだん chara:アルル) OR (offline chara:アルル)");
    c.player2 = false;
    c.useMemo = true;
    c.memo = Sjis("a b");
    EXPECT_EQ(ToQuery(c), "side:1p ((net name:あみ rank>=しょだん chara:アルル memo:\"a b\") OR "
                          "(offline chara:アルル memo:\"a b\"))");
    SearchCriteria r;
    r.useRank = false;
    r.useRatio = true;
    r.ratioStep = 5;
    r.ratioCompare = kRatioAtMost;
    r.offline = false;
    r.player1 = false;
    r.useMemo = true;
    r.memo = Sjis("say \"hi\"");
    EXPECT_EQ(ToQuery(r), "side:2p net ratio<=60% memo:「say \"hi\"」");
}

TEST(QueryCriteria, ToCriteriaTakesWhatTheWindowCanSay)
{
    SearchCriteria c;
    c.useHandleName = true;
    c.handleName = Sjis("あみ");
    c.useCharacter = true;
    c.characterIndex = 13;
    c.caseSensitive = false;
    const std::vector<std::pair<std::string, bool>> cases = {
        {"(net name:あみ rank>=しょだん chara:アルル) OR (offline chara:アルル)", true},
        {"(offline chara:アルル) OR (chara:アルル rank>=しょだん net name:あみ)", true},
        {"net name:あみ rank>=しょだん chara:アルル", true},
        {"name:あみ rank>=しょだん chara:アルル", true},   // player terms: net only
        {"chara:アルル", true},                             // both kinds
        {"side:2p chara:アルル", true},
        {"", false},
        {"name=あみ", false},
        {"ratio>=65%", false},
        {"ratio=60%", false},
        {"vs:(chara:アルル)", false},
        {"-chara:アルル", false},
        {"net OR offline", false},
        {"(net name:あみ) OR (offline chara:アルル)", false},
        {"wins>3", false},
        {"date:2024", false},
        {"chara:アルル chara:アミティ", false},
    };
    for (const auto& [line, can] : cases) {
        const QueryParse p = ParseQuery(line);
        ASSERT_TRUE(p.ok) << line;
        SearchCriteria out;
        EXPECT_EQ(ToCriteria(p.query, {false, true}, out), can) << line;
    }
    SearchCriteria out;
    ASSERT_TRUE(ToCriteria(ParseQuery(ToQuery(c)).query, {false, true}, out));
    c.useRank = true;  // the default criteria have the rank on
    SearchCriteria back;
    ASSERT_TRUE(ToCriteria(ParseQuery(ToQuery(c)).query, {false, true}, back));
    EXPECT_EQ(back, c);
}

}  // namespace
}  // namespace replidex
