#include "core/text/SharedText.h"

#include <cstdint>
#include <cstring>
#include <ostream>

namespace replidex {

std::ostream& operator<<(std::ostream& out, const SharedText& text)
{
    return out << text.view();
}

std::size_t SharedTextTable::Hash::operator()(std::string_view text) const
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

}  // namespace replidex
