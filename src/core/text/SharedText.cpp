#include "core/text/SharedText.h"

#include "core/file/ContentHash.h"

#include <cstdint>
#include <cstring>
#include <ostream>

namespace replidex {

std::ostream& operator<<(std::ostream& out, const SharedText& text)
{
    return out << text.view();
}

std::size_t SharedTextTable::Hash(std::string_view text)
{
    return static_cast<std::size_t>(ContentHash64(text));
}

namespace {

// Equality of two byte runs of one length, eight bytes at a time, inline:
// folder paths are a few dozen bytes, where a library call costs more than
// the comparison.
bool SameBytes(const char* a, const char* b, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t wordA, wordB;
        std::memcpy(&wordA, a + i, 8);
        std::memcpy(&wordB, b + i, 8);
        if (wordA != wordB) return false;
    }
    for (; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

bool SharedTextTable::SameText(std::string_view a, std::string_view b)
{
    // Texts asked for one after another (folder paths) mostly differ only
    // near their ends: their last eight bytes settle most mismatches before
    // a whole comparison.
    if (a.size() != b.size()) return false;
    if (a.size() >= 8) {
        std::uint64_t tailA, tailB;
        std::memcpy(&tailA, a.data() + a.size() - 8, 8);
        std::memcpy(&tailB, b.data() + b.size() - 8, 8);
        if (tailA != tailB) return false;
    }
    return SameBytes(a.data(), b.data(), a.size());
}

const SharedText& SharedTextTable::get(std::string_view text)
{
    if (text.empty()) return empty_;
    if (last_ && SameText(last_->view(), text)) return *last_;
    if (2 * (used_ + 1) > slots_.size()) grow();
    const std::size_t hash = Hash(text);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.text.empty()) {
            slot.hash = hash;
            slot.text = SharedText(text);
            slot.data = slot.text.data();
            slot.size = slot.text.size();
            ++used_;
            return *(last_ = &slot.text);
        }
        if (slot.hash == hash && slot.size == text.size() && SameBytes(slot.data, text.data(), text.size()))
            return *(last_ = &slot.text);
    }
}

void SharedTextTable::clear()
{
    slots_.clear();
    used_ = 0;
    last_ = nullptr;
}

void SharedTextTable::grow()
{
    std::vector<Slot> old = std::move(slots_);
    slots_ = std::vector<Slot>(old.empty() ? 64 : old.size() * 2);
    const std::size_t mask = slots_.size() - 1;
    for (Slot& slot : old) {
        if (slot.text.empty()) continue;
        std::size_t i = slot.hash & mask;
        while (!slot.text.empty() && !slots_[i].text.empty()) i = (i + 1) & mask;
        slots_[i] = std::move(slot);
    }
    last_ = nullptr;
}

}  // namespace replidex
