// The JSON the commands print and read, through nlohmann/json: what the
// commands put in their documents, one-line text as they have always printed
// it, and reading the documents they take.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/replay/ReplayRecords.h"

namespace replidex::cli {

// What the commands print: objects keep their members in the order given.
using Json = nlohmann::ordered_json;

// A JSON string of the bytes as lowercase hex.
Json HexJson(std::string_view bytes);
// A JSON string of the CP932 text converted to UTF-8 (invalid bytes as U+FFFD).
Json SjisTextJson(std::string_view sjis);
// {"name":hex,"score":..,"rank":..,"wins":..,"losses":..,"character":..,"isCom":..}
Json PlayerJson(const PlayerRecord& player);

// The value as one line of JSON text, members and elements separated by ","
// and ":" (compact) or by ", " and ": " (spaced). Non-ASCII text is written as
// UTF-8, control characters as escapes.
std::string DumpCompact(const Json& value);
std::string DumpSpaced(const Json& value);

// The JSON string (quotes included) of a native path. A path need not be
// UTF-8: its bytes beyond ASCII are written as they are.
std::string PathJsonText(std::string_view path);

// Deepest nesting of arrays and objects ParseJson accepts.
inline constexpr int kJsonMaxDepth = 1000;

// Reads a whole JSON document the way the commands take their input: numbers
// must be integers that fit 64 bits, nesting is limited to kJsonMaxDepth, a
// UTF-8 byte order mark may come first. The documents hold only ASCII (member
// names, hex digits, numbers); any other byte in the text reads as '?', so a
// string holding bytes that are not UTF-8 is taken, not refused. On failure
// answers false with a message in `error`.
bool ParseJson(std::string_view text, nlohmann::json& out, std::string& error);

}  // namespace replidex::cli
