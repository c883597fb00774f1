#include "cli/Json.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/text/SjisCodec.h"

namespace replidex::cli {

namespace {

bool IsAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

// A character nlohmann/json writes as an escape.
bool NeedsEscape(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
}

// nlohmann/json writes backspace and form feed as \b and \f; the commands
// have always written them \u0008 and \u000c. Outside strings the text holds
// no backslash, and inside one every backslash starts an escape of two
// characters or more, so the escapes are found by walking them in pairs.
std::string WithLongEscapes(std::string text)
{
    if (text.find('\\') == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char escaped = text[++i];
        if (escaped == 'b') out += "\\u0008";
        else if (escaped == 'f') out += "\\u000c";
        else (out += '\\') += escaped;
    }
    return out;
}

std::string Dump(const Json& value, int indent)
{
    // Every text the commands put in is UTF-8 (hex, converted Shift-JIS, the
    // ASCII parts of paths); replacing would give U+FFFD, as the conversion
    // from Shift-JIS does.
    return WithLongEscapes(value.dump(indent, ' ', false, Json::error_handler_t::replace));
}

}  // namespace

Json HexJson(std::string_view bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        hex += kDigits[u >> 4];
        hex += kDigits[u & 0x0F];
    }
    return hex;
}

Json SjisTextJson(std::string_view sjis)
{
    return Cp932ToUtf8Lossy(sjis);
}

Json PlayerJson(const PlayerRecord& p)
{
    return {{"name", HexJson(p.nameText())}, {"score", p.score},         {"rank", p.rank},
            {"wins", p.wins},                {"losses", p.losses},       {"character", p.character},
            {"isCom", p.isCom}};
}

std::string DumpCompact(const Json& value)
{
    return Dump(value, -1);
}

std::string DumpSpaced(const Json& value)
{
    // Indented by 0, nlohmann/json puts every member and element on a line of
    // its own after "{\n" or "[\n", separated by ",\n", with ": " after the
    // names. Strings never hold a raw line break, so every one is such a line
    // end: ",\n" becomes ", " and the others go.
    const std::string lines = Dump(value, 0);
    std::string out;
    out.reserve(lines.size());
    for (const char c : lines) {
        if (c != '\n') out += c;
        else if (!out.empty() && out.back() == ',') out += ' ';
    }
    return out;
}

std::string PathJsonText(std::string_view path)
{
    // nlohmann/json writes UTF-8 beyond ASCII unchanged and refuses or
    // replaces what is not UTF-8; a path's bytes beyond ASCII are copied as
    // they are, its ASCII runs written by nlohmann/json.
    std::string out = "\"";
    for (std::size_t i = 0; i < path.size();) {
        const bool ascii = IsAscii(path[i]);
        std::size_t end = i;
        while (end < path.size() && IsAscii(path[end]) == ascii) ++end;
        const std::string_view run = path.substr(i, end - i);
        if (ascii && std::none_of(run.begin(), run.end(), NeedsEscape)) {
            out.append(run);   // what nlohmann/json would write, without its quotes
        } else if (ascii) {
            const std::string text = DumpCompact(std::string(run));
            out.append(text, 1, text.size() - 2);   // without its quotes
        } else {
            out.append(run);
        }
        i = end;
    }
    out += '"';
    return out;
}

bool ParseJson(std::string_view text, nlohmann::json& out, std::string& error)
{
    using Event = nlohmann::json::parse_event_t;
    struct Refused {
        const char* why;
    };
    // What nlohmann/json takes but the commands do not, checked as each
    // value is read.
    const nlohmann::json::parser_callback_t rules = [](int depth, Event event,
                                                       nlohmann::json& parsed) {
        if ((event == Event::object_start || event == Event::array_start) && depth >= kJsonMaxDepth)
            throw Refused{"nesting too deep"};
        if (event == Event::value && parsed.is_number_float())
            throw Refused{"only integers are accepted"};
        if (event == Event::value && parsed.is_number_unsigned() &&
            parsed.get<std::uint64_t>() >
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw Refused{"integer out of range"};
        return true;
    };

    // Bytes beyond ASCII read as '?' (after a byte order mark, which
    // nlohmann/json skips).
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const std::size_t from = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::string ascii;
    if (!std::all_of(text.begin() + from, text.end(), IsAscii)) {
        ascii.assign(text);
        std::replace_if(ascii.begin() + static_cast<std::ptrdiff_t>(from), ascii.end(),
                        [](char c) { return !IsAscii(c); }, '?');
        text = ascii;
    }

    try {
        out = nlohmann::json::parse(text.begin(), text.end(), rules);
        // nlohmann/json ends the text at a NUL byte; one it took for the end
        // of a complete document must not go unnoticed.
        if (text.find('\0') == std::string_view::npos) {
            error.clear();
            return true;
        }
        error = "unexpected NUL byte after the document";
    } catch (const nlohmann::json::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
        error = e.what();
        if (const auto id = error.find("] "); error.starts_with("[json.") && id != std::string::npos)
            error.erase(0, id + 2);
    } catch (const Refused& refused) {
        error = refused.why;
    }
    out = nlohmann::json();
    return false;
}

}  // namespace replidex::cli
