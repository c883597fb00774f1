// The search window's criteria as a query line and back.
#pragma once

#include <string>

#include "core/search/SearchCriteria.h"
#include "core/search/query/Query.h"

namespace replidex {

// A query (UTF-8) that takes the same entries as the criteria for every
// entry marked either net or offline, e.g.
// `(net name:あみ rank>=しょだん chara:アルル) OR (offline chara:アルル)`.
// The two text options are not part of the line.
std::string ToQuery(const SearchCriteria& criteria);

// The criteria the window would need for `query`, with the given text
// options; false (and `out` unchanged) when the window cannot express it.
bool ToCriteria(const Query& query, QueryTextOptions options, SearchCriteria& out);

}  // namespace replidex
