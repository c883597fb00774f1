#include "cli/AnalysisJson.h"

#include "cli/Json.h"
#include "core/replay/ReplayFileReader.h"

namespace replidex::cli {

nlohmann::ordered_json AnalysisJson(const std::string& path)
{
    ReplayInfo info;
    const int result = AnalyseReplayAtNativePath(path, info);
    return {{"path", path},
            {"result", result},
            {"infoFlags", info.infoFlags},
            {"p1", PlayerJson(info.p1)},
            {"p2", PlayerJson(info.p2)},
            {"info", SjisTextJson(InfoSummary(&info))},
            {"text1", SjisTextJson(PlayerSummary(&info, 1))},
            {"text2", SjisTextJson(PlayerSummary(&info, 2))}};
}

}  // namespace replidex::cli
