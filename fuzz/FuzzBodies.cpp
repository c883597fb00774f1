#include "fuzz/FuzzBodies.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "replay/Rpdinfo.h"

namespace replidex::fuzz {

namespace {

void Require(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

void ReplayFileBody(const std::uint8_t* data, std::size_t size)
{
    ReplayInfo info;
    const int result =
        AnalyseReplayBytes(std::string_view(reinterpret_cast<const char*>(data), size), info);
    Require(result == kAnalyseOk || result == kAnalyseFailed, "result is 1 or -1");
    Require((result == kAnalyseFailed) == info.failed(), "failure bit matches the result");
    const std::uint32_t known = kInfoNetMatch | kInfoOfflineMatch | kInfoRuleF | kInfoOtherRule |
                                kInfoNetW | kInfoNetP | kInfoFailed;
    Require((info.infoFlags & ~known) == 0, "no unknown flag bits");
    Require(info.p1.nameText().size() <= 16 && info.p2.nameText().size() <= 16,
            "names are at most 16 bytes");
    if (result == kAnalyseOk) {
        Require(info.p1.rank >= 0 && info.p1.rank <= 18 && info.p2.rank >= 0 && info.p2.rank <= 18,
                "ranks read from a file are 0-18");
        Require(((info.infoFlags & kInfoNetMatch) != 0) != ((info.infoFlags & kInfoOfflineMatch) != 0),
                "exactly one match mode");
    }
    // The column texts must be made without fault for whatever was read.
    (void)InfoSummary(&info);
    (void)PlayerSummary(&info, 1);
    (void)PlayerSummary(&info, 2);
}

}  // namespace replidex::fuzz
