// An immutable text whose copies share one block: copying it costs a reference
// count, not an allocation. The entries of a list that lie in the same disk
// folder share one folder-path text this way.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace replidex {

class SharedText {
public:
    SharedText() = default;
    explicit SharedText(std::string_view text)
        : text_(text.empty() ? nullptr : std::make_shared<const std::string>(text))
    {
    }

    SharedText& operator=(std::string_view text) { return *this = SharedText(text); }

    const std::string& str() const { return text_ ? *text_ : kEmpty; }
    std::string_view view() const { return str(); }
    operator std::string_view() const { return view(); }
    const char* data() const { return str().data(); }
    std::size_t size() const { return text_ ? text_->size() : 0; }
    // An empty text holds no block, so this never reads the text itself.
    bool empty() const { return !text_; }
    // True when both copies share one block (equal texts need not).
    bool sharesWith(const SharedText& other) const { return text_ == other.text_; }

    friend bool operator==(const SharedText& a, const SharedText& b)
    {
        return a.text_ == b.text_ || a.view() == b.view();
    }
    friend bool operator==(const SharedText& a, std::string_view b) { return a.view() == b; }
    friend std::string operator+(const SharedText& a, std::string_view b)
    {
        std::string joined;
        joined.reserve(a.size() + b.size());
        joined.append(a.view()).append(b);
        return joined;
    }
    friend std::ostream& operator<<(std::ostream& out, const SharedText& text);

private:
    inline static const std::string kEmpty;

    std::shared_ptr<const std::string> text_;
};

// Hands out one SharedText for each distinct text asked for, so that all who
// ask for equal texts share one block. An open-addressed table of hashes and
// texts: a lookup compares stored hashes first and a text only on a match,
// and the text handed out last is tried before any hashing, since callers
// mostly ask for the same text several times in a row.
class SharedTextTable {
public:
    const SharedText& get(std::string_view text);
    void clear();

    // Equality that settles texts differing near their ends cheaply.
    static bool SameText(std::string_view a, std::string_view b);

private:
    struct Slot {
        std::size_t hash = 0;
        // The text's bytes, kept beside its hash so that a probe compares
        // them without going through the shared block.
        const char* data = nullptr;
        std::size_t size = 0;
        SharedText text;   // empty: the slot is free
    };
    // XXH3 of every byte, so that no crafted set of texts (such as paths
    // that differ only in the middle) makes the table degenerate.
    static std::size_t Hash(std::string_view text);
    void grow();

    std::vector<Slot> slots_;   // a power of two long, at most half full
    std::size_t used_ = 0;
    const SharedText* last_ = nullptr;
    SharedText empty_;
};

}  // namespace replidex
