// show-stats: the window 対戦成績 on the screen for a screenshot, over a list
// in memory of 400 net matches of "ぷよ太郎" against twelve opponents, on its
// opponent table with the chart. Prints the window's place on the screen as
// "x y width height" and runs until killed.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "core/list/ReplayDocument.h"
#include "core/stats/PlayerStats.h"
#include "core/text/SjisCodec.h"
#include "gui/stats/StatsWindow.h"
#include "support/ListGenerator.h"

using namespace replidex;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    const char* const opponents[] = {"さかな好き", "アルルマスター", "連鎖の鬼", "ポポイ使い", "ルルー",
                                     "すけとうだら", "seriri", "=evil()", "ハーピー", "ゾンビ", "ウィッチ",
                                     "カーバンクル"};
    auto doc = std::make_unique<ReplayDocument>();
    doc->root = doc->addTopLevel(Sjis("対戦記録"));
    std::mt19937 rng(27);
    for (int i = 0; i < 400; ++i) {
        const int month = 1 + i / 40;
        ReplayEntry* e = test::AddEntry(*doc, *doc->root, "/home/me/replays/", "R" + std::to_string(i) + ".RPD",
                                        static_cast<std::int32_t>((46u << 25) | (std::uint32_t(month) << 21) | (5u << 16)));
        ReplayInfo& info = e->info.emplace();
        info.infoFlags = kInfoNetMatch;
        const int side = 1 + static_cast<int>(rng() % 2);
        const int who = static_cast<int>(std::min(rng() % 12, rng() % 12));   // some far commoner
        info.player(side).setName(Sjis("ぷよ太郎"));
        info.player(3 - side).setName(Sjis(opponents[who]));
        const int mine = static_cast<int>(rng() % 4), theirs = static_cast<int>(rng() % 4);
        info.player(side).score = static_cast<std::int16_t>(mine + (who % 3 == 0 ? 1 : 0));
        info.player(3 - side).score = static_cast<std::int16_t>(theirs);
        info.player(side).character = static_cast<std::int16_t>(0x30 + rng() % 4);
        info.player(3 - side).character = static_cast<std::int16_t>(0x30 + rng() % 16);
        info.player(3 - side).rank = static_cast<std::int16_t>(rng() % 10);
    }
    const std::string ini = "/tmp/show-stats.ini";
    if (std::FILE* f = std::fopen(ini.c_str(), "wb")) {
        std::fputs("[Stats]\r\n", f);
        std::fputs(("MyName0=" + Sjis("ぷよ太郎") + "\r\n").c_str(), f);
        std::fclose(f);
    }
    StatsWindow window(doc->pool, ini);
    window.SetScope(FolderScopeSlots(doc->pool, doc->root), QStringLiteral("対戦記録"));
    // Wide enough for every column of the opponent table beside the chart.
    window.resize(1200, 620);
    window.move(40, 40);
    window.show();
    QTimer::singleShot(500, [&window] {
        const QRect r = window.frameGeometry();
        std::printf("%d %d %d %d\n", r.x(), r.y(), r.width(), r.height());
        std::fflush(stdout);
    });
    return app.exec();
}
