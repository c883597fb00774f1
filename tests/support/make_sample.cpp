// make-sample DIR: writes a small folder of generated replay files to try the
// program on: net matches with Japanese handle names, an offline match against
// the computer, an offline two-player match, one broken file, a sub-folder
// and a .DAT file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/text/SjisCodec.h"
#include "support/ReplayFileBuilder.h"

namespace {

using namespace replidex::test;

ReplayDescription Net(const char* name1, const char* name2, int s1, int s2)
{
    ReplayDescription d = NetMatchDescription();
    d.p1.name = replidex::Sjis(name1);
    d.p2.name = replidex::Sjis(name2);
    d.score1 = s1;
    d.score2 = s2;
    return d;
}

std::vector<std::pair<std::string, ReplayDescription>> SampleFiles()
{
    std::vector<std::pair<std::string, ReplayDescription>> files;

    files.emplace_back("REPLAY00.RPD", Net("ぷよ太郎", "さかな好き", 3, 1));

    ReplayDescription d = Net("アルルマスター", "ﾘﾃﾞﾙ", 0, 2);
    d.marker = RuleMarker::Other_80_64;
    d.letter = NetLetter::P;
    d.p1.rank = 18;
    d.p1.wins = 1520;
    d.p1.losses = 311;
    d.p1.character = 0x3D;
    d.p2.rank = 3;
    d.p2.wins = 12;
    d.p2.losses = 40;
    d.p2.character = 0x44;
    d.fileSize = 40 * 1024;
    files.emplace_back("REPLAY01.RPD", d);

    d = Net("ポポイ使い", "カーバンクル", 2, 0);
    d.p1.wins = d.p1.losses = 0;
    d.p1.rank = 0;
    d.p1.character = 0x4E;
    d.p2.character = 0x4F;
    d.paddingSeed = 2006;
    files.emplace_back("REPLAY02.RPD", d);

    files.emplace_back("REPLAY03.RPD", OfflineDescription(true));
    d = OfflineDescription(false);
    d.p1.character = 0x37;
    d.p2.character = 0x38;
    files.emplace_back("REPLAY04.RPD", d);

    d = NetMatchDescription();
    d.badSignatureOffset = 10;   // not a replay of the game: analysis error
    files.emplace_back("broken.RPD", d);

    d = Net("ぷよぷよフィーバー大好きです", "ユウちゃん", 1, 1);
    d.scoreBytes = std::array<std::uint8_t, 8>{0x6E, 0, 0, 0, 0, 0, 0, 0};
    d.p2.character = 0x48;
    d.fileSize = 64 * 1024;
    files.emplace_back("sub/REPLAY10.RPD", d);

    d = Net("タルタル", "ほほうどり", 5, 4);
    d.p1.character = 0x39;
    d.p2.character = 0x4A;
    files.emplace_back("sub/old_match.DAT", d);
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir / "sub", ec);
    if (ec) {
        std::fprintf(stderr, "make-sample: cannot create %s\n", dir.string().c_str());
        return 1;
    }
    int written = 0;
    for (const auto& [name, description] : SampleFiles()) {
        const BuiltReplay built = BuildReplay(description);
        if (!built.problem.empty()) {
            std::fprintf(stderr, "make-sample: %s: %s\n", name.c_str(), built.problem.c_str());
            return 1;
        }
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out.write(built.bytes.data(), static_cast<std::streamsize>(built.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "make-sample: cannot write %s\n", name.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("make-sample: wrote %d replay files to %s\n", written, dir.string().c_str());
    return 0;
}
