// The words of the query line: keys with their aliases, the values of each
// key, and turning one `key op value` token into a term. Used by the parser.
#pragma once

#include <optional>
#include <string>

#include "core/search/query/Query.h"

namespace replidex {

enum class KeyOrVs { Key, Vs };

// Code points to UTF-8.
std::string Utf8Of(const std::u32string& text);
// Full-width Latin letters and digits to one byte, a-z kept: how keys and
// fixed values are compared (keys and values also lower-cased by FindKey).
std::u32string FoldWord(const std::u32string& word);

// Key or vs for the word before an operator; none when the word is neither.
std::optional<KeyOrVs> FindKey(const std::u32string& word);

// The term of a word token (key, operator, value at their positions); a
// parse failure is raised through FailQuery.
struct TermWords {
    std::u32string key, op, value;
    int position = 0, valuePosition = 0;
};
QueryNode MakeTermFrom(const TermWords& words);

template <typename Token>
QueryNode MakeTerm(const Token& t)
{
    return MakeTermFrom({t.key, t.op, t.value, t.position, t.valuePosition});
}

[[noreturn]] void FailQuery(int position, std::string message);
std::string SjisValue(const std::u32string& value, int position);

}  // namespace replidex
