// show-relink DIR relink|dups: the window 「見つからないファイルを探す」 with a
// proposal of each tier, or 「重複の確認」 with its three kinds of groups, on
// the screen for a screenshot, over replay files written into DIR. Prints the
// window's place on the screen as "x y width height" and runs until killed.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/list/Duplicates.h"
#include "core/list/Relink.h"
#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "gui/tools/DuplicatesDialog.h"
#include "gui/tools/RelinkDialog.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

std::string Net(const char* opponent, std::uint64_t seed)
{
    test::ReplayDescription d = test::NetMatchDescription();
    d.p1.name = Sjis("ぷよ太郎");
    d.p2.name = Sjis(opponent);
    d.paddingSeed = seed;
    return test::BuildReplay(d).bytes;
}

struct Folder {
    std::string root;
    std::string write(const std::string& name, const std::string& bytes, int daysAgo) const
    {
        const std::string path = root + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(24 * daysAgo));
        return path;
    }
};

ReplayEntry* List(ReplayDocument& doc, ReplayFolder& folder, const std::string& path)
{
    const std::string sjis = Sjis(path);
    const fs::path native(path);
    ReplayEntry* e = test::AddEntry(doc, folder, Sjis(native.parent_path().string() + "/"), Sjis(native.filename().string()),
                                    FileAgeOf(sjis));
    e->kind = kReplayEntryKind;
    AnalyseReplay(sjis, e->info.emplace());
    return e;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: show-relink DIR relink|dups\n");
        return 2;
    }
    if (QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    const Folder dir{argv[1]};
    const bool relink = std::string(argv[2]) == "relink";
    auto doc = std::make_unique<ReplayDocument>();
    doc->root = doc->addTopLevel(Sjis("対戦記録"));
    ReplayFolder* cup = doc->root->addChild(Sjis("大会"));
    ContentIndex index;
    std::unique_ptr<QDialog> window;

    if (relink) {
        const char* opponents[] = {"さかな好き", "連鎖の鬼", "ルルー", "seriri", "カーバンクル"};
        for (int i = 0; i < 5; ++i) {
            const std::string path =
                dir.write("replays/2024/R" + std::to_string(i) + ".RPD", Net(opponents[i], 10 + i), 30 + i);
            List(*doc, *doc->root, path);
            if (i < 2) index.put(*RecordFile(Sjis(path)));
        }
        // Moved (0, 1 renamed), moved (2, 3), copied losing their time (4).
        fs::create_directories(dir.root + "/archive/2024");
        fs::rename(dir.root + "/replays/2024/R0.RPD", dir.root + "/archive/2024/R0.RPD");
        fs::rename(dir.root + "/replays/2024/R1.RPD", dir.root + "/archive/2024/決勝.RPD");
        fs::rename(dir.root + "/replays/2024/R2.RPD", dir.root + "/archive/2024/R2.RPD");
        fs::rename(dir.root + "/replays/2024/R3.RPD", dir.root + "/archive/R3.RPD");
        std::ifstream in(dir.root + "/replays/2024/R4.RPD", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        dir.write("archive/copies/R4.RPD", bytes, 0);
        fs::remove(dir.root + "/replays/2024/R4.RPD");

        const auto files = FindReplayFiles(dir.root + "/archive");
        auto* dialog = new RelinkDialog(nullptr, [](const std::vector<RelinkProposal>&) {
            return std::vector<RelinkProposal>{};
        });
        dialog->setProposals(FindRelinks(*doc, nullptr, files, index, RelinkOptions{true, true, true}));
        window.reset(dialog);
    } else {
        const std::string a = dir.write("replays/R0.RPD", Net("さかな好き", 1), 3);
        const std::string copy = dir.write("backup/R0 のコピー.RPD", Net("さかな好き", 1), 1);
        const std::string b = dir.write("replays/R1.RPD", Net("連鎖の鬼", 2), 2);
        List(*doc, *doc->root, a)->memo = Sjis("決勝");
        List(*doc, *cup, a);
        List(*doc, *cup, copy);
        List(*doc, *doc->root, b);
        test::ReplayDescription again = test::NetMatchDescription();   // one match saved twice
        again.p1.name = Sjis("ぷよ太郎");
        again.p2.name = Sjis("ルルー");
        again.paddingSeed = 5;
        List(*doc, *doc->root, dir.write("replays/R2.RPD", test::BuildReplay(again).bytes, 2));
        again.paddingSeed = 6;
        List(*doc, *cup, dir.write("replays/R2b.RPD", test::BuildReplay(again).bytes, 2));
        auto* dialog = new DuplicatesDialog(nullptr, {[](ReplayFolder*, std::int32_t) {},
                                                     [](const std::vector<ReplayEntry*>&) { return 0; }});
        dialog->setGroups(*doc, FindDuplicates(*doc, DuplicateOptions{true, true, true}, &index));
        window.reset(dialog);
    }
    window->move(40, 40);
    window->show();
    QTimer::singleShot(500, [&window] {
        const QRect r = window->frameGeometry();
        std::printf("%d %d %d %d\n", r.x(), r.y(), r.width(), r.height());
        std::fflush(stdout);
    });
    return app.exec();
}
