#include "core/text/ShortenText.h"

#include <vector>

#include "core/text/SjisCodec.h"

namespace replidex {

std::string ShortenToWidth(std::string_view text, int width,
                           const std::function<int(std::string_view)>& widthOf)
{
    if (text.empty() || widthOf(text) <= width) return std::string(text);
    // Where each character ends; a lead byte at the very end stands alone.
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < text.size();) {
        i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        ends.push_back(i);
    }
    // The longest head first; the whole text did not fit.
    for (std::size_t k = ends.size() - 1; k-- > 0;) {
        std::string candidate(text.substr(0, ends[k]));
        candidate += "...";
        if (widthOf(candidate) <= width) return candidate;
    }
    return std::string(text.substr(0, ends.front()));
}

}  // namespace replidex
