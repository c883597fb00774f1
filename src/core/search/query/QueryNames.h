// The names a query gives ranks and characters (UTF-8): the items of the
// search window's rank and character lists, and the kanji rank forms.
#pragma once

#include <string>
#include <vector>

namespace replidex {

// Index 0 "１０きゅう" .. 19 "１０だん", as the rank list of the window.
inline const std::vector<std::string>& QueryRankNames()
{
    static const std::vector<std::string> names{
        "１０きゅう", "９きゅう", "８きゅう", "７きゅう", "６きゅう", "５きゅう", "４きゅう",
        "３きゅう", "２きゅう", "１きゅう", "しょだん", "２だん", "３だん", "４だん",
        "５だん", "６だん", "７だん", "８だん", "９だん", "１０だん"};
    return names;
}

// The same ranks as 10級 .. 1級, 初段, 2段 .. 10段.
inline const std::vector<std::string>& QueryRankKanjiNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (int k = 10; k >= 1; --k) out.push_back(std::to_string(k) + "級");
        out.push_back("初段");
        for (int d = 2; d <= 10; ++d) out.push_back(std::to_string(d) + "段");
        return out;
    }();
    return names;
}

// Index 0 "アミティ" .. 15 "カーバンクル", as the character list of the window.
inline const std::vector<std::string>& QueryCharaNames()
{
    static const std::vector<std::string> names{
        "アミティ", "おしゃれこうべ", "クルーク", "どんぐりがえる", "リデル", "おにおん",
        "さかな王子", "ラフィーナ", "ユウちゃん", "タルタル", "ほほうどり", "アコール先生",
        "子連れフランケン", "アルル", "ポポイ", "カーバンクル"};
    return names;
}

}  // namespace replidex
