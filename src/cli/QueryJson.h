// A parsed query's tree as JSON, for `search --explain`.
#pragma once

#include "cli/Json.h"
#include "core/search/query/Query.h"

namespace replidex::cli {

// {"side":"both|1p|2p","root":NODE or null}; NODE is {"op":"and|or",
// "children":[...]}, {"op":"not|vs","child":NODE} or a term {"op":"term",
// "key":..,"cmp":":|=|>=|<=|>|<","position":N, "value":..}.
Json QueryTreeJson(const Query& query);

}  // namespace replidex::cli
