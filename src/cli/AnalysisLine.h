// The line `analyse` prints for one replay file, written straight into a
// buffer: the same bytes as AnalysisJson(path) dumped with ", " and ": ", the
// path first and copied as PathJsonText writes it, then '\n'. Analysing many
// files reuses one buffer and builds no JSON document per file.
#pragma once

#include <string>

namespace replidex::cli {

// Appends the analysis line of the file at `nativePath` to `out`.
void AppendAnalysisLine(const std::string& nativePath, std::string& out);

}  // namespace replidex::cli
