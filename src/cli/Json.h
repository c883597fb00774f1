// Small JSON writing helpers shared by the commands.
#pragma once

#include <string>
#include <string_view>

#include "core/replay/ReplayRecords.h"

namespace replidex::cli {

// A JSON string literal (quotes included) of UTF-8 text; non-ASCII is written
// as UTF-8, control characters as escapes.
std::string JsonString(std::string_view utf8);
// A JSON string of the CP932 text converted to UTF-8 (invalid bytes as U+FFFD).
std::string JsonSjisText(std::string_view sjis);
// A JSON string of the bytes as lowercase hex.
std::string JsonHex(std::string_view bytes);
// {"name":hex,"score":..,"rank":..,"wins":..,"losses":..,"character":..,"isCom":..}
std::string JsonPlayer(const PlayerRecord& player);

}  // namespace replidex::cli
