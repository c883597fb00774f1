// Printing JSON lines: one object a line, texts as UTF-8 (not \u escapes);
// bytes that are not UTF-8 (a file name on disk may hold any) print as U+FFFD.
#pragma once

#include <cstdio>

#include <nlohmann/json.hpp>

namespace replidex::cli {

void PrintJsonLine(const nlohmann::ordered_json& line, std::FILE* out = stdout);

}  // namespace replidex::cli
