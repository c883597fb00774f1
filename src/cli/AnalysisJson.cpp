#include "cli/AnalysisJson.h"

#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

std::string Hex(std::string_view bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    return out;
}

nlohmann::ordered_json PlayerJson(const PlayerRecord& p)
{
    nlohmann::ordered_json player;
    player["name"] = Hex(p.nameText());
    player["score"] = p.score;
    player["rank"] = p.rank;
    player["wins"] = p.wins;
    player["losses"] = p.losses;
    player["character"] = p.character;
    player["isCom"] = p.isCom;
    return player;
}

}  // namespace

nlohmann::ordered_json AnalysisJson(const std::string& path)
{
    ReplayInfo info;
    const int result = AnalyseReplayAtNativePath(path, info);
    nlohmann::ordered_json line;
    line["path"] = path;
    line["result"] = result;
    line["infoFlags"] = info.infoFlags;
    line["p1"] = PlayerJson(info.p1);
    line["p2"] = PlayerJson(info.p2);
    line["info"] = Cp932ToUtf8Lossy(InfoSummary(&info));
    line["text1"] = Cp932ToUtf8Lossy(PlayerSummary(&info, 1));
    line["text2"] = Cp932ToUtf8Lossy(PlayerSummary(&info, 2));
    return line;
}

}  // namespace replidex::cli
