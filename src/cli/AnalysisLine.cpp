#include "cli/AnalysisLine.h"

#include <charconv>
#include <string_view>

#include "cli/Json.h"
#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

void AppendNumber(std::string& out, long long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A JSON string of UTF-8 text. Text that needs no escape (no quote, backslash
// or control character) is copied; any other goes through nlohmann/json.
void AppendTextJson(std::string& out, std::string_view utf8)
{
    bool plain = true;
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\') plain = false;
    if (plain) {
        out += '"';
        out.append(utf8);
        out += '"';
    } else {
        out += DumpCompact(Json(std::string(utf8)));
    }
}

void AppendPlayer(std::string& out, const PlayerRecord& p)
{
    static const char kDigits[] = "0123456789abcdef";
    out += "{\"name\": \"";
    for (const char c : p.nameText()) {
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    out += "\", \"score\": ";
    AppendNumber(out, p.score);
    out += ", \"rank\": ";
    AppendNumber(out, p.rank);
    out += ", \"wins\": ";
    AppendNumber(out, p.wins);
    out += ", \"losses\": ";
    AppendNumber(out, p.losses);
    out += ", \"character\": ";
    AppendNumber(out, p.character);
    out += ", \"isCom\": ";
    AppendNumber(out, p.isCom);
    out += '}';
}

}  // namespace

void AppendAnalysisLine(const std::string& nativePath, std::string& out)
{
    ReplayInfo info;
    const int result = AnalyseReplayAtNativePath(nativePath, info);
    out += "{\"path\": ";
    out += PathJsonText(nativePath);
    out += ", \"result\": ";
    AppendNumber(out, result);
    out += ", \"infoFlags\": ";
    AppendNumber(out, info.infoFlags);
    out += ", \"p1\": ";
    AppendPlayer(out, info.p1);
    out += ", \"p2\": ";
    AppendPlayer(out, info.p2);
    // The three summaries go through one conversion, joined by NULs: none of
    // them holds a NUL (a name ends at its first), and a NUL ends any
    // character cut short before it just as the end of a text does.
    std::string joined = InfoSummary(&info);
    joined += '\0';
    joined += PlayerSummary(&info, 1);
    joined += '\0';
    joined += PlayerSummary(&info, 2);
    const std::string utf8 = Cp932ToUtf8Lossy(joined);
    const std::size_t first = utf8.find('\0');
    const std::size_t second = utf8.find('\0', first + 1);
    const std::string_view texts(utf8);
    out += ", \"info\": ";
    AppendTextJson(out, texts.substr(0, first));
    out += ", \"text1\": ";
    AppendTextJson(out, texts.substr(first + 1, second - first - 1));
    out += ", \"text2\": ";
    AppendTextJson(out, texts.substr(second + 1));
    out += "}\n";
}

}  // namespace replidex::cli
