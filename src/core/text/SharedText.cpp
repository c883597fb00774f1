#include "core/text/SharedText.h"

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
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    std::uint64_t tail = 0;
    if (i < text.size()) std::memcpy(&tail, text.data() + i, text.size() - i);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

const SharedText& SharedTextTable::get(std::string_view text)
{
    if (text.empty()) return empty_;
    if (last_ && last_->view() == text) return *last_;
    if (2 * (used_ + 1) > slots_.size()) grow();
    const std::size_t hash = Hash(text);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.text.empty()) {
            slot.hash = hash;
            slot.text = SharedText(text);
            ++used_;
            return *(last_ = &slot.text);
        }
        if (slot.hash == hash && slot.text.view() == text) return *(last_ = &slot.text);
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
