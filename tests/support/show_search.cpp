// show-search DIR search|scope: starts the program's windows over a list of
// generated replay files written to DIR and leaves the search window on the
// screen for a screenshot: with the results of a search on their second page
// ("search"), or with the scope chooser open over it ("scope"), with the
// results of a typed query ("query"), a query's error ("query-error"), or the
// saved searches open ("saved"). Prints the
// window's place on the screen as "x y width height" and runs until killed.
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/replay/FileTime.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/main/ApplicationWindows.h"
#include "gui/search/CriteriaPanel.h"
#include "gui/search/QueryRow.h"
#include "gui/search/ScopeDialog.h"
#include "gui/search/SearchWindow.h"
#include "support/ListGenerator.h"
#include "support/ReplayFileBuilder.h"

using namespace replidex;
namespace fs = std::filesystem;

namespace {

const char* const kNames[] = {"ぷよ太郎", "さかな好き", "アルルマスター", "連鎖の鬼", "ポポイ使い",
                              "ユウレイ", "みどりぷよ", "フィーバー王", "Amity", "Klug",
                              "ラフィ", "タルタル", "ほほう", "Sig", "レムレス", "まぐろ"};

// A net match file with varied names, ranks, counts and characters.
std::string WriteReplay(const fs::path& file, int i)
{
    test::ReplayDescription d = test::NetMatchDescription();
    d.p1.name = Sjis(kNames[i % 16]);
    d.p2.name = Sjis(kNames[(i * 7 + 3) % 16]);
    d.p1.rank = static_cast<std::uint32_t>((i * 5) % 19);
    d.p2.rank = static_cast<std::uint32_t>((i * 11 + 4) % 19);
    d.p1.wins = static_cast<std::uint32_t>(40 + i * 13 % 900);
    d.p1.losses = static_cast<std::uint32_t>(10 + i * 7 % 500);
    d.p2.wins = static_cast<std::uint32_t>(5 + i * 17 % 700);
    d.p2.losses = static_cast<std::uint32_t>(20 + i * 3 % 300);
    d.p1.character = static_cast<std::uint8_t>(0x30 + i % 16);
    d.p2.character = static_cast<std::uint8_t>(0x40 + (i * 3) % 16);
    d.score1 = i % 4;
    d.score2 = (i + 1) % 3;
    test::BuiltReplay built = test::BuildReplay(d);
    if (!built.problem.empty()) built = test::BuildReplay(test::NetMatchDescription());
    std::ofstream(file, std::ios::binary) << built.bytes;
    return file.string();
}

// Root / ネット対戦 / 2024年 / 上級者 (three levels deep) and two more
// folders, with 240 analysed replays among them.
ReplayFolder* FillList(MainWindow& form, const fs::path& dir)
{
    ReplayDocument& doc = form.document().list;
    ReplayFolder* root = form.document().RootNode();
    FolderTreeEvents events = form.treeModel().events();
    const auto folder = [&](ReplayFolder* parent, const char* name) {
        const int row = static_cast<int>(parent->children.size());
        events.beforeInsert(parent, row);
        ReplayFolder* made = parent->addChild(Sjis(name));
        events.afterInsert(parent, row);
        return made;
    };
    ReplayFolder* net = folder(root, "ネット対戦");
    ReplayFolder* year = folder(net, "2024年");
    ReplayFolder* strong = folder(year, "上級者");
    folder(year, "練習");
    ReplayFolder* cup = folder(root, "大会");
    folder(root, "お気に入り");
    ReplayFolder* places[] = {net, year, strong, cup};
    fs::create_directories(dir / "replays");
    for (int i = 0; i < 240; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "REPLAY%03d.RPD", i);
        const std::string path = WriteReplay(dir / "replays" / name, i);
        ReplayEntry* e = test::AddEntry(doc, *places[i % 4], (dir / "replays").string() + "/", name,
                                        FileAgeOf(path));
        e->info.emplace();
        AnalyseReplay(path, *e->info);
        if (i % 9 == 0) e->memo = Sjis("いい連鎖\r\n後で見る");
    }
    return strong;
}

void PrintPlace(const QWidget* window)
{
    const QRect r = window->frameGeometry();
    std::printf("%d %d %d %d\n", r.x(), r.y(), r.width(), r.height());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: show-search DIR search|scope|query|query-error|saved\n");
        return 2;
    }
    const fs::path dir = fs::absolute(argv[1]);
    const std::string mode = argv[2];
    fs::create_directories(dir / "program");
    fs::create_directories(dir / "PuyoF");
    std::ofstream(dir / "program" / "replidex.ini")
        << "[Config]\nPuyoFPath=" << (dir / "PuyoF").string() << "\n[Search]\nPage=0\nExist=1\n"
        << Sjis("[SavedQuery]\nName0=強い人\nQuery0=rank>=初段 ratio>=60%\nOptions0=3\n"
                "Name1=アルル使い\nQuery1=chara:アルル -offline\nOptions1=1\n"
                "Name2=大会\nQuery2=memo:大会 OR path:大会\nOptions2=3\n");

    QApplication app(argc, argv);
    Q_INIT_RESOURCE(replidex);
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setApplicationName(QStringLiteral("Replidex"));
    // As the program does without a desktop: the proportional Japanese font.
    if (QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));

    StartupOptions options;
    options.programFolder = (dir / "program").string() + "/";
    options.iniPath = options.programFolder + "replidex.ini";
    ApplicationWindows windows(options);
    MainWindow* form = windows.mainWindow();
    form->show();
    QObject::connect(form, &MainWindow::startupFinished, form, [&] {
        ReplayFolder* strong = FillList(*form, dir);
        // The search covers the whole list; the chooser opens on the folder
        // three levels deep.
        form->SelectFolder(mode == "scope" ? strong : form->document().RootNode(), true);
        SearchWindow* search = windows.search;
        QTimer::singleShot(300, search, [&, search] {
            CriteriaPanel& panel = *search->ui().Panel;
            panel.ComboBox_Rank->setCurrentIndex(5);   // "５きゅう" 以上
            QueryRow& query = *search->ui().Query;
            if (mode == "query" || mode == "saved")
                query.Edit_Query->setText(QStringLiteral("rank>=５きゅう vs:(rank<５きゅう) OR memo:大会"));
            if (mode == "query-error")
                query.Edit_Query->setText(QStringLiteral("rank>=５きゅう (vs:(rank<しょだ) OR memo:大会)"));
            panel.BtnSearch->click();
            if (mode == "search" || mode == "scope") search->ui().TC->setCurrentIndex(1);
            search->ui().List->selectionModel()->setCurrentIndex(
                search->RowModelOf()->index(3, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            PrintPlace(search);
            if (mode == "saved") {
                query.ComboBox_Saved->setCurrentIndex(1);
                query.ComboBox_Saved->showPopup();
            }
            if (mode == "scope") {
                QTimer::singleShot(200, search, [windows = &windows] { PrintPlace(windows->tree); });
                panel.BtnFolder->click();
            }
        });
        form->MMSearchClick();
    });
    return app.exec();
}
