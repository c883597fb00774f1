#include "core/text/SplitText.h"

#include "core/text/SjisCodec.h"

namespace replidex {

int SplitText(std::vector<std::string>* list, std::string_view text, char separator)
{
    if (!list) return 0;
    list->clear();
    std::string piece;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (IsCp932LeadByte(static_cast<unsigned char>(byte))) {
            piece += byte;
            if (i + 1 < text.size()) piece += text[++i];
        } else if (byte != separator) {
            piece += byte;
        } else if (!piece.empty()) {
            list->push_back(std::move(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) list->push_back(std::move(piece));
    return static_cast<int>(list->size());
}

}  // namespace replidex
