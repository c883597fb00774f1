#include "cli/Json.h"

#include <cstdio>

#include "core/text/SjisCodec.h"

namespace replidex::cli {

std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string JsonSjisText(std::string_view sjis)
{
    return JsonString(Cp932ToUtf8Lossy(sjis));
}

std::string JsonHex(std::string_view bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        out += kDigits[u >> 4];
        out += kDigits[u & 0x0F];
    }
    out += '"';
    return out;
}

std::string JsonPlayer(const PlayerRecord& p)
{
    return "{\"name\": " + JsonHex(p.nameText()) + ", \"score\": " + std::to_string(p.score) +
           ", \"rank\": " + std::to_string(p.rank) + ", \"wins\": " + std::to_string(p.wins) +
           ", \"losses\": " + std::to_string(p.losses) +
           ", \"character\": " + std::to_string(p.character) +
           ", \"isCom\": " + std::to_string(p.isCom) + "}";
}

}  // namespace replidex::cli
