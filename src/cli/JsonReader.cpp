#include "cli/JsonReader.h"

#include <limits>

namespace replidex::cli {

const JsonValue* JsonValue::find(std::string_view key) const
{
    if (type != Type::Object) return nullptr;
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        if (it->first == key) return &it->second;
    return nullptr;
}

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool parseDocument(JsonValue& out)
    {
        // A UTF-8 byte order mark is allowed in front.
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
        skipSpace();
        if (!parseValue(out, 0)) return false;
        skipSpace();
        if (pos_ != text_.size()) return fail("unexpected text after the document");
        return true;
    }

    const std::string& error() const { return error_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;

    bool fail(const char* what)
    {
        if (error_.empty()) error_ = std::string(what) + " at byte " + std::to_string(pos_);
        return false;
    }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void skipSpace()
    {
        while (!atEnd()) {
            const char c = text_[pos_];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
            ++pos_;
        }
    }
    bool literal(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word) return fail("invalid literal");
        pos_ += word.size();
        return true;
    }

    bool parseValue(JsonValue& out, int depth)
    {
        if (atEnd()) return fail("unexpected end of text");
        switch (peek()) {
        case '{': return parseObject(out, depth + 1);
        case '[': return parseArray(out, depth + 1);
        case '"': out.type = JsonValue::Type::String; return parseString(out.string);
        case 't': out.type = JsonValue::Type::Bool; out.boolean = true; return literal("true");
        case 'f': out.type = JsonValue::Type::Bool; out.boolean = false; return literal("false");
        case 'n': out.type = JsonValue::Type::Null; return literal("null");
        default:
            if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return parseInteger(out);
            return fail("unexpected character");
        }
    }

    bool parseObject(JsonValue& out, int depth)
    {
        if (depth > kJsonMaxDepth) return fail("nesting too deep");
        out.type = JsonValue::Type::Object;
        ++pos_;   // '{'
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"') return fail("expected a member name");
            std::string key;
            if (!parseString(key)) return false;
            skipSpace();
            if (peek() != ':') return fail("expected ':'");
            ++pos_;
            skipSpace();
            out.members.emplace_back(std::move(key), JsonValue{});
            if (!parseValue(out.members.back().second, depth)) return false;
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return true;
            }
            return fail("expected ',' or '}'");
        }
    }

    bool parseArray(JsonValue& out, int depth)
    {
        if (depth > kJsonMaxDepth) return fail("nesting too deep");
        out.type = JsonValue::Type::Array;
        ++pos_;   // '['
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipSpace();
            out.array.emplace_back();
            if (!parseValue(out.array.back(), depth)) return false;
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return true;
            }
            return fail("expected ',' or ']'");
        }
    }

    bool parseInteger(JsonValue& out)
    {
        out.type = JsonValue::Type::Integer;
        const bool negative = peek() == '-';
        if (negative) ++pos_;
        if (atEnd() || peek() < '0' || peek() > '9') return fail("expected a digit");
        if (peek() == '0' && pos_ + 1 < text_.size() && text_[pos_ + 1] >= '0' &&
            text_[pos_ + 1] <= '9')
            return fail("leading zero");
        // The magnitude may reach 2^63 for a negative number.
        const std::uint64_t limit =
            static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
        std::uint64_t magnitude = 0;
        while (!atEnd() && peek() >= '0' && peek() <= '9') {
            const auto digit = static_cast<std::uint64_t>(peek() - '0');
            if (magnitude > (limit - digit) / 10) return fail("integer out of range");
            magnitude = magnitude * 10 + digit;
            ++pos_;
        }
        if (peek() == '.' || peek() == 'e' || peek() == 'E') return fail("only integers are accepted");
        if (negative)
            out.integer = magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
        else
            out.integer = static_cast<std::int64_t>(magnitude);
        return true;
    }

    bool hex4(std::uint32_t& value)
    {
        if (text_.size() - pos_ < 4) return fail("short \\u escape");
        value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            value <<= 4;
            if (c >= '0' && c <= '9') value |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') value |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') value |= static_cast<std::uint32_t>(c - 'A' + 10);
            else return fail("invalid \\u escape");
        }
        return true;
    }

    static void appendUtf8(std::string& out, std::uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool parseString(std::string& out)
    {
        ++pos_;   // '"'
        for (;;) {
            if (atEnd()) return fail("unterminated string");
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return fail("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd()) return fail("unterminated string");
            const char e = text_[pos_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                std::uint32_t cp = 0;
                if (!hex4(cp)) return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF) return fail("lone low surrogate");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    std::uint32_t low = 0;
                    if (text_.substr(pos_, 2) != "\\u") return fail("lone high surrogate");
                    pos_ += 2;
                    if (!hex4(low)) return false;
                    if (low < 0xDC00 || low > 0xDFFF) return fail("lone high surrogate");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                return fail("invalid escape");
            }
        }
    }
};

}  // namespace

bool ParseJson(std::string_view text, JsonValue& out, std::string& error)
{
    out = JsonValue{};
    Parser parser(text);
    if (!parser.parseDocument(out)) {
        error = parser.error();
        out = JsonValue{};
        return false;
    }
    error.clear();
    return true;
}

}  // namespace replidex::cli
