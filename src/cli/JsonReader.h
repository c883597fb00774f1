// A small JSON reader for the documents the commands take as input: objects,
// arrays, strings (with every escape), integers, true, false and null.
// Fractions and exponents are refused. Hostile input gets an error, never a
// crash: nesting is limited and every read is bounds-checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace replidex::cli {

struct JsonValue {
    enum class Type { Null, Bool, Integer, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    std::string string;   // UTF-8
    std::vector<JsonValue> array;
    std::vector<std::pair<std::string, JsonValue>> members;   // in file order

    bool isNull() const { return type == Type::Null; }
    bool isInteger() const { return type == Type::Integer; }
    bool isString() const { return type == Type::String; }
    bool isArray() const { return type == Type::Array; }
    bool isObject() const { return type == Type::Object; }
    // The member named `key` (the last one if it occurs more than once), or
    // null when this is not an object or has no such member.
    const JsonValue* find(std::string_view key) const;
};

// Deepest nesting of arrays and objects accepted.
inline constexpr int kJsonMaxDepth = 1000;

// Parses a whole JSON text. On failure answers false and puts a message with
// the byte offset into `error`.
bool ParseJson(std::string_view text, JsonValue& out, std::string& error);

}  // namespace replidex::cli
