// What `analyse` says about one replay file, as one JSON object:
//   {"path", "result", "infoFlags", "p1", "p2", "info", "text1", "text2"}
// with P = {"name" (hex bytes), "score", "rank", "wins", "losses", "character",
// "isCom"}. Other commands put these fields into their own lines.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace replidex::cli {

nlohmann::ordered_json AnalysisJson(const std::string& path);

}  // namespace replidex::cli
